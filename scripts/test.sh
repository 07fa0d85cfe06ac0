#!/usr/bin/env bash
# Runs every test: the native unit tests under ASan/UBSan, then the Windows tests
# (unit and end-to-end) under Wine on a virtual display of their own. Ends with a
# summary line "N passed, N failed" over both runs and exit code 0 only when all passed.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT_DIR=$(pwd)
started=$(date +%s)
bash scripts/build.sh native win32 || { echo "build failed"; exit 1; }

passed=0
failed=0
status=0
# run_ctest PRESET: runs the preset's tests and adds its counts to the totals.
run_ctest() {
  local log
  log=$(mktemp)
  ctest --preset "$1" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local line total bad
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)
  if [ -n "$line" ]; then
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  elif [ "$rc" -ne 0 ]; then
    failed=$((failed + 1))  # ctest itself failed before running anything
  fi
  [ "$rc" -eq 0 ] || status=1
  rm -f "$log"
}

run_ctest native

# The libFuzzer targets (clang), each over its seed corpus for a short fixed count.
if cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j "$(nproc)"; then
  run_ctest fuzz
else
  echo "fuzz build failed"; status=1
fi

export WINE_VIRTUAL_DISPLAY=1
source scripts/wine-env.sh || { echo "no virtual display"; exit 1; }
trap stop_wine_session EXIT
prepare_wine_prefix
# One Wine session for the whole run instead of one per test program, started before
# ctest: the first program of a session waits for Wine's services, which would eat the
# few seconds ctest allows for listing a test program's tests.
wineserver -p
wine cmd /c exit >/dev/null 2>&1 || true
# Screenshots of the windows the end-to-end tests open land here, for people to look at.
export SCREENSHOT_DIR=$ROOT_DIR/build/screenshots
rm -rf "$SCREENSHOT_DIR"
mkdir -p "$SCREENSHOT_DIR"
run_ctest win32

echo "$passed passed, $failed failed ($(( $(date +%s) - started )) s)"
exit $status
