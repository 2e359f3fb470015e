# Sourced by the CI scripts. show_build_errors LOG prints the compiler's,
# linker's and CMake's errors from LOG where there are any, else its end.
show_build_errors() {
  local pattern='error:|FAILED:|undefined reference|CMake Error'
  if grep -q -E "$pattern" "$1"; then
    grep -E -A4 "$pattern" "$1" | head -n 80 >&2
  else
    tail -n 60 "$1" >&2
  fi
}
