#!/usr/bin/env bash
# Builds the Windows program and runs it under Wine, on your display (or on a virtual
# one when there is none, which it tells you).
#   scripts/run.sh             a demo: drive Q holds two installations and decoys (in a
#                              Wine prefix of its own, build/wineprefix-demo)
#   scripts/run.sh HELPFILE    your help file, against the drives of your own Wine prefix
#                              ($WINEPREFIX, or ~/.wine); a Unix path is turned into Z:\...
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT_DIR=$(pwd)
bash scripts/build.sh win32
exe_dir=$ROOT_DIR/build/win32/bin

if [ $# -ge 1 ]; then
  export WINEPREFIX=${WINEPREFIX:-$HOME/.wine}
  prefix_existed=0
  [ -d "$WINEPREFIX" ] && prefix_existed=1
  source scripts/wine-env.sh
  # An existing prefix keeps its own architecture.
  [ "$prefix_existed" = 0 ] || unset WINEARCH
  trap stop_virtual_display EXIT
  help=$1
  case $help in
    /*) help='Z:'$(tr / '\\' <<<"$help") ;;
  esac
  echo "Running the installer with $help against the drives of $WINEPREFIX." >&2
  wine "$exe_dir/ayudainst.exe" "$help"
  exit 0
fi

# The demo has a prefix of its own, so that it never disturbs a test run.
export WINEPREFIX=$ROOT_DIR/build/wineprefix-demo
source scripts/wine-env.sh
trap stop_wine_session EXIT
prepare_wine_prefix
demo=$ROOT_DIR/build/demo
bash scripts/make-demo-drive.sh "$demo"
ln -sfn "$demo/drive" "$WINEPREFIX/dosdevices/q:"
echo "Demo: choose drive Q in the dialog. Installations: Q:\\Halvoren\\Oficina and Q:\\Halvoren\\Almacen." >&2
[ -z "${XVFB_PID:-}" ] || echo "The dialog is on the virtual display $DISPLAY; end it with Ctrl+C." >&2
cd "$demo"
wine "$exe_dir/ayudainst.exe" 'Z:'"$(tr / '\\' <<<"$demo/ayuda.chm")"
