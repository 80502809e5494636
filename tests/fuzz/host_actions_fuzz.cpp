// Fuzz target: the input is a sequence of host actions (action_codec.h) run on
// the module linked in, through the panel host. After every action the host's
// view and the cockpit state are checked; a fault stops the run with the
// action that caused it.
#include <cstdint>
#include <span>

#include "tests/fuzz/action_codec.h"
#include "tests/fuzz/linked_panel.h"

namespace {

// A longer input is cut here, so that one execution stays short.
constexpr size_t max_actions = 256;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static orvane::fuzzing::LinkedPanel linked;
    linked.reset();
    std::span<const uint8_t> input(data, size);
    orvane::fuzzing::Action action;
    for (size_t n = 0; n < max_actions && orvane::fuzzing::decode_action(input, action); ++n) {
        orvane::fuzzing::apply_action(action, *linked.panel, *linked.host, linked.records);
        linked.check(orvane::fuzzing::describe(action));
    }
    linked.kill_all();
    linked.check("killing every gauge at the end", true);
    return 0;
}
