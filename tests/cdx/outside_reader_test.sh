#!/usr/bin/env bash
# Bags we write, read back by the Debian package libdbd-xbase-perl (index_dump):
# the tag list and every key with its record number, in the same order.
set -euo pipefail
writer=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$writer" "$dir"
check() {  # bag tag type
  local tags
  tags=$(index_dump -type "$3" "$dir/$1")
  [ "$tags" = "$2" ] || { echo "$1: tags '$tags', want '$2'"; exit 1; }
  index_dump -type "$3" -tag "$2" "$dir/$1" > "$dir/$1.read"
  diff -q "$dir/$1.expected" "$dir/$1.read" > /dev/null || {
    echo "$1: keys differ"; diff "$dir/$1.expected" "$dir/$1.read" | head -20; exit 1; }
  echo "$1: $(wc -l < "$dir/$1.read") keys read back in order"
}
check names.cdx NAME char
check amounts.cdx AMOUNT num
