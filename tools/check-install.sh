#!/usr/bin/env bash
# make install then make uninstall in a scratch HOME: the installed tool finds the
# installed plug-in by its bare name, and uninstall leaves the folders as they were but
# for the Quorvane.ini the plug-in wrote.
#   tools/check-install.sh BIN_DIR
set -euo pipefail
bin=$(realpath "$1")
here=$(dirname "$0")
HOME=$(mktemp -d)
export HOME
trap 'rm -rf "$HOME"' EXIT
mkdir -p "$HOME/.local/bin"
touch "$HOME/.local/bin/someone-elses-tool"
tree() { (cd "$HOME" && find . | sort); }
before=$(tree)

bash "$here/install.sh" install "$bin" "$HOME/.local" "$HOME/.vst" "$HOME/.lv2" "$HOME/.vst3" "$HOME/.clap" >/dev/null
[ -f "$HOME/.vst3/Quorvane.vst3/Contents/x86_64-linux/Quorvane.so" ] && [ -f "$HOME/.clap/Quorvane.clap" ] ||
  { echo "install put no VST3 bundle into ~/.vst3 or no Quorvane.clap into ~/.clap" >&2; exit 1; }
[ -f "$HOME/.lv2/Quorvane.lv2/manifest.ttl" ] && [ -f "$HOME/.lv2/Quorvane.lv2/Quorvane_dsp.so" ] && [ -f "$HOME/.lv2/Quorvane.lv2/Quorvane_ui.so" ] ||
  { echo "install put no LV2 bundle into ~/.lv2" >&2; exit 1; }
PATH=$HOME/.local/bin:$PATH quorvane-render --list Quorvane | grep -q "^Quorvane" ||
  { echo "the installed quorvane-render did not list the installed Quorvane" >&2; exit 1; }
[ -f "$HOME/.vst/Quorvane.ini" ] || { echo "the plug-in wrote no Quorvane.ini" >&2; exit 1; }

said=$(bash "$here/install.sh" uninstall "$HOME/.local")
grep -q "left $HOME/.vst/Quorvane.ini alone" <<<"$said" ||
  { echo "uninstall did not say it left Quorvane.ini alone:" >&2; echo "$said" >&2; exit 1; }
expected=$(printf '%s\n' "$before" ./.vst ./.vst/Quorvane.ini | sort)
if [ "$(tree)" != "$expected" ]; then
  echo "after install and uninstall the scratch HOME holds:" >&2
  diff <(echo "$expected") <(tree) >&2 || true
  exit 1
fi
echo "install and uninstall: as before, Quorvane.ini kept"
