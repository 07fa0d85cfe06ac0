#!/usr/bin/env bash
# Builds the Windows program and runs it under Wine.
#   scripts/run.sh             a demo: drive letter Q holds two installations and decoys
#   scripts/run.sh HELPFILE    the given help file, against your own Wine drives
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT_DIR=$(pwd)
bash scripts/build.sh win32
source scripts/wine-env.sh
trap stop_virtual_display EXIT
prepare_wine_prefix
exe_dir=$ROOT_DIR/build/win32/bin
if [ $# -ge 1 ]; then
  exec wine "$exe_dir/ayudainst.exe" "$@"
fi
demo=$ROOT_DIR/build/demo
bash scripts/make-demo-drive.sh "$demo"
ln -sfn "$demo/drive" "$WINEPREFIX/dosdevices/q:"
echo "Demo: choose drive Q in the dialog. Installations: Q:\\Halvoren\\Oficina and Q:\\Halvoren\\Almacen." >&2
cd "$demo"
wine "$exe_dir/ayudainst.exe" 'Z:'"$(echo "$demo/ayuda.chm" | tr / '\\')"
