#!/usr/bin/env bash
# Checks of the built Orvane.gau as a file, read with mingw's binutils.
#
#   check-dll.sh imports OBJDUMP FILE       imports only system DLLs, and no
#                                           printf that formats into memory
#   check-dll.sh exports OBJDUMP FILE       exports exactly ImportTable and Linkage
#   check-dll.sh no-printf NM OBJECT...     the module's own code calls no printf
#   check-dll.sh no-heap NM OBJECT...       nor allocates from the C or C++ heap
#   check-dll.sh no-static-init OBJDUMP OBJECT...   nor has a static constructor
#   check-dll.sh sse-arithmetic OBJDUMP OBJECT...   nor does arithmetic on the x87 unit
set -euo pipefail

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# The DLLs the simulator's machine always has. Anything else (the compiler's
# runtime, winpthread) would have to be shipped beside the module.
allowed_dlls="kernel32.dll user32.dll winmm.dll dsound.dll msvcrt.dll"

# Formatting into memory: the module's texts are written by its own formatter.
memory_printf='^_*(v?sn?w?printf(_s)?|v?snwprintf|w?v?sprintf[AW]?|wvsprintf[AW])$'

dll_names() {
    "$1" -p "$2" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p'
}

# Imported function names, one a line, as DLL:function.
imported_functions() {
    "$1" -p "$2" | awk '
        /^[[:space:]]*DLL Name:/ { dll = $3; next }
        /^[[:space:]]*$/ { next }
        dll != "" && /^[[:space:]]*[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[^[:space:]]+$/ { print dll ":" $3 }
        /^The Export Tables/ { dll = "" }'
}

exported_names() {
    "$1" -p "$2" | awk '
        /^\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
        names && /^[[:space:]]*\[[[:space:]]*[0-9]+\]/ { print $NF; next }
        names { names = 0 }'
}

mode=${1:-}
case "$mode" in
    imports)
        objdump=$2 file=$3
        dlls=$(dll_names "$objdump" "$file")
        [[ -n $dlls ]] || fail "$file imports nothing: not a module built against Windows"
        echo "imports: $(echo $dlls)"
        for dll in $dlls; do
            lower=$(echo "$dll" | tr '[:upper:]' '[:lower:]')
            [[ " $allowed_dlls " == *" $lower "* ]] || fail "$file imports $dll, which is not a system DLL"
        done
        functions=$(imported_functions "$objdump" "$file")
        [[ -n $functions ]] || fail "no imported functions read from $file"
        bad=$(echo "$functions" | awk -F: -v re="$memory_printf" '$2 ~ re')
        [[ -z $bad ]] || fail "$file imports printf-style formatting into memory: $(echo $bad)"
        ;;
    exports)
        objdump=$2 file=$3
        names=$(exported_names "$objdump" "$file" | sort | tr '\n' ' ')
        echo "exports: $names"
        [[ $names == "ImportTable Linkage " ]] || fail "$file must export exactly ImportTable and Linkage, undecorated"
        ;;
    no-printf)
        nm=$2
        shift 2
        [[ $# -gt 0 ]] || fail "no object files given"
        bad=$("$nm" -u "$@" | awk '/printf/ { print $NF }' | sort -u)
        [[ -z $bad ]] || fail "module code calls $(echo $bad); its texts go through write_text"
        echo "$# object files, no printf"
        ;;
    no-heap)
        nm=$2
        shift 2
        [[ $# -gt 0 ]] || fail "no object files given"
        # malloc and company, and operator new and delete in their mangled names.
        bad=$("$nm" -u "$@" | awk '{ print $NF }' |
            grep -E '^_*(malloc|calloc|realloc|free|strdup|_strdup|_Znwj|_Znaj|_ZdlPv|_ZdaPv)' | sort -u || true)
        [[ -z $bad ]] || fail "module code uses the heap: $(echo $bad); its state is static data"
        echo "$# object files, no heap"
        ;;
    no-static-init)
        objdump=$2
        shift 2
        [[ $# -gt 0 ]] || fail "no object files given"
        bad=$("$objdump" -h "$@" | awk '/file format/ { file = $1; sub(/:$/, "", file) } $2 ~ /^\.(ctors|init_array)/ { print file }' | sort -u)
        [[ -z $bad ]] || fail "static constructors in $(echo $bad); records must hold their values at load"
        echo "$# object files, no static constructors"
        ;;
    sse-arithmetic)
        # Doubles still come and go through ST(0), and 64-bit integer
        # conversions use fistp; both are exact. Arithmetic must be SSE2, so
        # that it rounds as the native build does.
        objdump=$2
        shift 2
        [[ $# -gt 0 ]] || fail "no object files given"
        bad=$("$objdump" -d --no-show-raw-insn "$@" | awk '
            /file format/ { file = $1; sub(/:$/, "", file) }
            /^[[:space:]]+[0-9a-f]+:/ && $2 ~ /^fi?(add|sub|subr|mul|div|divr|sqrt|prem|prem1|sin|cos|sincos|ptan|patan|2xm1|yl2x|yl2xp1|scale|rndint)[lsp]*$/ { print file ": " $2 }' |
            sort -u)
        [[ -z $bad ]] || fail "x87 arithmetic in module code: $(echo $bad)"
        echo "$# object files, arithmetic on SSE2 only"
        ;;
    *)
        fail "usage: check-dll.sh imports|exports OBJDUMP FILE | no-printf|no-heap NM OBJECT... | no-static-init|sse-arithmetic OBJDUMP OBJECT..."
        ;;
esac
