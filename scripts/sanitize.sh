#!/usr/bin/env bash
# Builds the test suite with clang under AddressSanitizer (leak checking on)
# and UndefinedBehaviorSanitizer in build-san/, and runs every test there. Any
# sanitizer finding fails the test it happens in, and so the script. Quiet on
# success (one summary line); on failure the log of the failing step is shown.
# A debug build, so that assertions are live too.
# Extra arguments go to ctest (for example -R TrackLoader).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/logged-steps.sh

build=build-san
log=$(fresh_log "$build" sanitize)

# Runs a step with its output in the log; on failure shows the log and stops.
step() { logged_step sanitize "$log" "$@"; }

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

step configure cmake --preset sanitize
step build cmake --build "$build" -j 2 -- -k 0

# The headless backend needs no screen; the offscreen platform covers any Qt
# test that a configuration with Qt would add.
export QT_QPA_PLATFORM=offscreen
if ! ctest --test-dir "$build" --output-on-failure --no-tests=error -j 2 "$@" >>"$log" 2>&1; then
  echo "sanitize: tests failed under the sanitizers; failing tests and their output:" >&2
  # Each sanitizer report's verdict with the top of its stack, then ctest's
  # list of the failing tests.
  awk '/ERROR: [A-Za-z]+Sanitizer|runtime error:/ { n = 8 }
       n > 0 && !/testing::| in main / { print; n-- }
       /^SUMMARY: [A-Za-z]+Sanitizer/ { print }
       /The following tests FAILED/ { failed = 1 }
       failed { print }' "$log" >&2
  echo "sanitize: full log in $log" >&2
  exit 1
fi
summary=$(grep -E "tests passed" "$log" | tail -n 1)
echo "sanitize: ${summary:-all tests passed} (ASan+LSan+UBSan, $build)"
