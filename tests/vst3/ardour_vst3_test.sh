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
lua=$(dirname "$(realpath "$0")")/ardour_vst3_test.lua
HOME=$(mktemp -d)
export HOME
trap 'rm -rf "$HOME"' EXIT
work=$HOME/work
mkdir -p "$work" "$HOME/.vst3"
fail() { echo "$name: $*" >&2; exit 1; }
ardour_lua() { ardour7-lua "$lua" "$@" >"$work/lua.log" 2>&1 || { cat "$work/lua.log" >&2; fail "ardour7-lua $1 failed"; }; }

# Installed as a user installs it. Ardour takes the scanner's cache only when it is newer
# than the module, to the second: a bundle built a moment before would be ignored.
cp -r "$bin/Quorvane.vst3" "$HOME/.vst3"
find "$HOME/.vst3" -exec touch -d "1 minute ago" {} +
# The scanner exits 0 whatever it found; it also writes the cache ardour7-lua reads.
scan=$(LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst3-scanner -f -v "$HOME/.vst3/Quorvane.vst3" 2>&1) || true
grep -q "Found Plugin: Quorvane$" <<<"$scan" || { echo "$scan" >&2; fail "the scanner did not find Quorvane"; }
echo "scanner: Found Plugin: Quorvane"

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
