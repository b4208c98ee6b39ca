#!/usr/bin/env bash
# Run after ctest in a Linux build tree: lists every test that skipped itself, with its
# reason, and fails if one of them had to run. make test runs under xvfb-run, so the
# display is there and every test must run, except the few below that a build or a
# processor may lack.
#   tools/check-skipped-tests.sh <build tree>
set -uo pipefail
log=$1/Testing/Temporary/LastTest.log
may_skip=(
  ReferenceComparison.FusedLoopsMatchBitForBit  # a processor without AVX and FMA
  Validate.FindsAnAllocationOnTheAudioThread    # sanitizer builds: no call monitor preloaded
)

if [ ! -f "$log" ]; then
  echo "check-skipped-tests.sh: no ctest log in $1" >&2
  exit 1
fi
# The test programs print "Skipped, not run: <test>: <reason>" for each skip.
status=0
while IFS= read -r line; do
  test=${line%%: *}
  verdict="must run here"
  for allowed in "${may_skip[@]}"; do
    [ "$test" = "$allowed" ] && verdict="may be skipped"
  done
  [ "$verdict" = "must run here" ] && status=1
  echo "Skipped ($verdict): $line"
done < <(sed -n 's/^Skipped, not run: //p' "$log")
if [ "$status" != 0 ]; then
  echo "check-skipped-tests.sh: tests that must run in $1 were skipped" >&2
fi
exit $status
