#!/usr/bin/env bash
# The real-window acceptance test: the built program on a fresh virtual X
# display without a window manager, driven with the keyboard only, as a user
# without a mouse would. It plays the sample series with both overlays, checks
# a screenshot against the track file, reads the "Last frame" box through the
# clipboard, closes the player with Escape and quits with Tab and Space.
# Screenshots and the program's trace are kept in out/acceptance/.
#
# usage: scripts/acceptance.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
program="$build/app/korvane"
cli="$build/tools/korvane-cli"
check="$build/tests/acceptance_check"
out="$PWD/out/acceptance"
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d /tmp/korvane-acceptance.XXXXXX)

xvfb_pid=""
program_pid=""
cleanup() {
  [[ -n "$program_pid" ]] && kill "$program_pid" 2>/dev/null || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "acceptance: $*" >&2
  xwd -root -silent 2>/dev/null | convert xwd:- "$out/failure.png" 2>/dev/null || true
  cp "$work/trace.log" "$out/" 2>/dev/null || true
  echo "acceptance: screenshots and trace kept in $out" >&2
  exit 1
}

# Waits up to $1 tenths of a second for the command in the remaining arguments.
wait_for() {
  local tries=$1
  shift
  for ((i = 0; i < tries; i++)); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  return 1
}

"$cli" sample "$work" >/dev/null || fail "cannot make the sample series"

# The server picks a free display itself and writes its number on the file
# descriptor given to -displayfd once it is ready for connections.
# -noreset: by default the server resets when its last client leaves, and a
# client connecting during that reset is refused; the readiness probe below is
# such a last client, so without it the program could find no display.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset \
  3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
wait_for 100 test -s "$work/display" || fail "Xvfb did not start"
display=":$(head -n 1 "$work/display")"
export DISPLAY=$display
wait_for 100 xdotool getdisplaygeometry || fail "Xvfb does not answer on $display"

(cd "$work" && exec "$program" 2>"$work/trace.log") &
program_pid=$!

wait_for 100 xdotool search --name '^Korvane$' || fail "the console did not appear"
console=$(xdotool search --name '^Korvane$' | head -1)
xdotool windowfocus --sync "$console"
sleep 0.3

# Console tab order: Record (focused first), Quit, Stop Recording, the root
# path box, Read file series, Browse.
xdotool key --delay 50 Tab Tab Tab Tab space
wait_for 100 xdotool search --name '^Dialog$' || fail "the player did not open"
player=$(xdotool search --name '^Dialog$' | head -1)
xdotool windowfocus --sync "$player"
sleep 0.3

# Player tab order: READ (focused first), Cancel, root path, start frame, last
# frame, rate, STOP, Use TrueTracks, Show Track. Enter presses READ, the
# default button.
xdotool key --delay 50 Tab Tab ctrl+a
xdotool type --delay 20 take9
xdotool key --delay 50 Tab Tab Tab Tab Tab space Tab space Return

# Rate 10: frames 24 to 54 take about 3.1 seconds.
wait_for 200 grep -q "take9_0054.bmp" "$work/trace.log" || fail "the series did not play to frame 54"
sleep 1

xwd -root -silent > "$out/screen.xwd"
convert "$out/screen.xwd" "$out/screen.ppm"
convert "$out/screen.xwd" "$out/screen.png"
rm -f "$out/screen.xwd"
eval "$(xdotool getwindowgeometry --shell "$player")"
"$check" "$out/screen.ppm" "$X" "$Y" "$work/take9" 54 "$work/truetracks.txt" ||
  fail "the screenshot does not show what the track file says"

# The "Last frame" box, read as a user would: select it and copy it.
xdotool key --delay 50 shift+Tab shift+Tab shift+Tab shift+Tab ctrl+a ctrl+c
sleep 0.3
last=$(xclip -o -selection clipboard 2>/dev/null || true)
[[ "$last" == "55" ]] || fail "the Last frame box reads '$last', expected 55"

# Escape closes the player; back in the console, the focus is on Read file
# series: Browse, Record, Quit follow it in tab order.
xdotool key Escape
wait_for 50 bash -c "! xdotool search --name '^Dialog\$'" || fail "Escape did not close the player"
xdotool windowfocus --sync "$console"
sleep 0.3
xdotool key --delay 50 Tab Tab Tab space
status=0
wait_for 50 bash -c "! kill -0 $program_pid" || fail "Quit did not end the program"
wait "$program_pid" || status=$?
program_pid=""
[[ $status -eq 0 ]] || fail "the program ended with status $status, expected 0"

grep -c "^filename: " "$work/trace.log" | grep -qx 31 || fail "expected 31 frames in the trace"
rm -f "$out/screen.ppm"
echo "acceptance: passed (31 frames played, overlays where the track file says, Last frame 55, Quit with status 0)"
