# Sourced by the CI scripts: steps whose output goes to a log file, and on a
# failure the part of that log worth reading.

# fresh_log DIR NAME makes DIR and an empty DIR/NAME.log, and prints its path.
fresh_log() {
  mkdir -p "$1"
  : >"$1/$2.log"
  echo "$1/$2.log"
}

# show_build_errors LOG prints the compiler's, linker's and CMake's errors from
# LOG where there are any, else its end.
show_build_errors() {
  local pattern='error:|FAILED:|undefined reference|CMake Error'
  if grep -q -E "$pattern" "$1"; then
    grep -E -A4 "$pattern" "$1" | head -n 80 >&2
  else
    tail -n 60 "$1" >&2
  fi
}

# logged_fail SCRIPT LOG MESSAGE says what failed, shows LOG's errors and stops.
logged_fail() {
  echo "$1: $3 (full log: $2):" >&2
  show_build_errors "$2"
  exit 1
}

# logged_step SCRIPT LOG WHAT COMMAND... runs COMMAND with its output added to
# LOG; when it fails, says "WHAT failed" and stops.
logged_step() {
  local script=$1 log=$2 what=$3
  shift 3
  "$@" >>"$log" 2>&1 || logged_fail "$script" "$log" "$what failed"
}
