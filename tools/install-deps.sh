#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing.
# Idempotent and non-interactive; run as root (or with sudo available).
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config clang
  # libraries
  libpng-dev zlib1g-dev libfreetype-dev libfontconfig-dev libx11-dev libxext-dev libsndfile1-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev libclang-rt-14-dev
  # fonts for the editor, a display for the window tests
  fonts-liberation2 xvfb xauth libxtst-dev
  # third-party VST 2 plug-ins the render host is tested against
  zam-plugins dpf-plugins-vst
)

# The Windows builds: mingw-w64 for x86 and x64, Wine, Debian source entries for libpng.
bash "$(dirname "$0")/install-windows-deps.sh"

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt_opts=(-o DPkg::Lock::Timeout=900 -y -q)
$SUDO apt-get "${apt_opts[@]}" update
$SUDO apt-get "${apt_opts[@]}" install --no-install-recommends "${missing[@]}"
