#!/usr/bin/env bash
# make install and make uninstall.
#   tools/install.sh install BIN_DIR PREFIX VSTDIR LV2DIR VST3DIR CLAPDIR
#   tools/install.sh uninstall PREFIX
# Install puts Quorvane.so into VSTDIR, the bundle Quorvane.lv2 into LV2DIR, the bundle
# Quorvane.vst3 into VST3DIR, Quorvane.clap into CLAPDIR, quorvane-render with its call monitor into
# PREFIX/lib/quorvane (the tool finds the monitor beside its own file) and a link to the
# tool into PREFIX/bin. It records every file and every folder it made in
# PREFIX/lib/quorvane/installed, and uninstall removes exactly those, so the folders are
# left as they were. Quorvane.ini files are the user's settings: never removed.
set -euo pipefail

usage() {
  echo "usage: $0 install BIN_DIR PREFIX VSTDIR LV2DIR VST3DIR CLAPDIR | uninstall PREFIX" >&2
  exit 2
}

# Folders made here, outermost first, so that uninstall can remove them innermost first.
made_folders=()
make_folder() {
  local folder=$1
  [ -d "$folder" ] && return
  make_folder "$(dirname "$folder")"
  mkdir "$folder"
  made_folders+=("$folder")
}

install_all() {
  local bin=$1 prefix vstdir bundle
  prefix=$(realpath -m -s "$2")
  vstdir=$(realpath -m -s "$3")
  bundle=$(realpath -m -s "$4")/Quorvane.lv2
  local vst3 clapdir
  vst3=$(realpath -m -s "$5")/Quorvane.vst3/Contents/x86_64-linux
  clapdir=$(realpath -m -s "$6")
  local lib=$prefix/lib/quorvane
  local record=$lib/installed
  for file in Quorvane.so quorvane-render quorvane-rt-monitor.so Quorvane.clap \
              Quorvane.vst3/Contents/x86_64-linux/Quorvane.so; do
    [ -f "$bin/$file" ] || { echo "install: $bin/$file is missing; build first" >&2; exit 1; }
  done
  local bundle_files=("$bin"/Quorvane.lv2/*.ttl "$bin"/Quorvane.lv2/*.so)
  [ -f "$bin/Quorvane.lv2/manifest.ttl" ] || { echo "install: $bin/Quorvane.lv2 is missing; build first" >&2; exit 1; }
  # A second install keeps what the first one put there on the record.
  local earlier_folders=() earlier_files=()
  if [ -f "$record" ]; then
    mapfile -t earlier_folders < <(grep '^folder ' "$record" | cut -d' ' -f2-)
    mapfile -t earlier_files < <(grep '^file ' "$record" | cut -d' ' -f2-)
  fi
  make_folder "$vstdir"
  make_folder "$bundle"
  make_folder "$vst3"
  make_folder "$clapdir"
  make_folder "$lib"
  make_folder "$prefix/bin"
  install -m 644 "$bin/Quorvane.so" "$vstdir/Quorvane.so"
  install -m 644 "$bin/Quorvane.vst3/Contents/x86_64-linux/Quorvane.so" "$vst3/Quorvane.so"
  install -m 644 "$bin/Quorvane.clap" "$clapdir/Quorvane.clap"
  local installed_bundle=() file
  for file in "${bundle_files[@]}"; do
    install -m 644 "$file" "$bundle/$(basename "$file")"
    installed_bundle+=("$bundle/$(basename "$file")")
  done
  install -m 755 "$bin/quorvane-render" "$lib/quorvane-render"
  install -m 644 "$bin/quorvane-rt-monitor.so" "$lib/quorvane-rt-monitor.so"
  ln -sfn ../lib/quorvane/quorvane-render "$prefix/bin/quorvane-render"
  {
    for folder in "${earlier_folders[@]}" "${made_folders[@]}"; do echo "folder $folder"; done
    for file in "${earlier_files[@]}" "$vstdir/Quorvane.so" "${installed_bundle[@]}" "$vst3/Quorvane.so" \
                "$clapdir/Quorvane.clap" "$lib/quorvane-render" \
                "$lib/quorvane-rt-monitor.so" "$prefix/bin/quorvane-render" "$record"; do
      echo "file $file"
    done
  } | awk '!seen[$0]++' >"$record.new"
  mv "$record.new" "$record"
  echo "installed $vstdir/Quorvane.so"
  echo "installed $bundle/"
  echo "installed $(dirname "$(dirname "$vst3")")/"
  echo "installed $clapdir/Quorvane.clap"
  echo "installed $prefix/bin/quorvane-render (with $lib/)"
  case ":$PATH:" in
    *":$prefix/bin:"*) ;;
    *) echo "note: $prefix/bin is not on your PATH" ;;
  esac
}

uninstall_all() {
  local prefix
  prefix=$(realpath -m -s "$1")
  local record=$prefix/lib/quorvane/installed
  if [ ! -f "$record" ]; then
    echo "nothing to uninstall: no $record (was PREFIX the same as for make install?)"
    return
  fi
  local files folders
  mapfile -t files < <(grep '^file ' "$record" | cut -d' ' -f2-)
  mapfile -t folders < <(grep '^folder ' "$record" | cut -d' ' -f2-)
  local file
  for file in "${files[@]}"; do
    if [ -e "$file" ] || [ -L "$file" ]; then
      rm -f "$file"
      [ "$file" = "$record" ] || echo "removed $file"
    fi
  done
  local i folder
  for ((i = ${#folders[@]} - 1; i >= 0; i--)); do
    folder=${folders[i]}
    [ -d "$folder" ] || continue
    if rmdir "$folder" 2>/dev/null; then
      echo "removed $folder/"
    else
      echo "kept $folder/: it holds files install did not put there"
    fi
  done
  # The plug-in wrote its settings beside itself; they stay for a later install.
  for file in "${files[@]}"; do
    case "$file" in
      */Quorvane.so | */Quorvane.lv2/manifest.ttl | */Quorvane.clap)
        local ini
        ini=$(dirname "$file")/Quorvane.ini
        if [ -f "$ini" ]; then echo "left $ini alone (your settings)"; fi
        ;;
    esac
  done
  echo "Quorvane.ini files are never removed: delete them by hand if you no longer want them"
}

case "${1:-}" in
  install) [ $# -eq 7 ] || usage; install_all "$2" "$3" "$4" "$5" "$6" "$7" ;;
  uninstall) [ $# -eq 2 ] || usage; uninstall_all "$2" ;;
  *) usage ;;
esac
