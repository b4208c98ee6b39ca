#!/usr/bin/env bash
# Renders the same cases through Quorvane.so and, under Wine, through Quorvane.dll, and
# fails unless every output sample is bit-identical; then runs quorvane-render command
# lines on both platforms and requires the same output: a float WAV file, and FLAC files
# written and read back; then the Windows VST3 and CLAP plug-ins against Linux VST 2:
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

# Float WAV files from both platforms must be the same but for the time stamp in the PEAK
# chunk: the chunk's fourth 32-bit field (cmp counts bytes from 1).
same_file() {
  local linux_file=$1 windows_file=$2
  if [ "$(stat -c %s "$linux_file")" != "$(stat -c %s "$windows_file")" ]; then
    echo "quorvane-render: the output files differ in size" >&2
    exit 1
  fi
  local peak differing
  peak=$(grep -obUa PEAK "$linux_file" | head -n 1 | cut -d: -f1)
  differing=$({ cmp -l "$linux_file" "$windows_file" || true; } |
    awk -v first=$((peak + 13)) -v last=$((peak + 16)) '$1 < first || $1 > last' | wc -l)
  if [ "$differing" -ne 0 ]; then
    echo "quorvane-render: $differing bytes of the output files differ" >&2
    exit 1
  fi
}
render_both() {
  local input=$1 output=$2
  shift 2
  "$linux/bin/quorvane-render" "$linux/bin/Quorvane.so" "$out/$input" "$out/linux-$output" "$@"
  wine_run "$windows/bin/quorvane-render.exe" "Z:$windows/bin/Quorvane.dll" "Z:$out/$input" \
    "Z:$out/windows-$output" "$@"
}

"$linux/bin/quorvane-demo-input" "$out/input.wav"
render_both input.wav render.wav --program "Blown Woofer" --cc 1.5:11=100 --tail 1 --bits float --brief
same_file "$out/linux-render.wav" "$out/windows-render.wav"
echo "quorvane-render: the same file on both platforms"

# FLAC written and read back on each platform: the encoders may pack the same samples
# differently, so the files read back are compared.
render_both input.wav render.flac --program "Blown Woofer" --tail 1 --bits 24 --brief
wine_run "$windows/bin/quorvane-render.exe" "Z:$windows/bin/Quorvane.dll" "Z:$out/windows-render.flac" \
  "Z:$out/windows-from-flac.wav" --bits float --brief
"$linux/bin/quorvane-render" "$linux/bin/Quorvane.so" "$out/linux-render.flac" "$out/linux-from-flac.wav" \
  --bits float --brief
same_file "$out/linux-from-flac.wav" "$out/windows-from-flac.wav"
echo "quorvane-render: FLAC written and read back, the same samples on both platforms"

# The VST3 bundle and the CLAP file of this Windows build give, for every factory program,
# the samples of the Linux VST 2 plug-in: VST3 by its program list, CLAP (which has no
# programs) by the program's values as Linux lists them.
if [ -d "$windows/bin/Quorvane.vst3" ] && [ -f "$windows/bin/Quorvane.clap" ]; then
  for program in $(seq 0 15); do
    "$linux/bin/quorvane-render" "$linux/bin/Quorvane.so" "$out/input.wav" "$out/linux-p$program.wav" \
      --program "$program" --bits float --brief >/dev/null
    wine_run "$windows/bin/quorvane-render.exe" "Z:$windows/bin/Quorvane.vst3" "Z:$out/input.wav" \
      "Z:$out/windows-vst3-p$program.wav" --program "$program" --bits float --brief >/dev/null
    same_file "$out/linux-p$program.wav" "$out/windows-vst3-p$program.wav"
    read -ra values < <("$linux/bin/quorvane-render" --list --program "$program" "$linux/bin/Quorvane.so" |
      awk '/^parameters/{p=1;next} /^programs/{p=0} p && $1 ~ /^[0-9]+$/ {
             for (i = 2; i <= NF; i++) if ($i ~ /^-?[0-9]+\.[0-9]+$/) { printf "--param %s=%s ", $1, $i; break } }
           END { print "" }')
    wine_run "$windows/bin/quorvane-render.exe" "Z:$windows/bin/Quorvane.clap" "Z:$out/input.wav" \
      "Z:$out/windows-clap-p$program.wav" "${values[@]}" --bits float --brief >/dev/null
    same_file "$out/linux-p$program.wav" "$out/windows-clap-p$program.wav"
  done
  echo "VST3 and CLAP under Wine: every program the same as the Linux VST 2 plug-in"
fi
