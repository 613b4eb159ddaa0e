#!/usr/bin/env bash
# Checks the include order of src/'s folders, builds everything and runs
# every test: the native unit tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz targets for a
# short while, the Windows build's unit tests under Wine, the end-to-end
# tests of the Windows program, then the Linux program's build, its Qt unit
# tests and its end-to-end tests (the Windows walks on the Linux program),
# and its Debian package, installed and removed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh"

jobs="${KOVRAL_JOBS:-$(nproc)}"
# ccache (when CMake finds it) keys on paths relative to the clone, so another
# clone or work tree of the same commit compiles from the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
export CCACHE_NOHASHDIR=1
started=$SECONDS
step() { printf '\n=== %s (%d s in)\n' "$*" $((SECONDS - started)); }

# Before anything is built: no file of src/ includes a folder above its own
# in the layout table of docs/development.md.
step "include order of the src/ folders"
python3 "$root/scripts/check_layers.py" "$root"

# The unit tests run once, under the sanitizers: a plain build would run the
# same tests without finding more. Every native target is built, so kvctl and
# the benchmarks are compiled natively too.
step "native build under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKOVRAL_SANITIZE=ON >/dev/null
cmake --build build/asan -j"$jobs"
step "native unit tests under the sanitizers"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 build/asan/kovral_tests
# 10 s a target keeps CI to its time; scripts/fuzz.sh alone runs 20 s, and
# --bench 10^6 executions.
step "fuzz targets (10 s each)"
KOVRAL_FUZZ_SECONDS="${KOVRAL_FUZZ_SECONDS:-10}" "$root/scripts/fuzz.sh"

step "Windows cross build (MinGW-w64)"
cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build build/win -j"$jobs"
step "Windows unit tests under Wine"
# shellcheck source=wine-prefix.sh
source "$root/scripts/wine-prefix.sh" ""
# Window tests need a display; a private virtual one keeps the run independent of the session's.
(cd build/win && xvfb-run -a -s "-screen 0 1280x1024x24" wine kovral_tests.exe)

if [ -x "$root/scripts/e2e.sh" ]; then
  step "end-to-end tests of the Windows program under Wine"
  "$root/scripts/e2e.sh"
fi
# The Linux program is built where Qt 6 is there (scripts/setup.sh installs
# it); only the targets its tests run.
step "Linux build (Qt 6)"
cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/linux -j"$jobs" --target kovral kvsimctl kovral_qt_tests
step "the Linux program's Qt unit tests and end-to-end tests"
"$root/scripts/e2e-linux.sh"
step "the Debian package: lintian, installing, the program from its desktop entry, removing"
"$root/scripts/package-check.sh"
step "all tests passed"
