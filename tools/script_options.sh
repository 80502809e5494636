# The conventions of every panelhost command, for the shell tools: source it,
# then hand each option the script does not know itself to script_option.
#   -h, --help   the comment block at the top of the script, exit 0
#   --version    the version of CMake's project(), exit 0
#   -*           a usage error naming the option, exit 2
# shellcheck shell=sh

script_help() {
    sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$1"
}

# The version of CMake's project(), for a script in tools/.
project_version() {
    sed -n 's/^project(Orvane VERSION \([0-9.]*\).*/\1/p' "$(dirname "$1")/../CMakeLists.txt"
}

script_version() {
    echo "$(basename "$1") $(project_version "$1")"
}

script_option() {
    case $2 in
        -h | --help) script_help "$1"; exit 0 ;;
        --version) script_version "$1"; exit 0 ;;
        *) echo "$(basename "$1"): unknown option $2" >&2
           echo "Run '$1 --help' for its usage." >&2
           exit 2 ;;
    esac
}

# The value of an option given as --opt VALUE or --opt=VALUE; a usage error
# when it is missing. Sets option_value and option_shift (1 or 2).
script_value() {
    case $2 in
        *=*) option_value=${2#*=}; option_shift=1 ;;
        *) if [ $# -lt 3 ] || [ -z "$3" ] || [ "${3#--}" != "$3" ]; then
               echo "$(basename "$1"): $2 needs a value" >&2
               echo "Run '$1 --help' for its usage." >&2
               exit 2
           fi
           option_value=$3; option_shift=2 ;;
    esac
}
