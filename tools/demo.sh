#!/usr/bin/env bash
# The demo: builds the native module and the panel host, flies one scenario
# through the host, and prints the trace of what the gauges showed and sent.
#
#   tools/demo.sh [SCENARIO.scn]      default: the FCU windows scenario
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
scenario=${1:-tests/scenarios/fcu_windows.scn}
[[ -f $scenario ]] || {
    echo "demo: no scenario $scenario" >&2
    exit 2
}

tools/install-deps.sh
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { cmake --preset native && cmake --build --preset native --target orvane panelhost; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "demo: the native build failed" >&2
    exit 1
fi

name=$(basename "$scenario" .scn)
trace=build/native/demo/$name.trace
mkdir -p "$(dirname "$trace")"
echo "Scenario $scenario on build/native/orvane.so:"
build/native/panelhost run build/native/orvane.so "$scenario" --trace "$trace"
echo
echo "Trace ($trace):"
cat "$trace"
