#!/bin/sh
# What a panel frame costs, in one command: builds what is needed in the
# native build, runs the benchmarks (time), the screen drawn offscreen and
# the live window's frames a second (on a virtual display when there is
# none), then counts instructions per frame under callgrind
# (tools/callgrind_frames.sh).
#
# usage: tools/perf.sh [--quick] [--filter REGEX] [BENCHMARK OPTIONS...]
#   --quick   a short time per benchmark (noisier), for a first look
#   --filter  only the benchmarks whose names match, e.g. 'frame|install'
# Any other option goes to the benchmark program (--benchmark_format=json...).
set -eu
cd "$(dirname "$0")/.."

min_time=0.5
filter=.
. tools/script_options.sh
while [ $# -gt 0 ]; do
    case $1 in
        --quick) min_time=0.05; shift ;;
        --filter | --filter=*) script_value "$0" "$@"; filter=$option_value; shift "$option_shift" ;;
        -h | --help | --version) script_option "$0" "$1" ;;
        *) break ;;
    esac
done

build=build/native
[ -f "$build/CMakeCache.txt" ] || cmake --preset native
cmake --build --preset native --target orvane orvane_reference orvane_frame_counter orvane_benchmarks \
    orvane_render_benchmarks orvane_window_frame_rate

echo "== time per call, benchmarks ($(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
"$build/orvane_benchmarks" --benchmark_min_time="$min_time" --benchmark_filter="$filter" "$@"

echo
echo "== the screen drawn offscreen, benchmarks"
"$build/orvane_render_benchmarks" --benchmark_min_time="$min_time" --benchmark_filter="$filter" "$@"

echo
echo "== the live window's frames a second, scale 2: fly's, paced, at night, and edit's with a gauge dragged"
if [ -n "${DISPLAY:-}" ]; then
    "$build/orvane_window_frame_rate" && "$build/orvane_window_frame_rate" --paced &&
        "$build/orvane_window_frame_rate" --night && "$build/orvane_window_frame_rate" --drag
elif command -v xvfb-run >/dev/null; then
    xvfb-run -a -s "-screen 0 1280x1024x24" sh -c \
        "'$build/orvane_window_frame_rate' && '$build/orvane_window_frame_rate' --paced &&
         '$build/orvane_window_frame_rate' --night && '$build/orvane_window_frame_rate' --drag"
else
    echo "no display, and no xvfb-run to make one: not counted"
fi

echo
echo "== instructions per frame, callgrind"
tools/callgrind_frames.sh "$build"
