#!/usr/bin/env bash
# Runs the tests of each Windows build tree and says at the end which builds ran under
# Wine and which were only built and checked (their programs skipped, and why):
#   tools/test-windows.sh <jobs> <Windows build tree>...
set -uo pipefail
jobs=$1
shift
status=0
summary=()
for tree in "$@"; do
  result=passed
  ctest --test-dir "$tree" --output-on-failure -j "$jobs" || { result=FAILED; status=1; }
  # ctest shows no output of skipped tests; tools/wine-run.sh's reason is in the log.
  reason=$(sed -n 's/^Skipped, not run: //p' "$tree/Testing/Temporary/LastTest.log" | sort -u)
  if [ -n "$reason" ]; then
    summary+=("$tree/bin/Quorvane.dll: built and checked without running ($result); its programs were not run under Wine: $reason")
  else
    summary+=("$tree/bin/Quorvane.dll: built, its tests ran under Wine ($result)")
  fi
done
echo
echo "Windows builds:"
printf '  %s\n' "${summary[@]}"
exit $status
