#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
# Whether the Windows build's tests (windows_build) run, and if not, why.
scripts/test-windows.sh --skipped-why
cd build
ctest --output-on-failure --timeout 600 -j "$(nproc)"
