#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of the build tree's own:
#   tools/wine-run.sh <win32|win64> <wine prefix> [--display] [--dpi N] [--deep] <program.exe> [arguments...]
# --display keeps the X display (for tests that work real windows, under xvfb-run).
# --dpi N gives the desktop N dots per inch (LogPixels; 96 is Windows' default), in a
# prefix of its own.
# --deep runs a copy of the program from a directory nested deeper than the 260-byte
# paths of Windows allow: Wine starts such a program only from the Unix side.
# No debug output, no Mono or Gecko installer dialogs, no display unless asked for (so no
# window can wait for a click), nothing in the user's home. The prefix is made on first
# use, once, even when several tests start at the same time; it counts as made only once
# wineboot has finished, so a run killed half-way leaves nothing the next run trusts.
#
# A 32-bit program needs a machine that runs 32-bit programs and 32-bit Wine installed.
# Where either is missing, or where QV_WINE32=off, this prints the reason and exits with 77
# (ctest: skipped): tools/install-deps.sh leaves out 32-bit Wine where it cannot run, and
# says in build/deps/wine32-not-installed why it is missing where it could.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
arch=$1
prefix=$(realpath -m "$2")
shift 2
complete=$prefix/.complete

case $arch in
  win32) loader=/usr/lib/wine/wine ;;
  # Called directly: the wine wrapper would start the 32-bit loader first.
  win64) loader=/usr/lib/wine/wine64 ;;
  *) echo "wine-run.sh: the architecture is win32 or win64, not '$arch'" >&2; exit 2 ;;
esac

skip() {
  echo "Skipped, not run: $1"
  exit 77
}

if [ "$arch" = win32 ]; then
  if [ "${QV_WINE32:-}" = off ]; then
    skip "QV_WINE32=off (32-bit Windows programs are not run)"
  fi
  reason=$(bash "$here/runs-32bit-programs.sh") || skip "$reason"
  if [ ! -x "$loader" ]; then
    said=$(paste -sd ' ' "$here/../build/deps/wine32-not-installed" 2>/dev/null || true)
    skip "32-bit Wine is not installed ($loader is missing)${said:+; $said}"
  fi
fi
if [ ! -x "$loader" ]; then
  echo "wine-run.sh: $loader is missing; tools/install-deps.sh test installs it" >&2
  exit 1
fi

# Wine's desktop belongs to the first program that starts it in a prefix and keeps that
# program's display: programs with and without a display must not share a prefix, or
# the windowed ones may find a desktop without one. Windowed runs get a prefix of their
# own, take turns in it (ctest's x_display lock) and end with its Wine server, since
# each brings an X server of its own.
display_run=0
if [ "${1:-}" = --display ]; then
  shift
  display_run=1
  prefix=$prefix-display
  complete=$prefix/.complete
else
  unset DISPLAY WAYLAND_DISPLAY
fi
dpi=
if [ "${1:-}" = --dpi ]; then
  dpi=$2
  shift 2
  prefix=$prefix-dpi$dpi
  complete=$prefix/.complete
fi
export WINEPREFIX=$prefix WINEARCH=$arch WINELOADER=$loader WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -f "$complete" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$complete" ]; then
      rm -rf "$prefix"
      "$loader" wineboot --init >/dev/null 2>&1
      wineserver --wait
      if [ -n "$dpi" ]; then
        "$loader" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
        wineserver --wait
      fi
      touch "$complete"
    fi
  ) 9>"$prefix.lock"
fi

if [ "${1:-}" = --deep ]; then
  shift
  program=$(realpath "$1")
  shift
  work=$(mktemp -d "$prefix.deep.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  dir=$work/$(printf 'd%.0s' {1..150})/$(printf 'e%.0s' {1..150})
  mkdir -p "$dir"
  cp "$program" "$dir/"
  set -- "$dir/$(basename "$program")" "$@"
fi

status=0
"$loader" "$@" || status=$?
if [ "$display_run" = 1 ]; then
  wineserver --wait
fi
exit "$status"
