# What the GUI host tests share, sourced after `name`, `skip` and `fail` are set: the X
# tools, Xvfb, finding the panel's window in a host's plug-in window, comparing it with
# the panel's own snapshot, and a drag on the Cutoff knob. The sourcing script defines
# log_fail (its host's log, then fail).

# TOOL:PACKAGE ...: skips unless each tool is there; also ImageMagick 6 under its own
# names, as a `convert` earlier on PATH may be another program.
require_tools() {
  local tool
  for tool in "$@" Xvfb:xvfb xdotool:xdotool xwd:x11-apps xwininfo:x11-utils; do
    command -v "${tool%:*}" >/dev/null || skip "${tool%:*} is not installed (Debian package ${tool#*:})"
  done
  convert=$(command -v convert-im6.q16 || command -v convert) || skip "ImageMagick is not installed (Debian package imagemagick)"
  compare=$(command -v compare-im6.q16 || command -v compare) || skip "ImageMagick is not installed (Debian package imagemagick)"
}

started=$EPOCHREALTIME
step() { echo "$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%5.1f s", b - a }')  $*"; }

# A 1600x1000 screen of its own, as DISPLAY; its pid in xvfb_pid.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
  export DISPLAY=:$(cat "$work/display")
}

# WINDOW SIZE: the child of the host's plug-in window that has the panel's size, as view,
# with its place on the screen as left and top.
find_view() {
  view=$(xwininfo -id "$1" -tree | awk -v size="$2" '$0 ~ " " size "\\+" { id = $1 } END { print id }')
  [ -n "$view" ] || { xwininfo -id "$1" -tree >&2; log_fail "no $2 child window in the plug-in window"; }
  read -r left top < <(xwininfo -id "$view" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { print x, $NF }')
  step "the view: window $view, $2 at $left,$top"
}

capture() { xwd -id "$view" -silent | "$convert" xwd:- "$shots/$1.png"; }
# NAME VALUE: the picture NAME against the snapshot with Cutoff at VALUE; the pixels that
# differ are marked in NAME-diff.png.
differing() {
  [ -f "$shots/$1-snapshot.png" ] || "$bin/quorvane-render" -q --snapshot "$shots/$1-snapshot.png" --param 3="$2" "$bin/Quorvane.so"
  "$compare" -metric AE "$shots/$1.png" "$shots/$1-snapshot.png" "$shots/$1-diff.png" 2>&1 || true
}
# NAME VALUE WHAT: the view as it is now, given a few seconds to draw.
expect_view() {
  local differ
  for _ in $(seq 20); do
    capture "$1"
    differ=$(differing "$1" "$2")
    [ "$differ" = 0 ] && break
    sleep 0.25
  done
  [ "$differ" = 0 ] || log_fail "$3: $differ pixels differ from the snapshot with Cutoff at $2 ($shots/$1*.png)"
  step "$3: the view equals the snapshot with Cutoff at $2"
}

# Drags the Cutoff knob (its centre is at 356,126 on the panel) round its arc to the upper
# right, in steps a person's drag would take; the picture once the panel has drawn the
# drag, with the button still down, is 1-dragging.
drag_cutoff() {
  local point x y
  xdotool mousemove $((left + 321)) $((top + 120)) sleep 0.3 mousedown 1
  for point in "330 104" "343 95" "356 91" "369 93" "381 101"; do
    read -r x y <<<"$point"
    xdotool sleep 0.15 mousemove $((left + x)) $((top + y))
  done
  # Held still: once two pictures a moment apart agree, the panel has drawn the drag.
  for _ in $(seq 20); do
    sleep 0.2
    capture 1-dragging
    "$compare" -metric AE "$shots/1-dragging.png" "$shots/1-dragging-earlier.png" null: 2>/dev/null && break
    mv "$shots/1-dragging.png" "$shots/1-dragging-earlier.png"
  done
  rm -f "$shots/1-dragging-earlier.png"
  xdotool mouseup 1
}
