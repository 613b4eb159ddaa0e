#!/usr/bin/env bash
# End-to-end tests of the Windows program: assembles the installation folder
# and the installer from the existing cross build (build/win), then runs the
# real executable (in simulated-mouse mode) and the installer under Wine on a
# virtual X display and drives them with pointer and keyboard input.
# Screenshots go to build/e2e-shots/.
#
# Usage: scripts/e2e.sh [unittest names, e.g. test_program.StartAndTray]
# Environment: KOVRAL_BUILD_WIN (default build/win), KOVRAL_E2E_WORK (scratch,
# default build/e2e), KOVRAL_E2E_SHOTS (default build/e2e-shots) and
# KOVRAL_WINEPREFIX: two runs at once need their own of each. Exits non-zero
# on any failure. test_scale runs the program at 144 DPI (150 %) besides the
# 96 of every other test; KOVRAL_E2E_SCALES=all adds its screenshots at 120
# and 192 DPI (125 % and 200 %). KOVRAL_E2E_IDLE=1 adds test_follow's 40 s
# measurement of idle CPU.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

build="${KOVRAL_BUILD_WIN:-$root/build/win}"
work="${KOVRAL_E2E_WORK:-$root/build/e2e}"
shots="${KOVRAL_E2E_SHOTS:-$root/build/e2e-shots}"

# shellcheck source=e2e-common.sh
source "$root/scripts/e2e-common.sh" e2e "$work" Xvfb xdotool wine wineserver zip iconv makensis

for exe in KALVORIN_DRX_Driver.exe kvsimctl.exe; do
  [ -f "$build/$exe" ] || { echo "e2e: $build/$exe is missing; build the cross build first" >&2; exit 1; }
done

# shellcheck source=wine-prefix.sh
source "$root/scripts/wine-prefix.sh" ""  # "": not this script's arguments

# Wine's server outlives an interrupted run.
e2e_extra_cleanup() { wineserver -k >/dev/null 2>&1 || true; }

rm -rf "$work" "$shots"
mkdir -p "$work" "$shots"
"$root/scripts/make_dist.sh" "$build" "$work/dist"

export KOVRAL_DIST="$work/dist/Kovral"
export KOVRAL_KVSIMCTL="$build/kvsimctl.exe"
export KOVRAL_E2E_WORK="$work"
export KOVRAL_E2E_SHOTS="$shots"
export KOVRAL_E2E_PIDFILE="$pidfile"
export KOVRAL_E2E_SCALES="${KOVRAL_E2E_SCALES:-}"
export PYTHONDONTWRITEBYTECODE=1
cd "$root/tests/e2e"
if [ $# -gt 0 ]; then
  "$python" -m unittest -v "$@"
else
  # timed.py runs them as unittest does and lists the slowest at the end.
  "$python" timed.py test_dist test_installer test_program test_basic_page test_dialogs test_skins test_reliability \
    test_scale test_follow
fi
