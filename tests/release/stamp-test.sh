#!/usr/bin/env bash
# tools/tested-stamp.sh stamps a module only when its tests all passed on it
# unchanged, and its check refuses a module that is not the one stamped. Each
# row runs on a build folder of its own with a stand-in Orvane.gau and a
# ctest list of one test.
#
#   tests/release/stamp-test.sh WORK_DIR
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
stamp_tool="$here/../../tools/tested-stamp.sh"
[[ $# -eq 1 ]] || { echo "usage: stamp-test.sh WORK_DIR" >&2; exit 2; }
work=$1
rm -rf "$work"
mkdir -p "$work"

failures=0
# what | the one test's command | after the run | status of check | check says
rows=(
    "a module whose tests passed is stamped|true||0|the tests, 1 passed and 0 skipped under Wine"
    "a module whose test failed is not|false||1|has no stamp"
    "a module changed while its tests ran is not|sh -c 'echo changed >>Orvane.gau'||1|has no stamp"
    "a module changed since its stamp is refused|true|echo rebuilt >>Orvane.gau|1|changed since its Wine tests passed"
    "a stamp of an earlier run is no stamp after a failed one|false|stamp_first|1|has no stamp"
)
for row in "${rows[@]}"; do
    IFS='|' read -r what command after status says <<<"$row"
    build="$work/$(echo "$what" | tr -c 'a-z\n' '_')"
    mkdir -p "$build"
    echo "a module" >"$build/Orvane.gau"
    if [[ $after == stamp_first ]]; then
        echo "add_test(earlier true)" >"$build/CTestTestfile.cmake"
        "$stamp_tool" run "$build" "an earlier run" -- --test-dir "$build" >/dev/null 2>&1
        after=""
    fi
    echo "add_test(the_test $command)" >"$build/CTestTestfile.cmake"
    (cd "$build" && "$stamp_tool" run "$build" "the tests" -- --test-dir "$build") >"$build/run.log" 2>&1
    if [[ -n $after ]]; then (cd "$build" && eval "$after"); fi
    got=$("$stamp_tool" check "$build" 2>&1)
    got_status=$?
    if [[ $got_status -ne $status || $got != *"$says"* ]]; then
        echo "FAILED: $what: check exited $got_status saying '$got'; expected $status saying '$says'" >&2
        cat "$build/run.log" >&2
        failures=$((failures + 1))
    else
        echo "ok: $what"
    fi
done
((failures == 0))
