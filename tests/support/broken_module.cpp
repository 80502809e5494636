// A gauge module whose records break the host's rules in one way each,
// chosen when it is built (BROKEN_WRONG_ID, BROKEN_STRAY_GAUGE, ...): the
// host must refuse every one with a message, reading nothing outside it.
#include "module/host_abi.h"

#if defined(_WIN32)
#define BROKEN_EXPORT __declspec(dllexport)
#else
#define BROKEN_EXPORT __attribute__((visibility("default")))
#endif

namespace {

using namespace orvane;

// Where no module lies: the first pages of every process are left unmapped.
template <typename T>
T* stray() {
    return reinterpret_cast<T*>(uintptr_t{0x1000});
}

[[maybe_unused]] int data_word = 7;

ElementStaticImage background = {.header = {.element_type = ELEMENT_STATIC_IMAGE, .resource_id = 1}};
ElementHeader* elements[] = {&background.header, nullptr};

MouseRect mouse[] = {
    {.rect_type = MOUSE_OPEN_AREA, .cursor = CURSOR_NONE},
    {.rect_type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .action = {.tooltip = "Broken"}},
    {.rect_type = MOUSE_CLOSE_AREA, .cursor = CURSOR_NONE},
    {.rect_type = MOUSE_END_OF_TABLE},
};

[[maybe_unused]] GaugeHeader gauge = {
    .gauge_header_version = gauge_header_version_700,
    .gauge_name = "B",
    .elements_list = elements,
    .size_x_mm = 10,
    .mouse_rect = mouse,
};

// Each variant's damage, done before the host can look.
[[maybe_unused]] bool damaged = [] {
#if defined(BROKEN_STRAY_NAME)
    gauge.gauge_name = stray<const char>();
#elif defined(BROKEN_STRAY_ELEMENTS)
    gauge.elements_list = stray<ElementHeader*>();
#elif defined(BROKEN_STRAY_ELEMENT)
    elements[0] = stray<ElementHeader>();
#elif defined(BROKEN_STRAY_MOUSE)
    gauge.mouse_rect = stray<MouseRect>();
#elif defined(BROKEN_STRAY_TOOLTIP)
    mouse[1].action.tooltip = stray<const char>();
#elif defined(BROKEN_STRAY_FAILURES)
    background.header.failure_systems = stray<FailureRecord>();
#elif defined(BROKEN_DATA_CALLBACK)
    gauge.gauge_callback = reinterpret_cast<ServiceCallback>(&data_word);
#endif
    return true;
}();

}  // namespace

extern "C" {

#if defined(BROKEN_SMALL_EXPORTS)
BROKEN_EXPORT char ImportTable = 0x0F;
BROKEN_EXPORT char Linkage = 0x13;
#else
BROKEN_EXPORT GaugeModuleImports ImportTable = {.entry = {{.id = import_id_panels}, {}}};
#if defined(BROKEN_WRONG_ID)
BROKEN_EXPORT GaugeModuleLinkage Linkage = {.module_id = 0x12, .gauge_table = {stray<GaugeHeader>(), nullptr}};
#elif defined(BROKEN_STRAY_GAUGE)
BROKEN_EXPORT GaugeModuleLinkage Linkage = {.module_id = module_id_gauges, .gauge_table = {stray<GaugeHeader>()}};
#else
BROKEN_EXPORT GaugeModuleLinkage Linkage = {.module_id = module_id_gauges, .gauge_table = {&gauge, nullptr}};
#endif
#endif

}  // extern "C"
