# 32-bit code on this machine. Orvane.gau and Wine's loader are i386
# programs: the kernel runs them itself where it has its IA-32 emulation, and
# qemu-i386 (Debian's qemu-user-static, registered with binfmt_misc) runs
# them where it has not. Source it (bash).
#
#   i386_probe              prints native, emulated or none
#   i386_how [ANSWER]       "natively" or "emulated by qemu-i386", for the
#                           summaries of the test command and the demo
#   i386_register_emulator  registers qemu-i386 for i386 programs; on failure
#                           says what is missing and returns 1
#
# ORVANE_I386_PROBE=native|emulated|none stands in for the probe's answer
# (the install script's tests use it), ORVANE_BINFMT_DIR for binfmt_misc's
# folder (/proc/sys/fs/binfmt_misc) and ORVANE_QEMU_I386 for the emulator.

# The probe: tools/i386-probe.S, assembled.
i386_probe_program=f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAACQAAAAAAAAADQAIAABACgAAwACAAEAAABUAAAAVIAECFSABAgqAAAAKgAAAAUAAAABAAAAgeyQAQAAuHoAAACJ482AuwMAAACBvCQEAQAAeDg2X3UCMdu4AQAAAM2AAC5zaHN0cnRhYgAudGV4dAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAsAAAABAAAABgAAAFSABAhUAAAAKgAAAAAAAAAAAAAAAQAAAAAAAAABAAAAAwAAAAAAAAAAAAAAfgAAABEAAAAAAAAAAAAAAAEAAAAAAAAA

i386_binfmt_dir=${ORVANE_BINFMT_DIR:-/proc/sys/fs/binfmt_misc}
i386_emulator=${ORVANE_QEMU_I386:-/usr/bin/qemu-i386-static}

# Runs the probe once. "none" also when it cannot be run at all (a /tmp
# mounted noexec, say): then it says why on stderr.
i386_probe() {
    if [[ -n ${ORVANE_I386_PROBE:-} ]]; then
        echo "$ORVANE_I386_PROBE"
        return 0
    fi
    local probe status error
    probe=$(mktemp "${TMPDIR:-/tmp}/i386-probe.XXXXXX") || return 1
    base64 -d <<<"$i386_probe_program" >"$probe" && chmod +x "$probe"
    error=$("$probe" 2>&1 >/dev/null)
    status=$?
    rm -f "$probe"
    case $status in
        0) echo native ;;
        3) echo emulated ;;
        *)
            [[ $error == *"Exec format error"* ]] ||
                echo "i386 probe: could not run a program from ${TMPDIR:-/tmp} (${error:-exit status $status})" >&2
            echo none
            ;;
    esac
}

# i386_how [ANSWER]: ANSWER is the probe's, when it has been run already.
i386_how() {
    case ${1:-$(i386_probe)} in
        native) echo "natively" ;;
        emulated) echo "emulated by qemu-i386" ;;
        *) echo "not at all (tools/install-deps.sh sets up the emulator)" ;;
    esac
}

i386_missing() {
    echo "install-deps: this machine's kernel runs no 32-bit programs, and qemu-i386 cannot be registered to run them: $*." >&2
    echo "install-deps: the shipped Orvane.gau and Wine are 32-bit programs, so nothing of the win32 build can be tested here." >&2
    return 1
}

# binfmt_misc's registration of qemu-i386 for i386 ELF executables. F opens
# the interpreter now, so it also serves programs in other mount namespaces.
i386_registration() {
    local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    printf '%s' ":qemu-i386:M::$magic:$mask:$i386_emulator:F"
}

# Mounts binfmt_misc where it is not, then registers qemu-i386 unless an
# entry by that name is there already (one that is disabled is enabled).
# "i386_register_emulator again" replaces an entry of that name: it holds
# the emulator it was made with, which an upgrade leaves behind.
i386_register_emulator() {
    [[ -x $i386_emulator ]] || { i386_missing "$i386_emulator is not installed (Debian's qemu-user-static)"; return 1; }
    if [[ ! -e $i386_binfmt_dir/register ]]; then
        [[ $(id -u) -eq 0 ]] || { i386_missing "binfmt_misc is not mounted at $i386_binfmt_dir, and mounting it needs root"; return 1; }
        mount -t binfmt_misc binfmt_misc "$i386_binfmt_dir" 2>/dev/null ||
            { i386_missing "binfmt_misc cannot be mounted at $i386_binfmt_dir (a kernel without CONFIG_BINFMT_MISC, or a container that forbids it)"; return 1; }
    fi
    local entry=$i386_binfmt_dir/qemu-i386
    local replaced=""
    if [[ -e $entry && ${1:-} == again ]]; then
        echo -1 >"$entry" 2>/dev/null || { i386_missing "$entry cannot be replaced without root"; return 1; }
        replaced=1
    fi
    if [[ -e $entry && -z $replaced ]]; then
        if [[ $(head -1 "$entry") != enabled ]]; then
            echo 1 >"$entry" 2>/dev/null || { i386_missing "$entry is disabled, and enabling it needs root"; return 1; }
        fi
        echo "install-deps: qemu-i386 was registered already; the registration is kept"
    else
        [[ $(id -u) -eq 0 ]] || { i386_missing "registering qemu-i386 in $i386_binfmt_dir needs root"; return 1; }
        i386_registration >"$i386_binfmt_dir/register" 2>/dev/null ||
            { i386_missing "the kernel refused the registration in $i386_binfmt_dir/register"; return 1; }
        echo "install-deps: registered $i386_emulator for i386 programs (binfmt_misc, flag F)"
    fi
    # A forced probe has no real answer to give after the registration.
    [[ -n ${ORVANE_I386_PROBE:-} ]] && return 0
    [[ $(i386_probe) == emulated ]] ||
        { i386_missing "qemu-i386 is registered, but the probe still does not run"; return 1; }
}
