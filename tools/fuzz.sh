#!/usr/bin/env bash
# Builds the native fuzz targets (tests/fuzz, in build/fuzz: clang, libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer) and fuzzes them one at a time.
# Run as root on Debian 12.
#
# Usage: fuzz.sh [SECONDS] [TARGET...]   fuzz each target SECONDS (default 60);
#                                        new inputs go to build/fuzz/corpus/<name>, not into git
#        fuzz.sh --smoke [TARGET...]     each target over its committed corpus, then 5 seconds
# TARGET is a name as in tests/fuzz/fuzz_<name>.cpp; default: all of them.
# Exits non-zero when any target crashes, leaks, hits undefined behaviour,
# fails a property or hangs; the failing target, input and report are printed.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

smoke=0
seconds=60
if [ "${1:-}" = "--smoke" ]; then
  smoke=1
  seconds=5
  shift
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi

bash tools/install-deps.sh
out=build/fuzz
cmake -S tests/fuzz -B "$out" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$out" -j "$(nproc)" >/dev/null

if [ $# -gt 0 ]; then
  names=("$@")
else
  names=()
  for src in tests/fuzz/fuzz_*.cpp; do
    n=$(basename "$src" .cpp)
    names+=("${n#fuzz_}")
  done
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()

# run NAME LOG ARGS...: one libFuzzer run, bounded from outside as well.
run() {
  local name=$1 log=$2 limit=$3
  shift 3
  local rc=0
  timeout --kill-after=10 "$limit" "$out/fuzz_$name" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$out/artifacts/$name/" -print_final_stats=1 "$@" >"$log" 2>&1 || rc=$?
  if [ $rc -ne 0 ]; then
    echo "FAIL fuzz_$name (exit $rc); log $log"
    grep -E 'ERROR|WARNING: Memory|property failed|runtime error|SUMMARY|Test unit written|timeout' "$log" | head -20 || true
    [ $rc -eq 124 ] && echo "  (killed by the outer time limit)"
    return 1
  fi
}

for name in "${names[@]}"; do
  seeds=tests/fuzz/corpus/$name
  scratch=$out/corpus/$name
  if [ ! -x "$out/fuzz_$name" ] || [ ! -d "$seeds" ]; then
    echo "FAIL fuzz_$name: no such target or no corpus $seeds"
    failed+=("$name")
    continue
  fi
  mkdir -p "$scratch" "$out/artifacts/$name" "$out/logs"
  if [ $smoke -eq 1 ]; then
    # Every committed input once (crash inputs kept there must stay fixed), then a short run.
    if ! run "$name" "$out/logs/$name-corpus.log" 120 -runs=0 "$seeds"; then
      failed+=("$name"); continue
    fi
  fi
  log=$out/logs/$name.log
  # New inputs land in the first folder: the scratch one.
  if ! run "$name" "$log" $((seconds + 60)) -max_total_time="$seconds" "$scratch" "$seeds"; then
    failed+=("$name"); continue
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+' "$log" | tail -1)
  echo "ok   fuzz_$name: ${execs:-?} executions in ${seconds}s, $cov, no findings"
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing failed: ${failed[*]}"
  exit 1
fi
