#!/usr/bin/env bash
# The test command. Installs what is missing (tools/install-deps.sh), then
# configures, builds and tests both builds: native first, whose scenario
# traces the win32 traces must equal, then the native build again under the
# sanitizers and its fuzz targets for a few seconds each, then win32, its
# tests under Wine, which stamp the Orvane.gau they all passed on
# (tools/tested-stamp.sh). Last, the release of that file (tools/release.sh,
# into out/release), unpacked and checked (tests/release/check-release.sh).
# Exits non-zero if anything fails.
#
#   tools/test-all.sh
set -uo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
. tools/script_options.sh
[[ $# -eq 0 ]] || script_option "$0" "$1"
started=$(date +%s)
jobs=2  # the machines have two cores

step() {
    echo
    echo "==> $* (at $(($(date +%s) - started)) s)"
}

# Builds stop the run; failed tests are counted and the next build still runs.
failed_builds=()
summaries=()

# run_tests PRESET [RUNNER...]: ctest, or RUNNER given ctest's arguments.
run_tests() {
    local preset=$1 log
    shift
    local runner=("$@")
    ((${#runner[@]} > 0)) || runner=(ctest)
    log=$(mktemp)
    "${runner[@]}" --preset "$preset" -j "$jobs" 2>&1 | tee "$log"
    local status=${PIPESTATUS[0]}
    summaries+=("$preset: $(grep -E 'tests passed, [0-9]+ tests? failed out of' "$log" | tail -1)")
    local total failed skipped
    total=$(grep -oE 'out of [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+' || echo 0)
    failed=$(grep -oE '[0-9]+ tests? failed' "$log" | tail -1 | grep -oE '^[0-9]+' || echo 0)
    skipped=$(grep -cE '^[[:space:]]+[0-9]+ - .* \(Skipped\)$' "$log" || true)
    all_total=$((all_total + total))
    all_failed=$((all_failed + failed))
    all_skipped=$((all_skipped + skipped))
    rm -f "$log"
    ((status == 0)) || failed_builds+=("$preset tests")
    # A build configured without its tests must not pass for a tested one.
    ((total > 0)) || failed_builds+=("$preset: no tests found")
}
all_total=0
all_failed=0
all_skipped=0

# A GoogleTest program run whole (the win32 build's, under Wine) is one ctest
# test; the count takes its cases instead, from its XML reports in DIR.
count_gtest_cases() {
    local report tests failed skipped cases=0
    for report in "$1"/*.xml; do
        [[ -f $report ]] || continue
        tests=$(sed -n 's/^<testsuites tests="\([0-9]*\)".*/\1/p' "$report")
        failed=$(sed -n 's/^<testsuites .* failures="\([0-9]*\)".*/\1/p' "$report")
        skipped=$(grep -c 'result="skipped"' "$report")
        all_total=$((all_total + tests - 1))
        ((failed == 0)) || all_failed=$((all_failed + failed - 1))
        all_skipped=$((all_skipped + skipped))
        cases=$((cases + tests))
    done
    summaries+=("$(basename "$(dirname "$1")"): $cases GoogleTest cases in $(find "$1" -name '*.xml' 2>/dev/null | wc -l) programs run whole")
}

step "Dependencies"
tools/install-deps.sh || exit 1
. tools/i386.sh
i386=$(i386_probe)

step "Native build"
cmake --preset native -DORVANE_BUILD_TESTS=ON && cmake --build --preset native || exit 1
step "Native tests"
run_tests native

step "Native build under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer"
cmake --preset native-asan -DORVANE_BUILD_TESTS=ON && cmake --build --preset native-asan || exit 1
step "Native tests under the sanitizers (with the fuzz targets' seed corpora)"
run_tests native-asan

step "Fuzz targets, briefly: libFuzzer over each target's seeds (tests/fuzz/run.sh)"
if cmake --preset fuzz && cmake --build --preset fuzz; then
    for target in host_actions callout_riff scenario panel_cfg bmp module_image; do
        tests/fuzz/run.sh "$target" seconds 20 || failed_builds+=("fuzz $target")
    done
else
    failed_builds+=("fuzz build")
fi

step "Win32 build"
cmake --preset win32 -DORVANE_BUILD_TESTS=ON && cmake --build --preset win32 || exit 1
step "Win32 tests under Wine (32-bit code runs $(i386_how "$i386"))"
wine_root=build/win32/wine
trap 'tests/wine/run-wine.sh --root "$wine_root" --stop' EXIT
# The first start creates the Wine prefix; done here, it costs no test its time.
wine_started=$(date +%s)
tests/wine/run-wine.sh --root "$wine_root" --start || exit 1
wine_ready=$(date +%s)
rm -f "$wine_root/program-starts"
rm -rf build/win32/gtest-reports
run_tests win32 tools/tested-stamp.sh run build/win32 "the whole win32 test suite" --
count_gtest_cases build/win32/gtest-reports
summaries+=("win32 under Wine: $(cat "$wine_root/program-starts" 2>/dev/null | wc -l) programs started, the instance ready in $((wine_ready - wine_started)) s, the tests in $(($(date +%s) - wine_ready)) s; 32-bit code ran $(i386_how "$i386")")

step "Release: tools/release.sh, then unpacked and checked"
release_dir=out/release
if tools/release.sh --out "$release_dir" &&
    tests/release/check-release.sh "$release_dir/Orvane-$(project_version "$0").zip" build/win32 build/native; then
    summaries+=("release: $release_dir/Orvane-$(project_version "$0").zip checked")
else
    failed_builds+=("release")
fi

echo
for summary in "${summaries[@]}"; do echo "$summary"; done
echo "took $(($(date +%s) - started)) s"
if ((${#failed_builds[@]} > 0)); then
    echo "FAILED: ${failed_builds[*]}"
fi
echo "$((all_total - all_failed - all_skipped)) passed, $all_failed failed, $all_skipped skipped"
((${#failed_builds[@]} == 0))
