#include "tests/fuzz/module_image.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <array>
#include <cstdlib>
#include <cstring>

namespace orvane::fuzzing {
namespace {

// The image, mapped once for the life of the program.
uint8_t* mapped_image() {
    static uint8_t* image = [] {
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        void* region = mmap(reinterpret_cast<void*>(image_base - page), image_bytes + 2 * page, PROT_NONE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
        if (region == MAP_FAILED || region != reinterpret_cast<void*>(image_base - page) ||
            mprotect(reinterpret_cast<void*>(image_base), image_bytes, PROT_READ | PROT_WRITE) != 0) {
            std::fprintf(stderr, "cannot map the module image at 0x%lx\n", static_cast<unsigned long>(image_base));
            std::abort();
        }
        return reinterpret_cast<uint8_t*>(image_base);
    }();
    return image;
}

}  // namespace

panelhost::ModuleRecords load_image(std::span<const uint8_t> input) {
    uint8_t* image = mapped_image();
    std::fill_n(image, image_bytes, 0);
    const uint8_t size_units = input.empty() ? 0 : input[0];
    if (!input.empty()) input = input.subspan(1);
    std::copy_n(input.begin(), std::min(input.size(), image_data_bytes), image);
    panelhost::ModuleRecords records;
    records.imports = reinterpret_cast<GaugeModuleImports*>(image + imports_offset);
    records.linkage = reinterpret_cast<GaugeModuleLinkage*>(image + linkage_offset);
    records.image.add(image, image_data_bytes, false);
    records.image.add(image + image_data_bytes, image_data_bytes, true);
    records.imports_bytes = static_cast<size_t>(size_units & 0x0F) * 8;
    records.linkage_bytes = static_cast<size_t>(size_units >> 4) * 8;
    return records;
}

size_t ImageWriter::reserve(size_t size, size_t alignment) {
    next_ = (next_ + alignment - 1) / alignment * alignment;
    const size_t at = next_;
    next_ += size;
    if (next_ > bytes_.size()) {
        std::fprintf(stderr, "the module image is full\n");
        std::abort();
    }
    return at;
}

size_t ImageWriter::add_text(const std::string& text) {
    const size_t at = reserve(text.size() + 1, 1);
    std::memcpy(bytes_.data() + at, text.c_str(), text.size() + 1);
    return at;
}

std::vector<uint8_t> ImageWriter::input(uint8_t export_size_units) const {
    // The image ends where its last record does: the rest is zero anyway.
    size_t end = bytes_.size();
    while (end > 0 && bytes_[end - 1] == 0) --end;
    std::vector<uint8_t> in(end + 1);
    in[0] = export_size_units;
    std::copy_n(bytes_.begin(), end, in.begin() + 1);
    return in;
}

namespace {

// The ways a seed breaks the sound module.
enum class Damage { none, import_id, module_id, stray_gauge, stray_name, unterminated_name, cycle, stray_failures,
                    stray_mouse_row, data_callback, small_exports };

std::vector<uint8_t> seed(Damage damage) {
    ImageWriter w;
    using W = ImageWriter;
    const size_t tooltip = w.add_text("Test Knob");
    const size_t whole_tooltip = w.add_text("Test Gauge");
    const size_t name0 = w.add_text("T");
    const size_t name1 = w.add_text("U");

    const size_t failures = w.add(FailureRecord{.key = FAIL_SYSTEM_ELECTRICAL_PANELS, .action = FAIL_ACTION_NO_DRAW});
    w.add(FailureRecord{.key = FAIL_NONE});

    const size_t background = w.reserve(sizeof(ElementStaticImage));
    const size_t text = w.reserve(sizeof(ElementString));
    const size_t slider = w.reserve(sizeof(ElementSlider));
    const size_t moving = w.reserve(sizeof(ElementMovingImage));
    const size_t sprite = w.reserve(sizeof(ElementSprite));
    const size_t icon = w.reserve(sizeof(ElementIcon));
    const size_t gauge0 = w.reserve(sizeof(GaugeHeader));
    const size_t gauge1 = w.reserve(sizeof(GaugeHeader));
    // Each element's next-element list: a null-ended list of the one after it.
    auto list = [&](size_t element) { return w.add(std::array<uintptr_t, 2>{W::data(element), 0}); };
    const size_t first = list(background);
    const size_t after_background = list(text);
    const size_t after_text = list(slider);
    const size_t after_slider = list(moving);
    const size_t after_moving = list(sprite);
    const size_t after_sprite = list(damage == Damage::cycle ? slider : icon);

    auto header = [&](int32_t kind, size_t next_list) {
        return ElementHeader{.element_type = kind,
                             .resource_id = kind == ELEMENT_STRING ? -1 : 5000 + kind,
                             .gauge_header = W::at<GaugeHeader*>(gauge0),
                             .next_element = next_list != 0 ? W::at<ElementHeader**>(next_list) : nullptr};
    };
    ElementStaticImage bg{.header = header(ELEMENT_STATIC_IMAGE, after_background)};
    bg.header.failure_systems =
        damage == Damage::stray_failures ? reinterpret_cast<FailureRecord*>(0x1000) : W::at<FailureRecord*>(failures);
    w.put(background, bg);
    ElementString t{.header = header(ELEMENT_STRING, after_text), .img_size = {33, 14}, .max_string_length = 4};
    t.source_var[0].id = 615;
    t.update_cb = reinterpret_cast<StringCallback>(W::code(0x40));
    w.put(text, t);
    ElementSlider s{.header = header(ELEMENT_SLIDER, after_slider), .scale_y = 1.5};
    s.update_y_cb = reinterpret_cast<SliderCallback>(W::code(0x50));
    w.put(slider, s);
    w.put(moving, ElementMovingImage{.header = header(ELEMENT_MOVING_IMAGE, after_moving), .min_y = 620});
    w.put(sprite, ElementSprite{.header = header(ELEMENT_SPRITE, after_sprite)});
    w.put(icon, ElementIcon{.header = header(ELEMENT_ICON, 0), .num_icons = 1});

    std::vector<MouseRect> rows = {
        {.rect_type = MOUSE_OPEN_AREA, .cursor = CURSOR_NONE},
        {.rect_type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE},
        {.rect_type = MOUSE_OPEN_AREA, .relative_box = {10, 10, 40, 20}, .cursor = CURSOR_NONE},
        {.rect_type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE},
        {.rect_type = MOUSE_CLICK_AREA, .relative_box = {0, 0, 18, 20}, .cursor = CURSOR_DOWNARROW,
         .mouse_flags = MOUSE_CLICK_REPEAT, .event_id = 65893},
        {.rect_type = MOUSE_CLICK_AREA, .relative_box = {22, 0, 18, 20}, .cursor = CURSOR_UPARROW,
         .mouse_flags = MOUSE_CLICK},
        {.rect_type = MOUSE_CLOSE_AREA, .cursor = CURSOR_NONE},
        {.rect_type = MOUSE_CLOSE_AREA, .cursor = CURSOR_NONE},
        {.rect_type = MOUSE_END_OF_TABLE},
    };
    rows[1].action.tooltip = W::at<const char*>(whole_tooltip);
    rows[3].action.tooltip = W::at<const char*>(tooltip);
    rows[5].action.handler = damage == Damage::data_callback ? W::at<MouseFunction>(failures)
                                                             : reinterpret_cast<MouseFunction>(W::code(0x60));
    const size_t mouse = w.reserve(sizeof(MouseRect) * rows.size());
    for (size_t i = 0; i < rows.size(); ++i) w.put(mouse + i * sizeof(MouseRect), rows[i]);
    if (damage == Damage::stray_mouse_row) w.put(mouse + 8 * sizeof(MouseRect), MouseRect{.rect_type = 9});

    GaugeHeader g0{.gauge_header_version = gauge_header_version_700,
                   .gauge_name = W::at<const char*>(name0),
                   .elements_list = W::at<ElementHeader**>(first),
                   .size_x_mm = 50,
                   .mouse_rect = W::at<MouseRect*>(mouse),
                   .gauge_callback = reinterpret_cast<ServiceCallback>(W::code(0x20))};
    if (damage == Damage::stray_name) g0.gauge_name = reinterpret_cast<const char*>(0x1000);
    w.put(gauge0, g0);
    w.put(gauge1, GaugeHeader{.gauge_header_version = gauge_header_version_700,
                              .gauge_name = W::at<const char*>(name1),
                              .size_x_mm = 10});

    GaugeModuleImports imports{.entry = {{.id = damage == Damage::import_id ? 0x10u : import_id_panels}, {}}};
    w.put(imports_offset, imports);
    GaugeModuleLinkage linkage{.module_id = damage == Damage::module_id ? 0x12u : module_id_gauges,
                               .module_init = reinterpret_cast<ModuleRoutine>(W::code(0)),
                               .module_deinit = reinterpret_cast<ModuleRoutine>(W::code(0x10)),
                               .gauge_table = {W::at<GaugeHeader*>(gauge0), W::at<GaugeHeader*>(gauge1), nullptr}};
    if (damage == Damage::stray_gauge) linkage.gauge_table[1] = reinterpret_cast<GaugeHeader*>(0x1000);
    w.put(linkage_offset, linkage);
    std::vector<uint8_t> in = w.input(damage == Damage::small_exports ? 0x11 : 0);
    if (damage == Damage::unterminated_name) {
        // The image ends in the name's first letters, with no NUL before its end.
        in.resize(1 + image_data_bytes, 'N');
        GaugeHeader cut = g0;
        cut.gauge_name = W::at<const char*>(image_data_bytes - 8);
        std::memcpy(in.data() + 1 + gauge0, &cut, sizeof cut);
    }
    return in;
}

}  // namespace

std::vector<std::pair<std::string, std::vector<uint8_t>>> module_image_seeds() {
    return {
        {"sound", seed(Damage::none)},
        {"wrong_import_id", seed(Damage::import_id)},
        {"wrong_module_id", seed(Damage::module_id)},
        {"stray_gauge", seed(Damage::stray_gauge)},
        {"stray_name", seed(Damage::stray_name)},
        {"unterminated_name", seed(Damage::unterminated_name)},
        {"cycle", seed(Damage::cycle)},
        {"stray_failures", seed(Damage::stray_failures)},
        {"unknown_mouse_row", seed(Damage::stray_mouse_row)},
        {"handler_in_data", seed(Damage::data_callback)},
        {"small_exports", seed(Damage::small_exports)},
    };
}

}  // namespace orvane::fuzzing
