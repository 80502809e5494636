// The module's names for host variables, key events and failure keys, read
// from its one list of each, so that scenarios, traces and inspect speak the
// gauges' language.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace panelhost {

// A host variable by numeric id or by its name in the module's list.
std::optional<int32_t> host_var_id(std::string_view token);
// "AIRSPEED_HOLD", or empty for an id the module does not name.
std::string host_var_label(int32_t id);

// A key event by numeric id (decimal or 0x hex) or by its name.
std::optional<uint32_t> key_event_id(std::string_view token);
std::string key_event_label(uint32_t id);

// A failure key by number or by its host name (FAIL_SYSTEM_ELECTRICAL_PANELS).
std::optional<int32_t> failure_key(std::string_view token);

// "static image", "text", ...; "kind 9" for a kind the host does not know.
std::string element_kind_name(int32_t kind);

}  // namespace panelhost
