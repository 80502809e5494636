// Calls a function the way the simulator calls the module's callbacks (and
// the module calls the host): arguments pushed right to left, callee pops
// them, 64-bit floats come back in x87 ST(0). Records what the callee did to
// the stack, the registers and the x87 stack, so that a test can prove the
// convention on the built DLL rather than trust the declarations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace orvane::testing {

struct CallRecord {
    uint32_t popped;  // bytes of arguments the callee removed
    uint32_t eax;
    uint16_t fpu_status_before;
    uint16_t fpu_status_after;
    uint32_t registers_kept;  // 1 when EBX, ESI, EDI and EBP came back unchanged
    double st0;               // what the callee left in ST(0), when it left something
};
static_assert(offsetof(CallRecord, popped) == 0 && offsetof(CallRecord, eax) == 4 &&
                  offsetof(CallRecord, fpu_status_before) == 8 && offsetof(CallRecord, fpu_status_after) == 10 &&
                  offsetof(CallRecord, registers_kept) == 12 && offsetof(CallRecord, st0) == 16,
              "the probe writes these offsets");

extern "C" void orvane_probe_call(const void* function, const uint32_t* args, uint32_t count, CallRecord* record);

// How many values the callee left on the x87 stack (0 for a void or integer
// function, 1 for a function returning a 64-bit float).
inline int x87_values_left(const CallRecord& record) {
    const int top_before = (record.fpu_status_before >> 11) & 7;
    const int top_after = (record.fpu_status_after >> 11) & 7;
    return (top_before - top_after) & 7;
}

template <typename Function>
CallRecord probe_call(Function function, std::initializer_list<uint32_t> args) {
    CallRecord record{};
    orvane_probe_call(reinterpret_cast<const void*>(function), args.begin(), static_cast<uint32_t>(args.size()),
                      &record);
    // A callee that left more than one value would upset every later x87 use.
    if (x87_values_left(record) > 1) asm volatile("fninit");
    return record;
}

}  // namespace orvane::testing
