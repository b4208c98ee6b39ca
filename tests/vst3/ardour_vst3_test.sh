#!/usr/bin/env bash
# Quorvane.vst3 in Ardour 7, headless, in a scratch HOME (Ardour's configuration and
# plug-in cache stay untouched): Ardour's scanner finds it; a session renders the demo
# through it with program 8 and Reso at 0.7, exported by ardour7-export, bit for bit as
# the VST 2 plug-in renders it; values changed with the plug-in deactivated are there
# after the session is saved and loaded again.
#   tests/vst3/ardour_vst3_test.sh BIN_DIR
set -euo pipefail
name=vst3_ardour
if ! command -v ardour7-lua >/dev/null; then
  echo "Skipped, not run: $name: ardour7-lua is not installed (Debian package ardour)"
  exit 77
fi
bin=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
lua=$here/ardour_vst3_test.lua
source "$here/ardour_home.sh"
ardour_lua() { ardour7-lua "$lua" "$@" >"$work/lua.log" 2>&1 || { cat "$work/lua.log" >&2; fail "ardour7-lua $1 failed"; }; }
ardour_home "$bin"

"$bin/quorvane-demo-input" "$work/demo.wav" >/dev/null
ardour_lua input "$work/demo.wav" "$work/input.wav"
ardour_lua session "$work/session" "$work/input.wav"
ardour7-export -b float -o "$work/ardour.wav" "$work/session" t >"$work/export.log" 2>&1 ||
  { cat "$work/export.log" >&2; fail "ardour7-export failed"; }
"$bin/quorvane-render" -q "$bin/Quorvane.so" "$work/input.wav" "$work/vst2.wav" --program 8 --param 4=0.7 --bits float
ardour_lua same "$work/ardour.wav" "$work/vst2.wav"
echo "render: $(grep 'bit for bit' "$work/lua.log")"

ardour_lua reload "$work/session"
echo "reload: $(grep 'after loading' "$work/lua.log")"
