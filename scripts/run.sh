#!/usr/bin/env bash
# The main job: installs what the build needs, cross-builds the Windows
# program, assembles the installation folder and its zip (build/win/dist), and
# runs the program under Wine against the simulated mouse on a virtual X
# display: it opens the window from the notification-area icon and saves
# screenshots of the start and of both pages to build/screenshots/, then ends
# the program from the tray menu.
#
# Usage: scripts/run.sh [--keep]
#   --keep  leave the program running afterwards: on this machine's display
#           when there is one, otherwise on the virtual display (printed).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

keep=0
for arg in "$@"; do
  case "$arg" in
    --keep) keep=1 ;;
    -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
    *) echo "run: unknown argument $arg (see --help)" >&2; exit 2 ;;
  esac
done

"$root/scripts/setup.sh"

jobs="${KOVRAL_JOBS:-$(nproc)}"
step() { printf '\n=== %s\n' "$*"; }

step "Windows cross build (MinGW-w64)"
cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
# The program, the tool that writes the factory config.bin, and the control
# tool of the simulated mouse; the unit tests are the test command's business.
cmake --build build/win -j"$jobs" --target KALVORIN_DRX_Driver kvctl kvsimctl

step "installation folder and zip"
# shellcheck source=wine-prefix.sh
source "$root/scripts/wine-prefix.sh" ""  # "": not this script's arguments
"$root/scripts/make_dist.sh" build/win build/win/dist

step "the program under Wine with a simulated mouse"
python=/usr/bin/python3
[ -x "$python" ] || python="$(command -v python3)"
# The program runs in a copy, so the folder that was zipped stays as shipped.
run_dir="$root/build/run"
rm -rf "$run_dir"
mkdir -p "$run_dir"
cp -r build/win/dist/Kovral "$run_dir/"
shots="$root/build/screenshots"
rm -rf "$shots"

real_display=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then real_display=1; fi

tour_args=("$run_dir/Kovral" "$root/build/win/kvsimctl.exe" "$shots")
# Without a display of its own the program stays on the virtual one.
if [ "$keep" -eq 1 ] && [ "$real_display" -eq 0 ]; then tour_args+=(--keep); fi
(cd "$root/tests/e2e" && PYTHONDONTWRITEBYTECODE=1 "$python" show_program.py "${tour_args[@]}")

if [ "$keep" -eq 1 ] && [ "$real_display" -eq 1 ]; then
  # The notification area belongs to the Wine session of the virtual display,
  # which the tour has ended; a new session starts on this display.
  wineserver -k >/dev/null 2>&1 || true
  (cd "$run_dir/Kovral" && setsid wine KALVORIN_DRX_Driver.exe --simulate </dev/null >/dev/null 2>&1 &)
  echo "run: the program runs on $DISPLAY in the notification area; click its icon to open the window,"
  echo "run: right-click it and choose Exit to end it."
fi
