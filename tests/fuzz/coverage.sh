#!/bin/sh
# Source coverage of the gauge, platform and host code reached by a fuzz target's
# corpus: the target's replay program of the fuzz-coverage preset
# (cmake --preset fuzz-coverage && cmake --build --preset fuzz-coverage) runs
# every input once, and llvm-cov reports lines, regions and functions per file.
#
# usage: tests/fuzz/coverage.sh TARGET CORPUS_DIR...
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$root/build/fuzz-coverage
target=$1
shift
replay=$build/tests/fuzz/fuzz_${target}_replay
[ -x "$replay" ] || { echo "$replay not built: cmake --preset fuzz-coverage && cmake --build --preset fuzz-coverage" >&2; exit 2; }
out=$build/coverage/$target
rm -rf "$out"
mkdir -p "$out"
LLVM_PROFILE_FILE="$out/replay.profraw" "$replay" "$@"
llvm-profdata-14 merge -sparse "$out/replay.profraw" -o "$out/replay.profdata"
objects="$replay"
[ -f "$build/liborvane_platform.so" ] && objects="$objects -object=$build/liborvane_platform.so"
# shellcheck disable=SC2086
llvm-cov-14 report $objects -instr-profile="$out/replay.profdata" \
    "$root/module" "$root/fcu" "$root/pfd" "$root/units" "$root/platform" "$root/host" | tee "$out/report.txt"
