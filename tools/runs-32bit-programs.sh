#!/usr/bin/env bash
# Exits 0 when this machine runs 32-bit x86 programs; otherwise prints why and exits 1.
# Some kernels are built without 32-bit emulation: there 32-bit Wine cannot start, however
# it was installed. The answer comes from running a program, not from a package that may
# be missing: the smallest 32-bit Linux program there is, which only exits with 0.
# QV_32BIT_PROBE names another program to run instead (the install scripts' tests).
set -uo pipefail
program=${QV_32BIT_PROBE:-}
if [ -z "$program" ]; then
  program=$(mktemp)
  trap 'rm -f "$program"' EXIT
  # ELF header and one loadable segment at 0x08048000, then: xor ebx,ebx; mov eax,1; int 0x80.
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000' >"$program"
  printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$program"
  printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\050\000' >>"$program"
  printf '\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010' >>"$program"
  printf '\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000' >>"$program"
  printf '\000\020\000\000\061\333\270\001\000\000\000\315\200' >>"$program"
  chmod +x "$program"
fi
answer=$("$program" 2>&1)
status=$?
if [ "$status" -eq 0 ]; then
  exit 0
fi
answer=${answer##*: }
echo "this machine's kernel runs no 32-bit programs (a 32-bit test program: ${answer:-exit status $status})"
exit 1
