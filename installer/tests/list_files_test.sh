#!/usr/bin/env bash
# list_files_test.sh MAKENSIS: list_files.cmake on a made-up sample installation (nested and
# empty folders, a blank in a name and in the folder's path): where each file is installed
# and with which SHA-1, in which order the uninstaller removes folders, that an unchanged
# installation leaves the list untouched, that a Work file is refused, and that makensis
# compiles both macros with library_files.nsh without a warning. Runs natively, no Wine.
set -u
makensis=$1
installer="$(cd "$(dirname "$0")/.." && pwd)"
lister="$installer/list_files.cmake"
. "$installer/../tests/testbed/testbed.sh"
sample="$work/sample dir"
list="$work/files.nsh"

mkdir -p "$sample"/{EFFECTS,HELP,Work,TEXTURES/sub/deep}
echo effect >"$sample/EFFECTS/A B.LMI"
echo texture >"$sample/TEXTURES/sub/deep/X.LMT"
echo picture >"$sample/LMX.BMP"
cmake -DSAMPLE="$sample" -DOUT="$list" -P "$lister" || { echo "FAIL: the lister failed"; exit 1; }

grep -q '^!define LMX_SAMPLE_FILE_COUNT 3$' "$list" || fail "the file count is not 3"

# Each file: its name below the installation folder, its source and the source's SHA-1.
placed=$(sed -n 's/^  !insertmacro LMX_LIBRARY_FILE //p' "$list")
want=$(for f in "EFFECTS/A B.LMI" LMX.BMP TEXTURES/sub/deep/X.LMT; do
  printf '"%s" "%s" %s\n' "${f//\//\\}" "$sample/$f" "$(sha1sum <"$sample/$f" | cut -d' ' -f1)"
done)
[ "$placed" = "$want" ] || fail "files are placed as:
$placed"

# Every folder is made, the empty ones too.
for d in EFFECTS HELP Work TEXTURES 'TEXTURES\sub' 'TEXTURES\sub\deep'; do
  grep -qxF "  CreateDirectory \"\$INSTDIR\\$d\"" "$list" || fail "the folder $d is not made"
done

# The uninstaller removes each folder before its parent.
order=$(sed -n 's/^  RMDir "$INSTDIR\\\(.*\)"$/\1/p' "$list" | tr '\n' ' ')
pos() { echo "$order" | tr ' ' '\n' | grep -nxF "$1" | cut -d: -f1; }
[ "$(echo "$order" | wc -w)" -eq 6 ] || fail "the uninstaller removes these folders: $order"
[ "$(pos 'TEXTURES\sub\deep')" -lt "$(pos 'TEXTURES\sub')" ] &&
  [ "$(pos 'TEXTURES\sub')" -lt "$(pos TEXTURES)" ] || fail "folders removed before their subfolders: $order"

# An unchanged installation leaves the list as it was (so makensis does not run again);
# a changed file changes it.
before=$(stat -c %y "$list")
cp "$list" "$work/first.nsh"
sleep 0.01  # a rewrite would show a later time
cmake -DSAMPLE="$sample" -DOUT="$list" -P "$lister" || fail "the second run failed"
[ "$(stat -c %y "$list")" = "$before" ] || fail "an unchanged installation rewrote the list"
echo "another effect" >"$sample/EFFECTS/A B.LMI"
cmake -DSAMPLE="$sample" -DOUT="$list" -P "$lister" || fail "the third run failed"
cmp -s "$list" "$work/first.nsh" && fail "a changed file left the list as it was"

# A file in Work would overwrite the user's defaults on an upgrade: refused.
cp "$list" "$work/kept.nsh"
echo defaults >"$sample/Work/Defaults.LRI"
if cmake -DSAMPLE="$sample" -DOUT="$list" -P "$lister" >"$work/work.log" 2>&1; then
  fail "a file in Work was listed"
fi
grep -q 'holds Work/Defaults.LRI' "$work/work.log" || fail "no reason given for the Work file: $(cat "$work/work.log")"
cmp -s "$list" "$work/kept.nsh" || fail "the refused run changed the list"
rm -f "$sample/Work/Defaults.LRI"

# makensis takes both macros, with the functions they call, as they are.
cat >"$work/probe.nsi" <<EOF
!pragma warning error all
Unicode true
OutFile "$work/probe.exe"
InstallDir "\$PROGRAMFILES\\probe"
!include "LogicLib.nsh"
!addincludedir "$installer"
!include "report.nsh"
!include "library_files.nsh"
!include "$list"
!insertmacro LMX_REPORT_FUNCTIONS "" "probe"
!insertmacro LMX_REPORT_FUNCTIONS "un." "probe"
Section
  !insertmacro LMX_INSTALL_SAMPLE
  Call RemoveLibraryFiles
  !insertmacro LMX_FAIL "compiled, never run"
  WriteUninstaller "\$INSTDIR\\u.exe"
SectionEnd
Section "Uninstall"
  Call un.RemoveLibraryFiles
  !insertmacro LMX_REMOVE_SAMPLE_FOLDERS
  !insertmacro LMX_UN_FAIL "compiled, never run"
SectionEnd
EOF
"$makensis" -V1 "$work/probe.nsi" >"$work/makensis.log" 2>&1 || fail "makensis refused the list: $(cat "$work/makensis.log")"

finish "list_files: every check held"
