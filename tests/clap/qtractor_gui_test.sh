#!/usr/bin/env bash
# Quorvane.clap in Qtractor's GUI under Xvfb with a dummy JACK server, in a scratch HOME: a
# session with Quorvane Stereo on an audio track, its saved state with Cutoff at 0.35; the
# plug-in's window, opened from the track's plug-in list, shows the panel pixel for pixel
# as `quorvane-render --snapshot` draws it at those values; a pointer drag on the Cutoff
# knob marks the session modified, and the value saved with Ctrl+S is the one the panel
# shows during and after the drag. The screenshots, the snapshots they were compared with,
# their differences, the saved session and the logs stay in SHOTS.
#   tests/clap/qtractor_gui_test.sh BIN_DIR SHOTS
set -euo pipefail
name=qtractor_gui
skip() { echo "Skipped, not run: $name: $*"; exit 77; }
fail() { echo "$name: $*" >&2; exit 1; }
bin=$(realpath "$1")
mkdir -p "$2"
shots=$(realpath "$2")
rm -f "$shots"/*.png "$shots"/*.qtr
here=$(dirname "$(realpath "$0")")
source "$here/../support/host_gui.sh"
require_tools qtractor:qtractor jackd:jackd2 python3:python3

HOME=$(mktemp -d)
export HOME
work=$HOME/work
mkdir -p "$work/session" "$HOME/.clap" "$HOME/.config/rncbc.org"
cp "$bin/Quorvane.clap" "$HOME/.clap/"
qtractor_pid='' jackd_pid='' xvfb_pid=''
cleanup() {
  for pid in $qtractor_pid $jackd_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  wait
  cp "$work"/*.log "$shots/" 2>/dev/null || true
  rm -rf "$HOME"
}
trap cleanup EXIT
# SECONDS PATTERN: the id of Qtractor's first shown window whose title matches the bash
# pattern (xdotool's --name misses titles with Qtractor's em dash).
find_window() {
  local w
  for _ in $(seq $(($1 * 5))); do
    for w in $(xdotool search --onlyvisible --class qtractor 2>/dev/null); do
      [[ "$(xdotool getwindowname "$w")" == $2 ]] && { echo "$w"; return 0; }
    done
    sleep 0.2
  done
  return 1
}
log_fail() {
  tail -n 30 "$work/qtractor.log" >&2
  [ -z "${DISPLAY:-}" ] || xwd -root -silent | "$convert" xwd:- "$shots/failure-screen.png" || true
  fail "$@"
}

# Qtractor starts no session without an ALSA sequencer; kernels without one (no
# /dev/snd/seq) get a sequencer with nothing on it.
preload=''
if [ ! -c /dev/snd/seq ]; then
  command -v cc >/dev/null || skip "no ALSA sequencer here and no C compiler to stand in for it"
  cc -shared -fPIC -O1 -o "$work/alsa_seq_absent.so" "$here/alsa_seq_absent.c"
  preload=$work/alsa_seq_absent.so
  step "no ALSA sequencer here: Qtractor gets an empty one"
fi

cat >"$HOME/.config/rncbc.org/Qtractor.conf" <<EOF
[Plugins]
ClapPaths=$HOME/.clap
EOF
session=$work/session/t.qtr
# Qtractor restores a CLAP plug-in from the state it saved (Qt's qCompress of the
# plug-in's own bytes: "QVST", version 1, program 0, then id and value of each parameter),
# and takes its parameter list from the plug-in.
values=(0.5 0 1 0.35 0 0.5 0.9 0.9 0)
state=$(python3 - "${values[@]}" <<'PY'
import base64, struct, sys, zlib
values = [float(v) for v in sys.argv[1:]]
raw = b"QVST" + struct.pack("<3I", 1, 0, len(values))
raw += b"".join(struct.pack("<If", i, v) for i, v in enumerate(values))
print(base64.b64encode(struct.pack(">I", len(raw)) + zlib.compress(raw)).decode())
PY
)
# An audio track with Quorvane Stereo, its window placed clear of the track list.
cat >"$session" <<EOF
<!DOCTYPE qtractorSession>
<session version="Qtractor 0.9.31" name="t">
 <properties><directory>$work/session</directory><sample-rate>48000</sample-rate></properties>
 <devices>
  <audio-engine><audio-bus mode="duplex" name="Master"><channels>2</channels></audio-bus></audio-engine>
  <midi-engine><midi-bus mode="duplex" name="Master"/></midi-engine>
 </devices>
 <tracks>
  <track name="Track 1" type="audio">
   <properties><input-bus>Master</input-bus><output-bus>Master</output-bus></properties>
   <plugins>
    <plugin type="CLAP">
     <filename>$HOME/.clap/Quorvane.clap</filename><index>1</index><label>Quorvane_Stereo</label>
     <activated>1</activated><configs><config key="state">$state</config></configs>
     <editor-pos>760,300</editor-pos>
    </plugin>
   </plugins>
  </track>
 </tracks>
</session>
EOF

start_xvfb
export JACK_DEFAULT_SERVER=quorvane-qtractor-$$
jackd -d dummy -r 48000 -p 1024 >"$work/jackd.log" 2>&1 &
jackd_pid=$!
for _ in $(seq 50); do grep -q 'self-connect-mode' "$work/jackd.log" && break; sleep 0.1; done
kill -0 "$jackd_pid" 2>/dev/null || { cat "$work/jackd.log" >&2; fail "jackd did not start"; }
step "Xvfb on $DISPLAY, jackd (dummy, 48000 Hz, 1024 frames) as $JACK_DEFAULT_SERVER"

LD_PRELOAD=$preload qtractor "$session" >"$work/qtractor.log" 2>&1 &
qtractor_pid=$!
main=$(find_window 60 "$session * Qtractor") ||
  log_fail "no session window within 60 s"
read -r mainx mainy < <(xwininfo -id "$main" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { print x, $NF }')
step "Qtractor shows \"$(xdotool getwindowname "$main")\""
# The session keeps no open editor: a double click on the plug-in in the track's list
# (right of the track's name, under the bus) opens it, once the list is laid out.
sleep 1
xdotool mousemove $((mainx + 183)) $((mainy + 180)) click --repeat 2 --delay 80 1
plugin=$(find_window 20 "Quorvane Stereo - Track 1 *") ||
  log_fail "no plug-in window within 20 s of the double click"
step "the double click opened \"$(xdotool getwindowname "$plugin")\""

"$bin/quorvane-render" -q --snapshot "$shots/0-opened-snapshot.png" --param 3=0.35 "$bin/Quorvane.so"
size=$("$convert" "$shots/0-opened-snapshot.png" -format %wx%h info:)
find_view "$plugin" "$size"
expect_view 0-opened 0.35 "opened at the session's values"
[[ "$(xdotool getwindowname "$main")" != *"[modified]"* ]] || log_fail "the session is modified before any gesture"

drag_cutoff
for _ in $(seq 20); do [[ "$(xdotool getwindowname "$main")" == *"[modified]"* ]] && break; sleep 0.1; done
[[ "$(xdotool getwindowname "$main")" == *"[modified]"* ]] ||
  log_fail "after the drag Qtractor has no unsaved change (Save stays off): \"$(xdotool getwindowname "$main")\""
step "dragged Cutoff: Qtractor shows \"$(xdotool getwindowname "$main")\""

# Ctrl+S, with the pointer over the track area (keys go where the pointer is: no window
# manager here). Qtractor saves each parameter's value as the plug-in reports it.
touch "$work/before-save"
xdotool mousemove $((mainx + 500)) $((mainy + 400)) click 1 sleep 0.3 key ctrl+s
for _ in $(seq 50); do [ "$session" -nt "$work/before-save" ] && break; sleep 0.1; done
[ "$session" -nt "$work/before-save" ] || log_fail "Ctrl+S saved no session"
sleep 0.5
xwd -root -silent | "$convert" xwd:- "$shots/3-screen.png"
cp "$session" "$shots/saved.qtr"
saved=$(sed -n 's/.*<param[^>]*name="Cutoff"[^>]*>\([^<]*\)<.*/\1/p' "$session")
[ -n "$saved" ] || fail "no Cutoff in the saved session ($shots/saved.qtr)"
awk -v v="$saved" 'BEGIN { exit !(v > 0.5) }' || fail "Qtractor saved Cutoff at $saved: the drag's value did not reach it"
step "Ctrl+S saved the session with Cutoff at $saved (0.35 before the drag)"
differ=$(differing 1-dragging "$saved")
[ "$differ" = 0 ] || log_fail "during the drag: $differ pixels differ from the snapshot with Cutoff at $saved ($shots/1-dragging*.png)"
step "during the drag: the view equals the snapshot with Cutoff at $saved, the value saved"
expect_view 2-after "$saved" "after the drag"

# Quit through the File menu (Exit is its last item); nothing is left unsaved.
quitting=$EPOCHREALTIME
xdotool mousemove $((mainx + 20)) $((mainy + 8)) click 1 sleep 0.8 key Up sleep 0.3 key Return
for _ in $(seq 100); do kill -0 "$qtractor_pid" 2>/dev/null || break; sleep 0.2; done
kill -0 "$qtractor_pid" 2>/dev/null && log_fail "Qtractor did not quit within 20 s"
wait "$qtractor_pid" || log_fail "Qtractor quit with status $?"
qtractor_pid=''
step "Qtractor quit in $(awk -v a="$quitting" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f s", b - a }'); screenshots in $shots"
