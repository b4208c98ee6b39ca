# Sourced by the Ardour tests: a scratch HOME, so that Ardour's configuration and plug-in
# cache stay untouched, with Quorvane.vst3 installed as a user installs it and scanned.
#   name=TEST; source ardour_home.sh; ardour_home BIN_DIR
fail() { echo "$name: $*" >&2; exit 1; }

ardour_home() {
  HOME=$(mktemp -d)
  export HOME
  trap 'rm -rf "$HOME"' EXIT
  work=$HOME/work
  mkdir -p "$work" "$HOME/.vst3"
  # Ardour takes the scanner's cache only when it is newer than the module, to the
  # second: a bundle built a moment before would be ignored.
  cp -r "$1/Quorvane.vst3" "$HOME/.vst3"
  find "$HOME/.vst3" -exec touch -d "1 minute ago" {} +
  # The scanner exits 0 whatever it found; it also writes the cache Ardour reads.
  local scan
  scan=$(LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst3-scanner -f -v "$HOME/.vst3/Quorvane.vst3" 2>&1) || true
  grep -q "Found Plugin: Quorvane$" <<<"$scan" || { echo "$scan" >&2; fail "the scanner did not find Quorvane"; }
  echo "scanner: Found Plugin: Quorvane"
}
