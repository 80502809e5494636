#!/usr/bin/env bash
# tools/install-deps.sh on the kinds of machine and archive it meets: 32-bit
# code run by the kernel or by nothing yet, binfmt_misc there or not, root or
# not, an archive whose index fails for a while or for good. apt, dpkg and the
# probe's answer are stood in for (the real archive cannot be made to be
# mid-sync); binfmt_misc is a folder of the test's.
#
#   tests/tools/install-deps-test.sh WORK_DIR
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
install_deps="$here/../../tools/install-deps.sh"
[[ $# -eq 1 ]] || { echo "usage: install-deps-test.sh WORK_DIR" >&2; exit 2; }
work=$1
rm -rf "$work"
mkdir -p "$work/bin"

# The stand-ins log each call to $work/calls. apt-get update fails the first
# UPDATE_FAILS times (all of them: "always"); apt-get install succeeds when
# INSTALL is "ok", or only with the suite pinned when it is "pinned".
cat >"$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STUB/calls"
if [[ $1 == update ]]; then
    n=$(($(cat "$STUB/updates" 2>/dev/null || echo 0) + 1))
    echo $n >"$STUB/updates"
    if [[ $UPDATE_FAILS == always || $n -le $UPDATE_FAILS ]]; then
        echo "Err:6 http://deb.example/debian-security bookworm-security/main i386 Packages"
        echo "E: Failed to fetch http://deb.example/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
        exit 100
    fi
    exit 0
fi
for arg; do
    [[ $arg == Dir::Etc::PreferencesParts=* ]] && cat "${arg#*=}"/*.pref >"$STUB/pins"
done
if [[ $INSTALL == ok || ($INSTALL == pinned && -f $STUB/pins) ]]; then exit 0; fi
echo " zlib1g:i386 : Depends: libc6:i386 but it is not going to be installed"
echo "E: Unable to correct problems, you have held broken packages."
exit 100
EOF
cat >"$work/bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
version=$(sed -n "s/^${!#} //p" "$STUB/installed")
[[ -n $version ]] && printf 'installed %s' "$version"
EOF
cat >"$work/bin/dpkg" <<'EOF'
#!/usr/bin/env bash
echo "dpkg $*" >>"$STUB/calls"
[[ $1 == --print-foreign-architectures ]] && echo i386
exit 0
EOF
cat >"$work/bin/id" <<'EOF'
#!/usr/bin/env bash
echo "$STUB_UID"
EOF
cat >"$work/bin/mount" <<'EOF'
#!/usr/bin/env bash
echo "mount $*" >>"$STUB/calls"
[[ $MOUNTABLE == yes ]] && touch "${!#}/register"
[[ $MOUNTABLE == yes ]]
EOF
cat >"$work/bin/sleep" <<'EOF'
#!/usr/bin/env bash
EOF
touch "$work/bin/qemu-i386-static"
chmod +x "$work/bin/"*

packages=$(sed -e 's/#.*//' -e 's/[[:space:]]//g' -e '/^$/d' -e 's/$/ 1.0/' "$here/../../tools/debian-packages.txt")
# The emulator from backports; wine64 and the i386 compiler of any version.
emulator=$'qemu-user-static 1:10.0~bpo12+1\nqemu-user 1:10.0~bpo12+1\nwine64 8.0\ng++-multilib 12.2'

failures=0
# what | probe | binfmt (mounted, unmounted, registered, mountable) | uid |
# installed (all, none, emulator) | update fails | install | status |
# what it says | what must be in the calls | what must not
rows=(
    "native, all there: nothing to do|native|mounted|0|all|0|ok|0|all 30 packages are installed*runs natively||apt-get"
    "native, some missing: no emulator installed or registered|native|mounted|0|none|0|ok|0|runs natively|apt-get install*cmake|qemu-user-static*register"
    "no 32-bit code: the emulator installed first, from backports, and registered|none|unmounted-mountable|0|none|0|ok|0|adding Debian's bookworm-backports*registered*emulated by qemu-i386|install*qemu-user-static/bookworm-backports qemu-user/bookworm-backports wine64*mount -t binfmt_misc*install*cmake|"
    "an emulator of Debian 12's own is upgraded and registered again|emulated|registered|0|old-emulator|0|ok|0|registered /|install*qemu-user-static/bookworm-backports qemu-user/bookworm-backports|apt-get install*cmake"
    "an existing registration is kept|none|registered|0|all|0|ok|0|registered already; the registration is kept||register"
    "no binfmt_misc: said, and no success|none|unmounted|0|emulator|0|ok|1|binfmt_misc cannot be mounted||apt-get install"
    "not root: said, and no success|none|mounted|1000|emulator|0|ok|1|needs root||apt-get install"
    "an index failing for a while is waited for|native|mounted|0|none|2|ok|0|trying again in*(1 of 4)*runs natively|update*update*update*install|PreferencesParts"
    "an index failing for good: installed from the other indexes|native|mounted|0|none|always|pinned|0|still could not be fetched after 4 tries*again with the versions|PreferencesParts|"
    "an index failing for good, versions that do not fit: named|native|mounted|0|none|always|fail|1|bookworm-security/main i386 is missing (File has unexpected size*run tools/install-deps.sh again later||"
)
for row in "${rows[@]}"; do
    IFS='|' read -r what probe binfmt uid installed update_fails install status says calls not_calls <<<"$row"
    case_dir="$work/$(echo "$what" | tr -c 'a-z\n' '_')"
    mkdir -p "$case_dir/binfmt"
    case $binfmt in
        mounted) touch "$case_dir/binfmt/register" ;;
        registered) touch "$case_dir/binfmt/register"; echo enabled >"$case_dir/binfmt/qemu-i386" ;;
    esac
    case $installed in
        all) printf '%s\n%s\n' "$packages" "$emulator" >"$case_dir/installed" ;;
        emulator) printf '%s\n' "$emulator" >"$case_dir/installed" ;;
        old-emulator) printf '%s\nqemu-user-static 1:7.2\nwine64 8.0\ng++-multilib 12.2\n' "$packages" >"$case_dir/installed" ;;
        none) : >"$case_dir/installed" ;;
    esac
    mkdir -p "$case_dir/sources"
    : >"$case_dir/calls"
    got=$(STUB=$case_dir STUB_UID=$uid UPDATE_FAILS=$update_fails INSTALL=$install \
        MOUNTABLE=$([[ $binfmt == *mountable ]] && echo yes || echo no) PATH="$work/bin:$PATH" \
        ORVANE_I386_PROBE=$probe ORVANE_BINFMT_DIR="$case_dir/binfmt" ORVANE_QEMU_I386="$work/bin/qemu-i386-static" \
        ORVANE_APT_SOURCES_DIR="$case_dir/sources" \
        "$install_deps" 2>&1)
    got_status=$?
    registration=$(cat "$case_dir/binfmt/register" 2>/dev/null)
    [[ -n $registration ]] && echo "register $registration" >>"$case_dir/calls"
    all_calls=$(tr '\n' ' ' <"$case_dir/calls")
    problem=""
    [[ $got_status -eq $status ]] || problem="exited $got_status, not $status"
    # shellcheck disable=SC2053 # the expectations are patterns
    [[ $got == *$says* ]] || problem+=" did not say '$says'"
    [[ -z $calls || $all_calls == *$calls* ]] || problem+=" did not call '$calls'"
    [[ -z $not_calls || $all_calls != *$not_calls* ]] || problem+=" called '$not_calls'"
    if [[ $what == *"installed from the other indexes"* && $(cat "$case_dir/pins" 2>/dev/null) != *"Pin: release n=bookworm-security"* ]]; then
        problem+=" did not pin the failing suite"
    fi
    if [[ $what == *"registered"* && $what != *"already"* && $not_calls != *register* &&
        $registration != ":qemu-i386:M::"*":$work/bin/qemu-i386-static:F" ]]; then
        problem+=" registered '$registration'"
    fi
    if [[ -n $problem ]]; then
        echo "FAILED: $what:$problem" >&2
        echo "  it said: $got" >&2
        echo "  calls: $all_calls" >&2
        failures=$((failures + 1))
    else
        echo "ok: $what"
    fi
done
((failures == 0))
