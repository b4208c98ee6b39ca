#!/usr/bin/env bash
# Quorvane.vst3 in Ardour 7's GUI under Xvfb, in a scratch HOME: the plug-in's window
# shows the panel pixel for pixel as `quorvane-render --snapshot` draws it; a pointer drag
# on the Cutoff knob while the transport rolls is written as Touch automation (Ardour
# writes Touch only between the panel's begin and end of the gesture); the panel shows
# the dragged value during the drag and the value Ardour plays back after it. The
# screenshots, the snapshots they were compared with, their differences and Ardour's log
# stay in SHOTS.
#   tests/vst3/ardour_gui_test.sh BIN_DIR SHOTS
set -euo pipefail
name=ardour_gui
skip() { echo "Skipped, not run: $name: $*"; exit 77; }
bin=$(realpath "$1")
mkdir -p "$2"
shots=$(realpath "$2")
rm -f "$shots"/*.png
here=$(dirname "$(realpath "$0")")
source "$here/ardour_home.sh"
source "$here/../support/host_gui.sh"
require_tools ardour:ardour ardour7-lua:ardour
ardour_home "$bin"
ardour_pid='' xvfb_pid=''
cleanup() {
  for pid in $ardour_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  wait
  [ ! -f "$work/ardour.log" ] || cp "$work/ardour.log" "$shots/"
  rm -rf "$HOME"
}
trap cleanup EXIT
# What Ardour said and the whole screen, when it goes wrong.
log_fail() {
  tail -n 30 "$work/ardour.log" >&2
  [ -z "${DISPLAY:-}" ] || xwd -root -silent | "$convert" xwd:- "$shots/failure-screen.png" || true
  fail "$@"
}

# Been here before (no first-run wizard), the dummy backend offered and started by itself
# (no audio/MIDI setup dialog).
config=$HOME/.config/ardour7
mkdir -p "$config" "$HOME/.local/share"  # GTK keeps its recent files there
touch "$config/.a7"
cat >"$config/config" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
    <Option name="try-autostart-engine" value="1"/>
  </Config>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="None (Dummy)" driver="Normal Speed" device="Silence" input-device="" output-device="" sample-rate="48000" buffer-size="1024" n-periods="0" input-latency="0" output-latency="0" lm-input="" lm-output="" active="1" use-buffered-io="0" midi-option="1 in, 1 out, Silence" lru="1"><MIDIDevices/></State>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
</Ardour>
XML
session=$work/session/t.ardour
ardour7-lua "$here/ardour_gui_test.lua" session "$work/session" >"$work/lua.log" 2>&1 ||
  { cat "$work/lua.log" >&2; fail "ardour7-lua failed"; }
step "$(grep '^session ' "$work/lua.log")"

start_xvfb

# The panel's own picture at the first program: its size is the view's.
"$bin/quorvane-render" -q --snapshot "$shots/0-opened-snapshot.png" "$bin/Quorvane.so"
size=$("$convert" "$shots/0-opened-snapshot.png" -format %wx%h info:)

ardour -n -a "$session" >"$work/ardour.log" 2>&1 &
ardour_pid=$!
plugin=$(timeout 60 xdotool search --sync --onlyvisible --name '^In: Quorvane' | head -n 1) ||
  log_fail "no plug-in window within 60 s"
main=$(xdotool search --onlyvisible --name ' - Ardour$' | head -n 1)
[ -n "$main" ] || log_fail "no editor window"
step "Ardour shows \"$(xdotool getwindowname "$plugin")\""
# The view is a child of the plug-in window (under Ardour's toolbar) of the panel's size.
find_view "$plugin" "$size"
expect_view 0-opened 0.2 "opened"

# Roll, drag Cutoff, stop.
xdotool windowfocus --sync "$main" key space
sleep 1
drag_cutoff
sleep 1
xdotool windowfocus --sync "$main" key space
step "rolled, dragged Cutoff, stopped"
sleep 0.5
touch "$work/before-save"
xdotool key ctrl+s
for _ in $(seq 50); do [ "$session" -nt "$work/before-save" ] && break; sleep 0.1; done
[ "$session" -nt "$work/before-save" ] || log_fail "Ctrl+S saved no session"
sleep 0.5
xwd -root -silent | "$convert" xwd:- "$shots/3-screen.png"

# Cutoff's automation as saved: the value at the start, then what the drag wrote.
mapfile -t values < <(awk '/automation-id="parameter-3"/ { on = 1 } on { sub(/.*<events>/, ""); if (NF == 2) print $2 } on && /<\/events>/ { exit }' "$session")
touched=()
for v in "${values[@]}"; do [ "$v" = "${values[0]}" ] || touched+=("$v"); done
((${#touched[@]} > 0)) || { grep -A3 'automation-id="parameter-3"' "$session" >&2; fail "no automation written for Cutoff: the gesture did not reach Ardour"; }
step "Touch automation for Cutoff: ${#values[@]} events, the drag's $(printf '%s\n' "${touched[@]}" | uniq | wc -l) values from ${touched[0]} to ${touched[-1]} between ${values[0]} before and after"
dragged=${touched[-1]}
differ=$(differing 1-dragging "$dragged")
[ "$differ" = 0 ] || log_fail "during the drag: $differ pixels differ from the snapshot with Cutoff at $dragged ($shots/1-dragging*.png)"
step "during the drag: the view equals the snapshot with Cutoff at $dragged, the last value written"
saved=$(grep -o '<Controllable name="Cutoff"[^>]*' "$session" | sed 's/.* value="\([^"]*\)".*/\1/')
expect_view 2-after "$saved" "after the gesture (Touch plays the automation back)"

xdotool key ctrl+q
for _ in $(seq 100); do kill -0 "$ardour_pid" 2>/dev/null || break; sleep 0.2; done
kill -0 "$ardour_pid" 2>/dev/null && log_fail "Ardour did not quit within 20 s"
wait "$ardour_pid" || log_fail "Ardour quit with status $?"
ardour_pid=''
step "Ardour quit; screenshots in $shots"
