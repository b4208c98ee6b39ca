#!/usr/bin/env bash
# Quorvane.clap through Qtractor's plug-in scanner, headless: both plug-ins, with their
# audio ports (1 in 1 out, 2 in 2 out), the MIDI input, the nine parameters and the panel
# (the flag GUI, which the scanner gives a plug-in that embeds its GUI in a host window).
#   tests/clap/qtractor_scan_test.sh PATH/Quorvane.clap
set -euo pipefail
name=clap_qtractor_scan
scanner=/usr/lib/x86_64-linux-gnu/qtractor/qtractor_plugin_scan
if [ ! -x "$scanner" ]; then
  echo "Skipped, not run: $name: Qtractor's scanner is not installed (Debian package qtractor)"
  exit 77
fi
clap=$(realpath "$1")
HOME=$(mktemp -d)
export HOME
trap 'rm -rf "$HOME"' EXIT
# One line a plug-in: CLAP|name|audio in:out|MIDI in:out|parameters in:out|flags|file|index|id
lines=$(echo "CLAP:$clap" | QT_QPA_PLATFORM=offscreen timeout 60 "$scanner" 2>/dev/null | grep '^CLAP|' || true)
for expected in "CLAP|Quorvane Mono|1:1|1:0|9:0|GUI," "CLAP|Quorvane Stereo|2:2|1:0|9:0|GUI,"; do
  grep -qF "$expected" <<<"$lines" || { echo "$name: no line starting '$expected' in:" >&2; echo "$lines" >&2; exit 1; }
done
echo "$lines"
