#!/usr/bin/env bash
# Runs a Windows program of the win32 build under Wine. ctest runs every win32
# test through it (CMAKE_CROSSCOMPILING_EMULATOR).
#
#   run-wine.sh --root DIR PROGRAM.exe [ARGS...]   run one program, pass its exit code
#   run-wine.sh --root DIR --start                 start the Wine instance now
#   run-wine.sh --root DIR --stop                  end the instance and wait for it
#
# DIR, inside the build tree, holds a private Wine prefix (created on first
# use), a HOME with the ALSA configuration, and the instance. A instance is one
# X display (xvfb-run -a) and one persistent wineserver shared by all the
# programs of a test run, so that each test pays only for its own process. It
# ends by itself ORVANE_WINE_IDLE_SECONDS (default 30) after the last program.
#
# Sound: Wine's DirectSound plays through ALSA into a WAV file (16-bit stereo,
# 44100 Hz, or 11025 Hz under emulation) at the path in ORVANE_SOUND_CAPTURE;
# nothing is kept when unset.
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

instance="$root/instance"
settings="$here/wine-settings.reg"
# Where qemu runs Wine's 32-bit programs, every start and a new prefix take
# longer: the instance waits longer before it ends, and its start is given
# the time its prefix may take on a slow machine.
. "$here/../../tools/i386.sh"
i386=$(i386_probe)
if [[ $i386 == native ]]; then
    idle_seconds=${ORVANE_WINE_IDLE_SECONDS:-30}
    start_timeout=${ORVANE_WINE_START_TIMEOUT:-300}
else
    idle_seconds=${ORVANE_WINE_IDLE_SECONDS:-300}
    start_timeout=${ORVANE_WINE_START_TIMEOUT:-1800}
fi
# Wine maps its shared user data at 0x7ffe0000, which qemu-i386 takes for
# itself unless it reserves the whole 32-bit space up front.
export QEMU_RESERVED_VA=0xffff0000
# The programs learn how they run: a test of what qemu does not do as a
# processor does says how it meets it there.
export ORVANE_I386=$i386
# Under qemu, DirectSound's mixer resampling the callout's 11025 Hz to a
# device's 48000 Hz in emulated floating point needs more than a core: it
# fell behind real time, and Wine filled about 10 ms of silence every 80 ms.
# There, Wine plays into a device of the callout's own rate, and mixes by
# copying (asoundrc-emulated).

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

# A instance whose process is gone, or whose pid now names another process
# (after a reboot, say), is no instance.
instance_alive() {
    [[ -f "$instance/env" && -f "$instance/main-pid" ]] || return 1
    local pid
    pid=$(cat "$instance/main-pid")
    grep -qs -- --instance-main "/proc/$pid/cmdline"
}

# Makes the prefix in prefix.new and moves it into place only when it is
# whole, settings and all: a prefix whose making was cut short fails later
# ("could not load kernel32.dll"). Its copy of the settings marks it whole.
make_prefix() {
    local new="$root/prefix.new"
    rm -rf "$WINEPREFIX" "$new"
    echo "creating the Wine prefix in $WINEPREFIX (32-bit code runs $(i386_how "$i386"))"
    (
        export WINEPREFIX=$new
        # Wine gives its first program five minutes to wait for the prefix's
        # making, which qemu can take longer over: the making goes on, and
        # its end is when the last program of the prefix has ended.
        wineboot -i || echo "wineboot -i gave up waiting (status $?); waiting for the prefix's making to end"
        wineserver -w
        wineboot && wine regedit /S "$settings" || exit 1
        wineserver -w
        cp "$settings" "$new/orvane-settings.reg"
    ) || return 1
    mv "$new" "$WINEPREFIX"
}

# The ALSA configuration for the instance's programs. Under emulation it names
# the fixed-rate device, built here as i386 code for Wine's own alsa-lib.
sound_device_configuration() {
    if [[ $i386 == native ]]; then
        cat "$here/asoundrc"
        return
    fi
    local source="$here/fixed_rate_device.cpp"
    local library="$root/alsa/libasound_module_pcm_orvane_fixed_rate.so"
    if [[ ! $library -nt $source ]]; then
        mkdir -p "$root/alsa"
        g++ -m32 -DPIC -std=c++20 -O2 -shared -fPIC -o "$library.new" "$source" \
            /usr/lib/i386-linux-gnu/libasound.so.2 >&2 &&
            mv "$library.new" "$library" || {
            echo "run-wine.sh: cannot build the sound device for Wine ($source): run tools/install-deps.sh" >&2
            return 1
        }
    fi
    sed "s|@DEVICE_LIBRARY@|$library|" "$here/asoundrc-emulated"
}

# The instance itself, running under xvfb-run with the display in DISPLAY.
instance_main() {
    echo $$ >"$instance/main-pid"
    mkdir -p "$HOME" "$root/tmp"
    sound_device_configuration >"$HOME/.asoundrc" || return 1
    # A server left from an earlier instance would not persist; end it first.
    wineserver -k 2>/dev/null && wineserver -w
    if [[ ! -f "$WINEPREFIX/orvane-settings.reg" ]]; then
        make_prefix || return 1
    fi
    wineserver -p || return 1
    wineboot || return 1
    if ! cmp -s "$settings" "$WINEPREFIX/orvane-settings.reg"; then
        wine regedit /S "$settings" && cp "$settings" "$WINEPREFIX/orvane-settings.reg" || return 1
    fi
    touch "$instance/last-use"
    {
        echo "export DISPLAY='$DISPLAY'"
        echo "export XAUTHORITY='${XAUTHORITY:-}'"
    } >"$instance/env.new"
    mv "$instance/env.new" "$instance/env"
    echo "instance ready on display $DISPLAY"

    while sleep 1; do
        local now last
        now=$(date +%s)
        last=$(stat -c %Y "$instance/last-use" 2>/dev/null || echo 0)
        [[ -e "$instance/stop" ]] || ((now - last >= idle_seconds)) || continue
        # Programs hold the instance lock shared while they run.
        exec 8>>"$root/instance.lock"
        if flock -x -n 8; then
            rm -f "$instance/env"
            wineserver -k 8>&-
            wineserver -w 8>&-
            echo "instance ended"
            return 0
        fi
        exec 8>&-
    done
}

# Starts the instance unless one is running; the caller holds the setup lock.
start_instance() {
    instance_alive && return 0
    rm -rf "$instance"
    mkdir -p "$instance"
    setsid xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
        "$self" --root "$root" --instance-main </dev/null >"$instance/log" 2>&1 8>&- 9>&- &
    local runner=$! waited=0
    echo $runner >"$instance/runner-pid"
    until [[ -f "$instance/env" ]]; do
        if ! kill -0 $runner 2>/dev/null || ((waited >= start_timeout * 5)); then
            echo "run-wine.sh: the Wine instance did not start; its log:" >&2
            cat "$instance/log" >&2
            kill $runner 2>/dev/null
            return 1
        fi
        sleep 0.2
        waited=$((waited + 1))
    done
}

ensure_instance_shared() {
    exec 8>>"$root/instance.lock"
    local attempts=3
    while ((attempts-- > 0)); do
        (
            flock -x 9
            start_instance
        ) 9>>"$root/setup.lock" || return 1
        flock -s 8
        instance_alive && return 0
        flock -u 8
    done
    return 1
}

stop_instance() {
    instance_alive || return 0
    touch "$instance/stop"
    local main_pid runner_pid waited=0
    main_pid=$(cat "$instance/main-pid")
    runner_pid=$(cat "$instance/runner-pid" 2>/dev/null || echo "")
    while kill -0 "$main_pid" 2>/dev/null || { [[ -n $runner_pid ]] && kill -0 "$runner_pid" 2>/dev/null; }; do
        ((waited < 600)) || die "the Wine instance did not stop"
        sleep 0.1
        waited=$((waited + 1))
    done
}

case "${1:-}" in
    --instance-main)
        instance_main && exit 0
        wineserver -k 2>/dev/null  # a instance that failed leaves no server behind
        exit 1
        ;;
    --start)
        ensure_instance_shared || die "cannot start the Wine instance"
        exit 0
        ;;
    --stop)
        stop_instance
        exit 0
        ;;
    "")
        die "no program to run"
        ;;
esac

ensure_instance_shared || die "cannot start the Wine instance"
# shellcheck disable=SC1091
source "$instance/env"
touch "$instance/last-use"

# The capture's folder may be gone with an earlier build tree's Wine root.
[[ -z ${ORVANE_SOUND_CAPTURE:-} ]] || mkdir -p "$(dirname "$ORVANE_SOUND_CAPTURE")"
# One line a program started, for the test command's count of Wine runs.
echo "$1" >>"$root/program-starts"
out=$(mktemp "$root/tmp/out.XXXXXX")
err=$(mktemp "$root/tmp/err.XXXXXX")
wine "$@" >"$out" 2>"$err" 8>&-
status=$?
# A Windows program's own crash comes back as its exception code; a status
# above 128 is Wine's loader itself killed by a signal, which Wine 8 now and
# then does at process exit after the program has finished. Run it once more.
if ((status > 128)); then
    echo "run-wine.sh: Wine's loader died of signal $((status - 128)); running $1 once more" >&2
    echo "$1" >>"$root/program-starts"
    wine "$@" >"$out" 2>"$err" 8>&-
    status=$?
fi
touch "$instance/last-use"
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
# Windows' status for a program or DLL it imports that could not be loaded.
if ((status == 53)); then
    echo "run-wine.sh: Wine could not load $1 or a DLL it imports; ORVANE_WINEDEBUG=err+module tells which" >&2
fi
exit $status
