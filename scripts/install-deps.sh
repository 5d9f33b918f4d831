#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and runs with.
# Quick when everything is there already: it only asks dpkg.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev libfreetype-dev libfontconfig-dev
  libjpeg62-turbo-dev libtiff-dev libgif-dev libpng-dev
  libcanberra-dev libblkid-dev libgtest-dev libbenchmark-dev
  libmount-dev
  libqcustomplot-dev
  qt6-tools-dev libqt6opengl6-dev
  fonts-liberation xvfb xauth
  qt6-translations-l10n
  qt6-wayland
  dpkg-dev file doxygen
  # the tests render the PDF files the components write
  poppler-utils
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Run as root or install sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
