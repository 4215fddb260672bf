#!/usr/bin/env bash
# Installs what is needed, builds, and starts trelok. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec build/src/trelok "$@"
