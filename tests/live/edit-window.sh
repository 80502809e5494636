#!/usr/bin/env bash
# edit-window.sh place|saved|rendered BUILD_DIR SOURCE_DIR OUT_DIR
# Gauges placed in the edit window on a virtual display (Xvfb), driven by
# xdotool as a panel designer's mouse and keys drive it.
#   place     opens a copy of the example panel at scale 2, drags the DH
#             unit 40 pixels right (a screenshot while it is carried),
#             resizes the PFD from its bottom-right corner, undoes once
#             (the resize), saves with Ctrl+S and quits with Escape; leaves
#             OUT_DIR/panel/panel.cfg and panel.cfg.orig, and placing.png
#   saved     the saved file differs from the original in the DH's line
#             only, moved 20 units (40 pixels at scale 2) right
#   rendered  panelhost render of the saved file draws the DH where it was
#             dropped: its pixels there are those render drew at its old
#             place from the original (both over plain backgrounds, which
#             show the same through the gauge's clear parts)
# Exits 77 (skipped) only when the display server cannot start, saying why.
set -uo pipefail

[[ $# -eq 4 ]] || {
    echo "usage: edit-window.sh place|saved|rendered BUILD_DIR SOURCE_DIR OUT_DIR" >&2
    exit 2
}
mode=$1 build=$2 source=$3 out=$4
panelhost=$build/panelhost module=$build/orvane.so
skipped=77
scale=2
# The example panel's screen: the glareshield (128 units high) above the
# main panel, whose units are screen pixels. On the main panel the DH unit
# stands at 366, 72 (150 wide, 42.7 high: its 109 x 31 pixels scaled) and
# the PFD at 40, 16 (284 wide, 272 high). Window pixels are these times the
# scale.
main_top=128
dh=(366 72 150 42)
pfd=(40 16 284 272)
dh_grab=($(((dh[0] + 40) * scale)) $(((main_top + dh[1] + 20) * scale)))
pfd_corner=($(((pfd[0] + pfd[2]) * scale - 3)) $(((main_top + pfd[1] + pfd[3]) * scale - 3)))

. "$(dirname "$0")/virtual_display.sh"

needs_placing() {
    skip_as_the_window_was
    [[ -f $out/panel/panel.cfg.orig ]] || fail "nothing saved in $out: the test live.edit.place did not run or failed"
}

# A drag as a hand makes it: down, a few steps, up.
drag() {
    local x=$1 y=$2 dx=$3 dy=$4 shot=${5:-}
    xdotool mousemove --window "$window" "$x" "$y"
    sleep 0.3
    xdotool mousedown 1
    for step in 1 2 3 4; do
        xdotool mousemove --window "$window" $((x + dx * step / 4)) $((y + dy * step / 4))
        sleep 0.05
    done
    sleep 0.3
    [[ -n $shot ]] && { import -window "$window" "$shot" || fail "import could not take a screenshot"; }
    xdotool mouseup 1
    sleep 0.3
}

key() {
    timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key "$1"
    sleep 0.3
}

# Inside the virtual display.
drive() {
    "$panelhost" edit "$module" "$out/panel/panel.cfg" --scale $scale >"$out/edit.out" 2>"$out/edit.err" &
    local edit=$!
    trap 'kill $edit 2>/dev/null' EXIT
    find_window '^panelhost edit: ' "$out/edit.err"

    drag "${dh_grab[@]}" $((40)) 0 "$out/placing.png"
    drag "${pfd_corner[@]}" 40 40
    key ctrl+z
    key ctrl+s
    quit_with_escape $edit edit
    local status=0
    wait $edit || status=$?
    trap - EXIT
    echo "edit: $(cat "$out/edit.out")"
    [[ $status -eq 0 ]] || fail "edit exited $status: $(cat "$out/edit.err")"
}

case $mode in
drive) drive ;;
place)
    rm -rf "$out"
    mkdir -p "$out/panel"
    cp "$source"/examples/panel.cfg "$source"/examples/*.bmp "$out/panel/"
    drive_on_virtual_display 1600x1200x24 place
    ;;
saved)
    needs_placing
    cmp -s "$source/examples/panel.cfg" "$out/panel/panel.cfg.orig" || fail "panel.cfg.orig is not the file opened"
    changes=$(diff "$out/panel/panel.cfg.orig" "$out/panel/panel.cfg")
    want="15c15
< gauge01=Orvane!DH, 366, 72, 150
---
> gauge01=Orvane!DH, 386, 72, 150"
    [[ $changes == "$want" ]] || fail "the saved file's changes are not the DH moved 20 units right alone:
$changes"
    echo "$changes"
    ;;
rendered)
    needs_placing
    for cfg in panel.cfg.orig panel.cfg; do
        mkdir -p "$out/render-$cfg"
        cp "$out/panel/$cfg" "$out/render-$cfg/panel.cfg"
        for bmp in "$out"/panel/*.bmp; do
            convert "$bmp" -fill gray40 -colorize 100 "BMP3:$out/render-$cfg/$(basename "$bmp")" ||
                fail "cannot make a plain background of $bmp"
        done
        "$panelhost" render "$module" "$out/render-$cfg/panel.cfg" --scale $scale --out "$out/render-$cfg" \
            >/dev/null || fail "render of $cfg failed"
    done
    crop() { # picture x y: the DH's box at window units x, y of the main panel
        convert "$1" -crop "$((dh[2] * scale))x$((dh[3] * scale))+$(($2 * scale))+$(((main_top + $3) * scale))" +repage "$4"
    }
    crop "$out/render-panel.cfg.orig/screen.png" "${dh[0]}" "${dh[1]}" "$out/dh-before.png"
    crop "$out/render-panel.cfg/screen.png" $((dh[0] + 20)) "${dh[1]}" "$out/dh-after.png"
    differing=$(compare -metric AE "$out/dh-before.png" "$out/dh-after.png" "$out/dh-difference.png" 2>&1)
    [[ $differing == 0 ]] || fail "$differing pixels of the DH differ between its old and new places ($out/dh-difference.png)"
    echo "render draws the DH 40 pixels right of where it was, the same pixels"
    ;;
*)
    echo "edit-window.sh: unknown mode $mode" >&2
    exit 2
    ;;
esac
