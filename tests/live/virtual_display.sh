# What the live-window tests share: sourced by fly-window.sh and
# edit-window.sh, which set `out` (their output folder) and `skipped` (77).

fail() {
    echo "FAILED: $*"
    exit 1
}

# A check after the window's run: skipped as that run was.
skip_as_the_window_was() {
    [[ -f $out/skipped ]] && {
        echo "skipped: $(cat "$out/skipped")"
        exit $skipped
    }
    return 0
}

# Runs this script's `drive` mode inside a virtual display of SCREEN
# (WxHxD); skipped, saying why, only when no display server can start.
drive_on_virtual_display() {
    local screen=$1 what=$2
    command -v xvfb-run >/dev/null || {
        echo "xvfb-run is not installed (Debian xvfb): no display server to $what in" | tee "$out/skipped"
        exit $skipped
    }
    for tool in xdotool import identify compare; do
        command -v $tool >/dev/null || fail "$tool is missing (tools/install-deps.sh installs it)"
    done
    xvfb-run -a -s "-screen 0 $screen -nolisten tcp" "$0" drive "$build" "$source" "$out" 2>"$out/xvfb.err"
    local status=$?
    if [[ $status -ne 0 ]] && grep -q 'Xvfb failed to start' "$out/xvfb.err"; then
        echo "the display server cannot start: $(cat "$out/xvfb.err")" | tee "$out/skipped"
        exit $skipped
    fi
    cat "$out/xvfb.err" >&2
    exit $status
}

# Sets `window` to the visible window whose title matches TITLE, waiting up
# to 30 s for it; ERRORS is the program's standard error, told on failure.
find_window() {
    local title=$1 errors=$2 tries=300
    window=
    while [[ -z $window ]] && ((tries-- > 0)); do
        window=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -1)
        [[ -n $window ]] || sleep 0.1
    done
    [[ -n $window ]] || fail "no window titled '$title' within 30 s; it said: $(cat "$errors")"
    sleep 0.5
}

# Escape until the program PID has quit. A key may go astray while the
# display is busy: focus and ask again, three times.
quit_with_escape() {
    local pid=$1 name=$2
    for _ in 1 2 3; do
        timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null
        xdotool key Escape
        for ((waits = 50; waits > 0; --waits)); do
            kill -0 "$pid" 2>/dev/null || return 0
            sleep 0.1
        done
    done
    fail "$name did not quit at Escape, asked three times"
}
