// Resource lookup in the native build: FindResourceA and its companions over
// the resources linked into this test program (handle: its base address) and
// into orvane.so, and the host's bitmap lookup on top of them.
#include <dlfcn.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/services/resources.h"
#include "platform/failure_switches.h"
#include "platform/win_api.h"
#include "host/base/files.h"
#include "res/resource_table.h"

namespace {

class ResourceLookup : public ::testing::Test {
protected:
    void SetUp() override { platform::reset_failures(); }
    void TearDown() override { platform::reset_failures(); }

    HMODULE self = GetModuleHandleA(nullptr);
};

LPCSTR id(uint16_t n) { return MAKEINTRESOURCEA(n); }

struct Lookup {
    const char* what;
    LPCSTR name;
    LPCSTR type;
    bool found;
};

TEST_F(ResourceLookup, FindsBitmapsByNumberNamedBitmapsByNameAndTheCalloutAsTypeWave) {
    const Lookup cases[] = {
        {"bitmap by number", id(4160), RT_BITMAP, true},
        {"companion bitmap", id(4161), RT_BITMAP, true},
        {"bitmap by #number", "#4608", RT_BITMAP, true},
        {"named bitmap", "BMP_PFD_FDHORMASK", RT_BITMAP, true},
        {"named bitmap in lower case", "bmp_pfd_fdvermask", RT_BITMAP, true},
        {"named bitmap with a numeric type string", "BMP_PFD_FDVERMASK", "#2", true},
        {"callout", id(20480), "WAVE", true},
        {"callout with the type in lower case", id(20480), "wave", true},
        {"missing id", id(4162), RT_BITMAP, false},
        {"a number written as a name", "4160", RT_BITMAP, false},
        {"missing name", "BMP_PFD_FDMASK", RT_BITMAP, false},
        {"bitmap asked for as a sound", id(4160), "WAVE", false},
        {"callout asked for as a bitmap", id(20480), RT_BITMAP, false},
        {"missing type", id(4160), MAKEINTRESOURCEA(10), false},
        {"id zero", id(0), RT_BITMAP, false},
        {"empty name", "", RT_BITMAP, false},
        {"malformed #number", "#41x", RT_BITMAP, false},
        {"#number past 16 bits", "#65537", RT_BITMAP, false},
        {"null type", id(4160), nullptr, false},
    };
    for (const Lookup& c : cases) EXPECT_EQ(FindResourceA(self, c.name, c.type) != nullptr, c.found) << c.what;
}

TEST_F(ResourceLookup, NamedBitmapsHaveNoNumberSoNoNumberedLookupReachesThem) {
    HRSRC named = FindResourceA(self, "BMP_PFD_FDHORMASK", RT_BITMAP);
    ASSERT_NE(named, nullptr);
    for (uint32_t n = 1; n <= 0xFFFF; ++n) {
        HRSRC r = FindResourceA(self, id(static_cast<uint16_t>(n)), RT_BITMAP);
        ASSERT_NE(r, named) << n;
        ASSERT_NE(r, FindResourceA(self, "BMP_PFD_FDVERMASK", RT_BITMAP)) << n;
    }
}

TEST_F(ResourceLookup, TheAttitudeBallAndItsWindowHaveTheirFixedSizes) {
    const struct {
        int id;
        int width, height;
    } cases[] = {{4160, 256, 256}, {4161, 88, 104}, {4176, 26, 839}, {4192, 657, 20}, {4608, 84, 21}};
    for (const auto& c : cases) {
        const panelhost::BitmapLookup r = panelhost::load_bitmap(self, c.id);
        ASSERT_EQ(r.error, panelhost::BitmapError::none) << c.id << ": " << panelhost::describe(r.error);
        EXPECT_EQ(r.bitmap.width, c.width) << c.id;
        EXPECT_EQ(r.bitmap.height, c.height) << c.id;
        EXPECT_EQ(r.bitmap.palette_size, 256) << c.id;
    }
    const panelhost::BitmapLookup named = panelhost::load_bitmap(self, "BMP_PFD_FDHORMASK");
    ASSERT_EQ(named.error, panelhost::BitmapError::none);
    EXPECT_EQ(named.bitmap.width, 88);
    EXPECT_EQ(named.bitmap.height, 104);
    EXPECT_EQ(panelhost::load_bitmap(self, 4162).error, panelhost::BitmapError::not_found);
    EXPECT_EQ(panelhost::load_bitmap(self, 20480).error, panelhost::BitmapError::not_found);
    EXPECT_EQ(panelhost::load_bitmap(self, -1).error, panelhost::BitmapError::not_found);
    EXPECT_EQ(panelhost::load_bitmap(self, 0x14160).error, panelhost::BitmapError::not_found);
    EXPECT_EQ(panelhost::load_bitmap(self, static_cast<const char*>(nullptr)).error,
              panelhost::BitmapError::not_found);
}

// Every listed resource, read through the resource calls, is the committed
// file: a bitmap without its 14-byte file header, the sound whole.
void expect_resources_match_committed_files(HMODULE module) {
    ASSERT_EQ(std::size(resources::resource_entries), 27u);
    for (const resources::ResourceEntry& e : resources::resource_entries) {
        SCOPED_TRACE(std::string(e.type_name()) + " " + e.name);
        const bool bitmap = e.type == resources::ResourceType::bitmap;
        const LPCSTR name = e.named() ? e.name : MAKEINTRESOURCEA(e.id);
        const LPCSTR type = bitmap ? RT_BITMAP : e.type_name();
        HRSRC found = FindResourceA(module, name, type);
        ASSERT_NE(found, nullptr);
        HGLOBAL loaded = LoadResource(module, found);
        ASSERT_NE(loaded, nullptr);
        const auto* bytes = static_cast<const uint8_t*>(LockResource(loaded));
        ASSERT_NE(bytes, nullptr);
        const DWORD size = SizeofResource(module, found);

        const std::vector<uint8_t> file =
            panelhost::read_file_bytes(std::string(ORVANE_RES_DIR) + "/" + e.file).value_or(std::vector<uint8_t>{});
        ASSERT_FALSE(file.empty()) << e.file;
        const size_t skip = bitmap ? 14 : 0;
        ASSERT_EQ(size, file.size() - skip);
        EXPECT_EQ(std::memcmp(bytes, file.data() + skip, size), 0);
        EXPECT_EQ(FreeResource(loaded), FALSE);
    }
}

TEST_F(ResourceLookup, EveryListedResourceInThisProgramIsTheCommittedFile) {
    expect_resources_match_committed_files(self);
}

TEST_F(ResourceLookup, EveryListedResourceInTheLoadedModuleIsTheCommittedFile) {
    void* library = dlopen(ORVANE_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    // The module's handle is its base address, as the host gets it at load.
    Dl_info info{};
    ASSERT_NE(dladdr(dlsym(library, "Linkage"), &info), 0);
    HMODULE module = GetModuleHandleA("orvane.so");
    EXPECT_EQ(reinterpret_cast<void*>(module), info.dli_fbase);
    EXPECT_NE(module, self);
    expect_resources_match_committed_files(module);

    // Each module answers for its own resources only.
    HRSRC in_module = FindResourceA(module, MAKEINTRESOURCEA(4160), RT_BITMAP);
    HRSRC in_self = FindResourceA(self, MAKEINTRESOURCEA(4160), RT_BITMAP);
    ASSERT_NE(in_module, nullptr);
    ASSERT_NE(in_self, nullptr);
    EXPECT_NE(in_module, in_self);
    EXPECT_EQ(LoadResource(self, in_module), nullptr);
    EXPECT_EQ(SizeofResource(self, in_module), 0u);
    dlclose(library);
}

TEST_F(ResourceLookup, AHandleThatIsNoLoadedModuleFindsNothing) {
    static int not_a_module;
    const HMODULE bogus[] = {reinterpret_cast<HMODULE>(&not_a_module),
                             reinterpret_cast<HMODULE>(reinterpret_cast<uintptr_t>(self) + 4096),
                             reinterpret_cast<HMODULE>(uintptr_t{1})};
    for (HMODULE m : bogus) EXPECT_EQ(FindResourceA(m, MAKEINTRESOURCEA(4160), RT_BITMAP), nullptr);
    EXPECT_EQ(GetModuleHandleA("no-such-module.so"), nullptr);
    EXPECT_EQ(GetModuleHandleA(""), nullptr);
}

TEST_F(ResourceLookup, ResourceHandlesThatAreNotEntriesOfTheModuleAreRefused) {
    HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(4160), RT_BITMAP);
    ASSERT_NE(found, nullptr);
    auto shifted = [found](intptr_t by) { return reinterpret_cast<HRSRC>(reinterpret_cast<intptr_t>(found) + by); };
    const HRSRC bad[] = {nullptr, shifted(4), shifted(-4096), shifted(1 << 20)};
    for (HRSRC r : bad) {
        EXPECT_EQ(LoadResource(self, r), nullptr);
        EXPECT_EQ(SizeofResource(self, r), 0u);
    }
    EXPECT_EQ(LockResource(nullptr), nullptr);
}

TEST_F(ResourceLookup, EachCallFailsOnDemandAndWorksAgainAfterTheReset) {
    HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(20480), "WAVE");
    ASSERT_NE(found, nullptr);
    HGLOBAL loaded = LoadResource(self, found);
    ASSERT_NE(loaded, nullptr);

    const struct {
        platform::Call call;
        bool (*fails)(HMODULE, HRSRC, HGLOBAL);
    } cases[] = {
        {platform::Call::FindResourceA,
         [](HMODULE m, HRSRC, HGLOBAL) { return FindResourceA(m, MAKEINTRESOURCEA(20480), "WAVE") == nullptr; }},
        {platform::Call::LoadResource, [](HMODULE m, HRSRC r, HGLOBAL) { return LoadResource(m, r) == nullptr; }},
        {platform::Call::LockResource, [](HMODULE, HRSRC, HGLOBAL g) { return LockResource(g) == nullptr; }},
        {platform::Call::SizeofResource, [](HMODULE m, HRSRC r, HGLOBAL) { return SizeofResource(m, r) == 0; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(platform::call_name(c.call));
        EXPECT_FALSE(c.fails(self, found, loaded));
        platform::fail_call(c.call);
        EXPECT_TRUE(c.fails(self, found, loaded));
        EXPECT_TRUE(c.fails(self, found, loaded)) << "stays failed until the reset";
        platform::reset_failures();
        EXPECT_FALSE(c.fails(self, found, loaded));
    }
}

TEST_F(ResourceLookup, TheHostReportsWhichResourceCallFailed) {
    const struct {
        platform::Call call;
        panelhost::BitmapError error;
    } cases[] = {
        {platform::Call::FindResourceA, panelhost::BitmapError::not_found},
        {platform::Call::LoadResource, panelhost::BitmapError::load_failed},
        {platform::Call::LockResource, panelhost::BitmapError::load_failed},
        {platform::Call::SizeofResource, panelhost::BitmapError::truncated},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(platform::call_name(c.call));
        platform::fail_call(c.call);
        EXPECT_EQ(panelhost::load_bitmap(self, 4160).error, c.error);
        platform::reset_failures();
        EXPECT_EQ(panelhost::load_bitmap(self, 4160).error, panelhost::BitmapError::none);
    }
}

}  // namespace
