#!/usr/bin/env bash
# Installs what building and testing need on Debian 12. Safe to run again:
# packages already present are skipped, so a second run costs a few dpkg queries.
set -euo pipefail

packages=(
  cmake g++ make ninja-build pkg-config libgtest-dev googletest
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  wine wine64 xvfb xdotool x11-utils imagemagick fonts-wqy-microhei
  ccache python3 python3-pil fonts-dejavu-core fonts-dejavu-extra zip unzip valgrind nsis
  # The Linux program: Qt 6 Widgets and what a bare system needs to show it on
  # X (the xcb platform plugin, which qt6-base-dev only recommends), the
  # desktop's pointer settings (GSettings through gio, their schemas and the
  # gsettings tool), and for its end-to-end tests a tray host and a window
  # manager on the virtual display.
  # (fonts-urw-base35: Nimbus Sans has Arial's metrics, so texts fit where the
  # layout tables place them.)
  qt6-base-dev qt6-qpa-plugins libxcb-cursor0 libxcb1-dev fonts-urw-base35 libglib2.0-dev libglib2.0-bin gsettings-desktop-schemas
  trayer openbox
  # The Debian package: CPack's DEB generator asks dpkg-shlibdeps (dpkg-dev)
  # for the Depends; its check runs lintian and the desktop entry's and the
  # AppStream metadata's validators.
  dpkg-dev lintian desktop-file-utils appstream
  # The hidraw nodes coming and going (libudev); the tests' private session
  # bus (dbus-daemon) and the e2e tests' notification server on it
  # (python3-dbus, python3-gi).
  libudev-dev dbus-daemon python3-dbus python3-gi
  # A native Wayland session for one e2e walk: a compositor in a window of
  # the virtual display (weston) and Qt's Wayland platform plugin.
  weston qt6-wayland
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The posix thread model gives MinGW's libstdc++ std::thread and std::mutex.
if command -v update-alternatives >/dev/null; then
  for tool in x86_64-w64-mingw32-g++ x86_64-w64-mingw32-gcc; do
    if [ -e "/usr/bin/$tool-posix" ]; then
      update-alternatives --set "$tool" "/usr/bin/$tool-posix" >/dev/null 2>&1 || true
    fi
  done
fi
echo "setup: done"
