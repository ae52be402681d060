#!/usr/bin/env bash
# Builds the native distribution checker into OUT (default build/native/checkdist)
# when its sources are newer. Needs g++ and zlib1g-dev.
set -eu
top=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$top/build/native/checkdist}
sources=("$top"/tools/checkdist/*.cpp "$top/sdk/appframe/ScriptText.cpp" "$top/sdk/file/PathText.cpp"
         "$top/sdk/file/PakFormat.cpp" "$top/sdk/file/PakReader.cpp" "$top/sdk/file/CZip.cpp")
stale=0
[ -x "$out" ] || stale=1
for s in "${sources[@]}" "$top"/tools/checkdist/*.h "$top/sdk/file/PakFormat.h" "$top/sdk/file/PakReader.h"; do
  [ "$s" -nt "$out" ] && stale=1
done
if [ $stale = 1 ]; then
  mkdir -p "$(dirname "$out")"
  g++ -std=c++17 -O2 -Wall -Wextra -I"$top/sdk" -I"$top/tools/checkdist" "${sources[@]}" -lz -o "$out"
fi
