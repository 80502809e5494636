#!/bin/sh
# Instructions per panel frame spent in the module's own code, counted by
# callgrind, for the module and for the reference build that formats every
# text with snprintf, in one run of the approach panel (bench/frame_counter.cpp).
#
# Only what runs inside a call from the host into the module is counted, and
# not what the host does when the module calls it back (refresh_var): the
# frame loop makes every such call through functions named orvane_module_*
# and orvane_host_*, which toggle callgrind's collection on and off. The few
# instructions of the orvane_module_* calls themselves are taken off. The
# same binaries and inputs give the same counts at every run.
#
# usage: tools/callgrind_frames.sh [--frames N] [--budget STEADY BUSY] [--also MODULE]... [BUILD_DIR]
#   --budget  exit 1 when the module's steady or busy frame costs more
#   --also    another build of the module to count in the same run (an
#             older one, say); its texts must be the same too
#   BUILD_DIR the native build (default build/native)
set -eu

frames=1000
budget_steady=
budget_busy=
build=build/native
also=
. "$(dirname "$0")/script_options.sh"
while [ $# -gt 0 ]; do
    case $1 in
        --frames | --frames=*) script_value "$0" "$@"; frames=$option_value; shift "$option_shift" ;;
        --budget)
            [ $# -ge 3 ] || { echo "callgrind_frames.sh: --budget needs STEADY and BUSY" >&2; exit 2; }
            budget_steady=$2; budget_busy=$3; shift 3 ;;
        --also | --also=*) script_value "$0" "$@"; also="$also $option_value"; shift "$option_shift" ;;
        -*) script_option "$0" "$1" ;;
        *) build=$1; shift ;;
    esac
done

for tool in valgrind callgrind_annotate; do
    if ! command -v $tool >/dev/null 2>&1; then
        echo "$tool not found (Debian package valgrind)"
        exit 77
    fi
done
counter=$build/orvane_frame_counter
for file in "$counter" "$build/orvane.so" "$build/orvane_reference.so"; do
    if [ ! -f "$file" ]; then
        echo "$file not found: build the native preset first"
        exit 2
    fi
done

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Symbols bound at load, so that the first calls do not count the dynamic
# linker's lookups.
if ! LD_BIND_NOW=1 valgrind --tool=callgrind --callgrind-out-file="$out/cg.out" \
        --toggle-collect='orvane_module_*' --toggle-collect='orvane_host_*' \
        "$counter" --frames "$frames" "$build/orvane.so" "$build/orvane_reference.so" $also \
        >"$out/counter.txt" 2>"$out/valgrind.txt"; then
    cat "$out/counter.txt" "$out/valgrind.txt"
    exit 1
fi

# One line per dump: module, phase, instructions counted, of which in the
# calling functions of the frame loop.
for dump in "$out"/cg.out.*; do
    label=$(sed -n 's/^desc: Trigger: Client Request: //p' "$dump")
    total=$(sed -n 's/^summary: //p' "$dump")
    calls=$(callgrind_annotate --inclusive=no --threshold=100 "$dump" 2>/dev/null |
        awk '/:orvane_module_[a-z_]* / { gsub(",", "", $1); sum += $1 } END { print sum + 0 }')
    echo "$label $total $calls"
done >"$out/phases.txt"

cat "$out/counter.txt"
awk -v frames="$frames" -v steady_budget="$budget_steady" -v busy_budget="$budget_busy" '
    {
        module = $1; phase = $2
        count[module, phase] = $3 - $4
        if (!(module in seen)) { seen[module] = 1; order[++modules] = module }
    }
    END {
        printf "Instructions in the module'\''s code, callgrind, %d frames per phase\n", frames
        printf "%-24s %14s %14s %14s\n", "", "steady frame", "busy frame", "install"
        for (i = 1; i <= modules; ++i) {
            m = order[i]
            printf "%-24s %14.1f %14.1f %14d\n", m, count[m, "steady"] / frames, count[m, "busy"] / frames,
                   count[m, "install"]
        }
        if (modules >= 2) {
            a = order[1]; b = order[2]
            printf "%-24s %13.1fx %13.1fx %13.1fx\n", "reference / module",
                   count[b, "steady"] / count[a, "steady"], count[b, "busy"] / count[a, "busy"],
                   count[b, "install"] / count[a, "install"]
        }
        status = 0
        m = order[1]
        if (steady_budget != "" && count[m, "steady"] / frames > steady_budget) {
            printf "%s: a steady frame costs more than %d instructions\n", m, steady_budget; status = 1
        }
        if (busy_budget != "" && count[m, "busy"] / frames > busy_budget) {
            printf "%s: a busy frame costs more than %d instructions\n", m, busy_budget; status = 1
        }
        exit status
    }' "$out/phases.txt"
