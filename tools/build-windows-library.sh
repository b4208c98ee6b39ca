#!/usr/bin/env bash
# Builds a library for a Windows build (32 or 64-bit, as the toolchain file says) from
# Debian's source package and installs it as a static library under <prefix>, where the
# Windows build and the libraries built after it find it:
#   tools/build-windows-library.sh <source package> <work dir> <prefix> <toolchain file> [cmake options...]
# Does nothing when it was built there before with the same options. The original
# tarball is used as it is: it arrives even when the Debian patch file of a security
# update cannot be fetched.
set -euo pipefail
package=$1
dir=$(realpath -m "$2")
prefix=$(realpath -m "$3")
toolchain=$(realpath "$4")
shift 4
stamp=$dir/built
options="$package $*"

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$options" ]; then
  exit 0
fi

mkdir -p "$dir/download"
cd "$dir/download"
if ! ls "${package}"_*.orig.tar.* >/dev/null 2>&1; then
  apt-get source --download-only "$package" || true
fi
tarball=$(ls "${package}"_*.orig.tar.* 2>/dev/null | sort -V | tail -n 1 || true)
if [ -z "$tarball" ]; then
  echo "the $package source package could not be fetched (are deb-src entries enabled? see tools/install-deps.sh)" >&2
  exit 1
fi

rm -rf "$dir/source" "$dir/build" "$stamp"
mkdir -p "$dir/source"
tar -xf "$tarball" -C "$dir/source" --strip-components=1
# opus 1.3.1's tarball lacks a file its CMakeLists.txt includes; the file only picks a
# default build type, and we give one.
if [ "$package" = opus ] && [ ! -e "$dir/source/opus_buildtype.cmake" ]; then
  : >"$dir/source/opus_buildtype.cmake"
fi

cmake -S "$dir/source" -B "$dir/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DQV_LIBRARY_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF \
  "$@" >"$dir/configure.log"
cmake --build "$dir/build" -j 2 >"$dir/build.log"
cmake --install "$dir/build" >"$dir/install.log"
echo "$options" >"$stamp"
echo "$package for Windows installed in $prefix"
