#!/bin/sh
# Runs a program under Wine with the sound output going to a file (an ALSA
# file device behind Wine's DirectSound), then counts the callouts in that
# recording. A private Wine prefix and home are made and removed.
#
#   callout_capture.sh CHECK.exe CALLOUT.wav EXPECTED_CALLOUTS PROGRAM.exe [ARGS...]
set -eu
check=$1 callout=$2 expected=$3
shift 3

work=$(mktemp -d)
cleanup() {
    WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/home"
cat > "$work/home/.asoundrc" <<ASOUND
# 16-bit samples, which the file device's WAVE header can describe.
pcm.!default {
    type plug
    slave {
        pcm "recording"
        format S16_LE
    }
}
pcm.recording {
    type file
    slave.pcm "null"
    file "$work/output.wav"
    format "wav"
}
ASOUND
export HOME="$work/home" WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

wine "$@"
# The recording is complete once Wine's processes have ended.
wineserver -w
wine "$check" "$work/output.wav" "$callout" "$expected"
