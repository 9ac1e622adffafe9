#!/usr/bin/env bash
# check_pe.sh OBJDUMP DLL EXPORTS IMPORTS: the DLL is PE32 for i386 (PE32+ for x86-64 when
# OBJDUMP is the 64-bit toolchain's), exports exactly EXPORTS ("ordinal name" pairs, comma
# separated) by name, imports only the DLLs IMPORTS names ("KERNEL32|USER32|..."), and
# carries no test hook read from the environment.
set -u
objdump=$1 dll=$2 exports=$3 imports=$4
dump=$("$objdump" -p "$dll") || exit 1
fail=0
[[ "$objdump" == *x86_64* ]] && format=pei-x86-64 || format=pei-i386
echo "$dump" | grep -q "file format $format" || { echo "not a $format image"; fail=1; }
base=$(echo "$dump" | sed -n 's/.*Ordinal Base[[:space:]]*\([0-9][0-9]*\).*/\1/p' | head -n 1)
# "[Ordinal/Name Pointer] Table" lists each name with its ordinal less the base.
names=$(echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^\s*\[ *\([0-9]*\)\] \(.*\)$/\1 \2/p' | while read -r i name; do echo "$((i + base)) $name"; done | sort)
[ "$names" = "$(echo "$exports" | tr ',' '\n' | sort)" ] || { echo "exports differ; found:"; echo "$names"; fail=1; }
while read -r dll_name; do
  echo "$dll_name" | grep -Eiq "^($imports)\.dll$" || { echo "imports a DLL beyond $imports: $dll_name"; fail=1; }
done < <(echo "$dump" | sed -n 's/^\s*DLL Name: //p')
grep -aq 'LMX_TEST' "$dll" && { echo "the shipped DLL names a test hook (LMX_TEST...)"; fail=1; }
echo "$dump" | sed -n 's/^\s*DLL Name: /imports /p'
exit $fail
