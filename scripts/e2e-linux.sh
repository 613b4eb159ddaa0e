#!/usr/bin/env bash
# Tests of the Linux program: the Qt shell's own tests (kovral_qt_tests, on
# Qt's offscreen platform), then the end-to-end tests, which run the existing
# Release build (build/linux: kovral, kvsimctl) in simulated-mouse mode on a
# virtual X display with a window manager and a tray host, and drive it with
# the pointer and keys: the Windows program's walks and the Linux program's
# own checks. The tests start Xvfb, openbox and trayer themselves
# (tests/e2e/test_linux.py) and stop them; this script builds nothing.
#
# Usage: scripts/e2e-linux.sh [unittest names, e.g. test_linux.LinuxBasicPage]
# KOVRAL_E2E_LINUX_ALL=1 runs every walk at 200 % too.
# Environment: KOVRAL_BUILD_LINUX (default build/linux), KOVRAL_E2E_WORK
# (scratch, default build/e2e-linux), KOVRAL_E2E_SHOTS (default
# build/e2e-shots/linux). Exits non-zero on any failure.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

build="${KOVRAL_BUILD_LINUX:-$root/build/linux}"
work="${KOVRAL_E2E_WORK:-$root/build/e2e-linux}"
shots="${KOVRAL_E2E_SHOTS:-$root/build/e2e-shots/linux}"

# shellcheck source=e2e-common.sh
source "$root/scripts/e2e-common.sh" e2e-linux "$work" Xvfb xdotool trayer openbox

for exe in kovral kvsimctl kovral_qt_tests; do
  [ -x "$build/$exe" ] || { echo "e2e-linux: $build/$exe is missing; build build/linux first" >&2; exit 1; }
done

rm -rf "$work" "$shots"
mkdir -p "$work" "$shots"
if [ $# -eq 0 ]; then
  echo "=== the Qt shell's tests"
  "$build/kovral_qt_tests"
fi
export KOVRAL_BUILD_LINUX="$build"
export KOVRAL_E2E_WORK="$work/runs"
export KOVRAL_E2E_SHOTS="$shots"
export KOVRAL_E2E_PIDFILE="$pidfile"
export PYTHONDONTWRITEBYTECODE=1
cd "$root/tests/e2e"
if [ $# -gt 0 ]; then
  "$python" -m unittest -v "$@"
else
  # timed.py runs them as unittest does and lists the slowest at the end.
  "$python" timed.py test_linux
fi
