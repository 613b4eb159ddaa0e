#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang in build/fuzz and runs them.
#   scripts/fuzz.sh           every target for 20 s on a copy of its seed corpus
#                             (the repository's corpus is never grown); fails on
#                             any crash, leak, time-out or sanitizer report.
#   scripts/fuzz.sh --bench   every target for 10^6 executions; prints one line
#                             per target: executions, coverage, crashes, time
#                             and peak memory.
#   Target names after the mode (e.g. --bench macro_store_fuzz) run only those.
# KOVRAL_FUZZ_SECONDS changes the 20 s, KOVRAL_FUZZ_RUNS the 10^6 and
# KOVRAL_JOBS the build's parallelism. Inputs that failed are kept in
# build/fuzz/findings/ with the target's log.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

mode=ci
case "${1:-}" in
  "") ;;
  --bench) mode=bench; shift ;;
  *_fuzz) ;;
  *) echo "usage: scripts/fuzz.sh [--bench] [target...]" >&2; exit 2 ;;
esac
only=("$@")
# A misspelt name would otherwise run nothing and still report no crashes.
for name in "${only[@]}"; do
  [ -f "fuzz/$name.cpp" ] || { echo "fuzz: no target $name (fuzz/$name.cpp)" >&2; exit 2; }
done

jobs="${KOVRAL_JOBS:-$(nproc)}"
seconds="${KOVRAL_FUZZ_SECONDS:-20}"
runs="${KOVRAL_FUZZ_RUNS:-1000000}"
build="$root/build/fuzz"

if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ is missing (scripts/setup.sh installs it)" >&2
  exit 1
fi
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$jobs"

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=detect_leaks=1

work="$(mktemp -d "$build/run.XXXXXX")"
trap 'rm -rf "$work"' EXIT
findings="$build/findings"
mkdir -p "$findings"

failed=()
for source in fuzz/*_fuzz.cpp; do
  target="$(basename "$source" .cpp)"
  if [ ${#only[@]} -gt 0 ] && [[ " ${only[*]} " != *" $target "* ]]; then continue; fi
  corpus="$work/$target"
  mkdir -p "$corpus"
  if [ -d "fuzz/corpus/$target" ]; then cp -R "fuzz/corpus/$target/." "$corpus/"; fi
  options=(-timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/$target-")
  if [ -f "fuzz/$target.dict" ]; then options+=(-dict="fuzz/$target.dict"); fi
  if [ "$mode" = bench ]; then options+=(-runs="$runs"); else options+=(-max_total_time="$seconds"); fi
  log="$work/$target.log"
  status=0
  began=$SECONDS
  "$build/$target" "${options[@]}" "$corpus" >"$log" 2>&1 || status=$?
  took=$((SECONDS - began))

  artifacts=("$work/$target"-*)
  [ -e "${artifacts[0]}" ] || artifacts=()
  if [ "$status" -ne 0 ] || [ ${#artifacts[@]} -gt 0 ]; then
    failed+=("$target")
    cp "$log" "$findings/$target.log"
    for a in "${artifacts[@]}"; do cp "$a" "$findings/"; done
    grep -E "ERROR:|runtime error:|fuzz check failed|SUMMARY:|Test unit written" "$log" | head -n 20 >&2 || true
    echo "$target: FAILED (status $status); log and inputs in $findings" >&2
  fi
  # libFuzzer's final figures: executions, then edge coverage and features.
  executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  coverage="$(grep -E '^#[0-9]+' "$log" | grep -oE 'cov: [0-9]+ ft: [0-9]+' | tail -n 1)"
  speed="$(grep -E '^#[0-9]+' "$log" | grep -oE 'exec/s: [0-9]+' | tail -n 1)"
  peak="$(sed -n 's/^stat::peak_rss_mb: *//p' "$log" | tail -n 1)"
  printf '%-20s executions %-9s %-22s crashes %d  %d s, peak %s MB  (%s)\n' "$target" "${executions:-?}" \
    "${coverage:-cov: ? ft: ?}" "${#artifacts[@]}" "$took" "${peak:-?}" "${speed:-exec/s: ?}"
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: failures in ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: no crashes"
