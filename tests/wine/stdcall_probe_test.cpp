// The probe must tell a callee that breaks the host's convention from one
// that keeps it, or the checks on the module prove nothing.
#include <gtest/gtest.h>

#include "tests/wine/stdcall_probe.h"

namespace orvane::testing {
namespace {

int __stdcall stdcall_sum(int a, int b, int c) { return a + b + c; }
int __cdecl cdecl_sum(int a, int b, int c) { return a + b + c; }
double __stdcall stdcall_half(int a) { return a / 2.0; }
void __stdcall stdcall_nothing() {}

// Returns with EBX changed, as a callee that forgot to save it would.
extern "C" void __stdcall orvane_probe_clobbers_ebx();
asm(R"(
    .text
    .globl _orvane_probe_clobbers_ebx@0
_orvane_probe_clobbers_ebx@0:
    movl $0x12345678, %ebx
    ret
)");

// Pops its two arguments but leaves its result in ST(0) twice.
extern "C" double __stdcall orvane_probe_pushes_twice(int, int);
asm(R"(
    .text
    .globl _orvane_probe_pushes_twice@8
_orvane_probe_pushes_twice@8:
    fld1
    fld1
    ret $8
)");

TEST(StdcallProbe, TellsCalleesThatKeepTheConventionFromThoseThatBreakIt) {
    const struct {
        const char* callee;
        CallRecord record;
        uint32_t popped;
        uint32_t registers_kept;
        int x87_values;
    } rows[] = {
        {"stdcall, three arguments", probe_call(stdcall_sum, {1, 2, 3}), 12, 1, 0},
        {"cdecl, three arguments", probe_call(cdecl_sum, {1, 2, 3}), 0, 1, 0},
        {"stdcall double", probe_call(stdcall_half, {7}), 4, 1, 1},
        {"stdcall, no arguments", probe_call(stdcall_nothing, {}), 0, 1, 0},
        {"clobbers EBX", probe_call(orvane_probe_clobbers_ebx, {}), 0, 0, 0},
        {"two values on the x87 stack", probe_call(orvane_probe_pushes_twice, {1, 2}), 8, 1, 2},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.record.popped, row.popped) << row.callee;
        EXPECT_EQ(row.record.registers_kept, row.registers_kept) << row.callee;
        EXPECT_EQ(x87_values_left(row.record), row.x87_values) << row.callee;
    }
    EXPECT_EQ(rows[0].record.eax, 6u);
    EXPECT_EQ(rows[2].record.st0, 3.5);
}

}  // namespace
}  // namespace orvane::testing
