#!/usr/bin/env bash
# fly-window.sh fly|events|replay|screenshot BUILD_DIR SOURCE_DIR OUT_DIR
# The panel flown in a real window on a virtual display (Xvfb), driven by
# xdotool as a pilot's mouse and keys drive it.
#   fly         flies the example panel at scale 2: rests the pointer on the
#               FCU altitude knob until its tooltip shows (and goes when the
#               pointer moves), clicks the right halves of the altitude and
#               heading knobs, pauses, takes a screenshot of the window
#               (imagemagick's import) and quits; leaves OUT_DIR/record.scn,
#               live.trace and shot.png
#   events      both clicks reached the module: their key events are in the trace
#   replay      panelhost run replays the record to the very trace written live
#   screenshot  the screenshot equals render of the record's last update,
#               pixel for pixel, outside the status strip
# Exits 77 (skipped) only when the display server cannot start, saying why.
set -uo pipefail

[[ $# -eq 4 ]] || {
    echo "usage: fly-window.sh fly|events|replay|screenshot BUILD_DIR SOURCE_DIR OUT_DIR" >&2
    exit 2
}
mode=$1 build=$2 source=$3 out=$4
panelhost=$build/panelhost module=$build/orvane.so
skipped=77
scale=2
# The example panel puts the FCU at 196, 18 of the glareshield, the screen's
# top row, as wide as the screen; its knobs' right halves at gauge pixels
# 123, 48 (altitude) and 184, 48 (heading). Window pixels are these times the scale.
altitude_knob=($(((196 + 123) * scale)) $(((18 + 48) * scale)))
heading_knob=($(((196 + 184) * scale)) $(((18 + 48) * scale)))

. "$(dirname "$0")/virtual_display.sh"

needs_flight() {
    skip_as_the_window_was
    [[ -f $out/record.scn && -f $out/live.trace ]] || fail "no flight in $out: the test live.fly.window did not run or failed"
}

# 0 when a window has the name, 1 when none has. xdotool gives up at an X
# error when a window goes while it looks (a tooltip's, say): ask again.
has_window_named() {
    local err
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        err=$(xdotool search --name "$1" 2>&1 >/dev/null) && return 0
        [[ $err == *"X Error"* ]] || return 1
        sleep 0.05
    done
    return 1
}

# Waits up to SECONDS for a window of the name to show (wanted=1) or go (0).
wait_for_window() {
    local name=$1 wanted=$2 seconds=$3 tries
    for ((tries = seconds * 10; tries > 0; --tries)); do
        if has_window_named "$name"; then ((wanted == 1)) && return 0; else ((wanted == 0)) && return 0; fi
        sleep 0.1
    done
    return 1
}

# Inside the virtual display.
drive() {
    "$panelhost" fly "$module" --scale $scale --record "$out/record.scn" --trace "$out/live.trace" \
        >"$out/fly.out" 2>"$out/fly.err" &
    local fly=$!
    trap 'kill $fly 2>/dev/null' EXIT
    find_window '^panelhost: panel\.cfg$' "$out/fly.err"

    xdotool mousemove --window "$window" "${altitude_knob[@]}"
    wait_for_window '^Set Autopilot Altitude$' 1 10 ||
        fail "the pointer rested on the altitude knob, but no tooltip 'Set Autopilot Altitude' showed"
    echo "the tooltip showed: Set Autopilot Altitude"
    xdotool click 1
    sleep 0.3
    xdotool mousemove --window "$window" "${heading_knob[@]}"
    wait_for_window '^Set Autopilot Altitude$' 0 2 || fail "the altitude knob's tooltip stayed after the pointer moved"
    xdotool click 1
    sleep 0.3

    # Paused, the window shows the last update the record holds; the pointer
    # on the status strip shows no tooltip over the panel.
    timeout 5 xdotool windowfocus --sync "$window"
    xdotool key p
    local WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(WIDTH|HEIGHT)=')"
    xdotool mousemove --window "$window" 4 $((HEIGHT - 4))
    sleep 0.5
    import -window "$window" "$out/shot.png" || fail "import could not take a screenshot"
    quit_with_escape $fly fly
    local status=0
    wait $fly || status=$?
    trap - EXIT
    echo "fly: $(cat "$out/fly.out")"
    [[ $status -eq 0 ]] || fail "fly exited $status: $(cat "$out/fly.err")"
    grep -c 'no audio device' "$out/fly.err" | grep -qx '[01]' || fail "fly said more than once that it has no audio"
}

case $mode in
drive) drive ;;
fly)
    rm -rf "$out"
    mkdir -p "$out"
    drive_on_virtual_display 1280x1024x24 fly
    ;;
events)
    needs_flight
    for event in 'event 65892 KEY_ALTITUDE_TARGET_INC' 'event 65879 KEY_HEADING_TARGET_INC'; do
        grep -q "^    $event\$" "$out/live.trace" || fail "the trace has no '$event' under a click"
    done
    grep -A2 '^click AP ' "$out/live.trace"
    ;;
replay)
    needs_flight
    "$panelhost" run "$module" "$out/record.scn" --trace "$out/replayed.trace" || fail "the record does not run"
    cmp "$out/live.trace" "$out/replayed.trace" || fail "the replayed trace differs from the live one"
    echo "the record replays to the live trace: $(wc -l <"$out/live.trace") lines"
    ;;
screenshot)
    needs_flight
    "$panelhost" render "$module" "$source/examples/panel.cfg" --scenario "$out/record.scn" --scale $scale \
        --out "$out/render" >/dev/null || fail "render of the record failed"
    size=$(identify -format '%wx%h' "$out/render/screen.png") || fail "no picture from render"
    differing=$(compare -metric AE "$out/shot.png[$size+0+0]" "$out/render/screen.png" "$out/difference.png" 2>&1)
    [[ $differing == 0 ]] || fail "$differing pixels of the window differ from render's screen.png ($out/difference.png)"
    echo "the window's $size pixels above the status strip are render's"
    ;;
*)
    echo "fly-window.sh: unknown mode $mode" >&2
    exit 2
    ;;
esac
