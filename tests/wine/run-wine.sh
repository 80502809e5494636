#!/usr/bin/env bash
# Runs a Windows program of the win32 build under Wine. ctest runs every win32
# test through it (CMAKE_CROSSCOMPILING_EMULATOR).
#
#   run-wine.sh --root DIR PROGRAM.exe [ARGS...]   run one program, pass its exit code
#   run-wine.sh --root DIR --start                 start the Wine session now
#   run-wine.sh --root DIR --stop                  end the session and wait for it
#
# DIR, inside the build tree, holds a private Wine prefix (created on first
# use), a HOME with the ALSA configuration, and the session. A session is one
# X display (xvfb-run -a) and one persistent wineserver shared by all the
# programs of a test run, so that each test pays only for its own process. It
# ends by itself ORVANE_WINE_IDLE_SECONDS (default 30) after the last program.
#
# Sound: Wine's DirectSound plays through ALSA into a WAV file (16-bit stereo,
# 44100 Hz) at the path in ORVANE_SOUND_CAPTURE; nothing is kept when unset.
#
# The program's output is collected in files and printed when it exits: Wine's
# own processes may outlive it, and they must not hold the caller's pipes.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
self="$here/$(basename "${BASH_SOURCE[0]}")"

die() {
    echo "run-wine.sh: $*" >&2
    exit 125
}

[[ $# -ge 2 && $1 == --root ]] || die "usage: run-wine.sh --root DIR (--start | --stop | PROGRAM.exe [ARGS...])"
mkdir -p "$2" || die "cannot create $2"
root=$(cd "$2" && pwd)
shift 2

session="$root/session"
idle_seconds=${ORVANE_WINE_IDLE_SECONDS:-30}
start_timeout=${ORVANE_WINE_START_TIMEOUT:-300}

export WINEPREFIX="$root/prefix"
export WINEARCH=win32
export WINEDEBUG=${ORVANE_WINEDEBUG:--all}
# No desktop menu entries, and no offer to install .NET or HTML engines.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
export HOME="$root/home"
unset WINESERVER WINELOADER

for tool in wine wineserver wineboot xvfb-run xauth flock setsid; do
    command -v "$tool" >/dev/null || die "$tool is missing: run tools/install-deps.sh"
done

# A session whose process is gone, or whose pid now names another process
# (after a reboot, say), is no session.
session_alive() {
    [[ -f "$session/env" && -f "$session/main-pid" ]] || return 1
    local pid
    pid=$(cat "$session/main-pid")
    grep -qs -- --session-main "/proc/$pid/cmdline"
}

# The session itself, running under xvfb-run with the display in DISPLAY.
session_main() {
    echo $$ >"$session/main-pid"
    mkdir -p "$HOME" "$root/tmp"
    cp "$here/asoundrc" "$HOME/.asoundrc"
    mkdir -p "$WINEPREFIX"
    # A server left from an earlier session would not persist; end it first.
    wineserver -k 2>/dev/null && wineserver -w
    wineserver -p || return 1
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
        echo "creating the Wine prefix in $WINEPREFIX"
        wineboot -i || return 1
    else
        wineboot || return 1
    fi
    wine regedit /S "$here/wine-settings.reg" || return 1
    touch "$session/last-use"
    {
        echo "export DISPLAY='$DISPLAY'"
        echo "export XAUTHORITY='${XAUTHORITY:-}'"
    } >"$session/env.new"
    mv "$session/env.new" "$session/env"
    echo "session ready on display $DISPLAY"

    while sleep 1; do
        local now last
        now=$(date +%s)
        last=$(stat -c %Y "$session/last-use" 2>/dev/null || echo 0)
        [[ -e "$session/stop" ]] || ((now - last >= idle_seconds)) || continue
        # Programs hold the session lock shared while they run.
        exec 8>>"$root/session.lock"
        if flock -x -n 8; then
            rm -f "$session/env"
            wineserver -k 8>&-
            wineserver -w 8>&-
            echo "session ended"
            return 0
        fi
        exec 8>&-
    done
}

# Starts the session unless one is running; the caller holds the setup lock.
start_session() {
    session_alive && return 0
    rm -rf "$session"
    mkdir -p "$session"
    setsid xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
        "$self" --root "$root" --session-main </dev/null >"$session/log" 2>&1 8>&- 9>&- &
    local runner=$! waited=0
    echo $runner >"$session/runner-pid"
    until [[ -f "$session/env" ]]; do
        if ! kill -0 $runner 2>/dev/null || ((waited >= start_timeout * 5)); then
            echo "run-wine.sh: the Wine session did not start; its log:" >&2
            cat "$session/log" >&2
            kill $runner 2>/dev/null
            return 1
        fi
        sleep 0.2
        waited=$((waited + 1))
    done
}

ensure_session_shared() {
    exec 8>>"$root/session.lock"
    local attempts=3
    while ((attempts-- > 0)); do
        (
            flock -x 9
            start_session
        ) 9>>"$root/setup.lock" || return 1
        flock -s 8
        session_alive && return 0
        flock -u 8
    done
    return 1
}

stop_session() {
    session_alive || return 0
    touch "$session/stop"
    local main_pid runner_pid waited=0
    main_pid=$(cat "$session/main-pid")
    runner_pid=$(cat "$session/runner-pid" 2>/dev/null || echo "")
    while kill -0 "$main_pid" 2>/dev/null || { [[ -n $runner_pid ]] && kill -0 "$runner_pid" 2>/dev/null; }; do
        ((waited < 600)) || die "the Wine session did not stop"
        sleep 0.1
        waited=$((waited + 1))
    done
}

case "${1:-}" in
    --session-main)
        session_main && exit 0
        wineserver -k 2>/dev/null  # a session that failed leaves no server behind
        exit 1
        ;;
    --start)
        ensure_session_shared || die "cannot start the Wine session"
        exit 0
        ;;
    --stop)
        stop_session
        exit 0
        ;;
    "")
        die "no program to run"
        ;;
esac

ensure_session_shared || die "cannot start the Wine session"
# shellcheck disable=SC1091
source "$session/env"
touch "$session/last-use"

out=$(mktemp "$root/tmp/out.XXXXXX")
err=$(mktemp "$root/tmp/err.XXXXXX")
wine "$@" >"$out" 2>"$err" 8>&-
status=$?
touch "$session/last-use"
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
# Windows' status for a program or DLL it imports that could not be loaded.
if ((status == 53)); then
    echo "run-wine.sh: Wine could not load $1 or a DLL it imports; ORVANE_WINEDEBUG=err+module tells which" >&2
fi
exit $status
