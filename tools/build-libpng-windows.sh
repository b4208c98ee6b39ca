#!/usr/bin/env bash
# Builds libpng for the 32-bit Windows build from Debian's source package and installs it
# as a static library under <dir>/install, where the Windows build finds it:
#   tools/build-libpng-windows.sh <dir> <toolchain file>
# Does nothing when the library is there already. The original tarball is used as it is:
# it arrives even when the Debian patch file of a security update cannot be fetched.
set -euo pipefail
dir=$(realpath -m "$1")
toolchain=$(realpath "$2")
install=$dir/install

if [ -f "$install/lib/libpng16.a" ] && [ -f "$install/include/png.h" ]; then
  exit 0
fi

mkdir -p "$dir/download"
cd "$dir/download"
if ! ls libpng1.6_*.orig.tar.* >/dev/null 2>&1; then
  apt-get source --download-only libpng1.6 || true
fi
tarball=$(ls libpng1.6_*.orig.tar.* 2>/dev/null | sort -V | tail -n 1 || true)
if [ -z "$tarball" ]; then
  echo "libpng1.6 source package could not be fetched (are deb-src entries enabled? see tools/install-windows-deps.sh)" >&2
  exit 1
fi

rm -rf "$dir/source" "$dir/build"
mkdir -p "$dir/source"
tar -xf "$tarball" -C "$dir/source" --strip-components=1

# Same arithmetic rules as our own code; zlib from libz-mingw-w64-dev, linked statically.
cmake -S "$dir/source" -B "$dir/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$install" \
  -DCMAKE_C_FLAGS="-msse2 -mfpmath=sse -ffp-contract=off" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON -DPNG_HARDWARE_OPTIMIZATIONS=OFF \
  >"$dir/configure.log"
cmake --build "$dir/build" -j 2 >"$dir/build.log"
cmake --install "$dir/build" >"$dir/install.log"
echo "libpng for Windows installed in $install"
