#!/usr/bin/env bash
# Builds the native pak tool into OUT (default build/native/pak) when its
# sources are newer. Needs g++ and zlib1g-dev.
set -eu
top=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$top/build/native/pak}
sources=("$top/tools/pak/pak.cpp" "$top/sdk/file/PakFormat.cpp" "$top/sdk/file/PathText.cpp")
stale=0
[ -x "$out" ] || stale=1
for s in "${sources[@]}" "$top/sdk/file/PakFormat.h"; do [ "$s" -nt "$out" ] && stale=1; done
if [ $stale = 1 ]; then
  mkdir -p "$(dirname "$out")"
  g++ -std=c++17 -O2 -Wall -Wextra -I"$top/sdk" "${sources[@]}" -lz -o "$out"
fi
