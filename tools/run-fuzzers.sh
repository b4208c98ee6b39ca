#!/usr/bin/env bash
# Runs every fuzzer in a folder for a bounded time; a crash or sanitizer report fails.
set -euo pipefail
dir=$1
seconds=${2:-20}
corpus_root=$(dirname "$dir")/fuzz-corpus
status=0
for fuzzer in "$dir"/*_fuzzer; do
  name=$(basename "$fuzzer")
  corpus="$corpus_root/$name"
  mkdir -p "$corpus"
  seeds="tests/fuzz/seeds/$name"
  [ -d "$seeds" ] || seeds=""
  echo "== $name for ${seeds:+seeded }${seconds}s"
  if ! "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$corpus_root/$name-" \
       "$corpus" $seeds > "$corpus_root/$name.log" 2>&1; then
    tail -n 40 "$corpus_root/$name.log"
    status=1
  else
    grep -E 'stat::number_of_executed_units|Done' "$corpus_root/$name.log" | tail -n 1
  fi
done
exit $status
