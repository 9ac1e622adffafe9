#!/usr/bin/env bash
# list_files_test.sh MAKENSIS: list_files.cmake on a made-up sample installation (nested and
# empty folders, a blank in a name and in the folder's path): where each file is installed,
# what the uninstaller deletes and in which order it removes folders, that an unchanged
# installation leaves the list untouched, that a Work file is refused, and that makensis
# compiles both macros without a warning. Runs natively, no Wine.
set -u
makensis=$1
lister="$(cd "$(dirname "$0")/.." && pwd)/list_files.cmake"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
sample="$tmp/sample dir"
list="$tmp/files.nsh"
status=0
fail() { echo "FAIL: $*"; status=1; }

mkdir -p "$sample"/{EFFECTS,HELP,Work,TEXTURES/sub/deep}
echo effect >"$sample/EFFECTS/A B.LMI"
echo texture >"$sample/TEXTURES/sub/deep/X.LMT"
echo picture >"$sample/LMX.BMP"
cmake -DSAMPLE="$sample" -DOUT="$list" -P "$lister" || { echo "FAIL: the lister failed"; exit 1; }

grep -q '^!define LMX_SAMPLE_FILE_COUNT 3$' "$list" || fail "the file count is not 3"

# Each file goes to the folder the SetOutPath before it names.
placed=$(awk '/^!macro LMX_INSTALL_SAMPLE/ {on=1} /^!macroend/ {on=0}
  on && $1 == "SetOutPath" {out=$0; sub(/^ *SetOutPath /, "", out)}
  on && $1 == "File" {f=$0; sub(/^ *File /, "", f); sub(/ ;.*$/, "", f); print out " <- " f}' "$list")
want="\"\$INSTDIR\\EFFECTS\" <- \"$sample/EFFECTS/A B.LMI\"
\"\$INSTDIR\" <- \"$sample/LMX.BMP\"
\"\$INSTDIR\\TEXTURES\\sub\\deep\" <- \"$sample/TEXTURES/sub/deep/X.LMT\""
[ "$placed" = "$want" ] || fail "files are placed as:
$placed"

# Every folder is made, the empty ones too.
for d in EFFECTS HELP Work TEXTURES 'TEXTURES\sub' 'TEXTURES\sub\deep'; do
  grep -qxF "  CreateDirectory \"\$INSTDIR\\$d\"" "$list" || fail "the folder $d is not made"
done

# The uninstaller deletes exactly those files and removes each folder before its parent.
deleted=$(sed -n 's/^  Delete //p' "$list")
want_deleted='"$INSTDIR\EFFECTS\A B.LMI"
"$INSTDIR\LMX.BMP"
"$INSTDIR\TEXTURES\sub\deep\X.LMT"'
[ "$deleted" = "$want_deleted" ] || fail "the uninstaller deletes:
$deleted"
order=$(sed -n 's/^  RMDir "$INSTDIR\\\(.*\)"$/\1/p' "$list" | tr '\n' ' ')
pos() { echo "$order" | tr ' ' '\n' | grep -nxF "$1" | cut -d: -f1; }
[ "$(echo "$order" | wc -w)" -eq 6 ] || fail "the uninstaller removes these folders: $order"
[ "$(pos 'TEXTURES\sub\deep')" -lt "$(pos 'TEXTURES\sub')" ] &&
  [ "$(pos 'TEXTURES\sub')" -lt "$(pos TEXTURES)" ] || fail "folders removed before their subfolders: $order"

# An unchanged installation leaves the list as it was (so makensis does not run again);
# a changed file changes it.
before=$(stat -c %y "$list")
cp "$list" "$tmp/first.nsh"
sleep 0.01  # a rewrite would show a later time
cmake -DSAMPLE="$sample" -DOUT="$list" -P "$lister" || fail "the second run failed"
[ "$(stat -c %y "$list")" = "$before" ] || fail "an unchanged installation rewrote the list"
echo "another effect" >"$sample/EFFECTS/A B.LMI"
cmake -DSAMPLE="$sample" -DOUT="$list" -P "$lister" || fail "the third run failed"
cmp -s "$list" "$tmp/first.nsh" && fail "a changed file left the list as it was"

# A file in Work would overwrite the user's defaults on an upgrade: refused.
cp "$list" "$tmp/kept.nsh"
echo defaults >"$sample/Work/Defaults.LRI"
if cmake -DSAMPLE="$sample" -DOUT="$list" -P "$lister" >"$tmp/work.log" 2>&1; then
  fail "a file in Work was listed"
fi
grep -q 'holds Work/Defaults.LRI' "$tmp/work.log" || fail "no reason given for the Work file: $(cat "$tmp/work.log")"
cmp -s "$list" "$tmp/kept.nsh" || fail "the refused run changed the list"
rm -f "$sample/Work/Defaults.LRI"

# makensis takes both macros as they are.
cat >"$tmp/probe.nsi" <<EOF
!pragma warning error all
Unicode true
OutFile "$tmp/probe.exe"
InstallDir "\$PROGRAMFILES\\probe"
!include "$list"
Section
  !insertmacro LMX_INSTALL_SAMPLE
  WriteUninstaller "\$INSTDIR\\u.exe"
SectionEnd
Section "Uninstall"
  !insertmacro LMX_UNINSTALL_SAMPLE
SectionEnd
EOF
"$makensis" -V1 "$tmp/probe.nsi" >"$tmp/makensis.log" 2>&1 || fail "makensis refused the list: $(cat "$tmp/makensis.log")"

[ $status -eq 0 ] && echo "list_files: every check held"
exit $status
