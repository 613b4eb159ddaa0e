#!/usr/bin/env bash
# Runs kvctl's apply, show and listen on the simulated mouse under valgrind's
# memcheck and prints one line per command: errors, and bytes definitely and
# indirectly lost. Builds kvctl natively first, in its own folder
# (build/valgrind, RelWithDebInfo). Exits non-zero when any command has an
# error or a definite or indirect leak, or fails. Logs stay in
# build/valgrind/memcheck/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
started=$SECONDS

if ! command -v valgrind >/dev/null; then "$root/scripts/setup.sh"; fi

build="$root/build/valgrind"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"${KOVRAL_JOBS:-2}" --target kvctl >/dev/null
kvctl="$build/kvctl"

out="$build/memcheck"
rm -rf "$out"
mkdir -p "$out"
# A scratch installation: the factory record, and str.ini written by apply.
"$kvctl" factory --config "$out/config.bin"
files=(--config "$out/config.bin" --str "$out/str.ini" --record "$out/record.ini")
printf '[Macro1]\r\nItemCount=0\r\n' >"$out/record.ini"

failed=0
memcheck() {
  local name=$1
  shift
  local status=0
  valgrind --tool=memcheck --leak-check=full --errors-for-leak-kinds=definite,indirect --error-exitcode=99 \
    --suppressions="$root/scripts/valgrind.supp" --log-file="$out/$name.log" \
    "$kvctl" "$@" >"$out/$name.out" 2>&1 || status=$?
  local errors definite indirect
  errors=$(sed -n 's/.*ERROR SUMMARY: \([0-9,]*\) errors.*/\1/p' "$out/$name.log" | tr -d ,)
  definite=$(sed -n 's/.*definitely lost: \([0-9,]*\) bytes.*/\1/p' "$out/$name.log" | tr -d ,)
  indirect=$(sed -n 's/.*indirectly lost: \([0-9,]*\) bytes.*/\1/p' "$out/$name.log" | tr -d ,)
  printf 'memcheck %-6s: %s errors, %s bytes definitely lost, %s bytes indirectly lost (exit %s)\n' \
    "$name" "${errors:-?}" "${definite:-0}" "${indirect:-0}" "$status"
  if [ "$status" -ne 0 ] || [ "${errors:-1}" != 0 ]; then failed=1; fi
}

memcheck apply apply --simulate "${files[@]}" --trace "$out/trace.txt"
memcheck show show "${files[@]}"
# Three forwarded notices, and a time limit should any of them go astray.
memcheck listen listen --simulate "${files[@]}" --emit 7:2 --emit 5:8 --emit 9:1 --count 3 --seconds 30

echo "memcheck: $((SECONDS - started)) s"
if [ "$failed" -ne 0 ]; then
  echo "memcheck: problems found; see $out/*.log" >&2
  exit 1
fi
