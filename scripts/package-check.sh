#!/usr/bin/env bash
# Checks the Debian package of the Linux program as a user would meet it:
# builds it (scripts/package.sh), runs lintian on it (any error fails),
# installs it with apt-get as a fresh machine would, checks the installed
# files (the programs, the skins, the udev rule, the desktop entry, every
# icon size, the AppStream metadata, the manual pages), starts the program
# from the desktop entry's Exec line on a virtual display with a tray host
# for a user whose home is a scratch folder (tests/e2e/test_linux.py,
# LinuxInstalledPackage), removes the package and checks that the programs
# are gone and the user's files stay. Needs root (apt-get, dpkg).
#
# Usage: scripts/package-check.sh     Exits non-zero on any failure.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
fail() { echo "package-check: $*" >&2; exit 1; }

deb="$("$root/scripts/package.sh")"
echo "package-check: $deb"

# Errors fail; the warnings that remain are listed in docs/linux.md.
if ! lintian_out="$(lintian --fail-on error "$deb" 2>&1)"; then
  echo "$lintian_out"
  fail "lintian reports errors"
fi
grep -v 'running with root privileges' <<<"$lintian_out" || true

# A leftover installation (an interrupted run) goes first, so that apt
# installs this package and its dependencies as on a fresh machine.
if dpkg-query -W -f='${Status}' kovral 2>/dev/null | grep -q "install ok installed"; then
  $SUDO apt-get purge -y -qq kovral >/dev/null
fi
# An absolute path: apt takes a local file only as one.
$SUDO apt-get install -y -qq "$(realpath "$deb")" >/dev/null

entry=/usr/share/applications/org.kovral.Kovral.desktop
for f in /usr/bin/kovral /usr/bin/kvctl; do [ -x "$f" ] || fail "$f is missing"; done
for skin in Default Ember; do
  [ -f "/usr/share/kovral/Skins/$skin/main.png" ] || fail "the $skin skin is not in /usr/share/kovral/Skins"
done
grep -q 'TAG+="uaccess"' /usr/lib/udev/rules.d/70-kovral.rules || fail "the udev rule is missing or gives no uaccess"
for size in 16 22 24 32 48 64 128 256; do
  icon="/usr/share/icons/hicolor/${size}x${size}/apps/kovral.png"
  [ "$(/usr/bin/python3 -c 'import sys; from PIL import Image; print("%dx%d" % Image.open(sys.argv[1]).size)' "$icon")" = "${size}x${size}" ] \
    || fail "$icon is missing or not ${size}x${size}"
done
for page in kovral kvctl; do [ -f "/usr/share/man/man1/$page.1.gz" ] || fail "the manual page of $page is missing"; done
desktop-file-validate "$entry"
appstreamcli validate --no-net /usr/share/metainfo/org.kovral.Kovral.metainfo.xml >/dev/null \
  || appstreamcli validate --no-net /usr/share/metainfo/org.kovral.Kovral.metainfo.xml
[ "$(kvctl --version)" = "kvctl $(dpkg-query -W -f='${Version}' kovral | sed 's/-[^-]*$//')" ] || fail "kvctl reports another version"

# The program from the desktop entry, for a user of its own.
home="$(mktemp -d /tmp/kovral-pkg-home.XXXXXX)"
trap 'rm -rf "$home"' EXIT
KOVRAL_INSTALLED_ENTRY="$entry" KOVRAL_INSTALLED_HOME="$home" "$root/scripts/e2e-linux.sh" test_linux.LinuxInstalledPackage

$SUDO apt-get remove -y -qq kovral >/dev/null
for f in /usr/bin/kovral /usr/bin/kvctl "$entry" /usr/lib/udev/rules.d/70-kovral.rules /usr/share/kovral; do
  [ ! -e "$f" ] || fail "$f is left after apt-get remove"
done
[ -f "$home/.config/kovral/config.bin" ] || fail "removing the package took the user's settings"
# The package has no configuration files and no removal script, so a
# removal leaves dpkg nothing to purge: it forgets the package, and a purge
# would take no more than the removal did.
if dpkg-query -W kovral >/dev/null 2>&1; then fail "dpkg still lists kovral after apt-get remove"; fi
echo "package-check: passed"
