#!/usr/bin/env bash
# Start-up benchmark (not a test): time from launch to the first drawn menu
# frame with the settings dialog's own wait left out, and the resident memory
# at the menu. Runs the built game under a private Xvfb, RUNS times.
#   tools/bench-startup.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
game=$PWD/build/run/tessaline
shot=$PWD/build/tests/e2e/windowshot
[ -x "$game" ] && [ -x "$shot" ] || { echo "build first: bash tools/build.sh"; exit 1; }

display=:97
Xvfb $display -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1
export DISPLAY=$display
now() { date +%s%N; }

for run in $(seq 1 "$runs"); do
  cd "$PWD"
  (cd build/run && exec ./tessaline) >/dev/null 2>&1 &
  pid=$!
  t0=$(now)
  until id=$(xdotool search --name '^Rendering Settings$' 2>/dev/null | head -1) && [ -n "$id" ]; do sleep 0.01; done
  t1=$(now)
  eval "$(xdotool getwindowgeometry --shell "$id")"
  sleep 0.3
  xdotool mousemove $((X + 446)) $((Y + 353)) click 1
  t2=$(now)
  until out=$("$shot" Tessaline 2>/dev/null) && awk -v o="$out" 'BEGIN{split(o,a," "); exit !(a[1] >= 8 && a[2] > 0.002)}'; do
    sleep 0.01
  done
  t3=$(now)
  rss=$(awk '/VmRSS/{print $2}' /proc/$pid/status)
  ms=$(( ((t1 - t0) + (t3 - t2)) / 1000000 ))
  echo "run $run: start-up ${ms} ms (to dialog $(( (t1 - t0) / 1000000 )) ms, dialog to menu $(( (t3 - t2) / 1000000 )) ms), resident memory at the menu $((rss / 1024)) MiB"
  xdotool key --window "$(xdotool search --name '^Tessaline$' | head -1)" Escape 2>/dev/null || true
  wait $pid || true
done
