#!/usr/bin/env bash
# Installs the Debian packages Vorrel needs to build, run and test, clang and
# its sanitizer and fuzzing runtimes among them (the sanitizer build of
# `make test` and `make fuzz` use clang).
# Quiet when everything is already present; uses sudo only when not root.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ make pkg-config
  qtbase5-dev qtbase5-dev-tools qtbase5-private-dev libqt5svg5-dev
  qt5-style-plugin-cleanlooks qt5-image-formats-plugins
  fonts-liberation fonts-dejavu-core
  libbenchmark-dev
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev ffmpeg
  xvfb xauth
  xdotool openbox x11-utils
  clang libclang-rt-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "Installing missing packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
