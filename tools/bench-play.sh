#!/usr/bin/env bash
# Play benchmark (not a test): frame time in play at 800x600 under a private
# Xvfb with Mesa's software renderer (llvmpipe), on two cores, over GAMES
# whole songs with a scripted player, and resident memory across the games.
#   tools/bench-play.sh [GAMES [--per-part | --no-figures]]   (default 10 games)
# The render loop runs uncapped here; the game itself caps at 60 fps.
set -euo pipefail
cd "$(dirname "$0")/.."
games=${1:-10}
bench=$PWD/build/tests/bench/play_bench
[ -x "$bench" ] || { echo "build first: bash tools/build.sh"; exit 1; }

display=${BENCH_DISPLAY:-:96}
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1
export DISPLAY=$display
cd build/run
LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe taskset -c 0,1 "$bench" "$games" "${@:2}" 2>&1
