// Host actions as bytes: what the action fuzz target decodes its input into,
// and what the scenario converter writes its seeds in. Every byte string
// decodes to some sequence of actions; a string cut short ends the sequence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "host/services/host_services.h"
#include "host/services/module_loader.h"
#include "host/panel/panel.h"

namespace orvane::fuzzing {

enum class Op : uint8_t {
    set_bits,          // var, 8 bytes of the double's pattern (little end first)
    set_value,         // var, index into the bad-value classes
    install,           // gauge
    update,            // count - 1 (0..1)
    kill,              // gauge
    click,             // gauge, x and y (16-bit signed), button (bit 0: right), repeats (0..3)
    click_row,         // gauge, click row, button, repeats: a click at the centre of that row
    callback,          // gauge, element index
    service,           // gauge, service code (signed byte)
    failure,           // failure key selector, on (bit 0)
    handler,           // gauge, handler index, point kind (0 null, 1 lowest, 2 highest, 3 origin), flags (4 bytes)
    null_callback,     // gauge, element index: the element's callback handed no element
    aircraft,          // on (bit 0)
    platform_failure,  // platform call, from which use on it fails (0: every switch off)
    list_routine,      // gauge, routine: one of the header's seven element-list routines, or module start or end
    main_window,       // which host main window there is: none, "FS98MAIN" or "MSCFSMAIN"
    count
};

struct Action {
    Op op = Op::update;
    uint8_t gauge = 0;
    uint8_t var = 0;  // index into the module's host variable list
    uint64_t bits = 0;
    int16_t x = 0;
    int16_t y = 0;
    uint8_t button = 0;
    uint8_t repeats = 0;
    uint8_t index = 0;  // element, click row, handler, value class, platform call
    int8_t code = 0;
    uint8_t on = 0;
    uint32_t flags = 0;
};

// Decodes one action from the front of data and drops its bytes; false when
// too few bytes are left for it.
bool decode_action(std::span<const uint8_t>& data, Action& action);
void encode_action(const Action& action, std::vector<uint8_t>& out);

// The module's host variables in list order, which the var field indexes.
std::span<const int32_t> host_variable_ids();

// Carries an action out on the panel; actions the panel refuses (a gauge
// installed twice) do nothing. The gauge field picks from the gauge table.
void apply_action(const Action& action, panelhost::Panel& panel, panelhost::HostServices& host,
                  const panelhost::ModuleRecords& module);

std::string describe(const Action& action);

}  // namespace orvane::fuzzing
