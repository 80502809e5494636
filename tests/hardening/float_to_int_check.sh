#!/bin/sh
# Every conversion of a floating-point value to an integer in the gauge code
# must go through truncate_to_u32, the one conversion defined for every host
# value. The check compiles each gauge source to LLVM IR and looks for the
# conversion instructions (and the C library's rounding conversions) in any
# other function, so that casts hidden in templates or implicit conversions
# are found as surely as written ones.
#
# usage: float_to_int_check.sh SOURCE_DIR [CLANG++]
set -eu
src=$1
clang=${2:-clang++-14}
ir=$(mktemp)
trap 'rm -f "$ir"' EXIT
status=0
checked=0
for file in "$src"/module/*.cpp "$src"/fcu/*.cpp "$src"/pfd/*.cpp "$src"/units/*.cpp; do
    [ -f "$file" ] || continue
    case $file in */dll_entry.cpp) continue ;; esac  # Windows only, and does nothing
    checked=$((checked + 1))
    if ! "$clang" -std=c++20 -O0 -fno-exceptions -fno-rtti -S -emit-llvm -I"$src" -o "$ir" "$file"; then
        echo "$file: does not compile"
        status=1
        continue
    fi
    found=$(awk '
        /^define / { fn = $0; sub(/^[^@]*@/, "", fn); sub(/\(.*/, "", fn) }
        /^}/ { fn = "" }
        fn != "" && fn !~ /truncate_to_u32/ &&
            (/ fpto[su]i / || /@llvm\.fpto[su]i/ || /@llvm\.l?l?(round|rint)\./ || /@l?l?(round|rint)[fl]?\(/) {
            print fn ": " $0
        }' "$ir")
    if [ -n "$found" ]; then
        echo "$file: float-to-integer conversion outside truncate_to_u32:"
        echo "$found"
        status=1
    fi
done
if [ $checked -eq 0 ]; then
    echo "no gauge sources found under $src"
    exit 1
fi
echo "$checked gauge sources checked"
exit $status
