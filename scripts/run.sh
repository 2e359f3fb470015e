#!/usr/bin/env bash
# Sets up the machine, builds, and starts the program. With a display the
# console opens on it; without one, the program runs on a virtual X display
# and a screenshot of its console is saved to out/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/build.sh

if [[ -n "${DISPLAY:-}" ]]; then
  exec ./build/app/korvane
fi

mkdir -p out
shot="$PWD/out/korvane-console.png"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  ./build/app/korvane & pid=$!
  for _ in $(seq 50); do
    xdotool search --name "^Korvane$" >/dev/null 2>&1 && break
    sleep 0.2
  done
  sleep 0.5
  xwd -root -silent | convert xwd:- "'"$shot"'"
  kill $pid 2>/dev/null || true
  wait $pid 2>/dev/null || true
'
echo "No display: the program ran on a virtual display; its console is in $shot"
