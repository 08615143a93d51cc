#!/usr/bin/env bash
# Installs the Debian packages, builds (Release) and runs every test suite with CTest, then
# builds again with AddressSanitizer and UndefinedBehaviorSanitizer and runs the unit and
# widget suites under them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
jobs=$(nproc)

cmake --preset release
cmake --build --preset release -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 600

cmake --preset sanitize
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs" --timeout 600
