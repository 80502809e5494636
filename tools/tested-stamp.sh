#!/usr/bin/env bash
# The stamp a win32 build's Orvane.gau gets when its tests under Wine passed
# on it, and the check tools/release.sh makes of it: a release ships only the
# very file the tests passed on.
#
#   tools/tested-stamp.sh run BUILD_DIR WHAT -- CTEST_ARGS...
#       runs ctest CTEST_ARGS (its output as it goes); when every test passed,
#       at least one ran, and Orvane.gau is byte for byte the file it was
#       when they started, writes BUILD_DIR/Orvane.gau.tested: the file's
#       SHA-256, the tests (WHAT, and how many) and when. Any stamp there is
#       removed first. Exits with ctest's status, 1 when no stamp was made.
#   tools/tested-stamp.sh check BUILD_DIR
#       exit 0 when BUILD_DIR/Orvane.gau is the file its stamp names, and
#       prints the stamp's tests line; exit 1, saying why, when it is not.
#
# Tests labelled "shipped" (ctest -L shipped) are those of the module file
# itself: its imports and exports, its resources and version block, every
# scenario on it under Wine with its trace compared with the native build's,
# the callout heard, the module loaded by a Windows program. A full run
# includes them.
set -uo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/script_options.sh"

usage() {
    echo "tested-stamp.sh: $*" >&2
    echo "Run '$0 --help' for its usage." >&2
    exit 2
}

case ${1:-} in
    run | check) mode=$1; shift ;;
    "") usage "run or check is required" ;;
    *) script_option "$0" "$1" ;;
esac
[[ $# -ge 1 ]] || usage "BUILD_DIR is required"
build=$1
shift
dll="$build/Orvane.gau"
stamp="$dll.tested"

sha() { sha256sum "$1" | cut -d' ' -f1; }

if [[ $mode == check ]]; then
    [[ $# -eq 0 ]] || script_option "$0" "$1"
    if [[ ! -f $dll ]]; then
        echo "tested-stamp.sh: there is no $dll" >&2
        exit 1
    fi
    if [[ ! -f $stamp ]]; then
        echo "tested-stamp.sh: $dll has no stamp of its Wine tests ($stamp): run them, tools/test-all.sh does" >&2
        exit 1
    fi
    tested=$(sed -n 's/^sha256 //p' "$stamp")
    if [[ $tested != "$(sha "$dll")" ]]; then
        echo "tested-stamp.sh: $dll changed since its Wine tests passed on it (its stamp names $tested): run them again" >&2
        exit 1
    fi
    sed -n 's/^tests //p' "$stamp"
    exit 0
fi

[[ $# -ge 1 ]] || usage "WHAT is required"
what=$1
shift
[[ ${1:-} == -- ]] || usage "-- and the ctest arguments are required"
shift
[[ -f $dll ]] || { echo "tested-stamp.sh: there is no $dll" >&2; exit 1; }

rm -f "$stamp"
before=$(sha "$dll")
log=$(mktemp)
trap 'rm -f "$log"' EXIT
ctest "$@" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
((status == 0)) || exit "$status"

summary=$(grep -E '^[0-9]+% tests passed, 0 tests failed out of [0-9]+' "$log" | tail -1)
total=$(echo "$summary" | grep -oE '[0-9]+$')
if [[ -z $summary || ${total:-0} -eq 0 ]]; then
    echo "tested-stamp.sh: no test ran; $dll gets no stamp" >&2
    exit 1
fi
if [[ $(sha "$dll") != "$before" ]]; then
    echo "tested-stamp.sh: $dll changed while its tests ran; it gets no stamp" >&2
    exit 1
fi
skipped=$(grep -cE '^[[:space:]]+[0-9]+ - .* \(Skipped\)$' "$log" || true)
{
    echo "sha256 $before"
    echo "tests $what, $((total - skipped)) passed and $skipped skipped under Wine"
    echo "date $(date -u +%Y-%m-%dT%H:%M:%SZ)"
} >"$stamp.new" && mv "$stamp.new" "$stamp"
echo "tested-stamp.sh: stamped $dll as tested: $what"
