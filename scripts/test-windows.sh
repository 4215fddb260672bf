#!/usr/bin/env bash
# Tests the Windows build under Wine, as root on Debian 12:
#   scripts/test-windows.sh
# Builds the Debian build (the reference) and the Windows build with its
# QtTest suites (scripts/build-windows.sh), then tests/windows_test.py
# installs the installer into a fresh Wine prefix and checks the installed
# program against the Debian build; pictures of its windows and the PDFs it
# wrote are left in build-windows/test-output/.
# Qt for Windows takes long to build the first time: without it in the cache
# this reports the tests as skipped (status 77) and names the command that
# builds it. With --skipped-why it only says that, and exits 0.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${TRELOK_WINDOWS_CACHE:-/var/cache/trelok-windows}
if [ ! -f "$cache/stamps/qt" ]; then
  echo "SKIP   : Windows tests: Qt for Windows is not in $cache;" \
       "build it once with scripts/build-windows.sh (about an hour and a half on two cores)"
  [ "${1:-}" = "--skipped-why" ] && exit 0
  exit 77
fi
[ "${1:-}" = "--skipped-why" ] && exit 0
cd "$root"
scripts/install-deps.sh
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
need=()
for p in imagemagick xdotool; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  as_root apt-get update -qq
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
# Under ctest the Debian build is the one running the tests.
[ -n "${TRELOK_REFERENCE_BUILT:-}" ] || scripts/build.sh
TRELOK_WINDOWS_TESTS=ON TRELOK_WINDOWS_STAGES="packages host trelok installer" scripts/build-windows.sh
exec /usr/bin/python3 tests/windows_test.py build/src/trelok build-windows/trelok-*-setup.exe \
  build-windows/build/bin build-windows/test-output
