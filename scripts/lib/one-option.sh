# Sourced by the scripts that take at most one option.
#
# Usage: one_option OPTION USAGE "$@"
# True when the script's first argument is OPTION, false when it has none;
# any other first argument prints "usage: USAGE" and ends the script with
# status 2.
one_option() {
  local option=$1 usage=$2
  shift 2
  case "${1:-}" in
    "") return 1 ;;
    "$option") return 0 ;;
    *) echo "usage: $usage" >&2; exit 2 ;;
  esac
}
