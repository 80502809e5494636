#!/bin/sh
# Records the decision-height callout: the spoken word "minimum" as a RIFF
# WAVE of exactly 8184 samples, 8-bit unsigned PCM, mono, 11025 samples/s
# (a 44-byte header, 8228 bytes in all), the format the DH unit's sound
# buffer is made for.
#
# Needs Debian's espeak-ng and sox.
#
#   tools/make_callout.sh OUTPUT.wav      e.g. res/callout.wav
set -eu

. "$(dirname "$0")/script_options.sh"
case ${1:-} in
    -*) script_option "$0" "$1" ;;
    "") echo "make_callout.sh: give the OUTPUT.wav to write" >&2; exit 2 ;;
esac
out=$1
samples=8184
lead=220   # a short breath of silence before the word

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A slightly low, deliberate voice carries better over engine noise.
espeak-ng -v en-us -s 130 -p 35 -w "$work/speech.wav" "minimum"

# Mono 11025 Hz, the silence around the word cut off, normalised to -1 dBFS.
sox -D "$work/speech.wav" -r 11025 -c 1 -b 16 "$work/trimmed.wav" \
    gain -6 highpass 120 silence 1 0.005 0.5% reverse silence 1 0.005 0.5% reverse \
    norm -1

n=$(soxi -s "$work/trimmed.wav")
room=$((samples - lead))
if [ "$n" -gt "$room" ]; then
    # Too long for the buffer: speed it up without changing the pitch.
    factor=$(awk -v n="$n" -v r="$room" 'BEGIN { printf "%.4f", n / r + 0.005 }')
    sox -D "$work/trimmed.wav" "$work/fitted.wav" tempo -s "$factor"
else
    cp "$work/trimmed.wav" "$work/fitted.wav"
fi

# Exactly $samples samples: the lead-in, the word, then silence to the end.
sox -D "$work/fitted.wav" -r 11025 -c 1 -b 8 -e unsigned-integer -t wavpcm "$work/final.wav" \
    pad "${lead}s" "${samples}s" trim 0 "${samples}s"

size=$(wc -c < "$work/final.wav")
if [ "$size" -ne $((samples + 44)) ]; then
    echo "make_callout: expected $((samples + 44)) bytes, sox wrote $size" >&2
    exit 1
fi
cp "$work/final.wav" "$out"
