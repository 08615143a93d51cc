#!/usr/bin/env bash
# Installs the Debian packages, builds (Release) and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
build=${VANTREL_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j "$(nproc)" --target vantrel
exec "$build/app/vantrel"
