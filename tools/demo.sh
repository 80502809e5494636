#!/usr/bin/env bash
# The demo: installs what is missing, builds the native module and the panel
# host, and flies the ILS approach of examples/approach.scn on the A310 panel
# of examples/panel.cfg. It writes to out/demo/ the panel as PNG frames, a
# contact sheet of the key moments, an animated PNG of the whole approach,
# the decision-height callout as the platform played it, and the trace. Then,
# when there is a win32 build and Wine, it flies the same approach on
# Orvane.gau under Wine, records the callout as Wine's DirectSound played it,
# and says whether the two traces are the same.
#
#   tools/demo.sh [--out DIR]      default: out/demo
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
. tools/script_options.sh
out=out/demo
while [[ $# -gt 0 ]]; do
    case $1 in
        --out | --out=*) script_value "$0" "$@"; out=$option_value; shift "$option_shift" ;;
        *) script_option "$0" "$1" ;;
    esac
done
scenario=examples/approach.scn

tools/install-deps.sh
log=$(mktemp)
trap 'rm -f "$log"' EXIT
echo "demo: building the native module and the panel host"
if ! { cmake --preset native && cmake --build --preset native --target orvane panelhost; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "demo: the native build failed" >&2
    exit 1
fi

echo
status=0
build/native/panelhost demo build/native/orvane.so --out "$out" || status=$?

echo
win32_trace="$out/approach.win32.trace"
rm -f "$win32_trace" "$out/callout.wine.wav"
if [[ ! -f build/win32/CMakeCache.txt ]]; then
    echo "Orvane.gau under Wine: skipped, there is no win32 build"
    echo "  (make one with: cmake --preset win32 && cmake --build --preset win32; tools/test-all.sh does)"
elif ! command -v wine >/dev/null; then
    echo "Orvane.gau under Wine: skipped, Wine is not installed"
else
    echo "Orvane.gau under Wine: flying $scenario"
    if ! cmake --build --preset win32 --target orvane panelhost >"$log" 2>&1; then
        cat "$log" >&2
        echo "demo: the win32 build failed" >&2
        exit 1
    fi
    # What Wine's DirectSound plays goes into a WAV file, as heard.
    case $out in
    /*) wine_sound="$out/callout.wine.wav" ;;
    *) wine_sound="$(pwd)/$out/callout.wine.wav" ;;
    esac
    rm -f "$wine_sound"
    if ORVANE_SOUND_CAPTURE="$wine_sound" tests/wine/run-wine.sh --root build/win32/wine build/win32/panelhost.exe \
        run build/win32/Orvane.gau "$scenario" --trace "$win32_trace"; then
        if tests/wine/compare-traces.sh "$out/approach.trace" "$win32_trace"; then
            echo "  the traces of orvane.so and Orvane.gau are the same"
        else
            echo "  the traces of orvane.so and Orvane.gau differ" >&2
            status=1
        fi
    else
        echo "  the approach failed on Orvane.gau" >&2
        status=1
    fi
fi

echo
echo "The demo wrote to $out/:"
(cd "$out" && find . -maxdepth 1 -type f -printf '  %P (%s bytes)\n' | sort)
frames=$(find "$out/frames" -name 'frame_*.png' | wc -l)
echo "  frames/ ($frames PNG frames of the panel, one per update and one a second of flight)"
exit "$status"
