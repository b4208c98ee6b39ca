#!/usr/bin/env bash
# Under Wine: the demo's stereo loop through the fake two-plug-in .clap file at gain 1.
# The stereo plug-in must be the one taken, and its output equals its input only when
# the host kept CLAP's threads (the fake answers silence otherwise).
#   check-clap-render.sh <win32|win64> <wine prefix> quorvane-render.exe quorvane-demo-input.exe fake_plugins.clap
set -euo pipefail
run=(bash "$(cd "$(dirname "$0")" && pwd)/../../tools/wine-run.sh" "$1" "$2")
render=$3 demo=$4 clap=$5
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
"${run[@]}" "$demo" in.wav >/dev/null
line=$("${run[@]}" "$render" "$clap" in.wav out.wav --param Gain=0.5 --bits float --brief)
echo "$line"
levels() { sed -E "s/.*$1 peak +([^ ]+) RMS +([^ ]+) dBFS.*/\1 \2/" <<<"$line"; }
[[ $line == "Fake Stereo "* ]] || { echo "not the stereo plug-in" >&2; exit 1; }
[ "$(levels in)" = "$(levels out)" ] || { echo "output levels differ from the input's" >&2; exit 1; }
