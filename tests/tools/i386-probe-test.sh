#!/usr/bin/env bash
# The probe of tools/i386.sh: its bytes are what tools/i386-probe.S
# assembles to, and on a machine that runs the tests (install-deps.sh has
# made it run 32-bit code, one way or the other) it runs and answers.
#
#   tests/tools/i386-probe-test.sh WORK_DIR
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tools="$here/../../tools"
. "$tools/i386.sh"
[[ $# -eq 1 ]] || { echo "usage: i386-probe-test.sh WORK_DIR" >&2; exit 2; }
work=$1
mkdir -p "$work"

as --32 -o "$work/probe.o" "$tools/i386-probe.S" &&
    ld -m elf_i386 -s -n --build-id=none -o "$work/probe" "$work/probe.o" || exit 1
if [[ $(base64 -w0 "$work/probe") != "$i386_probe_program" ]]; then
    echo "FAILED: tools/i386.sh carries other bytes than tools/i386-probe.S assembles to:" >&2
    base64 -w0 "$work/probe" >&2
    exit 1
fi
answer=$(i386_probe)
case $answer in
    native | emulated) echo "the probe ran: 32-bit code runs $(i386_how "$answer")" ;;
    *) echo "FAILED: the probe answered '$answer' on a machine that runs the win32 tests" >&2; exit 1 ;;
esac
