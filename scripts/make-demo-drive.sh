#!/usr/bin/env bash
# Builds a demo drive for the installer and a sample help file:
#   DIR/drive/Halvoren/Oficina, Almacen   two valid installations
#   DIR/drive/Halvoren/Anterior           another release (2009/4): passed over
#   DIR/drive/Halvoren/Dañada             executable one byte too long: passed over
#   DIR/drive/Halvoren/leeme.txt          a plain file: passed over
#   DIR/ayuda.chm                         the help file to install (a small stand-in)
# Run again, it rebuilds the same tree from scratch.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 DIR" >&2; exit 2; }
dir=$1
maker=$dir/drive/Halvoren
rm -rf "$dir/drive"
mkdir -p "$maker"

# installation NAME EXECUTABLE_SIZE RELEASE
installation() {
  local folder=$maker/$1
  mkdir -p "$folder/emp"
  # Only the size is examined, so a sparse file of zeros will do.
  truncate -s "$2" "$folder/brevantw.exe"
  # The version table: a dBASE III table with one record that names the release.
  /usr/bin/python3 - "$folder/emp/versionp.dbf" "$3" <<'PY'
import sys, dbf
table = dbf.Table(sys.argv[1], 'VERSION C(10); FECHA C(8)', dbf_type='db3')
table.open(dbf.READ_WRITE)
table.append((sys.argv[2], '20100301'))
table.close()
PY
}

installation Oficina 6750208 2010/1
installation Almacen 6750208 2010/1
installation Anterior 6750208 2009/4
installation Dañada 6750209 2010/1
echo "Este archivo no es una instalación." >"$maker/leeme.txt"

printf 'ITSF sample help for the demo of the help installer.\r\n' >"$dir/ayuda.chm"
echo "demo drive ready: $dir/drive (help file $dir/ayuda.chm)"
