#include "host/services/names.h"

#include <limits>

#include "host/base/text_format.h"
#include "module/host_abi.h"
#include "module/host_var_list.h"
#include "module/key_event_list.h"

namespace panelhost {
namespace {

template <typename Id>
std::optional<Id> numeric_id(std::string_view token) {
    const auto value = parse_integer(token);
    if (!value || *value < std::numeric_limits<Id>::min() || *value > std::numeric_limits<Id>::max()) {
        return std::nullopt;
    }
    return static_cast<Id>(*value);
}

}  // namespace

// A name's id in one of the module's lists, or the token read as a number.
#define PANELHOST_ID_BY_NAME(name, number) \
    if (token == #name) return number;
#define PANELHOST_NAME_OF_ID(name, number) \
    case number:                           \
        return #name;

std::optional<int32_t> host_var_id(std::string_view token) {
    ORVANE_HOST_VARIABLES(PANELHOST_ID_BY_NAME)
    return numeric_id<int32_t>(token);
}

std::string host_var_label(int32_t id) {
    switch (id) { ORVANE_HOST_VARIABLES(PANELHOST_NAME_OF_ID) }
    return "";
}

std::optional<uint32_t> key_event_id(std::string_view token) {
    ORVANE_KEY_EVENTS(PANELHOST_ID_BY_NAME)
    return numeric_id<uint32_t>(token);
}

std::string key_event_label(uint32_t id) {
    switch (id) { ORVANE_KEY_EVENTS(PANELHOST_NAME_OF_ID) }
    return "";
}

#undef PANELHOST_ID_BY_NAME
#undef PANELHOST_NAME_OF_ID

std::optional<int32_t> failure_key(std::string_view token) {
    if (token == "FAIL_SYSTEM_VACUUM") return orvane::FAIL_SYSTEM_VACUUM;
    if (token == "FAIL_GAUGE_ATTITUDE") return orvane::FAIL_GAUGE_ATTITUDE;
    if (token == "FAIL_SYSTEM_ELECTRICAL_PANELS") return orvane::FAIL_SYSTEM_ELECTRICAL_PANELS;
    return numeric_id<int32_t>(token);
}

std::string element_kind_name(int32_t kind) {
    switch (kind) {
    case orvane::ELEMENT_STATIC_IMAGE: return "static image";
    case orvane::ELEMENT_NEEDLE: return "needle";
    case orvane::ELEMENT_STRING: return "text";
    case orvane::ELEMENT_SLIDER: return "slider";
    case orvane::ELEMENT_ICON: return "icon";
    case orvane::ELEMENT_MOVING_IMAGE: return "moving image";
    case orvane::ELEMENT_SPRITE: return "sprite";
    }
    return "kind " + std::to_string(kind);
}

}  // namespace panelhost
