#!/usr/bin/env bash
# Configures and builds into ./build (warnings are errors under CI).
set -euo pipefail
cd "$(dirname "$0")/.."
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRELOK_WERROR=$werror >/dev/null
cmake --build build --parallel "$(nproc)"
