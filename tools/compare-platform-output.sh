#!/usr/bin/env bash
# Renders the same cases through Quorvane.so and, under Wine, through Quorvane.dll, and
# fails unless every output sample is bit-identical:
#   tools/compare-platform-output.sh <Linux build tree> <Windows build tree>
set -euo pipefail
linux=$(realpath "$1")
windows=$(realpath "$2")
here=$(dirname "$(realpath "$0")")
out=$windows/render-check
mkdir -p "$out"

"$linux/bin/quorvane-render-check" render "$linux/bin/Quorvane.so" "$out/linux.f32"
bash "$here/wine-run.sh" "$windows/wineprefix" "$windows/bin/quorvane-render-check.exe" \
  render "Z:$windows/bin/Quorvane.dll" "Z:$out/windows.f32"
"$linux/bin/quorvane-render-check" compare "$out/linux.f32" "$out/windows.f32"
