# apt-get as the install scripts use it, sourced by them. Half-synced mirrors and stale
# proxies make one package index fail to download ("File has unexpected size ... Mirror
# sync in progress?") while every package stays installable, so only a failed install is
# fatal.
#   QV_APT_UPDATE_TRIES  how often apt-get update is tried (3)
#   QV_APT_RETRY_PAUSE   seconds between tries (10)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
apt_opts=(-o DPkg::Lock::Timeout=900 -y -q)

# Prints the packages of the list that are not installed.
apt_missing() {
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      echo "$p"
    fi
  done
}

# apt-get update, tried again while an index fails; what still fails is named, then left.
apt_update() {
  local tries=${QV_APT_UPDATE_TRIES:-3} pause=${QV_APT_RETRY_PAUSE:-10} attempt status log
  log=$(mktemp)
  for ((attempt = 1; attempt <= tries; attempt++)); do
    echo "Updating the package lists (try $attempt of $tries)"
    status=0
    $SUDO apt-get "${apt_opts[@]}" update >"$log" 2>&1 || status=$?
    if [ "$status" -eq 0 ] && ! grep -q '^[EW]: Failed to fetch' "$log"; then
      rm -f "$log"
      return 0
    fi
    if ((attempt < tries)); then
      sleep "$pause"
    fi
  done
  echo "apt-get update still fails for these package indexes; going on with the lists it has:"
  grep -E '^(E|W|Err):? ' "$log" | sed 's/^/  /' || tail -n 5 "$log" | sed 's/^/  /'
  rm -f "$log"
}

# apt-get install; on failure says which packages apt could not install, with apt's own
# line for each, and returns apt's status. Its output is kept in $apt_install_log.
apt_install() {
  local status
  apt_install_log=$(mktemp)
  echo "Installing: $*"
  set +e
  $SUDO apt-get "${apt_opts[@]}" install --no-install-recommends "$@" 2>&1 | tee "$apt_install_log"
  status=${PIPESTATUS[0]}
  set -e
  if [ "$status" -ne 0 ]; then
    echo "Could not install these packages:"
    apt_failures "$apt_install_log" | sed 's/^/  /'
  fi
  return "$status"
}

# From apt-get install's output: "package: apt's line" for each package it names as the
# cause, or apt's error lines where it names none.
apt_failures() {
  local named
  named=$(sed -nE \
    -e "s/^E: Unable to locate package (.*)$/\1: &/p" \
    -e "s/^E: Package '([^']*)' has no installation candidate$/\1: &/p" \
    -e "s/^ +([^ ]+) : ((Pre-)?Depends|Breaks|Conflicts): .*$/\1: &/p" \
    -e "s/^E: Failed to fetch .*\/([^_\/]+)_[^\/ ]*\.deb .*$/\1: &/p" \
    "$1" | sed -E 's/: +/: /')
  if [ -n "$named" ]; then
    echo "$named"
  else
    grep '^E: ' "$1" || tail -n 3 "$1"
  fi
}
