#!/usr/bin/env bash
# runner-test.sh RUNNER ROOT PROBE.exe
# The Wine runner hands back what the program printed, on the right stream,
# and its exit status; a crash ends the run at once with a failure.
set -uo pipefail
runner=$1 root=$2 probe=$3
failures=0

check() {
    local what=$1 expected_status=$2 expected_out=$3 expected_err=$4
    shift 4
    local out err status
    out=$(mktemp) err=$(mktemp)
    timeout 120 "$runner" --root "$root" "$probe" "$@" >"$out" 2>"$err"
    status=$?
    if [[ $expected_status == nonzero ]] && ((status != 0 && status != 124)); then
        :
    elif [[ $status != "$expected_status" ]]; then
        echo "FAILED: $what: exit status $status, expected $expected_status"
        failures=$((failures + 1))
    fi
    if ! grep -q -- "$expected_out" "$out"; then
        echo "FAILED: $what: stdout lacks \"$expected_out\": $(cat "$out")"
        failures=$((failures + 1))
    fi
    if ! grep -q -- "$expected_err" "$err"; then
        echo "FAILED: $what: stderr lacks \"$expected_err\": $(head -c 300 "$err")"
        failures=$((failures + 1))
    fi
    rm -f "$out" "$err"
}

check "success" 0 "runner probe: out" "runner probe: err" exit 0
check "exit status 7" 7 "runner probe: out" "runner probe: err" exit 7
# Wine names the fault: "page fault" where the kernel runs 32-bit code;
# under qemu-i386, which hands Wine no trap number, "illegal instruction".
check "crash" nonzero "about to crash" "Unhandled .* at address" crash

((failures == 0)) && echo "runner: exit status, output streams and crashes as the program left them"
((failures == 0))
