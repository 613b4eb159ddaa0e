#!/usr/bin/env bash
# Rebuilds the bundled skins, Skins/Default and Skins/Ember, from their
# generator in tools/skin_gen/ (one drawing, two colour themes), each
# picture at 1x, 1.5x and 2x ("main.png", "main@1.5x.png", "main@2x.png").
# The generator reads the program's own layout tables (dumped by a small
# native program built here), so every picture fits the rectangle the
# program draws it in. Needs a native C++ compiler and Python 3 with PIL
# (python3-pil).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

"${CXX:-c++}" -std=c++20 -O1 -I"$root/src" \
  "$root/tools/skin_gen/layout_dump.cpp" "$root/src/view/layout.cpp" "$root/src/ui/skin_files.cpp" \
  "$root/src/ui/skin_scale.cpp" "$root/src/ui/skin_path.cpp" "$root/src/ui/dpi_scale.cpp" \
  -o "$work/layout_dump"
"$work/layout_dump" > "$work/layout.json"

# Debian's interpreter carries python3-pil; a python3 from elsewhere may not.
python=/usr/bin/python3
[ -x "$python" ] || python=python3

for theme in Default Ember; do
  out="$root/Skins/$theme"
  mkdir -p "$out"
  rm -f "$out"/*.png
  "$python" -B "$root/tools/skin_gen/make_default.py" "$work/layout.json" "$out" "$theme"
done
out="$root/Skins/Default"

if [ "${1:-}" = "--mockup" ]; then
  "$python" -B "$root/tools/skin_gen/mockup.py" "$work/layout.json" "$out" "${2:-$root/build/skin-mockup}"
fi
