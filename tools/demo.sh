#!/usr/bin/env bash
# The main job outside a DAW: render a demo file through the plug-in.
# Synthesises a drum-and-bass loop and renders it through factory programs of
# different character into out/, one summary line per program.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/release/bin
mkdir -p out

"$bin/quorvane-demo-input" out/demo-input.wav
echo "Input: out/demo-input.wav (drum and bass at 174 BPM, 44.1 kHz stereo, synthesised)"

# LPF, HPF, Toasty Tubes, Inv Env Follow, Planet JX-3P, Ray Gun, Blown Woofer.
# Float files keep the peaks that resonance pushes above full scale.
for program in 0 1 2 4 8 10 13; do
  output=$(printf 'out/demo-program-%02d.wav' "$program")
  "$bin/quorvane-render" "$bin/Quorvane.so" out/demo-input.wav "$output" \
    --program "$program" --tail 1 --bits float --brief
done
echo "Rendered files: out/demo-program-*.wav"

# A contact sheet of the panel artwork, drawn from the library's embedded images.
mkdir -p out
build/release/bin/quorvane-contact-sheet out/artwork-contact-sheet.png

# The editor panel of program 0 as the plug-in draws it, without a display.
"$bin/quorvane-render" --snapshot out/editor.png --program 0 "$bin/Quorvane.so"
"$bin/quorvane-render" --snapshot out/editor@2x.png --scale 2 --program 0 "$bin/Quorvane.so"
