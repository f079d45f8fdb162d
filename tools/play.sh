#!/usr/bin/env bash
# Installs what the game needs, builds it with its media and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
bash tools/build.sh
exec build/run/tessaline
