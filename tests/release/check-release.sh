#!/usr/bin/env bash
# The release as a pilot and a designer get it, checked: unpacked into a
# folder of its own, it must hold exactly the files of files.txt under
# Orvane-VERSION/, match its SHA256SUMS, carry the win32 build's Orvane.gau
# that the Wine tests passed on, whose version block says VERSION, the zip's
# name; and its Panel/panel.cfg and Panel/faces/faces.cfg must draw with the
# native module without a single problem reported.
#
#   tests/release/check-release.sh DIR/Orvane-VERSION.zip WIN32_BUILD NATIVE_BUILD
#       (SHA256SUMS beside the zip)
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)

failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

[[ $# -eq 3 ]] || { echo "usage: check-release.sh ZIP WIN32_BUILD NATIVE_BUILD" >&2; exit 2; }
zip=$1 win32=$2 native=$3
base=$(basename "$zip")
[[ $base =~ ^Orvane-([0-9]+(\.[0-9]+)*)\.zip$ ]] || { echo "FAILED: $base is not named Orvane-VERSION.zip" >&2; exit 1; }
version=${BASH_REMATCH[1]}
name="Orvane-$version"
sums="$(dirname "$zip")/SHA256SUMS"
[[ -f $zip && -f $sums ]] || { echo "FAILED: no $zip and SHA256SUMS beside it" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$zip" "$sums" "$work/"
(cd "$work" && unzip -q "$base") || { echo "FAILED: $zip does not unpack" >&2; exit 1; }
top="$work/$name"

# The file list: one top folder, every file of files.txt in it, nothing else.
tops=$(cd "$work" && find . -mindepth 1 -maxdepth 1 ! -name "$base" ! -name SHA256SUMS -printf '%P ')
[[ $tops == "$name " ]] || { echo "FAILED: the zip's top folders are ${tops:-none}, not $name" >&2; exit 1; }
if ! diff <(cd "$top" && find . -type f -printf '%P\n' | LC_ALL=C sort) "$here/files.txt" >"$work/list.diff"; then
    fail "the files of $name differ from tests/release/files.txt (< in the zip, > expected):"
    cat "$work/list.diff" >&2
fi

# SHA256SUMS: the zip and every file in it, each right.
expected_sums=$(($(wc -l <"$here/files.txt") + 1))
[[ $(wc -l <"$work/SHA256SUMS") -eq $expected_sums ]] ||
    fail "SHA256SUMS has $(wc -l <"$work/SHA256SUMS") lines, not the zip's and one per file ($expected_sums)"
(cd "$work" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the release"

# The module: the tested build's, byte for byte.
gau="$top/Gauges/Orvane.gau"
if tested=$("$root/tools/tested-stamp.sh" check "$win32"); then
    echo "the tested build: $tested"
    stamped=$(sed -n 's/^sha256 //p' "$win32/Orvane.gau.tested")
    [[ $(sha256sum "$gau" | cut -d' ' -f1) == "$stamped" ]] ||
        fail "Gauges/Orvane.gau is not the file the Wine tests of $win32 passed on"
else
    fail "$win32 has no Orvane.gau that its Wine tests passed on"
fi

# Its version block, read back by binutils' windres, against the zip's name.
IFS=. read -r -a parts <<<"$version"
while [[ ${#parts[@]} -lt 4 ]]; do parts+=(0); done
numbers="${parts[0]}, ${parts[1]}, ${parts[2]}, ${parts[3]}"
text="${parts[0]}.${parts[1]}.${parts[2]}.${parts[3]}"
windres=$(command -v i686-w64-mingw32-windres) || fail "i686-w64-mingw32-windres is missing"
if [[ -n $windres ]] && "$windres" -i "$gau" -O rc >"$work/resources.rc" 2>"$work/windres.err"; then
    for key in FILEVERSION PRODUCTVERSION; do
        got=$(sed -n "s/^ *$key *//p" "$work/resources.rc")
        [[ $got == "$numbers" ]] || fail "the version block's $key is '$got', not $numbers as $base says"
    done
    for key in FileVersion ProductVersion; do
        got=$(sed -n "s/^ *VALUE \"$key\", \"\\(.*\\)\"\$/\\1/p" "$work/resources.rc")
        [[ $got == "$text" ]] || fail "the version block's $key is '$got', not $text as $base says"
    done
else
    fail "the version block of Gauges/Orvane.gau cannot be read: $(cat "$work/windres.err" 2>/dev/null)"
fi

# The panels, drawn by the native module as unpacked: not one problem.
for cfg in Panel/panel.cfg Panel/faces/faces.cfg; do
    if ! "$native/panelhost" render "$native/orvane.so" "$top/$cfg" --out "$work/render" >"$work/render.out" \
        2>"$work/render.err"; then
        fail "panelhost render $cfg failed: $(cat "$work/render.err")"
    elif [[ -s $work/render.err ]]; then
        fail "panelhost render $cfg reported problems: $(cat "$work/render.err")"
    fi
done

if ((failures > 0)); then
    echo "$base: $failures checks failed" >&2
    exit 1
fi
echo "$base: $(wc -l <"$here/files.txt") files as listed, SHA256SUMS right, Orvane.gau the tested build's," \
    "version $text, both panels drawn without a problem"
