// The host reads these records at fixed offsets; pin every size and offset it
// reads. Only the win32 build has the host's layout.
#pragma once

#include "module/host_abi.h"

#if ORVANE_HOST_LAYOUT

#define ORVANE_PIN_SIZE(record, bytes) static_assert(sizeof(record) == (bytes), #record " size")
#define ORVANE_PIN(record, field, at) static_assert(offsetof(record, field) == (at), #record "." #field)

namespace orvane::layout {

ORVANE_PIN_SIZE(PixPoint, 8);
ORVANE_PIN(PixPoint, y, 4);
ORVANE_PIN_SIZE(PixBox, 16);
ORVANE_PIN(PixBox, y, 4);
ORVANE_PIN(PixBox, size_x, 8);
ORVANE_PIN(PixBox, size_y, 12);
ORVANE_PIN_SIZE(ImageSet, 16);
ORVANE_PIN(ImageSet, source, 4);
ORVANE_PIN(ImageSet, reserved2, 12);
ORVANE_PIN_SIZE(SeqRec, 12);
ORVANE_PIN_SIZE(FailureRecord, 12);
ORVANE_PIN(FailureRecord, key, 0);
ORVANE_PIN(FailureRecord, action, 4);
ORVANE_PIN(FailureRecord, reserved, 8);
ORVANE_PIN_SIZE(HostValue, 8);
static_assert(alignof(HostValue) == 4, "HostValue is 4-aligned under the host's packing");

ORVANE_PIN_SIZE(ModuleVar, 28);
ORVANE_PIN(ModuleVar, id, 0);
ORVANE_PIN(ModuleVar, var_ptr, 4);
ORVANE_PIN(ModuleVar, var_type, 8);
ORVANE_PIN(ModuleVar, value, 12);
ORVANE_PIN(ModuleVar, previous, 20);

ORVANE_PIN_SIZE(ElementHeader, 60);
ORVANE_PIN(ElementHeader, element_type, 0);
ORVANE_PIN(ElementHeader, resource_id, 4);
ORVANE_PIN(ElementHeader, position, 8);
ORVANE_PIN(ElementHeader, previous_position, 16);
ORVANE_PIN(ElementHeader, ofs, 24);
ORVANE_PIN(ElementHeader, gauge_header, 32);
ORVANE_PIN(ElementHeader, previous_element, 36);
ORVANE_PIN(ElementHeader, next_element, 40);
ORVANE_PIN(ElementHeader, failure_systems, 44);
ORVANE_PIN(ElementHeader, image_flags, 48);
ORVANE_PIN(ElementHeader, aircraft_special_instrumentation, 52);
ORVANE_PIN(ElementHeader, reserved, 56);

ORVANE_PIN_SIZE(ElementStaticImage, 96);
ORVANE_PIN(ElementStaticImage, image_data, 60);
ORVANE_PIN(ElementStaticImage, save_buffer, 76);
ORVANE_PIN(ElementStaticImage, hdc, 80);
ORVANE_PIN(ElementStaticImage, hbmp, 84);
ORVANE_PIN(ElementStaticImage, reserved1, 88);
ORVANE_PIN(ElementStaticImage, reserved2, 92);

ORVANE_PIN_SIZE(ElementIcon, 140);
ORVANE_PIN(ElementIcon, source_var, 60);
ORVANE_PIN(ElementIcon, source_var_cb, 88);
ORVANE_PIN(ElementIcon, switch_type, 92);
ORVANE_PIN(ElementIcon, switch_count, 96);
ORVANE_PIN(ElementIcon, scale, 100);
ORVANE_PIN(ElementIcon, offset, 108);
ORVANE_PIN(ElementIcon, num_icons, 112);
ORVANE_PIN(ElementIcon, cur_icon, 116);
ORVANE_PIN(ElementIcon, dst_icon, 120);
ORVANE_PIN(ElementIcon, picon_data, 124);
ORVANE_PIN(ElementIcon, save_buffer, 128);
ORVANE_PIN(ElementIcon, update_cb, 132);
ORVANE_PIN(ElementIcon, reserved1, 136);

ORVANE_PIN_SIZE(ElementString, 324);
ORVANE_PIN(ElementString, source_var, 60);
ORVANE_PIN(ElementString, save_var, 144);
ORVANE_PIN(ElementString, source_var_cb, 168);
ORVANE_PIN(ElementString, source_fn, 180);
ORVANE_PIN(ElementString, string, 184);
ORVANE_PIN(ElementString, string_old, 188);
ORVANE_PIN(ElementString, img_size, 192);
ORVANE_PIN(ElementString, string_data, 200);
ORVANE_PIN(ElementString, save_buffer, 204);
ORVANE_PIN(ElementString, fg_color, 208);
ORVANE_PIN(ElementString, bg_color, 212);
ORVANE_PIN(ElementString, hilite_color, 216);
ORVANE_PIN(ElementString, hdc, 220);
ORVANE_PIN(ElementString, hfont, 224);
ORVANE_PIN(ElementString, reserved1, 228);
ORVANE_PIN(ElementString, hbmp, 232);
ORVANE_PIN(ElementString, reserved2, 236);
ORVANE_PIN(ElementString, hbrush, 240);
ORVANE_PIN(ElementString, reserved3, 244);
ORVANE_PIN(ElementString, font_name, 248);
ORVANE_PIN(ElementString, font_weight, 280);
ORVANE_PIN(ElementString, font_charset, 284);
ORVANE_PIN(ElementString, draw_text_flags, 288);
ORVANE_PIN(ElementString, max_string_length, 292);
ORVANE_PIN(ElementString, char_width, 294);
ORVANE_PIN(ElementString, sel_str, 296);
ORVANE_PIN(ElementString, sel_end, 298);
ORVANE_PIN(ElementString, seq, 300);
ORVANE_PIN(ElementString, save_global_seq, 304);
ORVANE_PIN(ElementString, char_height, 308);
ORVANE_PIN(ElementString, update_cb, 312);
ORVANE_PIN(ElementString, use_user_color, 316);
ORVANE_PIN(ElementString, user_color, 320);

ORVANE_PIN_SIZE(ElementSlider, 192);
ORVANE_PIN(ElementSlider, source_var_x, 60);
ORVANE_PIN(ElementSlider, source_var_x_cb, 88);
ORVANE_PIN(ElementSlider, scale_x, 92);
ORVANE_PIN(ElementSlider, lag_fn_x, 100);
ORVANE_PIN(ElementSlider, source_var_y, 104);
ORVANE_PIN(ElementSlider, source_var_y_cb, 132);
ORVANE_PIN(ElementSlider, scale_y, 136);
ORVANE_PIN(ElementSlider, lag_fn_y, 144);
ORVANE_PIN(ElementSlider, slider_data, 148);
ORVANE_PIN(ElementSlider, save_buffer, 164);
ORVANE_PIN(ElementSlider, update_x_cb, 168);
ORVANE_PIN(ElementSlider, update_y_cb, 172);
ORVANE_PIN(ElementSlider, previous_x, 176);
ORVANE_PIN(ElementSlider, previous_y, 184);

ORVANE_PIN_SIZE(ElementMovingImage, 268);
ORVANE_PIN(ElementMovingImage, source_var_x, 60);
ORVANE_PIN(ElementMovingImage, source_var_x_cb, 88);
ORVANE_PIN(ElementMovingImage, min_x, 92);
ORVANE_PIN(ElementMovingImage, max_x, 100);
ORVANE_PIN(ElementMovingImage, lag_x, 108);
ORVANE_PIN(ElementMovingImage, source_var_y, 112);
ORVANE_PIN(ElementMovingImage, source_var_y_cb, 140);
ORVANE_PIN(ElementMovingImage, min_y, 144);
ORVANE_PIN(ElementMovingImage, max_y, 152);
ORVANE_PIN(ElementMovingImage, lag_y, 160);
ORVANE_PIN(ElementMovingImage, scale_x, 164);
ORVANE_PIN(ElementMovingImage, scale_y, 172);
ORVANE_PIN(ElementMovingImage, offset_x, 180);
ORVANE_PIN(ElementMovingImage, offset_y, 188);
ORVANE_PIN(ElementMovingImage, save_position, 196);
ORVANE_PIN(ElementMovingImage, image_data, 204);
ORVANE_PIN(ElementMovingImage, local_mask_data, 220);
ORVANE_PIN(ElementMovingImage, mask_data, 236);
ORVANE_PIN(ElementMovingImage, save_buffer, 240);
ORVANE_PIN(ElementMovingImage, update_x_cb, 244);
ORVANE_PIN(ElementMovingImage, update_y_cb, 248);
ORVANE_PIN(ElementMovingImage, previous_x, 252);
ORVANE_PIN(ElementMovingImage, previous_y, 260);

ORVANE_PIN_SIZE(ElementSprite, 352);
ORVANE_PIN(ElementSprite, source_var_x, 60);
ORVANE_PIN(ElementSprite, source_var_x_cb, 88);
ORVANE_PIN(ElementSprite, scale_x, 92);
ORVANE_PIN(ElementSprite, source_var_y, 100);
ORVANE_PIN(ElementSprite, source_var_y_cb, 128);
ORVANE_PIN(ElementSprite, scale_y, 132);
ORVANE_PIN(ElementSprite, source_var_0, 140);
ORVANE_PIN(ElementSprite, source_var_0_cb, 168);
ORVANE_PIN(ElementSprite, scale_0, 172);
ORVANE_PIN(ElementSprite, texture_scale_x, 180);
ORVANE_PIN(ElementSprite, texture_scale_y, 184);
ORVANE_PIN(ElementSprite, reference, 188);
ORVANE_PIN(ElementSprite, reference_old, 196);
ORVANE_PIN(ElementSprite, o, 204);
ORVANE_PIN(ElementSprite, os, 236);
ORVANE_PIN(ElementSprite, sprite_data, 268);
ORVANE_PIN(ElementSprite, texture_data, 284);
ORVANE_PIN(ElementSprite, texture_handle, 288);
ORVANE_PIN(ElementSprite, local_mask_data, 292);
ORVANE_PIN(ElementSprite, mask_data, 308);
ORVANE_PIN(ElementSprite, save_buffer, 312);
ORVANE_PIN(ElementSprite, update_x_cb, 316);
ORVANE_PIN(ElementSprite, update_y_cb, 320);
ORVANE_PIN(ElementSprite, update_0_cb, 324);
ORVANE_PIN(ElementSprite, previous_x, 328);
ORVANE_PIN(ElementSprite, previous_y, 336);
ORVANE_PIN(ElementSprite, previous_0, 344);

ORVANE_PIN_SIZE(MouseRect, 44);
ORVANE_PIN(MouseRect, rect_type, 0);
ORVANE_PIN(MouseRect, relative_box, 4);
ORVANE_PIN(MouseRect, cursor, 20);
ORVANE_PIN(MouseRect, help_id, 24);
ORVANE_PIN(MouseRect, mouse_flags, 28);
ORVANE_PIN(MouseRect, event_id, 32);
ORVANE_PIN(MouseRect, action, 36);
ORVANE_PIN(MouseRect, api_data, 40);
ORVANE_PIN_SIZE(MouseCallback, 28);
ORVANE_PIN(MouseCallback, relative_point, 0);
ORVANE_PIN(MouseCallback, user_data, 8);
ORVANE_PIN(MouseCallback, mouse, 12);
ORVANE_PIN(MouseCallback, screen_point, 16);
ORVANE_PIN(MouseCallback, reserved, 24);

ORVANE_PIN_SIZE(GaugeHeader, 252);
ORVANE_PIN(GaugeHeader, gauge_header_version, 0);
ORVANE_PIN(GaugeHeader, gauge_name, 4);
ORVANE_PIN(GaugeHeader, elements_list, 8);
ORVANE_PIN(GaugeHeader, query_routine, 12);
ORVANE_PIN(GaugeHeader, install_routine, 16);
ORVANE_PIN(GaugeHeader, initialize_routine, 20);
ORVANE_PIN(GaugeHeader, update_routine, 24);
ORVANE_PIN(GaugeHeader, generate_routine, 28);
ORVANE_PIN(GaugeHeader, draw_routine, 32);
ORVANE_PIN(GaugeHeader, kill_routine, 36);
ORVANE_PIN(GaugeHeader, reserved1, 40);
ORVANE_PIN(GaugeHeader, size_x_mm, 44);
ORVANE_PIN(GaugeHeader, size_y_mm, 48);
ORVANE_PIN(GaugeHeader, x_adjust, 52);
ORVANE_PIN(GaugeHeader, y_adjust, 56);
ORVANE_PIN(GaugeHeader, reserved2, 60);
ORVANE_PIN(GaugeHeader, reserved3, 64);
ORVANE_PIN(GaugeHeader, position, 68);
ORVANE_PIN(GaugeHeader, reserved4, 76);
ORVANE_PIN(GaugeHeader, mouse_rect, 80);
ORVANE_PIN(GaugeHeader, gauge_callback, 84);
ORVANE_PIN(GaugeHeader, user_data, 88);
ORVANE_PIN(GaugeHeader, parameters, 92);
ORVANE_PIN(GaugeHeader, usage, 96);
ORVANE_PIN(GaugeHeader, reserved5, 100);
ORVANE_PIN(GaugeHeader, reserved6, 104);
ORVANE_PIN(GaugeHeader, size, 108);
ORVANE_PIN(GaugeHeader, user_area, 116);
ORVANE_PIN(GaugeHeader, flags, 196);
ORVANE_PIN(GaugeHeader, reserved7, 200);
ORVANE_PIN(GaugeHeader, guid, 204);
ORVANE_PIN(GaugeHeader, key_id, 220);
ORVANE_PIN(GaugeHeader, serialize_callbacks, 224);
ORVANE_PIN(GaugeHeader, original_position, 244);

ORVANE_PIN_SIZE(ImportEntry, 8);
ORVANE_PIN(ImportEntry, id, 0);
ORVANE_PIN(ImportEntry, table, 4);
ORVANE_PIN_SIZE(GaugeModuleImports, 16);
ORVANE_PIN(GaugeModuleImports, entry, 0);
ORVANE_PIN_SIZE(GaugeModuleLinkage, 24 + 4 * (module_gauge_count + 1));
ORVANE_PIN(GaugeModuleLinkage, module_id, 0);
ORVANE_PIN(GaugeModuleLinkage, module_init, 4);
ORVANE_PIN(GaugeModuleLinkage, module_deinit, 8);
ORVANE_PIN(GaugeModuleLinkage, module_flags, 12);
ORVANE_PIN(GaugeModuleLinkage, module_priority, 16);
ORVANE_PIN(GaugeModuleLinkage, module_version, 20);
ORVANE_PIN(GaugeModuleLinkage, gauge_table, 24);

ORVANE_PIN_SIZE(HostFunctionTable, 344);
static_assert(sizeof(HostOperation) == 4, "host function table slots are 32-bit");
static_assert(SLOT_ELEMENT_LIST_QUERY * sizeof(HostOperation) == 96, "element-list operations from byte 96");
static_assert(SLOT_ELEMENT_LIST_KILL * sizeof(HostOperation) == 124, "element-list kill at byte 124");
static_assert(SLOT_TRIGGER_KEY_EVENT * sizeof(HostOperation) == 144, "trigger_key_event at byte 144");
static_assert(SLOT_REFRESH_VAR * sizeof(HostOperation) == 160, "lookup_var at byte 160");

// Every argument and result crosses as a 32-bit word (doubles excepted).
static_assert(sizeof(ServiceExtra) == 4, "the service callback's extra value is 32 bits");
static_assert(sizeof(void*) == 4 && sizeof(MouseFunction) == 4, "32-bit pointers");
static_assert(sizeof(ElementKind) == 4 && sizeof(MouseRectKind) == 4 && sizeof(ServiceCode) == 4,
              "host enums are 32-bit");
static_assert(alignof(GaugeHeader) == 4 && alignof(ElementSlider) == 4 && alignof(ElementSprite) == 4,
              "the host's records are 4-aligned: their doubles sit at offsets that are not multiples of 8");

}  // namespace orvane::layout

#undef ORVANE_PIN
#undef ORVANE_PIN_SIZE

#endif
