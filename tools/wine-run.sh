#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of the build tree's own:
#   tools/wine-run.sh <wine prefix> [--display] [--deep] <program.exe> [arguments...]
# --display keeps the X display (for tests that work real windows, under xvfb-run).
# --deep runs a copy of the program from a directory nested deeper than the 260-byte
# paths of Windows allow: Wine starts such a program only from the Unix side.
# No debug output, no Mono or Gecko installer dialogs, no display unless asked for (so no
# window can wait for a click), nothing in the user's home. The prefix is made on first
# use, once, even when several tests start at the same time.
set -euo pipefail
prefix=$(realpath -m "$1")
shift

export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ "${1:-}" = --display ]; then
  shift
else
  unset DISPLAY WAYLAND_DISPLAY
fi

if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
      wineboot --init >/dev/null 2>&1
      wineserver --wait
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

wine "$@"
