#!/bin/sh
# Line and branch coverage of the native test suite, one row a folder
# (module/, fcu/, pfd/, units/, platform/, host/base/ ... host/commands/),
# folder first: builds the coverage preset (clang-14's source-based
# coverage), runs every native test with each process writing a profile of
# its own, merges them and reports with llvm-cov. The report of every file
# and the lines and branches left uncovered go to build/coverage/report/.
#
# usage: tools/coverage.sh [--no-build]
#   --no-build  measure the tests as they were last built
set -eu
cd "$(dirname "$0")/.."
. tools/script_options.sh
build_first=1
while [ $# -gt 0 ]; do
    case $1 in
        --no-build) build_first=0; shift ;;
        *) script_option "$0" "$1" ;;
    esac
done

build=build/coverage
if [ "$build_first" = 1 ]; then
    cmake --preset coverage -DORVANE_BUILD_TESTS=ON >/dev/null
    cmake --build --preset coverage
fi
[ -f "$build/CMakeCache.txt" ] || { echo "coverage.sh: $build is not built; run without --no-build" >&2; exit 2; }

profiles=$build/profiles
report=$build/report
rm -rf "$profiles" "$report"
mkdir -p "$profiles" "$report"
status=0
LLVM_PROFILE_FILE="$PWD/$profiles/%p-%m.profraw" ctest --preset coverage -j2 >"$report/ctest.log" 2>&1 || {
    echo "coverage.sh: some tests failed (see $report/ctest.log); the figures count what ran" >&2
    status=1
}
llvm-profdata-14 merge -sparse "$profiles"/*.profraw -o "$build/coverage.profdata"

# Every program and library of the build that carries a coverage map, but
# CMake's probes, installed copies and the benchmarks' yardstick (the gauge
# code built another way, which would not match the module's counts).
objects=
for file in $(find "$build" -type f \( -name '*.so' -o -perm -u+x \) ! -name '*.sh' ! -path '*/CMakeFiles/*' \
                  ! -path '*/tests/install/*' ! -name 'orvane_reference.so'); do
    if readelf -S "$file" 2>/dev/null | grep -q __llvm_covmap; then
        objects="$objects -object=$file"
    fi
done
# shellcheck disable=SC2086
llvm-cov-14 report "$build/panelhost" $objects -instr-profile="$build/coverage.profdata" \
    -ignore-filename-regex='/(tests|tools|bench|build)/|^/usr/' >"$report/files.txt"
# shellcheck disable=SC2086
llvm-cov-14 show "$build/panelhost" $objects -instr-profile="$build/coverage.profdata" -show-branches=count -format=text \
    -ignore-filename-regex='/(tests|tools|bench|build)/|^/usr/' -region-coverage-lt=100 >"$report/uncovered.txt"

# Per file (paths as llvm-cov gives them, absolute or from the source root):
# lines and missed lines, branches and missed branches, the last six
# columns; summed per folder (per room under host/).
root=$PWD/
awk -v root="$root" '
    NF == 13 && $1 != "Filename" && $1 != "TOTAL" && $1 !~ /^-/ {
        file = substr($1, 1, length(root)) == root ? substr($1, length(root) + 1) : $1
        n = split(file, part, "/")
        folder = part[1] == "host" && n > 2 ? part[1] "/" part[2] "/" : part[1] "/"
        lines[folder] += $(NF - 5); missed_lines[folder] += $(NF - 4)
        branches[folder] += $(NF - 2); missed_branches[folder] += $(NF - 1)
        if (!(folder in seen)) { seen[folder] = 1; order[++folders] = folder }
    }
    function percent(all, missed) { return all == 0 ? "-" : sprintf("%.1f%%", 100 * (all - missed) / all) }
    function row(f) {
        printf "%-18s %10d %8s %10d %8s\n", f, lines[f], percent(lines[f], missed_lines[f]),
               branches[f], percent(branches[f], missed_branches[f])
        done[f] = 1
    }
    END {
        printf "%-18s %10s %8s %10s %8s\n", "folder", "lines", "covered", "branches", "covered"
        n = split("module/ fcu/ pfd/ units/ res/ platform/ host/base/ host/services/ host/panel/ host/scenario/ " \
                  "host/render/ host/commands/", known, " ")
        for (i = 1; i <= n; ++i) if (known[i] in seen) row(known[i])
        for (i = 1; i <= folders; ++i) if (!(order[i] in done)) row(order[i])
    }' "$report/files.txt" | tee "$report/folders.txt"
# The platform's services that the module uses: the functions the built
# module imports from it, and the methods of the sound objects the callout
# calls; the rest of the platform (volume, pan, capabilities) the module
# never asks for.
imports=$(nm -D --undefined-only "$build/orvane.so" | awk '$2 ~ /^_Z/ {print $2}')
methods=$(grep -oE -- '->[A-Z][A-Za-z]+\(' units/callout.cpp | sort -u | sed 's/->//; s/(//')
# shellcheck disable=SC2086
llvm-cov-14 report "$build/panelhost" $objects -instr-profile="$build/coverage.profdata" -show-functions \
    platform/*.cpp >"$report/platform_functions.txt"
awk -v imports="$imports" -v methods="$methods" '
    BEGIN {
        n = split(imports, list, "\n"); for (i = 1; i <= n; ++i) imported[list[i]] = 1
        n = split(methods, list, "\n"); for (i = 1; i <= n; ++i) called[list[i]] = 1
    }
    NF == 10 && $1 != "Name" && $1 != "TOTAL" && $1 !~ /^-/ {
        name = $1; sub(/^[^:]*:/, "", name)
        used = name in imported
        for (m in called) if (name ~ ("(Device|Buffer)[0-9]+" m "E")) used = 1
        if (used) { lines += $5; missed_lines += $6; branches += $8; missed_branches += $9 }
    }
    END {
        printf "%-18s %10d %8s %10d %8s   (the services the module uses)\n", "platform/ (used)", lines,
               sprintf("%.1f%%", 100 * (lines - missed_lines) / lines), branches,
               sprintf("%.1f%%", 100 * (branches - missed_branches) / branches)
    }' "$report/platform_functions.txt" | tee -a "$report/folders.txt"
echo "per file: $report/files.txt; what is left: $report/uncovered.txt"
exit "$status"
