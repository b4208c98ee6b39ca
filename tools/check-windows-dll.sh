#!/usr/bin/env bash
# Checks a Quorvane.dll without running it, as a host sees it before loading: the file
# format of its target, the two entry points hosts look for, and imports from the
# system's own libraries only (the list the README gives; names in any case, as Windows
# takes them):
#   tools/check-windows-dll.sh <objdump> <pei-i386|pei-x86-64> <Quorvane.dll>
set -euo pipefail
objdump=$1
format=$2
dll=$3
allowed=(KERNEL32.dll msvcrt.dll USER32.dll WINMM.dll)
case $format in
  pei-i386) magic=PE32 ;;
  pei-x86-64) magic=PE32+ ;;
  *) echo "check-windows-dll.sh: unknown format $format" >&2; exit 2 ;;
esac

dump=$("$objdump" -p "$dll")
faults=()
grep -q "file format $format\$" <<<"$dump" || faults+=("not of file format $format")
grep -qP "^Magic\t.*\t\(\Q$magic\E\)\$" <<<"$dump" || faults+=("not a $magic image")
exports=$(awk '/^\[Ordinal\/Name Pointer\] Table/ { table = 1; next }
               table && /^\t\[/ { print $NF; next }
               { table = 0 }' <<<"$dump")
for name in main VSTPluginMain; do
  grep -qx "$name" <<<"$exports" || faults+=("does not export $name")
done
while read -r library; do
  [[ " ${allowed[*]^^} " == *" ${library^^} "* ]] || faults+=("imports $library")
done < <(sed -n 's/^\tDLL Name: //p' <<<"$dump")

if [ ${#faults[@]} -ne 0 ]; then
  for fault in "${faults[@]}"; do echo "$dll: $fault"; done
  exit 1
fi
echo "$dll: $format ($magic), exports main and VSTPluginMain, imports only ${allowed[*]}"
