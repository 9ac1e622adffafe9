#!/usr/bin/env bash
# The 32-bit probe that decides whether Wine tests run: both answers, and the program it
# writes. Usage: probe_i386_test.sh PROBE
set -u
probe=$1
. "$(dirname "$0")/testbed.sh"

# expect ANSWER(yes|no) REASON-PATTERN PROGRAM...
expect() {
  local want=$1 pattern=$2 out status; shift 2
  out=$("$probe" "$@"); status=$?
  case "$want" in
    yes) [ "$status" -eq 0 ] && [ "$out" = yes ] || fail "$* should run: got '$out' ($status)" ;;
    no)  [ "$status" -eq 1 ] && [[ "$out" == no:*$pattern* ]] || fail "$* should not run ($pattern): got '$out' ($status)" ;;
  esac
}

# The program it writes: a 32-bit little-endian i386 executable whose entry lies inside it.
"$probe" --write "$work/exit42" || fail "--write failed"
header=$(od -A n -t x1 -N 28 "$work/exit42" | tr -d ' \n')
[ "${header:0:12}" = 7f454c460101 ] || fail "not a 32-bit little-endian ELF: $header"
[ "${header:36:4}" = 0300 ] || fail "machine is not i386: ${header:36:4}"
[ "${header:48:8}" = 54800408 ] || fail "entry is not 0x08048054: ${header:48:8}"
[ "$(stat -c %s "$work/exit42")" -eq 96 ] || fail "size is not 96 bytes"

# Programs that cannot execute, or that run but are not the probe answering.
cp "$work/exit42" "$work/arm"
printf '\x28' | dd of="$work/arm" bs=1 seek=18 conv=notrunc status=none   # machine: ARM
expect no "Exec format error" "$work/arm"
expect no "No such file" "$work/missing"
printf '#!/bin/sh\nexit 0\n' >"$work/zero"; chmod +x "$work/zero"
expect no "exit status 0" "$work/zero"
printf '#!/bin/sh\nkill -SEGV $$\n' >"$work/crash"; chmod +x "$work/crash"
expect no "exit status 139" "$work/crash"
# A program that answers as the probe's own does.
printf '#!/bin/sh\nexit 42\n' >"$work/answer"; chmod +x "$work/answer"
expect yes "" "$work/answer"

# Without an argument the probe agrees with running its program directly, on either kind
# of machine.
"$work/exit42" >/dev/null 2>&1 </dev/null; direct=$?
if [ "$direct" -eq 42 ]; then expect yes ""; else expect no "" ; fi

finish "probe_i386: all checks passed (32-bit code runs here: $([ "$direct" -eq 42 ] && echo yes || echo no))"
