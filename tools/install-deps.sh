#!/usr/bin/env bash
# Installs the Debian packages a command needs, when they are missing:
#   tools/install-deps.sh demo   the Linux build and the demo (make demo)
#   tools/install-deps.sh hosts  the demo's and what make test-hosts runs
#   tools/install-deps.sh test   everything make test and make test-hosts build and run
# Idempotent and non-interactive; run as root (or with sudo available). A package index
# that fails to download is reported and the install goes on; only a failed install
# stops it. The i386 architecture and 32-bit Wine are added only where this machine runs
# 32-bit programs, and 32-bit Wine is optional: where it cannot be installed, the reason
# is kept in build/deps/wine32-not-installed and the 32-bit Windows tests say it when
# they skip.
#   QV_WINE32=off   never add the i386 architecture or 32-bit Wine
#   QV_APT_ETC      apt's configuration folder (/etc/apt)
#   QV_DEPS_STATUS_DIR  where the note on 32-bit Wine is kept (build/deps)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/deps/apt.sh"

command=${1:-test}
demo_packages=(
  # build
  build-essential cmake ninja-build pkg-config
  # libraries
  libpng-dev zlib1g-dev libfreetype-dev libfontconfig-dev libx11-dev libxext-dev libxtst-dev
  libsndfile1-dev
  # the build tree configures its tests too (lilv for the LV2 test host)
  libgtest-dev libgmock-dev libbenchmark-dev liblilv-dev
  # the panel's text in its pictures
  fonts-liberation2
  # the LV2 bundle's headers
  lv2-dev
  # the VST3 and CLAP declarations the render tool hosts those formats with
  dpf-source
)
hosts_packages=(
  # Ardour's GUI on a display of its own, driven by the pointer and the keyboard, its
  # windows photographed and compared with the panel's pictures
  xvfb xauth x11-utils ardour xdotool x11-apps imagemagick
  # Qtractor, the CLAP host (its plug-in scanner too), with a JACK server of its own
  qtractor jackd2
)
test_packages=(
  # the fuzzers and the leak checker
  clang libclang-rt-14-dev
  # the character maps localedef needs for the comma-decimal locale the tests build
  locales
  # third-party plug-ins the render host is tested against (zam's VST 2, VST3 and CLAP builds)
  zam-plugins dpf-plugins-vst
  # LV2 hosts and checkers for the LV2 bundle: lv2ls, lv2info and lv2apply, jalv,
  # sord_validate (jalv's JACK server, Ardour, Qtractor and Xvfb come with the hosts' set)
  lilv-utils jalv sordi
  # the Windows builds: mingw-w64 for x86 and x64, zlib for them, 64-bit Wine, and what
  # fetches and unpacks Debian's sources of libpng and libsndfile
  g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64
  dpkg-dev xz-utils
)

case $command in
  demo) packages=("${demo_packages[@]}") ;;
  hosts) packages=("${demo_packages[@]}" "${hosts_packages[@]}") ;;
  test) packages=("${demo_packages[@]}" "${test_packages[@]}" "${hosts_packages[@]}") ;;
  *) echo "install-deps.sh: say demo, hosts or test, not '$command'" >&2; exit 2 ;;
esac

apt_etc=${QV_APT_ETC:-/etc/apt}
status_dir=${QV_DEPS_STATUS_DIR:-$here/../build/deps}
need_update=0

# Source entries mirroring the configured binary ones of Debian's archive (deb822 files
# and the classic sources.list alike), so that the Windows builds can fetch sources.
add_source_entries() {
  if grep -rqs '^\(Types:.*deb-src\|deb-src \)' "$apt_etc/sources.list" "$apt_etc/sources.list.d/"; then
    return
  fi
  local tmp f
  tmp=$(mktemp)
  for f in "$apt_etc"/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    awk 'BEGIN { RS=""; ORS="\n\n" } /debian-archive-keyring/ { sub(/Types: deb/, "Types: deb-src"); print }' "$f" >>"$tmp"
  done
  if [ -s "$tmp" ]; then
    $SUDO install -m 0644 "$tmp" "$apt_etc/sources.list.d/quorvane-deb-src.sources"
  fi
  if [ -f "$apt_etc/sources.list" ]; then
    grep -E '^deb .*debian' "$apt_etc/sources.list" | sed 's/^deb /deb-src /' >"$tmp" || true
    if [ -s "$tmp" ]; then
      $SUDO install -m 0644 "$tmp" "$apt_etc/sources.list.d/quorvane-deb-src.list"
    fi
  fi
  rm -f "$tmp"
  need_update=1
}

# 32-bit Wine, for the 32-bit Windows tests: prints why it is not wanted here, if so.
wine32_unwanted() {
  if [ "${QV_WINE32:-}" = off ]; then
    echo "QV_WINE32=off"
  else
    bash "$here/runs-32bit-programs.sh" || true
  fi
}

wine32=()
if [ "$command" = test ]; then
  add_source_entries
  mkdir -p "$status_dir"
  unwanted=$(wine32_unwanted)
  if [ -n "$unwanted" ]; then
    echo "32-bit Wine is not installed: $unwanted" | tee "$status_dir/wine32-not-installed"
  else
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      $SUDO dpkg --add-architecture i386
      need_update=1
    fi
    mapfile -t wine32 < <(apt_missing wine32:i386)
    [ ${#wine32[@]} -gt 0 ] || rm -f "$status_dir/wine32-not-installed"
  fi
fi

mapfile -t missing < <(apt_missing "${packages[@]}")
if [ ${#missing[@]} -gt 0 ] || [ ${#wine32[@]} -gt 0 ] || [ "$need_update" -eq 1 ]; then
  apt_update
fi
if [ ${#missing[@]} -gt 0 ]; then
  apt_install "${missing[@]}"
fi

# Without 32-bit Wine the 32-bit Windows build is still built and checked; its programs
# are skipped with this reason.
if [ ${#wine32[@]} -gt 0 ]; then
  if apt_install wine32:i386; then
    rm -f "$status_dir/wine32-not-installed"
  else
    { echo "32-bit Wine could not be installed; apt said:"; apt_failures "$apt_install_log"; } \
      >"$status_dir/wine32-not-installed"
    echo "Going on without 32-bit Wine: the 32-bit Windows tests will be skipped."
  fi
fi
