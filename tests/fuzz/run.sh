#!/bin/sh
# Runs a libFuzzer target of the fuzz preset (cmake --preset fuzz && cmake
# --build --preset fuzz) at the lowest priority, WORKERS processes sharing one
# corpus, each for RUNS executions or SECONDS of time, and adds up their
# executions from libFuzzer's final statistics.
#
# usage: tests/fuzz/run.sh TARGET runs|seconds COUNT [WORKERS]
#   TARGET is host_actions, callout_riff (the module), scenario, panel_cfg,
#   bmp or module_image (the host's own inputs). Findings (crash-*, leak-*,
#   timeout-*, oom-*) are written to build/fuzz/findings/TARGET; the corpus
#   grows in build/fuzz/corpus-run/TARGET, seeded from the target's seed
#   corpora (built ones in build/fuzz/tests/fuzz/corpus, committed ones in
#   tests/fuzz/seeds).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$root/build/fuzz
target=$1
mode=$2
count=$3
workers=${4:-1}

binary=$build/tests/fuzz/fuzz_$target
case $target in
    host_actions) max_len=64; seeds=$build/tests/fuzz/corpus/$target ;;
    callout_riff) max_len=16384; seeds=$build/tests/fuzz/corpus/$target ;;
    scenario) max_len=4096; seeds="$here/seeds/scenario $root/tests/scenarios" ;;
    panel_cfg) max_len=4096; seeds=$here/seeds/panel_cfg ;;
    bmp) max_len=65536; seeds=$here/seeds/bmp ;;
    module_image) max_len=4097; seeds=$here/seeds/module_image ;;
    *) echo "unknown target $target" >&2; exit 2 ;;
esac
[ -x "$binary" ] || { echo "$binary not built: cmake --preset fuzz && cmake --build --preset fuzz" >&2; exit 2; }
case $mode in
    runs) limit=-runs=$count ;;
    seconds) limit=-max_total_time=$count ;;
    *) echo "give runs or seconds" >&2; exit 2 ;;
esac

corpus=$build/corpus-run/$target
findings=$build/findings/$target
logs=$build/logs/$target
mkdir -p "$corpus" "$findings" "$logs"
# The example panel is a seed of its kind too.
[ "$target" = panel_cfg ] && cp "$root/examples/panel.cfg" "$corpus/example-panel.cfg"
stamp=$(date +%Y%m%d-%H%M%S)
touch "$logs/$stamp.start"

# Smaller malloc stacks and quarantine: the same checks, at a better pace.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=4:quarantine_size_mb=32:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Fontconfig never frees its caches, which the drawing targets fill.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/hardening/lsan.supp:print_suppressions=0}

pids=
i=1
while [ "$i" -le "$workers" ]; do
    # A single input running longer than the timeout is a finding (a hang).
    # shellcheck disable=SC2086
    nice -n 19 "$binary" "$limit" -max_len=$max_len -timeout=30 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" $seeds > "$logs/$stamp-$i.log" 2>&1 &
    pids="$pids $!"
    i=$((i + 1))
done
for pid in $pids; do
    wait "$pid" || true
done

total=0
for log in "$logs/$stamp"-*.log; do
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    echo "$log: ${runs:-no final statistics} executions"
    [ -n "$runs" ] && total=$((total + runs))
    grep -E "^(==[0-9]+==ERROR|SUMMARY|.*runtime error)" "$log" || true
done
echo "$target: $total executions by $workers worker(s); corpus $(ls "$corpus" | wc -l) inputs"
# A worker stopped by an interrupt has no finding; one that found a fault left its input.
new=$(find "$findings" -type f -newer "$logs/$stamp.start" | wc -l)
if [ "$new" -ne 0 ]; then
    echo "$target: $new finding(s) in $findings"
    exit 1
fi
