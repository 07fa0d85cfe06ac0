#!/usr/bin/env bash
# Builds the native (portable parts, sanitizers) and the 32-bit Windows trees.
#   scripts/build.sh [native|win32|bench]...   (default: native win32)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(native win32)
for p in "${presets[@]}"; do
  cmake --preset "$p" >/dev/null
  cmake --build --preset "$p" -j "$(nproc)"
done
