#!/usr/bin/env bash
# Runs every test: the native unit tests under ASan/UBSan, then the Windows tests
# (unit and end-to-end) under Wine on a virtual display of their own.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT_DIR=$(pwd)
bash scripts/build.sh native win32 || { echo "build failed"; exit 1; }

status=0
ctest --preset native || status=1

# The libFuzzer targets (clang), each over its seed corpus for a short fixed count.
if cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j "$(nproc)"; then
  ctest --preset fuzz || status=1
else
  echo "fuzz build failed"; status=1
fi

export WINE_VIRTUAL_DISPLAY=1
source scripts/wine-env.sh
trap stop_virtual_display EXIT
prepare_wine_prefix
# Screenshots of the windows the end-to-end tests open land here, for people to look at.
export SCREENSHOT_DIR=$ROOT_DIR/build/screenshots
mkdir -p "$SCREENSHOT_DIR"
ctest --preset win32 || status=1
wineserver -k 2>/dev/null || true
exit $status
