#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, as root. Safe to run again:
# it only touches apt when something is missing.
set -euo pipefail

need_pkgs=(
  cmake g++ make ninja-build pkg-config git
  g++-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-i686
  wine wine32:i386
  xvfb x11-utils imagemagick
  clang libclang-rt-14-dev
  libsqlite3-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-dbf python3-dbfread libdbd-xbase-perl
)

missing=()
for p in "${need_pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "install-deps: installing ${missing[*]}" >&2
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
