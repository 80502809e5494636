// Once loaded and installed, the module never touches the heap: not a single
// allocation in ten thousand frames of a steady panel or of a busy approach.
//
// This program takes the C library's allocator over: malloc and its kin count
// each call while counting is on, then hand it to the C library's own. The
// module is loaded as the host loads it, so its calls reach these as well;
// operator new reaches them through malloc. Counting covers the whole frame,
// host included, and the frame loop allocates nothing of its own, so a count
// of zero holds for the module.
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bench/frame_loop.h"

#if defined(__SANITIZE_ADDRESS__)
#define ORVANE_ALLOCATOR_TAKEN 0  // the sanitizer owns the allocator
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVANE_ALLOCATOR_TAKEN 0
#endif
#endif
#if !defined(ORVANE_ALLOCATOR_TAKEN) && defined(__GLIBC__)
#define ORVANE_ALLOCATOR_TAKEN 1
#elif !defined(ORVANE_ALLOCATOR_TAKEN)
#define ORVANE_ALLOCATOR_TAKEN 0
#endif

namespace {

bool counting = false;
size_t allocations = 0;

[[maybe_unused]] void count() {  // unused where the sanitizer owns the allocator
    if (counting) ++allocations;
}

}  // namespace

#if ORVANE_ALLOCATOR_TAKEN
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);

void* malloc(size_t size) {
    count();
    return __libc_malloc(size);
}
void* calloc(size_t n, size_t size) {
    count();
    return __libc_calloc(n, size);
}
void* realloc(void* block, size_t size) {
    count();
    return __libc_realloc(block, size);
}
void* memalign(size_t alignment, size_t size) {
    count();
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(size_t alignment, size_t size) {
    count();
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** block, size_t alignment, size_t size) {
    count();
    *block = __libc_memalign(alignment, size);
    return *block != nullptr ? 0 : ENOMEM;
}
void free(void* block) { __libc_free(block); }
}
#endif

namespace {

using orvane::bench::FramePanel;

// Counts the allocations made while it lives.
class AllocationCount {
public:
    AllocationCount() {
        allocations = 0;
        counting = true;
    }
    ~AllocationCount() { counting = false; }
    size_t now() const { return allocations; }
};

class AllocationTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ORVANE_ALLOCATOR_TAKEN) GTEST_SKIP() << "the allocator is not ours to count: sanitizer or not glibc";
    }
};

// Called through a volatile pointer, so that the compiler cannot pair and
// remove an allocation and its release.
void* (*volatile allocate)(size_t) = std::malloc;
void* (*volatile allocate_zeroed)(size_t, size_t) = std::calloc;
void* (*volatile reallocate)(void*, size_t) = std::realloc;

TEST_F(AllocationTest, TheCountSeesEveryKindOfAllocation) {
    const struct {
        const char* kind;
        void (*allocate_and_release)();
    } rows[] = {
        {"malloc", [] { std::free(allocate(24)); }},
        {"calloc", [] { std::free(allocate_zeroed(3, 8)); }},
        {"realloc", [] { std::free(reallocate(nullptr, 24)); }},
        {"operator new", [] { ::operator delete(::operator new(24)); }},
        {"a string", [] { std::string text(100, 'x'); }},
    };
    for (const auto& row : rows) {
        AllocationCount count;
        row.allocate_and_release();
        EXPECT_GE(count.now(), 1u) << row.kind;
    }
}

TEST_F(AllocationTest, NoFrameOfTheModuleAllocates) {
    constexpr uint64_t frames = 10000;
    std::string error;
    std::unique_ptr<FramePanel> panel = orvane::bench::open_approach_panel(ORVANE_MODULE_PATH, error);
    ASSERT_NE(panel, nullptr) << error;
    // The approach's values are made before counting; storing them allocates
    // nothing, every variable being in the host's store from the first frame.
    std::vector<std::vector<orvane::bench::HostVariable>> approach;
    for (uint64_t n = 0; n < orvane::bench::approach_frames; ++n) approach.push_back(orvane::bench::approach_frame(n));

    const struct {
        const char* regime;
        bool busy;
    } rows[] = {{"steady", false}, {"busy", true}};
    for (const auto& row : rows) {
        AllocationCount count;
        for (uint64_t n = 0; n < frames; ++n) {
            if (row.busy) panel->set(approach[n % approach.size()]);
            panel->frame();
        }
        EXPECT_EQ(count.now(), 0u) << row.regime << " frames allocated";
    }
    // The panel really ran: the approach's last values are on show.
    EXPECT_NE(panel->texts().find("LOC"), std::string::npos) << panel->texts();
}

}  // namespace
