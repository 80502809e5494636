#!/usr/bin/env bash
# compare-traces.sh NATIVE WIN32
# One scenario's traces from the two builds must be byte for byte the same.
# On a difference, shows the first line where they part.
set -uo pipefail

[[ $# -eq 2 ]] || {
    echo "usage: compare-traces.sh NATIVE_TRACE WIN32_TRACE" >&2
    exit 2
}
native=$1
win32=$2

if [[ ! -f $native ]]; then
    echo "FAILED: no native trace $native: run the native build's tests first (ctest --preset native)"
    exit 1
fi
if [[ ! -f $win32 ]]; then
    echo "FAILED: no win32 trace $win32"
    exit 1
fi
if cmp -s "$native" "$win32"; then
    echo "identical: $(wc -l <"$win32") lines"
    exit 0
fi

awk -v native="$native" -v win32="$win32" 'BEGIN {
    for (line = 1; ; line++) {
        more_native = (getline a < native) > 0
        more_win32 = (getline b < win32) > 0
        if (!more_native && !more_win32) break
        if (!more_native) { printf "FAILED: line %d: the native trace has ended; win32 goes on:\n  win32:  %s\n", line, b; exit }
        if (!more_win32) { printf "FAILED: line %d: the win32 trace has ended; native goes on:\n  native: %s\n", line, a; exit }
        if (a != b) {
            printf "FAILED: first difference at line %d\n  native: %s\n  win32:  %s\n", line, a, b
            if (b == a "\r") print "  (the win32 trace ends its lines with CR LF: the host must write it in binary mode)"
            exit
        }
    }
    print "FAILED: the traces have the same lines but differ in their last line ending"
}'
exit 1
