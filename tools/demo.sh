#!/usr/bin/env bash
# The demo: installs what is missing, builds the native module and the panel
# host, and flies the ILS approach of examples/approach.scn on the A310 panel
# of examples/panel.cfg. It writes to out/demo/ the panel as PNG frames, a
# contact sheet of the key moments, an animated PNG of the whole approach,
# the decision-height callout as the platform played it, and the trace. Then
# it builds the win32 module, Orvane.gau, runs the tests of that file under
# Wine (ctest -L shipped), which stamp it as tested, flies the same approach
# on it under Wine, records the callout as Wine's DirectSound played it, and
# says whether the two traces are the same. Last, it makes the release of
# that Orvane.gau (tools/release.sh) in out/release/.
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
release=out/release
wine_root=build/win32/wine

tools/install-deps.sh
. tools/i386.sh
i386=$(i386_probe)
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# A long step's output goes to the log; what shows is its progress on one
# line (a line per tenth when the output is no terminal): a build's
# percentage, ctest's count of tests.
progress() {
    local label=$1 last=-10 done total line
    while IFS= read -r line; do
        printf '%s\n' "$line" >>"$log"
        if [[ $line =~ ^\[\ *([0-9]+)%\] ]]; then
            done=${BASH_REMATCH[1]} total=100
        elif [[ $line =~ ^\ *([0-9]+)/([0-9]+)\ Test ]]; then
            done=${BASH_REMATCH[1]} total=${BASH_REMATCH[2]}
        else
            continue
        fi
        if [[ -t 1 ]]; then
            printf '\r  %s: %d/%d' "$label" "$done" "$total"
        elif ((done * 10 / total > last)); then
            last=$((done * 10 / total))
            echo "  $label: $done/$total"
        fi
    done
    if [[ -t 1 ]]; then printf '\n'; fi
}

# step LABEL COMMAND...: runs it with its progress shown; on failure, its log.
step() {
    local label=$1
    shift
    : >"$log"
    if ! "$@" 2>&1 | progress "$label"; then
        cat "$log" >&2
        echo "demo: $label failed" >&2
        exit 1
    fi
}

echo "demo: building the native module and the panel host"
step "configuring" cmake --preset native
step "building orvane.so and panelhost" cmake --build --preset native --target orvane panelhost

echo
status=0
build/native/panelhost demo build/native/orvane.so --out "$out" || status=$?

echo
echo "demo: building Orvane.gau, the win32 module, and what tests it"
step "configuring" cmake --preset win32 -DORVANE_BUILD_TESTS=ON
step "building Orvane.gau and its tests" cmake --build --preset win32 --target orvane_shipped_tests
# The win32 traces are compared with the native build's.
step "the native traces of every scenario" ctest --preset native -R '^scenario\.' -j 2
# Orvane.gau and Wine are 32-bit programs: where the kernel runs none, qemu
# runs them, many times slower, and the figures below are of that.
echo "demo: 32-bit code runs $(i386_how "$i386")"
echo "demo: starting Wine (the first time, it makes its prefix)"
wine_started=$(date +%s)
step "starting Wine" tests/wine/run-wine.sh --root "$wine_root" --start
trap 'rm -f "$log"; tests/wine/run-wine.sh --root "$wine_root" --stop' EXIT
step "the tests of Orvane.gau under Wine" \
    tools/tested-stamp.sh run build/win32 "the shipped module's tests (ctest -L shipped)" -- --preset win32 -L shipped -j 2
echo "  $(tools/tested-stamp.sh check build/win32)"

echo
echo "demo: flying $scenario on Orvane.gau under Wine"
win32_trace="$out/approach.win32.trace"
rm -f "$win32_trace" "$out/callout.wine.wav"
# What Wine's DirectSound plays goes into a WAV file, as heard.
case $out in
/*) wine_sound="$out/callout.wine.wav" ;;
*) wine_sound="$(pwd)/$out/callout.wine.wav" ;;
esac
if ORVANE_SOUND_CAPTURE="$wine_sound" tests/wine/run-wine.sh --root "$wine_root" build/win32/panelhost.exe \
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
# As many callouts heard as the native trace says were played.
plays=$(sed -n 's/^ *sound \([0-9]*\)$/\1/p' "$out/approach.trace" | tail -1)
heard=0
tests/wine/run-wine.sh --root "$wine_root" build/win32/callout_capture_check.exe "$wine_sound" \
    res/callout.wav "${plays:-0}" >"$log" 2>&1 || heard=$?
if ((heard == 0)); then
    echo "  the callout, as Wine's DirectSound played it: $(tail -1 "$log")"
else
    cat "$log" >&2
    echo "  the callout was not heard from Orvane.gau as it was played" >&2
    status=1
fi

echo "demo: the Wine part took $(($(date +%s) - wine_started)) s (32-bit code ran $(i386_how "$i386"))"

echo
echo "demo: the release of that Orvane.gau"
tools/release.sh --out "$release" || status=1

echo
echo "The demo wrote to $out/:"
(cd "$out" && find . -maxdepth 1 -type f -printf '  %P (%s bytes)\n' | sort)
frames=$(find "$out/frames" -name 'frame_*.png' | wc -l)
echo "  frames/ ($frames PNG frames of the panel, one per update and one a second of flight)"
echo "the frames:        $out/frames/"
echo "the contact sheet: $out/contact-sheet.png"
echo "the callout:       $out/callout.wav (orvane.so), $out/callout.wine.wav (Orvane.gau under Wine)"
echo "the release:       $release/Orvane-$(project_version "$0").zip and $release/SHA256SUMS"
exit "$status"
