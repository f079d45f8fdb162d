#!/usr/bin/env bash
# Installs what the tests need, builds everything and runs every test:
# the unit and headless tests, the window tests under a private Xvfb, and the
# simulation tests once more under AddressSanitizer and LeakSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
bash tools/build.sh

# A private X server for the window tests.
display=""
for n in $(seq 91 120); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/tmp/tessaline-xvfb.log 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
for _ in $(seq 1 50); do
  xdpyinfo -display "$display" >/dev/null 2>&1 && break
  sleep 0.1
done
export DISPLAY="$display"

status=0
(cd build && ctest --output-on-failure -j "$(nproc)") || status=1

# The engine-free game library under the sanitizers.
cmake -S . -B build-asan -G Ninja -DTESS_ENGINE=OFF -DTESS_BENCHMARKS=OFF -DTESS_MEDIA=OFF \
  -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined" \
  >/dev/null
cmake --build build-asan -j "$(nproc)"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1 ctest --output-on-failure -j "$(nproc)") || status=1

# The whole program under AddressSanitizer, started with no display: every
# global it builds before its first line runs, and none may read a global of
# another file that is not built yet. It then ends at the missing display.
cmake -S . -B build-asan-app -G Ninja -DTESS_TESTS=OFF -DTESS_BENCHMARKS=OFF -DTESS_MEDIA=OFF \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-fsanitize=address -fno-omit-frame-pointer" >/dev/null
cmake --build build-asan-app -j "$(nproc)" --target tessaline
game_asan=$PWD/build-asan-app/run/tessaline
start_out=$(cd /tmp && env -u DISPLAY \
  ASAN_OPTIONS=detect_leaks=0:check_initialization_order=1:strict_init_order=1 "$game_asan" 2>&1 || true)
if grep -q "AddressSanitizer" <<<"$start_out" || ! grep -q "X display" <<<"$start_out"; then
  echo "$start_out"
  echo "FAIL: the program's start-up under AddressSanitizer"
  status=1
fi

exit $status
