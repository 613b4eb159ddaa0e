#!/usr/bin/env bash
# Assembles the installation folder of the Windows program from a cross build,
# a zip of it (installing by unpacking that one folder anywhere) and an
# installer built from the same folder with NSIS (packaging/kovral.nsi).
#
# Usage: scripts/make_dist.sh [build-dir] [out-dir]
#   build-dir  a MinGW cross build holding KALVORIN_DRX_Driver.exe (default build/win)
#   out-dir    where the folder and the zip go (default <build-dir>/dist)
#
# Result:
#   <out-dir>/Kovral/KALVORIN_DRX_Driver.exe
#   <out-dir>/Kovral/Skins/<skin>/*.png    every skin of the source tree
#   <out-dir>/Kovral/config.bin            factory record, flag byte 0
#   <out-dir>/Kovral/str.ini               UTF-16LE with BOM, skin "Default", the system's language
#   <out-dir>/Kovral.zip                   the folder's content, to unzip into a folder of one's choice
#   <out-dir>/Kovral-setup.exe             per-user installer of the same files (makensis)
#
# The installer's version is $KOVRAL_VERSION (default 1.0.0, three numbers),
# shown with the commit (git describe) as "1.0.0 (150e74d)".
#
# config.bin is written by `kvctl factory --config FILE`: the program from
# $KVCTL when set (a native kvctl), otherwise the cross build's kvctl.exe
# under Wine, so the record always comes from the same sources as the program.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/win}"
[ -d "$build" ] || { echo "make_dist: no build directory $build" >&2; exit 1; }
build="$(cd "$build" && pwd)"
out="${2:-$build/dist}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

exe="$build/KALVORIN_DRX_Driver.exe"
record_size=1850

fail() { echo "make_dist: $*" >&2; exit 1; }

command -v makensis >/dev/null || fail "makensis is missing (Debian package nsis); run scripts/setup.sh"
version="${KOVRAL_VERSION:-1.0.0}"
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "KOVRAL_VERSION $version is not three numbers like 1.0.0"

[ -f "$exe" ] || fail "$exe is missing; build the cross build first"
[ "$(head -c 2 "$exe")" = "MZ" ] || fail "$exe is not a Windows executable"

skins_src=""
for candidate in "$root/Skins" "$root/skins"; do
  if [ -f "$candidate/Default/main.png" ]; then skins_src="$candidate"; break; fi
done
[ -n "$skins_src" ] || fail "no skin folder Skins/Default with main.png in $root"

folder="$out/Kovral"
zipfile="$out/Kovral.zip"
setup="$out/Kovral-setup.exe"
rm -rf "$folder" "$zipfile" "$setup"
mkdir -p "$folder/Skins"
cp "$exe" "$folder/"

# Only the pictures are installed; a skin's sources stay in the source tree.
for skin in "$skins_src"/*/; do
  skin="${skin%/}"
  [ -f "$skin/main.png" ] || continue
  mkdir -p "$folder/Skins/$(basename "$skin")"
  cp "$skin"/*.png "$folder/Skins/$(basename "$skin")/"
done

# str.ini is kept as UTF-16LE with a byte-order mark: the profile functions then
# read and write it as Unicode, so Chinese button texts survive.
{
  printf '\xff\xfe'
  sed 's/\r$//; s/$/\r/' "$root/packaging/str.ini.in" | iconv -f UTF-8 -t UTF-16LE
} >"$folder/str.ini"

# The factory configuration record.
if [ -n "${KVCTL:-}" ]; then
  "$KVCTL" factory --config "$folder/config.bin"
elif [ -f "$build/kvctl.exe" ]; then
  # shellcheck source=wine-prefix.sh
  source "$root/scripts/wine-prefix.sh" ""  # "": not this script's arguments
  # A relative path keeps Unix paths away from the Windows program.
  (cd "$folder" && wine "$build/kvctl.exe" factory --config config.bin) </dev/null
else
  fail "neither \$KVCTL nor $build/kvctl.exe is there to write config.bin"
fi
[ -f "$folder/config.bin" ] || fail "kvctl wrote no config.bin"
size=$(stat -c %s "$folder/config.bin")
[ "$size" -eq "$record_size" ] || fail "config.bin has $size bytes, expected $record_size"
flag=$(od -An -tu1 -N1 "$folder/config.bin" | tr -d ' ')
[ "$flag" = "0" ] || fail "config.bin flag byte is $flag, expected 0"

(cd "$folder" && zip -q -r -X "$zipfile" .)

# The installer names each bundled picture, so that its uninstaller removes
# exactly those and leaves skins the user added.
nsis_work="$(mktemp -d)"
trap 'rm -rf "$nsis_work"' EXIT
nsis_path() { printf '%s' "${1//\$/\$\$}"; }  # in an NSIS string "$" starts a variable
for path in "$folder" "$setup" "$folder"/Skins/*/ "$folder"/Skins/*/*.png; do
  case "$path" in *'"'*|*$'\n'*) fail "the installer cannot name $path" ;; esac
done
{
  echo '!macro KovralInstallSkins'
  for skin in "$folder"/Skins/*/; do
    name="$(basename "$skin")"
    echo "  SetOutPath \"\$INSTDIR\\Skins\\$(nsis_path "$name")\""
    for png in "$skin"*.png; do echo "  File \"$(nsis_path "$png")\""; done
  done
  echo '!macroend'
  echo '!macro KovralRemoveSkins'
  for skin in "$folder"/Skins/*/; do
    name="$(nsis_path "$(basename "$skin")")"
    for png in "$skin"*.png; do echo "  Delete \"\$INSTDIR\\Skins\\$name\\$(nsis_path "$(basename "$png")")\""; done
    echo "  RMDir \"\$INSTDIR\\Skins\\$name\""
  done
  echo '  RMDir "$INSTDIR\Skins"'
  echo '!macroend'
} >"$nsis_work/skins.nsh"
build_id="$(git -C "$root" describe --always --dirty 2>/dev/null || echo unknown)"
makensis -V2 -NOCD \
  "-DDIST=$(nsis_path "$folder")" "-DSKIN_LIST=$nsis_work/skins.nsh" "-DOUTFILE=$(nsis_path "$setup")" \
  "-DVERSION=$version" "-DBUILD_ID=$build_id" "$root/packaging/kovral.nsi" \
  || fail "makensis failed"
[ "$(head -c 2 "$setup" 2>/dev/null)" = "MZ" ] || fail "makensis wrote no $setup"

echo "make_dist: $folder"
echo "make_dist: $zipfile"
echo "make_dist: $setup"
