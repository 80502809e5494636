// The host's call order: what the simulator calls on a gauge, and when, at
// install, at every update and at kill. The panel and the benchmarks' lean
// panel both follow it; each says how one call is made, through a Calls
// type with
//   void service(ServiceCallback, GaugeHeader*, int32_t code, ServiceExtra extra);
//   void refresh(ModuleVar&);
//   template <typename Callback, typename Element> double call(Callback, Element*);
#pragma once

#include <cstddef>
#include <optional>

#include "module/host_abi.h"

namespace panelhost {

template <typename Calls>
void call_service(orvane::GaugeHeader* gauge, int32_t code, orvane::ServiceExtra extra, Calls& calls) {
    if (gauge->gauge_callback != nullptr) calls.service(gauge->gauge_callback, gauge, code, extra);
}

// Install: the pre-install call with the module's instance handle, the
// element-list install that gives every text element its buffer, then the
// post-install and the initialisation calls.
template <typename Calls, typename SupplyTextBuffers>
void install_gauge(orvane::GaugeHeader* gauge, orvane::ServiceExtra instance, Calls& calls,
                   SupplyTextBuffers supply_text_buffers) {
    call_service(gauge, orvane::SERVICE_PRE_INSTALL, instance, calls);
    supply_text_buffers();
    call_service(gauge, orvane::SERVICE_POST_INSTALL, 0, calls);
    call_service(gauge, orvane::SERVICE_PRE_INITIALIZE, 0, calls);
    call_service(gauge, orvane::SERVICE_POST_INITIALIZE, 0, calls);
}

// An update: the pre-update call, then every element of the chain in order,
// then the post-update call.
template <typename Calls, typename UpdateElement>
void update_gauge(orvane::GaugeHeader* gauge, size_t element_count, Calls& calls, UpdateElement update_element) {
    call_service(gauge, orvane::SERVICE_PRE_UPDATE, 0, calls);
    for (size_t i = 0; i < element_count; ++i) update_element(i);
    call_service(gauge, orvane::SERVICE_POST_UPDATE, 0, calls);
}

// Kill: the pre-kill call, the element-list kill that takes the text buffers
// back, the post-kill call.
template <typename Calls, typename TakeTextBuffers>
void kill_gauge(orvane::GaugeHeader* gauge, Calls& calls, TakeTextBuffers take_text_buffers) {
    call_service(gauge, orvane::SERVICE_PRE_KILL, 0, calls);
    take_text_buffers();
    call_service(gauge, orvane::SERVICE_POST_KILL, 0, calls);
}

namespace update_detail {

template <typename Calls>
void refresh(orvane::ModuleVar& var, bool refresh_first, Calls& calls) {
    if (refresh_first && var.id != 0) calls.refresh(var);
}

// An axis's value: its callback's result where it has one, else its source.
template <typename Calls, typename Element, typename Callback>
double axis_value(Element* element, Callback callback, const orvane::ModuleVar& source,
                  std::optional<double>& result, Calls& calls) {
    if (callback == nullptr) return source.value.n;
    result = calls.call(callback, element);
    return *result;
}

}  // namespace update_detail

// One element's part of an update: its own variables refreshed (unless a
// callback is called alone), then its callbacks, in the order the host
// calls them. axis gets the values x, y and rotation of sliders, moving
// images and sprites, and an icon's value in x; result what the last
// callback returned.
template <typename Calls>
void update_element(orvane::ElementHeader* element, bool refresh_first, Calls& calls, double (&axis)[3],
                    std::optional<double>& result) {
    using namespace orvane;
    using update_detail::axis_value;
    using update_detail::refresh;
    switch (element->element_type) {
    case ELEMENT_STRING: {
        auto* text = reinterpret_cast<ElementString*>(element);
        for (ModuleVar& var : text->source_var) refresh(var, refresh_first, calls);
        if (text->update_cb != nullptr) result = calls.call(text->update_cb, text);
        break;
    }
    case ELEMENT_SLIDER: {
        auto* slider = reinterpret_cast<ElementSlider*>(element);
        refresh(slider->source_var_x, refresh_first, calls);
        refresh(slider->source_var_y, refresh_first, calls);
        axis[0] = axis_value(slider, slider->update_x_cb, slider->source_var_x, result, calls);
        axis[1] = axis_value(slider, slider->update_y_cb, slider->source_var_y, result, calls);
        break;
    }
    case ELEMENT_ICON: {
        auto* icon = reinterpret_cast<ElementIcon*>(element);
        refresh(icon->source_var, refresh_first, calls);
        axis[0] = axis_value(icon, icon->update_cb, icon->source_var, result, calls);
        break;
    }
    case ELEMENT_MOVING_IMAGE: {
        auto* image = reinterpret_cast<ElementMovingImage*>(element);
        refresh(image->source_var_x, refresh_first, calls);
        refresh(image->source_var_y, refresh_first, calls);
        axis[0] = axis_value(image, image->update_x_cb, image->source_var_x, result, calls);
        axis[1] = axis_value(image, image->update_y_cb, image->source_var_y, result, calls);
        break;
    }
    case ELEMENT_SPRITE: {
        auto* sprite = reinterpret_cast<ElementSprite*>(element);
        refresh(sprite->source_var_x, refresh_first, calls);
        refresh(sprite->source_var_y, refresh_first, calls);
        refresh(sprite->source_var_0, refresh_first, calls);
        axis[0] = axis_value(sprite, sprite->update_x_cb, sprite->source_var_x, result, calls);
        axis[1] = axis_value(sprite, sprite->update_y_cb, sprite->source_var_y, result, calls);
        axis[2] = axis_value(sprite, sprite->update_0_cb, sprite->source_var_0, result, calls);
        break;
    }
    default: break;
    }
}

}  // namespace panelhost
