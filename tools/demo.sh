#!/usr/bin/env bash
# The main job outside a DAW: render a demo file through the plug-in.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "Built plug-in: build/release/bin/Quorvane.so"
# A contact sheet of the panel artwork, drawn from the library's embedded images.
mkdir -p out
build/release/bin/quorvane-contact-sheet out/artwork-contact-sheet.png
