#!/usr/bin/env bash
# Builds and runs every benchmark under Wine and prints the tables: ours and
# a yardstick side by side, interleaved, with median, minimum, maximum and the
# ratio. Not part of tools/test.sh. Run as root on Debian 12.
#
# Usage: bench.sh [--reps=N] [--scale=X] [--sets=a,b] [--only=copy,installer,enum,setup,...]
#                 [--build=DIR] [--no-build]
#   --reps   timed runs of each side (default 5, at least 5 for a published table)
#   --scale  file counts (and the big file's size) times X; default 1, the given sets
#   --sets   file-set keys: 1g, 256k, 1k, 100k, 1b (default: each benchmark's own)
#   --only   run only these benchmarks (bench_<name>.exe)
#   --build  the build folder below build/ (default: the architecture's);
#            the file sets stay in build/<arch>/bench-data either way
#   --no-build  run the programs already in that folder as they are (for
#            comparing against a build of other sources)
# The file sets are written once into build/<arch>/bench-data and reused.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash tools/install-deps.sh >/dev/null

arch=i686 loader=/usr/lib/wine/wine
if ! "$loader" --version >/dev/null 2>&1; then
  echo "note: this machine cannot execute 32-bit code; benchmarking the x86_64 build"
  arch=x86_64 loader=/usr/lib/wine/wine64
fi
build=$top/build/$arch
make=1
for option in "$@"; do
  case "$option" in
    --build=*) build=$top/build/${option#--build=} ;;
    --no-build) make=0 ;;
  esac
done
if [ $make = 1 ]; then
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j "$(nproc)" --target benchmarks >/dev/null
fi

pass=() only=
for option in "$@"; do
  case "$option" in
    --only=*) only=${option#--only=} ;;
    --build=*|--no-build) ;;
    --reps=*|--scale=*|--sets=*) pass+=("$option") ;;
    *) echo "bench.sh: unknown option $option" >&2; exit 2 ;;
  esac
done

prefix=$build/benchprefix
data=$top/build/$arch/bench-data
mkdir -p "$data"
rm -rf "$data/trash"/* 2>/dev/null || true
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr '/' '\\')"; }
run() { "$top/tools/wine-run.sh" "$loader" "$prefix" "$@"; }

# One persistent Wine server for the whole run: every process starts warm.
run cmd /c exit >/dev/null 2>&1 || true
export WINEPREFIX=$prefix
server=$(command -v wineserver || echo /usr/lib/wine/wineserver)
"$server" -w 2>/dev/null || true
"$server" -p
trap '"$server" -k 2>/dev/null || true' EXIT

load() { cut -d' ' -f1-3 /proc/loadavg; }
echo "# Benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC')"
echo
echo "- machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'), $(free -g | awk '/Mem:/ {print $2}') GiB memory"
echo "- Wine: $("$loader" --version), build $arch, persistent wineserver, page cache warm after the first write of the sources"
echo "- options: ${pass[*]:-(defaults: reps=5 scale=1)}; binaries: ${build#$top/}"
echo "- load average at start (1/5/15 min): $(load)"
echo "- ratio = yardstick median / ours median (1.00: ours costs nothing beyond the yardstick)"

for exe in "$build"/bin/bench_*.exe; do
  name=$(basename "$exe" .exe)
  name=${name#bench_}
  if [ -n "$only" ] && [[ ",$only," != *",$name,"* ]]; then continue; fi
  run "$exe" "--data=$(winpath "$data")" "${pass[@]}" || echo "(bench_$name failed with $?)"
  rm -rf "$data/trash"/* 2>/dev/null || true
done
echo
echo "- load average at end (1/5/15 min): $(load)"
