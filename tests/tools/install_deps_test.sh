#!/usr/bin/env bash
# tools/install-deps.sh against stand-in apt-get, dpkg and dpkg-query: a package index that
# keeps failing, an install that fails, machines with and without 32-bit programs.
set -uo pipefail
script=$(cd "$(dirname "$0")/../.." && pwd)/tools/install-deps.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# The stand-ins keep their state in $STATE: installed (one package a line), arch,
# update-failures (how many updates fail yet), uninstallable, calls (what was run).
mkdir -p "$work/bin"
cat >"$work/bin/dpkg-query" <<'STANDIN'
#!/usr/bin/env bash
grep -qx "${@: -1}" "$STATE/installed" && printf 'install ok installed'
STANDIN
cat >"$work/bin/dpkg" <<'STANDIN'
#!/usr/bin/env bash
echo "dpkg $*" >>"$STATE/calls"
case $1 in
  --print-foreign-architectures) cat "$STATE/arch" ;;
  --add-architecture) echo "$2" >>"$STATE/arch" ;;
esac
STANDIN
cat >"$work/bin/apt-get" <<'STANDIN'
#!/usr/bin/env bash
args=()
for a in "$@"; do case $a in -*|DPkg::*) ;; *) args+=("$a") ;; esac; done
echo "apt-get ${args[*]}" >>"$STATE/calls"
if [ "${args[0]}" = update ]; then
  left=$(cat "$STATE/update-failures")
  if [ "$left" -gt 0 ]; then
    echo $((left - 1)) >"$STATE/update-failures"
    echo "E: Failed to fetch http://deb.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (100 != 200). Mirror sync in progress? [IP: 1.2.3.4 80]"
    exit 100
  fi
  exit 0
fi
for p in "${args[@]:1}"; do
  if grep -qx "$p" "$STATE/uninstallable"; then
    echo "The following packages have unmet dependencies:"
    echo " $p : Depends: libwine:i386 (= 8.0) but it is not going to be installed"
    echo "E: Unable to correct problems, you have held broken packages."
    exit 100
  fi
done
printf '%s\n' "${args[@]:1}" >>"$STATE/installed"
STANDIN
printf '#!/usr/bin/env bash\nexit 0\n' >"$work/bin/runs-32bit"
printf '#!/usr/bin/env bash\necho "bash: ./probe: cannot execute binary file: Exec format error"\nexit 126\n' >"$work/bin/runs-no-32bit"
chmod +x "$work/bin/"*

# name | command | update failures | uninstallable | 32-bit probe | exit | output wants | calls want | calls must not have
cases=(
  "index fails on every try|test|9||runs-no-32bit|0|binary-i386/Packages.xz  File has unexpected size|apt-get install .*mingw|add-architecture|wine32"
  "index fails once|demo|1||runs-32bit|0|Installing: build-essential|apt-get install build-essential|mingw|wine|deb-src|add-architecture"
  "install fails|test|0|libsndfile1-dev|runs-no-32bit|100|libsndfile1-dev: +libsndfile1-dev : Depends: libwine|apt-get install|"
  "32-bit machine, no 32-bit Wine to be had|test|0|wine32:i386|runs-32bit|0|Going on without 32-bit Wine|dpkg --add-architecture i386|"
  "32-bit machine|test|0||runs-32bit|0|Installing: wine32:i386|apt-get install wine32:i386|"
)
for row in "${cases[@]}"; do
  IFS='|' read -r name command update_failures uninstallable probe want_exit want_output want_call reject <<<"$row"
  export STATE=$work/state-${name// /-}
  mkdir -p "$STATE/etc/sources.list.d" "$STATE/status"
  printf 'Types: deb\nURIs: http://deb.example/debian\nSuites: bookworm\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    >"$STATE/etc/sources.list.d/debian.sources"
  : >"$STATE/installed"; : >"$STATE/arch"; : >"$STATE/calls"
  echo "$update_failures" >"$STATE/update-failures"
  echo "$uninstallable" >"$STATE/uninstallable"
  output=$(PATH=$work/bin:$PATH QV_APT_RETRY_PAUSE=0 QV_APT_ETC=$STATE/etc QV_DEPS_STATUS_DIR=$STATE/status \
           QV_32BIT_PROBE=$work/bin/$probe bash "$script" "$command" 2>&1)
  status=$?
  calls=$(cat "$STATE/calls" "$STATE/etc/sources.list.d/"* 2>/dev/null)
  problems=()
  [ "$status" = "$want_exit" ] || problems+=("exit $status, not $want_exit")
  grep -Eq -- "$want_output" <<<"$output" || problems+=("no output matching '$want_output'")
  grep -Eq -- "$want_call" <<<"$calls" || problems+=("no call matching '$want_call'")
  for r in ${reject//|/ }; do
    [ -z "$r" ] || ! grep -q -- "$r" <<<"$calls" || problems+=("'$r' was touched")
  done
  if [ ${#problems[@]} -gt 0 ]; then
    failures=$((failures + 1))
    printf 'FAILED: %s: %s\n--- output:\n%s\n--- calls:\n%s\n' "$name" "${problems[*]}" "$output" "$calls"
  else
    echo "ok: $name"
  fi
done

# Without 32-bit programs the 32-bit tests learn why from the note the install leaves.
note=$(cat "$work/state-index-fails-on-every-try/status/wine32-not-installed" 2>/dev/null)
if ! grep -q "Exec format error" <<<"$note"; then
  failures=$((failures + 1))
  echo "FAILED: no 32-bit programs: the note says '$note'"
fi
note=$(cat "$work/state-32-bit-machine,-no-32-bit-Wine-to-be-had/status/wine32-not-installed" 2>/dev/null)
if ! grep -q "wine32:i386 : Depends" <<<"$note"; then
  failures=$((failures + 1))
  echo "FAILED: wine32 not installable: the note says '$note'"
fi
echo "$((${#cases[@]} + 2 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
