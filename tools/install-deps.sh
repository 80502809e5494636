#!/usr/bin/env bash
# Installs the Debian packages listed in tools/debian-packages.txt that are not
# installed yet, and makes sure this machine can run the win32 build's 32-bit
# programs. Needs root (or sudo without a password) only when something is
# missing. Never asks a question.
#
# Where the kernel runs no i386 program (a probe, run once, tells), it also
# installs the packages of tools/emulation-packages.txt and registers
# qemu-i386 for i386 programs with binfmt_misc; the Wine runs then pass
# through the emulator. Where that cannot be done, it says what is missing and
# exits 1: a machine that cannot run the shipped DLL cannot test it.
#
# An archive being synced (an index of the wrong size) is waited for: the
# update is tried ORVANE_APT_TRIES times (default 4), ORVANE_APT_PAUSE seconds
# apart (default 30). Should an index still fail, the install goes on with the
# versions of the indexes that were fetched, where they fit together; where
# they do not, it names the index and exits 1: run it again later.
#
#   tools/install-deps.sh
set -uo pipefail
tools=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$tools/script_options.sh"
. "$tools/i386.sh"
[[ $# -eq 0 ]] || script_option "$0" "$1"

tries=${ORVANE_APT_TRIES:-4}
pause=${ORVANE_APT_PAUSE:-30}

say() { echo "install-deps: $*"; }
fail() {
    echo "install-deps: $*" >&2
    exit 1
}

package_list() {
    sed -e 's/#.*//' -e 's/[[:space:]]//g' "$1" | grep -v '^$'
}

# The packages not installed yet; a package named with /SUITE is missing
# too while the version installed is not that suite's.
missing_from() {
    local package name status
    for package in "$@"; do
        name=${package%/*}
        status=$(dpkg-query -W -f='${db:Status-Status} ${Version}' "$name" 2>/dev/null || true)
        if [[ $status != installed* ]]; then
            echo "$package"
        elif [[ $package == */bookworm-backports && $status != *~bpo12* ]]; then
            echo "$package"
        fi
    done
}

# Debian's backports suite, where a package list names it and the machine's
# sources do not: it is pinned low by the archive itself, so it gives only
# what is asked of it by name.
add_backports() {
    printf '%s\n' "$@" | grep -q '/bookworm-backports$' || return 0
    local sources=${ORVANE_APT_SOURCES_DIR:-/etc/apt/sources.list.d}
    grep -rqs 'bookworm-backports' "$sources" "$sources/../sources.list" && return 0
    say "adding Debian's bookworm-backports to the package sources ($sources/bookworm-backports.sources)"
    printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' |
        "${as_root[@]}" tee "$sources/bookworm-backports.sources" >/dev/null ||
        fail "cannot add bookworm-backports to the package sources"
    updated=""
}

as_root=()
need_root() {
    [[ $(id -u) -eq 0 ]] && return 0
    if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
        as_root=(sudo -n)
    else
        fail "run as root to install: $*"
    fi
}

apt_log=$(mktemp)
pin_dir=$(mktemp -d)
trap 'rm -rf "$apt_log" "$pin_dir"' EXIT

# The archive's indexes that the last update could not fetch, as
# "SUITE/COMPONENT ARCH", and why.
failed_indexes=()
failed_reason=""

update_archive() {
    [[ -n ${updated:-} ]] && return 0
    updated=1
    local try
    for ((try = 1; try <= tries; try++)); do
        "${as_root[@]}" apt-get update -q >"$apt_log" 2>&1
        local status=$?
        mapfile -t failed_indexes < <(sed -n 's/^Err:[0-9]* [^ ]* \([^ ]*\) \([^ ]*\) Packages.*/\1 \2/p' "$apt_log" | sort -u)
        failed_reason=$(sed -n 's/^E: Failed to fetch [^ ]*  *//p' "$apt_log" | head -1)
        if ((status == 0 && ${#failed_indexes[@]} == 0)); then
            return 0
        fi
        if ((${#failed_indexes[@]} == 0)); then
            failed_indexes=("(unnamed)")
            failed_reason=$(grep -m1 '^E: ' "$apt_log" || tail -1 "$apt_log")
        fi
        if ((try < tries)); then
            say "the archive's index ${failed_indexes[*]} could not be fetched (${failed_reason:-no reason given}); trying again in $pause s ($try of $tries)"
            sleep "$pause"
        fi
    done
    say "the archive's index ${failed_indexes[*]} still could not be fetched after $tries tries (${failed_reason:-no reason given}); going on with the other indexes"
    return 1
}

# Pins down the suites of the indexes that failed, for one apt-get run: their
# other architectures' newer versions would not match what the failed index
# lacks (Multi-Arch twins must be of one version).
write_pins() {
    local index suite
    cp -r /etc/apt/preferences.d/. "$pin_dir/" 2>/dev/null
    for index in "${failed_indexes[@]}"; do
        suite=${index%%/*}
        [[ $suite == "(unnamed)" ]] && continue
        printf 'Package: *\nPin: release n=%s\nPin-Priority: 100\n\n' "$suite" >>"$pin_dir/orvane-archive-sync.pref"
    done
}

show_apt_errors() {
    grep -E '^(E:| [^ ].*: Depends)' "$apt_log" | head -8 | sed 's/^/    /' >&2
}

install_packages() {
    local packages=("$@")
    ((${#packages[@]} > 0)) || return 0
    need_root "${packages[*]}"
    say "installing ${packages[*]}"
    if printf '%s\n' "${packages[@]}" | grep -q ':i386$' &&
        ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${as_root[@]}" dpkg --add-architecture i386 || fail "cannot add the i386 architecture (dpkg --add-architecture i386)"
        updated=""
    fi
    add_backports "${packages[@]}"
    update_archive
    local apt_install=(env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends)
    "${as_root[@]}" "${apt_install[@]}" "${packages[@]}" >"$apt_log" 2>&1 && return 0
    if ((${#failed_indexes[@]} > 0)); then
        write_pins
        say "installing again with the versions of the indexes that were fetched"
        "${as_root[@]}" "${apt_install[@]}" -o Dir::Etc::PreferencesParts="$pin_dir" "${packages[@]}" >"$apt_log" 2>&1 &&
            return 0
        show_apt_errors
        fail "the packages cannot be installed while the archive's index ${failed_indexes[*]} is missing (${failed_reason:-no reason given}): the mirror is being synced; run tools/install-deps.sh again later"
    fi
    show_apt_errors
    fail "apt-get could not install ${packages[*]} (its errors above)"
}

mapfile -t packages < <(package_list "$tools/debian-packages.txt")
mapfile -t emulation_packages < <(package_list "$tools/emulation-packages.txt")

i386=$(i386_probe)
if [[ $i386 == native ]]; then
    mapfile -t missing < <(missing_from "${packages[@]}")
else
    # The emulator first: the i386 packages' own install scripts may run i386 programs.
    mapfile -t missing < <(missing_from "${emulation_packages[@]}")
    install_packages "${missing[@]}"
    # A registration holds the emulator it was made with: after an upgrade it
    # is made again.
    if [[ $i386 == none ]] || printf '%s\n' "${missing[@]}" | grep -q '^qemu-user'; then
        i386_register_emulator "$([[ $i386 == emulated ]] && echo again)" || exit 1
        i386=emulated
    fi
    mapfile -t missing < <(missing_from "${packages[@]}")
    packages+=("${emulation_packages[@]}")
fi
install_packages "${missing[@]}"
[[ -n ${updated:-} ]] || say "all ${#packages[@]} packages are installed"
say "32-bit code runs $(i386_how "$i386")"
