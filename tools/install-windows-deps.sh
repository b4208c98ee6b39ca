#!/usr/bin/env bash
# Installs what the Windows builds and their tests need: the i686 and x86_64 mingw-w64
# toolchains, zlib for them, Wine for 64-bit and 32-bit programs, and source entries for
# Debian's archive so that libpng's source package can be fetched. Idempotent and
# non-interactive. Wine's 32-bit half installs on a kernel without 32-bit emulation too;
# it just cannot run there, and the tests say so (tools/wine-run.sh).
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
apt_opts=(-o DPkg::Lock::Timeout=900 -y -q)
need_update=0

# 32-bit Windows programs need Wine's i386 half.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  need_update=1
fi

# Source entries mirroring the configured binary ones of Debian's archive (deb822 files
# and the classic sources.list alike).
if ! grep -rqs '^\(Types:.*deb-src\|deb-src \)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  tmp=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    awk 'BEGIN { RS=""; ORS="\n\n" } /debian-archive-keyring/ { sub(/Types: deb/, "Types: deb-src"); print }' "$f" >>"$tmp"
  done
  if [ -s "$tmp" ]; then
    $SUDO install -m 0644 "$tmp" /etc/apt/sources.list.d/quorvane-deb-src.sources
  fi
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb .*debian' /etc/apt/sources.list | sed 's/^deb /deb-src /' >"$tmp" || true
    if [ -s "$tmp" ]; then
      $SUDO install -m 0644 "$tmp" /etc/apt/sources.list.d/quorvane-deb-src.list
    fi
  fi
  rm -f "$tmp"
  need_update=1
fi

packages=(
  g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine wine64 wine32:i386
  dpkg-dev xz-utils
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ] || [ "$need_update" -eq 1 ]; then
  $SUDO apt-get "${apt_opts[@]}" update
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get "${apt_opts[@]}" install --no-install-recommends "${missing[@]}"
fi
