#!/usr/bin/env bash
# Only the fused frame loops may hold AVX instructions (VEX or EVEX encoded; their
# mnemonics start with "v"): the processing loop calls them after asking the processor,
# while every other function must run on any x86-64 processor. A helper that the
# compiler emits out of line in the fused file and shares with the rest would fail here.
#   tools/check-fused-isolation.sh <objdump> <library>
set -euo pipefail
objdump=$1
library=$2
fused='Lanes<[0-9], true>|frameRunnerFor<true>|fusedFrameRunnerFor'

report=$("$objdump" -d -C --no-show-raw-insn "$library" | awk -v fused="$fused" '
  /^[0-9a-f]+ <.*>:$/ { name = substr($0, index($0, "<") + 1); sub(/>:$/, "", name); next }
  /^ *[0-9a-f]+:\t *v[a-z0-9]+/ { if (name ~ fused) inside[name] = 1; else outside[name] = 1 }
  END {
    for (n in outside) print "AVX outside the fused loops: " n
    count = 0
    for (n in inside) count++
    print count
  }')
fusedCount=$(tail -n 1 <<<"$report")
faults=$(sed '$d' <<<"$report")
if [ -n "$faults" ]; then
  echo "$faults"
  exit 1
fi
if [ "$fusedCount" -eq 0 ]; then
  echo "$library: no fused frame loops found (stripped, or built without them)"
  exit 1
fi
echo "$library: AVX instructions in the $fusedCount functions of the fused frame loops only"
