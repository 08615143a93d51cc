#!/usr/bin/env bash
# Installs the Debian packages, builds (Release) and runs every test suite with CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
build=${VANTREL_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
