#!/usr/bin/env bash
# The release: DIR/Orvane-VERSION.zip and DIR/SHA256SUMS, VERSION that of
# CMake's project(). The module is the win32 build's Orvane.gau, byte for
# byte the file its Wine tests passed on: the stamp they leave beside it
# (tools/tested-stamp.sh) must name it, or nothing is made. The native build
# checks the committed art and draws the pictures.
#
#   tools/release.sh [--out DIR] [--win32 BUILD_DIR] [--native BUILD_DIR]
#       defaults: out/release, build/win32, build/native
#
# The zip holds, under Orvane-VERSION/:
#   Gauges/Orvane.gau    the module
#   Panel/               the example panel.cfg with its bitmaps, and faces/:
#                        the art kit, each gauge's face and faces.cfg
#   Docs/INSTALL         for the pilot and the panel designer
#   Docs/pictures/       each gauge at 2x on its face, and the whole panel,
#                        with their mouse areas (panelhost render --areas)
#   LICENSE, README
# SHA256SUMS holds the SHA-256 of the zip and of every file in it.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
. tools/script_options.sh
out=out/release
win32=build/win32
native=build/native
while [[ $# -gt 0 ]]; do
    case $1 in
        --out | --out=*) script_value "$0" "$@"; out=$option_value; shift "$option_shift" ;;
        --win32 | --win32=*) script_value "$0" "$@"; win32=$option_value; shift "$option_shift" ;;
        --native | --native=*) script_value "$0" "$@"; native=$option_value; shift "$option_shift" ;;
        *) script_option "$0" "$1" ;;
    esac
done

fail() {
    echo "release.sh: $*" >&2
    exit 1
}

version=$(project_version "$0")
[[ -n $version ]] || fail "no version in CMakeLists.txt's project()"
name="Orvane-$version"
for build in "$win32" "$native"; do
    [[ -f $build/CMakeCache.txt ]] || fail "$build is not a configured build (tools/test-all.sh makes both)"
done

# The module as its sources make it now: a rebuild since the tests would
# change the file, and its stamp would no longer name it.
echo "release.sh: the win32 module, as tested"
cmake --build "$win32" --target orvane >/dev/null || fail "the win32 build of Orvane.gau failed"
tested=$(tools/tested-stamp.sh check "$win32") || fail "$win32/Orvane.gau is not the file its Wine tests passed on"
echo "  $tested"

echo "release.sh: the native build, to check the art and draw the pictures"
cmake --build "$native" --target orvane panelhost orvane_example_art >/dev/null || fail "the native build failed"
module="$native/orvane.so"
"$native/tools/orvane_example_art" --check "$module" examples/panel.cfg --faces examples/faces ||
    fail "the committed art is not what the art tool draws: draw it again (README.md)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
top="$work/$name"
mkdir -p "$top/Gauges" "$top/Panel/faces" "$top/Docs/pictures"
cp "$win32/Orvane.gau" "$top/Gauges/"
cp examples/panel.cfg examples/*.bmp "$top/Panel/"
cp examples/faces/* "$top/Panel/faces/"
cp docs/release/INSTALL "$top/Docs/"
cp LICENSE "$top/"
sha=$(sha256sum "$win32/Orvane.gau" | cut -d' ' -f1)
sed -e "s/@VERSION@/$version/g" -e "s/@SHA256@/$sha/" -e "s/@TESTED@/${tested//\//\\/}/" docs/release/README >"$top/README"

echo "release.sh: the pictures of Docs/pictures"
pictures="$work/pictures"
scenario=tests/render/golden.scn
render() {
    if ! "$native/panelhost" render "$module" "$@" --scenario "$scenario" --areas --scale 2 >"$work/render.log" 2>&1 ||
        [[ $(grep -vc '^wrote ' "$work/render.log") -ne 0 ]]; then
        cat "$work/render.log" >&2
        fail "panelhost render $* reported problems"
    fi
}
render "$top/Panel/faces/faces.cfg" --out "$pictures/faces"
# Each window of faces.cfg is one gauge on its face: windowNN.png is NAME.png.
awk -F'[][=!, ]+' '/^\[Window[0-9]+\]/ { window = tolower($2) } /^gauge00=/ { print window, $3 }' \
    "$top/Panel/faces/faces.cfg" | while read -r window gauge; do
    cp "$pictures/faces/$window.png" "$top/Docs/pictures/$gauge.png"
done
render "$top/Panel/panel.cfg" --out "$pictures/panel"
cp "$pictures/panel/screen.png" "$top/Docs/pictures/panel.png"

# Every file at the time of the last commit and in name order, so that the
# same sources make the same zip.
stamp_time=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
find "$top" -exec touch -h -d "@$stamp_time" {} +
(cd "$work" && find "$name" -type f | LC_ALL=C sort | zip -q -X -D "$name.zip" -@) || fail "zip failed"
(cd "$work" && {
    sha256sum "$name.zip"
    find "$name" -type f | LC_ALL=C sort | xargs sha256sum
} >SHA256SUMS)

mkdir -p "$out"
# Whole files or none: each is renamed into place.
for file in "$name.zip" SHA256SUMS; do
    cp "$work/$file" "$out/.$file.new"
    mv "$out/.$file.new" "$out/$file"
done
count=$(find "$top" -type f | wc -l)
echo "release.sh: wrote $out/$name.zip ($(stat -c %s "$out/$name.zip") bytes, $count files) and $out/SHA256SUMS"
