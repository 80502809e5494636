// The shipped Orvane.gau, loaded with LoadLibrary as the simulator loads it
// and reached only through its two exported records. Every call into it goes
// through the probe, which proves the host's calling convention on the real
// binary: the callee pops its arguments, keeps the caller's registers, and
// returns a 64-bit float in x87 ST(0).
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/services/host_services.h"
#include "module/host_abi.h"
#include "module/host_abi_layout.h"
#include "module/host_vars.h"
#include "tests/support/guarded_text.h"
#include "tests/wine/stdcall_probe.h"

namespace orvane {
namespace {

using testing::CallRecord;
using testing::probe_call;
using testing::x87_values_left;

constexpr int32_t host_var_ids[] = {
#define ORVANE_VAR_ID_VALUE(name, number) number,
    ORVANE_HOST_VARIABLES(ORVANE_VAR_ID_VALUE)
#undef ORVANE_VAR_ID_VALUE
};

const char* const gauge_names[] = {"AP", "PFD", "DH", "FD", "DME"};

// Chains and mouse tables are short; a walk that goes on longer is lost.
constexpr int max_chain_length = 64;
constexpr int max_mouse_rows = 256;

uint32_t word(const void* pointer) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer)); }

uint32_t preferred_base_of(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    unsigned char headers[4096];
    DWORD read = 0;
    const BOOL ok = ReadFile(file, headers, sizeof headers, &read, nullptr);
    CloseHandle(file);
    if (!ok || read < sizeof(IMAGE_DOS_HEADER)) return 0;
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, headers, sizeof dos);
    if (dos.e_lfanew < 0 || static_cast<DWORD>(dos.e_lfanew) + sizeof(IMAGE_NT_HEADERS32) > read) return 0;
    IMAGE_NT_HEADERS32 nt;
    std::memcpy(&nt, headers + dos.e_lfanew, sizeof nt);
    return nt.OptionalHeader.ImageBase;
}

class LoadedModule : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(load()); }

    void TearDown() override {
        host.detach();
        if (module != nullptr) FreeLibrary(module);
    }

    bool load() {
        module = LoadLibraryA(ORVANE_GAU_PATH);
        if (module == nullptr) {
            ADD_FAILURE() << "LoadLibrary(" << ORVANE_GAU_PATH << ") failed with error " << GetLastError();
            return false;
        }
        imports = reinterpret_cast<GaugeModuleImports*>(GetProcAddress(module, "ImportTable"));
        linkage = reinterpret_cast<GaugeModuleLinkage*>(GetProcAddress(module, "Linkage"));
        EXPECT_NE(imports, nullptr);
        EXPECT_NE(linkage, nullptr);
        return imports != nullptr && linkage != nullptr;
    }

    bool inside_module(const void* pointer) const {
        const auto base = reinterpret_cast<uintptr_t>(module);
        IMAGE_DOS_HEADER dos;
        std::memcpy(&dos, module, sizeof dos);
        IMAGE_NT_HEADERS32 nt;
        std::memcpy(&nt, reinterpret_cast<const char*>(module) + dos.e_lfanew, sizeof nt);
        const auto address = reinterpret_cast<uintptr_t>(pointer);
        return address >= base && address < base + nt.OptionalHeader.SizeOfImage;
    }

    std::vector<ElementHeader*> chain(GaugeHeader* gauge) const {
        std::vector<ElementHeader*> elements;
        if (gauge->elements_list == nullptr) return elements;
        for (ElementHeader* element = gauge->elements_list[0]; element != nullptr;) {
            elements.push_back(element);
            if (elements.size() > max_chain_length || element->next_element == nullptr) break;
            element = element->next_element[0];
        }
        return elements;
    }

    std::vector<MouseRect*> mouse_rows(GaugeHeader* gauge) const {
        std::vector<MouseRect*> rows;
        for (MouseRect* row = gauge->mouse_rect; row != nullptr && rows.size() <= max_mouse_rows; ++row) {
            if (row->rect_type == MOUSE_END_OF_TABLE) break;
            rows.push_back(row);
        }
        return rows;
    }

    struct Callback {
        std::string where;
        const void* function;
        ElementHeader* element;
        testing::GuardedText* text;  // the buffer handed to a text element
    };

    // Every element callback of every gauge; text elements get guarded buffers,
    // as the host supplies them.
    std::vector<Callback> element_callbacks() {
        std::vector<Callback> callbacks;
        for (int i = 0; i < module_gauge_count; ++i) {
            const std::vector<ElementHeader*> elements = chain(gauge(i));
            for (size_t n = 0; n < elements.size(); ++n) {
                ElementHeader* e = elements[n];
                const std::string where = std::string(gauge_names[i]) + " element " + std::to_string(n);
                auto add = [&](const char* which, auto function, testing::GuardedText* text = nullptr) {
                    if (function != nullptr) {
                        callbacks.push_back({where + " " + which, reinterpret_cast<const void*>(function), e, text});
                    }
                };
                switch (e->element_type) {
                    case ELEMENT_STRING: {
                        auto* text = reinterpret_cast<ElementString*>(e);
                        buffers.push_back(std::make_unique<testing::GuardedText>(text->max_string_length));
                        buffers.back()->attach(*text);
                        add("text", text->update_cb, buffers.back().get());
                        break;
                    }
                    case ELEMENT_SLIDER: {
                        auto* slider = reinterpret_cast<ElementSlider*>(e);
                        add("slider x", slider->update_x_cb);
                        add("slider y", slider->update_y_cb);
                        break;
                    }
                    case ELEMENT_ICON:
                        add("icon", reinterpret_cast<ElementIcon*>(e)->update_cb);
                        break;
                    case ELEMENT_MOVING_IMAGE: {
                        auto* moving = reinterpret_cast<ElementMovingImage*>(e);
                        add("moving image x", moving->update_x_cb);
                        add("moving image y", moving->update_y_cb);
                        break;
                    }
                    case ELEMENT_SPRITE: {
                        auto* sprite = reinterpret_cast<ElementSprite*>(e);
                        add("sprite x", sprite->update_x_cb);
                        add("sprite y", sprite->update_y_cb);
                        add("sprite rotation", sprite->update_0_cb);
                        break;
                    }
                    default:
                        break;
                }
            }
        }
        return callbacks;
    }

    void set_every_host_var(double value) {
        for (int32_t id : host_var_ids) host.set_var(id, value);
    }

    GaugeHeader* gauge(int i) const { return linkage->gauge_table[i]; }

    HMODULE module = nullptr;
    GaugeModuleImports* imports = nullptr;
    GaugeModuleLinkage* linkage = nullptr;
    panelhost::HostServices host;
    std::vector<std::unique_ptr<testing::GuardedText>> buffers;
};

// What a correct callee leaves behind: its arguments popped, the caller's
// registers intact, and exactly `x87_values` values on the x87 stack.
::testing::AssertionResult follows_host_convention(const CallRecord& record, uint32_t argument_bytes,
                                                   int x87_values) {
    if (record.popped != argument_bytes) {
        return ::testing::AssertionFailure()
               << "callee popped " << record.popped << " bytes, the host expects " << argument_bytes;
    }
    if (record.registers_kept != 1) return ::testing::AssertionFailure() << "callee changed EBX, ESI, EDI or EBP";
    if (x87_values_left(record) != x87_values) {
        return ::testing::AssertionFailure()
               << "callee left " << x87_values_left(record) << " values on the x87 stack, expected " << x87_values;
    }
    return ::testing::AssertionSuccess();
}

TEST_F(LoadedModule, ExportsTheTwoRecordsHoldingTheirLoadValues) {
    EXPECT_TRUE(inside_module(imports));
    EXPECT_TRUE(inside_module(linkage));
    EXPECT_EQ(imports->entry[0].id, 0x0000000Fu);
    EXPECT_EQ(imports->entry[0].table, nullptr);
    EXPECT_EQ(imports->entry[1].id, 0u);
    EXPECT_EQ(imports->entry[1].table, nullptr);

    EXPECT_EQ(linkage->module_id, 0x00000013u);
    EXPECT_EQ(linkage->module_flags, 0u);
    EXPECT_EQ(linkage->module_priority, 0u);
    EXPECT_EQ(linkage->module_version, 0u);
    for (int i = 0; i < module_gauge_count; ++i) {
        ASSERT_NE(gauge(i), nullptr) << gauge_names[i];
        EXPECT_STREQ(gauge(i)->gauge_name, gauge_names[i]);
        EXPECT_EQ(gauge(i)->gauge_header_version, 700u) << gauge_names[i];
    }
    EXPECT_EQ(linkage->gauge_table[module_gauge_count], nullptr);
}

// The host reads these records at its own addresses, so every pointer in them
// must have been relocated into the module, wherever the loader put it.
TEST_F(LoadedModule, EveryPointerInTheRecordsLeadsIntoTheModule) {
    EXPECT_TRUE(inside_module(reinterpret_cast<const void*>(linkage->module_init)));
    EXPECT_TRUE(inside_module(reinterpret_cast<const void*>(linkage->module_deinit)));
    for (int i = 0; i < module_gauge_count; ++i) {
        GaugeHeader* g = gauge(i);
        SCOPED_TRACE(gauge_names[i]);
        const void* header_pointers[] = {g,
                                         g->gauge_name,
                                         g->elements_list,
                                         reinterpret_cast<const void*>(g->query_routine),
                                         reinterpret_cast<const void*>(g->install_routine),
                                         reinterpret_cast<const void*>(g->initialize_routine),
                                         reinterpret_cast<const void*>(g->update_routine),
                                         reinterpret_cast<const void*>(g->generate_routine),
                                         reinterpret_cast<const void*>(g->draw_routine),
                                         reinterpret_cast<const void*>(g->kill_routine),
                                         g->mouse_rect,
                                         reinterpret_cast<const void*>(g->gauge_callback)};
        for (const void* pointer : header_pointers) EXPECT_TRUE(inside_module(pointer)) << pointer;

        const std::vector<ElementHeader*> elements = chain(g);
        ASSERT_FALSE(elements.empty());
        ASSERT_LE(elements.size(), static_cast<size_t>(max_chain_length));
        for (size_t n = 0; n < elements.size(); ++n) {
            ElementHeader* e = elements[n];
            EXPECT_TRUE(inside_module(e)) << "element " << n;
            EXPECT_EQ(e->gauge_header, g) << "element " << n;
            EXPECT_TRUE(e->next_element == nullptr || inside_module(e->next_element)) << "element " << n;
            EXPECT_TRUE(e->failure_systems == nullptr || inside_module(e->failure_systems)) << "element " << n;
        }

        const std::vector<MouseRect*> rows = mouse_rows(g);
        ASSERT_LT(rows.size(), static_cast<size_t>(max_mouse_rows));
        for (size_t r = 0; r < rows.size(); ++r) {
            const MouseRect* row = rows[r];
            const void* action = reinterpret_cast<const void*>(row->action.handler);
            EXPECT_TRUE(action == nullptr || inside_module(action)) << "mouse row " << r;
            if (row->rect_type == MOUSE_TOOLTIP && action != nullptr) {
                EXPECT_NE(std::memchr(action, '\0', 256), nullptr) << "tooltip of mouse row " << r;
            }
        }
    }
}

// Static, writable data: the host fills its own fields into these records.
TEST_F(LoadedModule, RecordsTheHostWritesIntoAreWritable) {
    std::vector<const void*> records = {imports, linkage};
    for (int i = 0; i < module_gauge_count; ++i) {
        records.push_back(gauge(i));
        records.push_back(gauge(i)->mouse_rect);
        for (ElementHeader* e : chain(gauge(i))) records.push_back(e);
    }
    for (const void* record : records) {
        MEMORY_BASIC_INFORMATION info{};
        ASSERT_NE(VirtualQuery(record, &info, sizeof info), 0u);
        const DWORD writable = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
        EXPECT_NE(info.Protect & writable, 0u) << record << " lies in memory protected " << info.Protect;
    }
}

// The entry point keeps nothing: a module loaded again starts from its load
// values, whatever the host did to the first one.
TEST_F(LoadedModule, LoadedAgainItStartsFromItsLoadValues) {
    host.attach(imports);
    ASSERT_EQ(imports->entry[0].table, &host.table());
    ElementHeader* first = gauge(0)->elements_list[0];
    const uint32_t flags_at_load = first->image_flags;
    first->image_flags ^= IMAGE_HIDDEN;
    // The host goes away, its table pointer left behind in the module.
    host.detach();
    imports->entry[0].table = &host.table();

    ASSERT_TRUE(FreeLibrary(module));
    module = nullptr;
    ASSERT_EQ(GetModuleHandleA(ORVANE_GAU_PATH), nullptr) << "the module stayed loaded";
    ASSERT_TRUE(load());
    EXPECT_EQ(imports->entry[0].table, nullptr);
    EXPECT_EQ(gauge(0)->elements_list[0]->image_flags, flags_at_load);
}

// Hosts load many modules; ours must work wherever the loader places it.
TEST_F(LoadedModule, WorksWhenLoadedAwayFromItsPreferredBase) {
    const uint32_t preferred = preferred_base_of(ORVANE_GAU_PATH);
    ASSERT_NE(preferred, 0u);
    ASSERT_TRUE(FreeLibrary(module));
    module = nullptr;
    void* taken = VirtualAlloc(reinterpret_cast<void*>(uintptr_t{preferred}), 0x10000, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_NE(taken, nullptr) << "could not occupy the preferred base " << std::hex << preferred;
    const bool loaded = load();
    VirtualFree(taken, 0, MEM_RELEASE);
    ASSERT_TRUE(loaded);
    ASSERT_NE(word(module), preferred);

    EXPECT_TRUE(inside_module(gauge(0)));
    EXPECT_TRUE(inside_module(gauge(0)->gauge_name));
    EXPECT_STREQ(gauge(0)->gauge_name, "AP");
    host.attach(imports);
    for (int i = 0; i < module_gauge_count; ++i) {
        EXPECT_TRUE(inside_module(gauge(i)->elements_list[0])) << gauge_names[i];
        EXPECT_TRUE(follows_host_convention(
            probe_call(gauge(i)->gauge_callback, {word(gauge(i)), SERVICE_PRE_UPDATE, 0}), 12, 0))
            << gauge_names[i];
    }
    EXPECT_TRUE(host.traps().empty());
}

TEST_F(LoadedModule, ModuleStartAndEndTakeNoArguments) {
    EXPECT_TRUE(follows_host_convention(probe_call(linkage->module_init, {}), 0, 0));
    EXPECT_TRUE(follows_host_convention(probe_call(linkage->module_deinit, {}), 0, 0));
}

TEST_F(LoadedModule, ElementListRoutinesPopTheirArgumentAndPassTheFcuFirstElementOn) {
    host.attach(imports);
    ElementHeader* fcu_first = gauge(0)->elements_list[0];
    for (int i = 0; i < module_gauge_count; ++i) {
        GaugeHeader* g = gauge(i);
        const struct {
            const char* name;
            const void* routine;
            std::vector<uint32_t> args;
            int slot;
            uintptr_t value;
        } rows[] = {
            {"query", reinterpret_cast<const void*>(g->query_routine), {}, SLOT_ELEMENT_LIST_QUERY, 0},
            {"install", reinterpret_cast<const void*>(g->install_routine), {0x00400000}, SLOT_ELEMENT_LIST_INSTALL,
             0x00400000},
            {"initialize", reinterpret_cast<const void*>(g->initialize_routine), {}, SLOT_ELEMENT_LIST_INITIALIZE, 0},
            {"update", reinterpret_cast<const void*>(g->update_routine), {}, SLOT_ELEMENT_LIST_UPDATE, 0},
            {"generate", reinterpret_cast<const void*>(g->generate_routine), {3}, SLOT_ELEMENT_LIST_GENERATE, 3},
            {"draw", reinterpret_cast<const void*>(g->draw_routine), {}, SLOT_ELEMENT_LIST_DRAW, 0},
            {"kill", reinterpret_cast<const void*>(g->kill_routine), {}, SLOT_ELEMENT_LIST_KILL, 0},
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(gauge_names[i]) + " " + row.name);
            CallRecord record{};
            testing::orvane_probe_call(row.routine, row.args.data(), static_cast<uint32_t>(row.args.size()),
                                       &record);
            EXPECT_TRUE(follows_host_convention(record, 4 * static_cast<uint32_t>(row.args.size()), 0));
            ASSERT_FALSE(host.element_list_calls().empty());
            const panelhost::ElementListCall& call = host.element_list_calls().back();
            EXPECT_EQ(call.slot, row.slot);
            EXPECT_EQ(call.first, fcu_first);
            EXPECT_EQ(call.value, row.value);
        }
    }
    EXPECT_EQ(host.element_list_calls().size(), 7u * module_gauge_count);
    EXPECT_TRUE(host.traps().empty());
}

TEST_F(LoadedModule, ServiceCallbacksPopTwelveBytesThroughAWholeLife) {
    host.attach(imports);
    const struct {
        int32_t service;
        uint32_t extra;
    } life[] = {
        {SERVICE_PRE_INSTALL, word(module)},
        {SERVICE_PRE_UPDATE, 0},
        {SERVICE_PRE_UPDATE, 0},
        {99, 0xFFFFFFFFu},  // a code the module does not answer
        {SERVICE_PRE_KILL, 0},
    };
    for (int i = 0; i < module_gauge_count; ++i) {
        for (const auto& step : life) {
            EXPECT_TRUE(follows_host_convention(
                probe_call(gauge(i)->gauge_callback, {word(gauge(i)), static_cast<uint32_t>(step.service), step.extra}),
                12, 0))
                << gauge_names[i] << " service " << step.service;
        }
    }
    EXPECT_TRUE(host.traps().empty());
}

// Text, slider and other element callbacks take their element and hand back a
// 64-bit float in ST(0), whatever the host's variables hold.
TEST_F(LoadedModule, ElementCallbacksPopTheirElementAndReturnInSt0) {
    host.attach(imports);
    const std::vector<Callback> callbacks = element_callbacks();
    if (callbacks.empty()) GTEST_SKIP() << "no element of the module has a callback";
    std::printf("%zu element callbacks\n", callbacks.size());

    const double host_values[] = {0.0,
                                  1.0,
                                  -1.0,
                                  12345.678,
                                  1e300,
                                  -1e300,
                                  std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN()};
    for (double value : host_values) {
        set_every_host_var(value);
        for (int i = 0; i < module_gauge_count; ++i) {
            probe_call(gauge(i)->gauge_callback, {word(gauge(i)), SERVICE_PRE_UPDATE, 0});
        }
        for (const Callback& c : callbacks) {
            const CallRecord record = probe_call(c.function, {word(c.element)});
            EXPECT_TRUE(follows_host_convention(record, 4, 1)) << c.where << " with host values " << value;
            if (c.text != nullptr) {
                EXPECT_TRUE(c.text->intact()) << c.where << " wrote \"" << c.text->str() << "\" past its buffer";
            }
        }
    }
    EXPECT_TRUE(host.traps().empty());
}

// A host that draws with Direct3D may leave the x87 unit at single precision.
// The module computes on SSE2, so what it shows must not change with that.
TEST_F(LoadedModule, ResultsDoNotDependOnTheX87PrecisionTheHostLeaves) {
    // A processor loads a double onto the x87 stack exactly whatever the
    // precision control says; qemu-i386 rounds it to that precision. There
    // the values a callback leaves in st(0) are compared as single-precision
    // numbers (the texts, drawn on SSE2, still exactly).
    const char* how = std::getenv("ORVANE_I386");
    const bool loads_rounded = how != nullptr && std::string(how) == "emulated";
    const double values[] = {0.0, 0.785, 1.0 / 3.0, 2.5, -0.1, 250.49999999999997, 12345.678, 33333.3333};
    std::vector<std::string> value_names;  // written once, at the precision the test starts with
    for (double value : values) value_names.push_back(std::to_string(value));
    auto fly = [&]() {
        std::vector<std::string> results;
        set_every_host_var(0.0);
        host.attach(imports);
        for (int i = 0; i < module_gauge_count; ++i) {
            probe_call(gauge(i)->gauge_callback, {word(gauge(i)), SERVICE_PRE_INSTALL, word(module)});
        }
        const std::vector<Callback> callbacks = element_callbacks();
        for (size_t v = 0; v < std::size(values); ++v) {
            set_every_host_var(values[v]);
            for (int i = 0; i < module_gauge_count; ++i) {
                probe_call(gauge(i)->gauge_callback, {word(gauge(i)), SERVICE_PRE_UPDATE, 0});
            }
            for (const Callback& c : callbacks) {
                const CallRecord record = probe_call(c.function, {word(c.element)});
                uint64_t bits = 0;
                if (loads_rounded) {
                    const float rounded = static_cast<float>(record.st0);
                    std::memcpy(&bits, &rounded, sizeof rounded);
                } else {
                    std::memcpy(&bits, &record.st0, sizeof bits);
                }
                std::string result = c.where + " at " + value_names[v] + ": " + std::to_string(bits);
                if (c.text != nullptr) result += " \"" + c.text->str() + "\"";
                results.push_back(result);
            }
        }
        for (int i = 0; i < module_gauge_count; ++i) {
            probe_call(gauge(i)->gauge_callback, {word(gauge(i)), SERVICE_PRE_KILL, 0});
        }
        host.detach();
        return results;
    };
    const std::vector<std::string> at_double_precision = fly();
    if (at_double_precision.empty()) GTEST_SKIP() << "no element of the module has a callback";

    // The same flight in a fresh copy of the module, at single precision.
    ASSERT_TRUE(FreeLibrary(module));
    module = nullptr;
    ASSERT_TRUE(load());
    uint16_t control = 0;
    asm volatile("fnstcw %0" : "=m"(control));
    const uint16_t single_precision = control & ~0x0300;
    asm volatile("fldcw %0" : : "m"(single_precision));
    const std::vector<std::string> at_single_precision = fly();
    asm volatile("fldcw %0" : : "m"(control));

    ASSERT_EQ(at_single_precision.size(), at_double_precision.size());
    for (size_t i = 0; i < at_double_precision.size(); ++i) {
        EXPECT_EQ(at_single_precision[i], at_double_precision[i]);
    }
}

TEST_F(LoadedModule, MouseHandlersPopTheirTwoArgumentsAndAnswerInEax) {
    host.attach(imports);
    int handlers = 0;
    for (int i = 0; i < module_gauge_count; ++i) {
        const std::vector<MouseRect*> rows = mouse_rows(gauge(i));
        for (size_t r = 0; r < rows.size(); ++r) {
            const MouseRect* row = rows[r];
            if (row->rect_type != MOUSE_CLICK_AREA || row->action.handler == nullptr) continue;
            ++handlers;
            PixPoint point{row->relative_box.x + 1, row->relative_box.y + 1};
            for (uint32_t flags : {MOUSE_LEFTSINGLE, MOUSE_RIGHTSINGLE}) {
                const CallRecord record = probe_call(row->action.handler, {word(&point), flags});
                EXPECT_TRUE(follows_host_convention(record, 8, 0)) << gauge_names[i] << " mouse row " << r;
                EXPECT_EQ(record.eax, 0u) << gauge_names[i] << " mouse row " << r;
            }
        }
    }
    if (handlers == 0) GTEST_SKIP() << "no mouse area of the module has a handler";
    std::printf("%d mouse handlers\n", handlers);
    EXPECT_TRUE(host.traps().empty());
}

class VersionBlock : public ::testing::Test {
protected:
    void SetUp() override {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(ORVANE_GAU_PATH, &ignored);
        ASSERT_NE(size, 0u) << "Orvane.gau carries no version block";
        block.resize(size);
        ASSERT_TRUE(GetFileVersionInfoA(ORVANE_GAU_PATH, 0, size, block.data()));
    }

    std::string string_value(const std::string& name) {
        void* value = nullptr;
        UINT length = 0;
        const std::string path = "\\StringFileInfo\\040904b0\\" + name;
        if (!VerQueryValueA(block.data(), path.c_str(), &value, &length) || value == nullptr) return "(missing)";
        return std::string(static_cast<const char*>(value), strnlen(static_cast<const char*>(value), length));
    }

    std::vector<char> block;
};

// The project's version, in the block's two 32-bit words.
constexpr DWORD version_ms = (ORVANE_VERSION_MAJOR << 16) | ORVANE_VERSION_MINOR;
constexpr DWORD version_ls = ORVANE_VERSION_PATCH << 16;

TEST_F(VersionBlock, IsTheProjectVersionForADll) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, value, sizeof info);
    EXPECT_EQ(info.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info.dwFileVersionMS, version_ms);
    EXPECT_EQ(info.dwFileVersionLS, version_ls);
    EXPECT_EQ(info.dwProductVersionMS, version_ms);
    EXPECT_EQ(info.dwProductVersionLS, version_ls);
    EXPECT_EQ(info.dwFileType, static_cast<DWORD>(VFT_DLL));
    EXPECT_EQ(info.dwFileFlags & info.dwFileFlagsMask, 0u) << "a debug, pre-release or patched build";
}

TEST_F(VersionBlock, IsInUsEnglishWithUnicodeCodePage) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u) << "exactly one language";
    WORD translation[2];
    std::memcpy(translation, value, sizeof translation);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04b0);
}

TEST_F(VersionBlock, NamesTheProductOrvaneAndTheFileOrvaneGau) {
    const struct {
        const char* name;
        const char* expected;
    } rows[] = {
        {"ProductName", "Orvane"},
        {"ProductVersion", ORVANE_VERSION_TEXT},
        {"FileVersion", ORVANE_VERSION_TEXT},
        {"OriginalFilename", "Orvane.gau"},
        {"InternalName", "Orvane"},
    };
    for (const auto& row : rows) EXPECT_EQ(string_value(row.name), row.expected) << row.name;
    EXPECT_NE(string_value("FileDescription"), "(missing)");
}

}  // namespace
}  // namespace orvane
