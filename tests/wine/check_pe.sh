#!/usr/bin/env bash
# check_pe.sh OBJDUMP DLL: the DLL is PE32 for i386 (PE32+ for x86-64 when OBJDUMP is the
# 64-bit toolchain's), exports exactly the three entry points by name with ordinals 1 to 3,
# imports nothing but Windows system DLLs, and carries no test hook read from the
# environment.
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
base=$(echo "$dump" | sed -n 's/.*Ordinal Base[[:space:]]*\([0-9][0-9]*\).*/\1/p' | head -n 1)
# "[Ordinal/Name Pointer] Table" lists each name with its ordinal less the base.
names=$(echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^\s*\[ *\([0-9]*\)\] \(.*\)$/\1 \2/p' | while read -r i name; do echo "$((i + base)) $name"; done | sort)
expected=$(printf '1 LMXGUI_About\n2 LMXGUI_Select\n3 LMXGUI_GetEffectInfo\n' | sort)
if [ "$names" != "$expected" ]; then
  echo "exports differ; found:"; echo "$names"; fail=1
fi
allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|COMCTL32|msvcrt|COMDLG32|SHELL32|ole32|OLEAUT32|WINMM)\.dll$'
while read -r dll_name; do
  echo "$dll_name" | grep -Eiq "$allowed" || { echo "imports non-system DLL: $dll_name"; fail=1; }
done < <(echo "$dump" | sed -n 's/^\s*DLL Name: //p')
if grep -aq 'LMX_TEST' "$dll"; then
  echo "the shipped DLL names a test hook (LMX_TEST...)"; fail=1
fi
echo "$dump" | sed -n 's/^\s*DLL Name: /imports /p'
exit $fail
