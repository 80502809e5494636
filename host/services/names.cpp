#include "host/services/names.h"

#include <limits>

#include "host/base/text_format.h"
#include "module/host_abi.h"
#include "module/host_vars.h"
#include "module/key_events.h"

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

std::optional<int32_t> host_var_id(std::string_view token) {
#define PANELHOST_VAR_BY_NAME(name, number) \
    if (token == #name) return number;
    ORVANE_HOST_VARIABLES(PANELHOST_VAR_BY_NAME)
#undef PANELHOST_VAR_BY_NAME
    return numeric_id<int32_t>(token);
}

std::string host_var_label(int32_t id) {
    // The host links none of the module's code, so it reads the list itself.
    switch (id) {
#define PANELHOST_VAR_NAME(name, number) \
    case number:                         \
        return #name;
        ORVANE_HOST_VARIABLES(PANELHOST_VAR_NAME)
#undef PANELHOST_VAR_NAME
    }
    return "";
}

std::optional<uint32_t> key_event_id(std::string_view token) {
#define PANELHOST_KEY_BY_NAME(name, number) \
    if (token == #name) return number;
    ORVANE_KEY_EVENTS(PANELHOST_KEY_BY_NAME)
#undef PANELHOST_KEY_BY_NAME
    return numeric_id<uint32_t>(token);
}

std::string key_event_label(uint32_t id) {
    const char* name = orvane::key_event_name(id);
    return name != nullptr ? name : "";
}

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
