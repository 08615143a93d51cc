#!/usr/bin/env bash
# Installs the Debian packages, builds (Release) and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)" --target vantrel
exec build/app/vantrel
