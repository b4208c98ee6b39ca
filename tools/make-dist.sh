#!/usr/bin/env bash
# Puts the plug-ins ready to copy into dist/, one folder per platform, each with a sample
# Quorvane.ini and a note on where the files go:
#   tools/make-dist.sh <Linux build tree> <32-bit Windows build tree> <64-bit Windows build tree> <dist>
set -euo pipefail
linux=$1
windows_x86=$2
windows_x64=$3
dist=$4
rm -rf "$dist"
mkdir -p "$dist/linux-x86_64" "$dist/windows-x86" "$dist/windows-x64"
cp "$linux/bin/Quorvane.so" "$linux/bin/Quorvane.clap" "$dist/linux-x86_64/"
# The VST3 bundles hold only their module: a Quorvane.ini left by a run stays behind.
vst3_bundle() {
  local tree=$1 arch=$2 file=$3 target=$4
  mkdir -p "$target/Quorvane.vst3/Contents/$arch"
  cp "$tree/bin/Quorvane.vst3/Contents/$arch/$file" "$target/Quorvane.vst3/Contents/$arch/"
}
vst3_bundle "$linux" x86_64-linux Quorvane.so "$dist/linux-x86_64"
vst3_bundle "$windows_x86" x86-win Quorvane.vst3 "$dist/windows-x86"
vst3_bundle "$windows_x64" x86_64-win Quorvane.vst3 "$dist/windows-x64"
# The LV2 bundle without any Quorvane.ini a run in the build tree may have left in it.
mkdir "$dist/linux-x86_64/Quorvane.lv2"
cp "$linux/bin/Quorvane.lv2/"*.ttl "$linux/bin/Quorvane.lv2/Quorvane_dsp.so" "$linux/bin/Quorvane.lv2/Quorvane_ui.so" "$dist/linux-x86_64/Quorvane.lv2/"
cp "$windows_x86/bin/Quorvane.dll" "$windows_x86/bin/Quorvane.clap" "$dist/windows-x86/"
cp "$windows_x64/bin/Quorvane.dll" "$windows_x64/bin/Quorvane.clap" "$dist/windows-x64/"

# The sample is the file the plug-in writes beside itself on its first start; on Windows
# it has Windows line ends.
"$linux/bin/quorvane-render" --list "$dist/linux-x86_64/Quorvane.so" >/dev/null
cp "$dist/linux-x86_64/Quorvane.ini" "$dist/linux-x86_64/Quorvane.lv2/"
for folder in windows-x86 windows-x64; do
  sed 's/$/\r/' "$dist/linux-x86_64/Quorvane.ini" >"$dist/$folder/Quorvane.ini"
done

cat >"$dist/linux-x86_64/INSTALL.txt" <<'TEXT'
Quorvane.so is the VST 2 plug-in for 64-bit Linux hosts; Quorvane.lv2 is the same
plug-in in LV2 form (a mono and a stereo plug-in, the factory programs as presets, the
same panel), Quorvane.vst3 in VST3 form and Quorvane.clap in CLAP form (a mono and a
stereo plug-in, without a panel yet).
Take the one your host prefers: all sound the same.

Copy the folder Quorvane.vst3, as it is, into ~/.vst3/ or /usr/lib/vst3/, and
Quorvane.clap into ~/.clap/ or /usr/lib/clap/.

Copy Quorvane.so into a folder your host scans for VST 2 plug-ins, for example ~/.vst/
or /usr/lib/vst/, then rescan plug-ins in the host.

Copy the folder Quorvane.lv2, as it is, into a folder your host scans for LV2 plug-ins,
for example ~/.lv2/ or /usr/lib/lv2/.

Quorvane.ini goes into the same folder as Quorvane.so, and inside Quorvane.lv2 for the
LV2 plug-ins. The plug-in writes this file with commented defaults on its first start
when there is none; copy it there only to start from an edited one, or where the
plug-in cannot write (such as /usr/lib/lv2). When Quorvane.so is a symbolic link, the
folder is that of the file the link points to.

Beside the C and C++ run-times the plug-in needs libX11, libXext, libpng16, FreeType and
fontconfig (the LV2 plug-ins' sound part needs none of them). On Debian and Ubuntu these
packages bring them:
  libx11-6 libxext6 libpng16-16 libfreetype6 libfontconfig1
The cutoff readout needs a font that fontconfig offers for "Arial", such as Liberation
Sans (fonts-liberation2).
TEXT

windows_note() {
  local bits=$1 folder=$2 other_bits=$3 other_folder=$4
  cat <<TEXT
Quorvane.dll in this folder is the VST 2 plug-in for $bits-bit Windows hosts. For a
$other_bits-bit host take the Quorvane.dll of the $other_folder folder instead.

Copy Quorvane.dll into a folder your host scans for VST 2 plug-ins, for example
$folder\\VstPlugins, then rescan plug-ins in the host. Quorvane.vst3 (a folder: copy
it whole) goes into $folder\\Common Files\\VST3, and Quorvane.clap into
$folder\\Common Files\\CLAP (the CLAP plug-ins have no panel yet).

Quorvane.ini goes into the same folder as Quorvane.dll. The plug-in writes this file with
commented defaults on its first start when there is none, so the folder must be writable;
in a protected folder such as Program Files copy this sample (edited as you like) there
yourself.
TEXT
}
windows_note 32 'C:\Program Files (x86)' 64 windows-x64 | sed 's/$/\r/' >"$dist/windows-x86/INSTALL.txt"
windows_note 64 'C:\Program Files' 32 windows-x86 | sed 's/$/\r/' >"$dist/windows-x64/INSTALL.txt"
find "$dist" -type f | sort
