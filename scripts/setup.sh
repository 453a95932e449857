#!/usr/bin/env bash
# Installs every Debian package that building, running and testing the browser needs.
# Safe to run again: packages already present are left alone.
set -euo pipefail

PACKAGES=(
  cmake g++ make ccache pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-image-formats-plugins
  qt6-declarative-dev qt6-webengine-dev qt6-webengine-dev-tools libqt6webenginecore6-bin
  qt6-pdf-dev libqt6svg6 qt6-svg-dev libqt6opengl6-dev
  libgl-dev libglx-dev libegl-dev libvulkan-dev
  qt6-translations-l10n fonts-wqy-microhei
  xvfb xauth
  desktop-file-utils appstream
  xdg-utils xdg-user-dirs libglib2.0-bin
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
