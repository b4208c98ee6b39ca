#!/usr/bin/env bash
# Renders the same cases through Quorvane.so and, under Wine, through Quorvane.dll, and
# fails unless every output sample is bit-identical; then runs one quorvane-render
# command line on both platforms and requires the same output file:
#   tools/compare-platform-output.sh <Linux build tree> <Windows build tree> <win32|win64>
set -euo pipefail
linux=$(realpath "$1")
windows=$(realpath "$2")
arch=$3
here=$(dirname "$(realpath "$0")")
out=$windows/render-check
mkdir -p "$out"
wine_run() { bash "$here/wine-run.sh" "$arch" "$windows/wineprefix" "$@"; }

"$linux/bin/quorvane-render-check" render "$linux/bin/Quorvane.so" "$out/linux.f32"
wine_run "$windows/bin/quorvane-render-check.exe" render "Z:$windows/bin/Quorvane.dll" "Z:$out/windows.f32"
"$linux/bin/quorvane-render-check" compare "$out/linux.f32" "$out/windows.f32"

"$linux/bin/quorvane-demo-input" "$out/input.wav"
options=(--program "Blown Woofer" --cc 1.5:11=100 --tail 1 --bits float --brief)
"$linux/bin/quorvane-render" "$linux/bin/Quorvane.so" "$out/input.wav" "$out/render-linux.wav" "${options[@]}"
wine_run "$windows/bin/quorvane-render.exe" "Z:$windows/bin/Quorvane.dll" "Z:$out/input.wav" \
  "Z:$out/render-windows.wav" "${options[@]}"
if [ "$(stat -c %s "$out/render-linux.wav")" != "$(stat -c %s "$out/render-windows.wav")" ]; then
  echo "quorvane-render: the output files differ in size" >&2
  exit 1
fi
# Only the time stamp in the PEAK chunk of a float file may differ: the chunk's fourth
# 32-bit field (cmp counts bytes from 1).
peak=$(grep -obUa PEAK "$out/render-linux.wav" | head -n 1 | cut -d: -f1)
differing=$({ cmp -l "$out/render-linux.wav" "$out/render-windows.wav" || true; } |
  awk -v first=$((peak + 13)) -v last=$((peak + 16)) '$1 < first || $1 > last' | wc -l)
if [ "$differing" -ne 0 ]; then
  echo "quorvane-render: $differing bytes of the output files differ" >&2
  exit 1
fi
echo "quorvane-render: the same file on both platforms"
