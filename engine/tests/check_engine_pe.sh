#!/usr/bin/env bash
# check_engine_pe.sh OBJDUMP DLL: the engine module is PE32 for i386 (PE32+ for x86-64 when
# OBJDUMP is the 64-bit toolchain's), exports exactly LMX_Render by name, and imports only
# KERNEL32, ADVAPI32 and msvcrt: the engine draws into memory, so a window or GDI import
# would be a dependency it has no use for.
set -u
objdump=$1 dll=$2
dump=$("$objdump" -p "$dll") || exit 1
fail=0
# The 32-bit build makes PE32 for i386, the 64-bit build PE32+ for x86-64.
case "$objdump" in
  *x86_64*) format=pei-x86-64 ;;
  *) format=pei-i386 ;;
esac
echo "$dump" | grep -q "file format $format" || { echo "not a $format image"; fail=1; }
names=$(echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] \(.*\)$/\1/p')
[ "$names" = "LMX_Render" ] || { echo "exports differ; found:"; echo "$names"; fail=1; }
allowed='^(KERNEL32|ADVAPI32|msvcrt)\.dll$'
while read -r dll_name; do
  echo "$dll_name" | grep -Eiq "$allowed" || { echo "imports a DLL beyond KERNEL32, ADVAPI32 and msvcrt: $dll_name"; fail=1; }
done < <(echo "$dump" | sed -n 's/^\s*DLL Name: //p')
echo "$dump" | sed -n 's/^\s*DLL Name: /imports /p'
exit $fail
