#!/usr/bin/env bash
# Runs a Windows test program under Wine with a drive letter of its own: a fresh
# folder linked as $WINEPREFIX/dosdevices/<letter>:, named to the program in
# TEST_DRIVE. The letter is taken with an atomic link, so tests running side by
# side never share one.
#   run_on_drive.sh PROGRAM [ARGS...]
set -u
: "${WINEPREFIX:?WINEPREFIX must name the test prefix (source scripts/wine-env.sh)}"
dos=$WINEPREFIX/dosdevices
folder=$(mktemp -d /tmp/wine-drive.XXXXXX)
letter=""
for l in n o p r s t u v; do
  if ln -s "$folder" "$dos/$l:" 2>/dev/null; then letter=$l; break; fi
done
if [ -z "$letter" ]; then
  echo "run_on_drive: no free drive letter" >&2
  rm -rf "$folder"
  exit 1
fi
cleanup() {
  rm -f "$dos/$letter:"
  chmod -R u+w "$folder" 2>/dev/null
  rm -rf "$folder"
}
trap cleanup EXIT
TEST_DRIVE=$(echo "$letter" | tr a-z A-Z) wine "$@"
