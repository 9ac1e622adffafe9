#!/usr/bin/env bash
# installer_test.sh CASE STATE_ROOT SETUP_EXE PACKAGE_DIR SAMPLE_DIR VERSION
# The installer SETUP_EXE run silently under Wine in a fresh prefix STATE_ROOT/CASE (64-bit
# for win64), checked against the sample installation SAMPLE_DIR and the packed binaries
# PACKAGE_DIR (the 64-bit ones in PACKAGE_DIR/win64). CASE: install (files, registry, entry,
# shortcut, the installed host's info and autopilot), upgrade (the user's settings and changed
# files kept, program files repaired), uninstall (only the user's files and values left;
# nothing removed while a program file is loaded; another installation left alone),
# bad_input (/D paths the module cannot take, folders that cannot be written), win64 (both
# builds side by side, each previewing with its own engine, upgraded and uninstalled alone).
set -u
[ $# -eq 6 ] || { echo "usage: installer_test.sh CASE STATE_ROOT SETUP_EXE PACKAGE_DIR SAMPLE_DIR VERSION" >&2; exit 2; }
root=$(cd "$(dirname "$0")/../.." && pwd)
case=$1 state=$(realpath -m "$2/$1") setup=$(realpath "$3") bin=$(realpath "$4") sample=$(realpath "$5") version=$6
for f in "$setup" "$bin/LMX_GUI.DLL" "$bin/LMX.DLL" "$bin/lmxhost.exe" "$bin/lmxlib.exe"; do
  [ -f "$f" ] || { echo "FAIL: $f is missing"; exit 1; }
done
[ -d "$sample/EFFECTS" ] || { echo "FAIL: $sample is not a sample installation"; exit 1; }

"$root/cmake/wine/env" stop "$state" >/dev/null 2>&1
rm -rf "$state"
mkdir -p "$state"
[ "$case" = win64 ] && echo win64 >"$state/arch"
"$root/cmake/wine/env" start "$state" >/dev/null || { echo "FAIL: the Wine environment did not start"; exit 1; }
trap '"$root/cmake/wine/env" stop "$state" >/dev/null 2>&1' EXIT
. "$root/cmake/wine/common.sh"
wine_env "$state"

. "$root/installer/tests/registry.sh"
ukey='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\LumoraFX'
default_win='C:\Program Files\Corvane\Lumora FX'
default_dir="$WINEPREFIX/drive_c/Program Files/Corvane/Lumora FX"
display_name="Lumora FX" shortcut_name="Lumora FX Host.lnk"
status=0
fail() { echo "FAIL: $*"; status=1; }

# run [SECONDS] PROGRAM ARGS...: a Windows program under this prefix, its output in $out,
# its exit status returned; it is ended after SECONDS (default 300).
out=""
run() {
  local limit=300
  case "$1" in ''|*[!0-9]*) ;; *) limit=$1; shift ;; esac
  out=$(timeout "$limit" "$root/cmake/wine/run" "$state" "$@" 2>&1)
}

ms_since() { echo "$(( ($(date +%s%N) - $1) / 1000000 )) ms"; }  # START in nanoseconds

# install [ARGS...]: the installer with /S and ARGS; prints how long it took.
install() {
  local start; start=$(date +%s%N)
  run 300 "$setup" /S "$@"
  local code=$?
  echo "installer /S $* : exit $code, $(ms_since "$start")"
  [ -n "$out" ] && echo "$out" | sed 's/^/  | /'
  return $code
}

# The names of the values under KEY, sorted, on one line.
value_names() {
  wine reg query "$1" 2>/dev/null | tr -d '\r' | sed -n 's/^ *\([^ ]*\) *REG_[A-Z_]*.*$/\1/p' | sort | tr '\n' ' '
}
key_exists() { wine reg query "$1" >/dev/null 2>&1; }

# The files an installation holds: the sample's and the program's.
expected_files() {
  { (cd "$sample" && find . -type f | sed 's|^\./||')
    printf '%s\n' LMX_GUI.DLL lmxhost.exe lmxlib.exe LIBS/LMX.DLL Uninstall.exe Uninstall.ini; } | sort
}
files_in() { (cd "$1" && find . -type f | sed 's|^\./||' | sort); }

# check_installed DIR WINDIR [EXTRA_FILE...]: every file in place and equal to its source,
# nothing else there but the EXTRA_FILEs, and the registry naming DIR. An EXTRA_FILE
# NAME.new is the installed NAME, beside the user's NAME, which stays as it was.
check_installed() {
  local dir=$1 win=$2; shift 2
  local want got
  want=$( { expected_files; printf '%s\n' "$@"; } | sed '/^$/d' | sort)
  got=$(files_in "$dir")
  if [ "$want" != "$got" ]; then
    fail "the files in $win differ from what was expected:"
    diff <(echo "$want") <(echo "$got") | sed -n 's/^[<>]/  &/p' | head -n 20
  fi
  for d in HELP LIBS ORGS EFFECTS TEXTURES Work; do
    [ -d "$dir/$d" ] || fail "the folder $d was not made"
  done
  local f extra=" $* "
  while IFS= read -r f; do
    [[ "$extra" == *" $f.new "* ]] && f=$f.new
    cmp -s "$sample/${f%.new}" "$dir/$f" || fail "$f differs from the sample installation's"
  done < <(cd "$sample" && find . -type f | sed 's|^\./||')
  for f in LMX_GUI.DLL lmxhost.exe lmxlib.exe LIBS/LMX.DLL; do
    cmp -s "$bin/${f#LIBS/}" "$dir/$f" || fail "$f differs from the packed one"
  done
  expect_value "$key" Path "REG_SZ $win"
  expect_values "$ukey" DisplayName "REG_SZ $display_name" DisplayVersion "REG_SZ $version" \
    Publisher "REG_SZ Corvane" InstallLocation "REG_SZ $win" \
    UninstallString "REG_SZ \"$win\\Uninstall.exe\"" QuietUninstallString "REG_SZ \"$win\\Uninstall.exe\" /S"
  [ -n "$(shortcut)" ] || fail "no Start-menu shortcut"
}
shortcut() { find "$WINEPREFIX/drive_c" -name "$shortcut_name" 2>/dev/null; }

# read_effect DIR: the host program installed in DIR prints one effect's EffectInfo.
read_effect() {
  run 120 "$1/lmxhost.exe" info BLINDS || { fail "lmxhost info in $1 exited with $?: $out"; return; }
  case "$out" in
    *"shortName: BLINDS"*"longName: Venetian Blinds"*) ;;
    *) fail "lmxhost info BLINDS in $1 printed: $out" ;;
  esac
}
# autopilot DIR SHOTS: that host drives the sheet on the first effect and records it in
# SHOTS; returns the run's exit status.
autopilot() {
  rm -rf "$2"; mkdir -p "$2"
  run 300 "$1/lmxhost.exe" --autopilot "$(winepath -w "$2" | tr -d '\r')" --pick 0:0 --pages FX --timeout 60
}
previewed() {  # SHOTS: the autopilot recorded a preview
  local frames
  frames=$(find "$1/pick-1" -name 'frame-*.bmp' 2>/dev/null | wc -l)
  [ "$frames" -ge 2 ] || fail "the preview in $1 recorded $frames frames: $out"
}

# uninstall DIR WINDIR LEFT VALUES: the uninstaller as the system's list of programs runs it
# (QuietUninstallString). It hands over to a copy of itself and returns at once, so this
# waits, up to a deadline, until that copy has removed the uninstall entry, its last step.
# Then DIR holds the files LEFT alone, $key the values VALUES alone, and no shortcut is left.
uninstall() {
  local dir=$1 win=$2 start; start=$(date +%s%N)
  run 120 "$win\\Uninstall.exe" /S || { fail "the uninstaller exited with $?: $out"; return 1; }
  local deadline=$(( $(date +%s) + 120 ))
  while key_exists "$ukey" || [ -e "$dir/Uninstall.exe" ]; do
    [ "$(date +%s)" -lt "$deadline" ] || { fail "the uninstaller did not finish within 120 s"; return 1; }
    sleep 0.5
  done
  echo "uninstaller /S: $(ms_since "$start")"
  local left; left=$(files_in "$dir" 2>/dev/null | tr '\n' ' ')
  [ "$left" = "$3" ] || fail "after uninstalling, $win holds: $left"
  left=$(value_names "$key")
  [ "$left" = "$4" ] || fail "after uninstalling, the key keeps the values: $left"
  [ -z "$(shortcut)" ] || fail "the Start-menu shortcut $shortcut_name is still there"
}

user_defaults="$state/defaults.lri"
head -c 1016 /dev/urandom >"$user_defaults"

case "$case" in
install)
  install || fail "the installer exited with $?"
  check_installed "$default_dir" "$default_win"
  check_defaults
  echo "installer size: $(stat -c %s "$setup") bytes"

  # The host program from the installed folder, with the installed LMX_GUI.DLL beside it.
  cd "$default_dir" || exit 1
  read_effect "$default_dir"

  # The sheet on the installed library, its preview rendered by the installed LMX.DLL.
  shots="$state/autopilot"
  autopilot "$default_dir" "$shots" || fail "the autopilot exited with $?: $out"
  previewed "$shots"
  [ -f "$shots/page-1-fx.bmp" ] || fail "no screenshot of the FX page"
  # The first effect of the installed DEFAULT organization's first group.
  grep -q 'effectName: "FLYAWAY"' "$shots/block.txt" 2>/dev/null ||
    fail "the confirmed block does not name FLYAWAY: $(head -n 3 "$shots/block.txt" 2>/dev/null)"
  ;;

upgrade)
  # No blank in a /D folder: Wine would quote the argument, and NSIS takes no quoted /D.
  win='C:\LumoraUpgrade' dir="$WINEPREFIX/drive_c/LumoraUpgrade"
  install "/D=$win" || fail "the first install exited with $?"
  # What a user does: settings changed on the Settings page (it writes these values), and
  # "Save default options" (it writes Work\Defaults.LRI).
  wine reg add "$key" /v Prev_Frames /t REG_DWORD /d 7 /f >/dev/null 2>&1
  wine reg add "$key" /v OrgFile /t REG_SZ /d BYSTYLE /f >/dev/null 2>&1
  wine reg add "$key" /v Eff_Display /t REG_DWORD /d 2 /f >/dev/null 2>&1
  cp "$user_defaults" "$dir/Work/Defaults.LRI"
  # Library files the user changed (an organization edited, an effect emptied), a program
  # file gone bad, a texture gone, and one that an older version installed with other
  # content (its record says so): only the user's are kept.
  printf 'group' >>"$dir/ORGS/DEFAULT.ORG"
  cp "$dir/ORGS/DEFAULT.ORG" "$state/user.org"
  : >"$dir/EFFECTS/BLINDS.LMI"
  printf 'damage' >>"$dir/LMX_GUI.DLL"
  rm -f "$dir/TEXTURES/PREVM_05.LMT"
  printf 'older' >"$dir/TEXTURES/PREVM_06.LMT"
  sed -i "s/^\(TEXTURES.PREVM_06.LMT=\)[0-9a-f]*/\1$(printf older | sha1sum | cut -c1-40)/" "$dir/Uninstall.ini"

  check_kept() {  # WHICH upgrade: the user's files stay, the installed ones go beside them
    check_installed "$dir" "$win" Work/Defaults.LRI ORGS/DEFAULT.ORG.new EFFECTS/BLINDS.LMI.new
    cmp -s "$state/user.org" "$dir/ORGS/DEFAULT.ORG" || fail "the $1 replaced the changed ORGS\\DEFAULT.ORG"
    [ ! -s "$dir/EFFECTS/BLINDS.LMI" ] || fail "the $1 replaced the emptied EFFECTS\\BLINDS.LMI"
    cmp -s "$user_defaults" "$dir/Work/Defaults.LRI" || fail "the $1 changed Work\\Defaults.LRI"
  }
  install "/D=$win\\" || fail "the upgrade exited with $?"  # a trailing separator, dropped
  check_kept upgrade
  case "$out" in *'Kept ORGS\DEFAULT.ORG'*'DEFAULT.ORG.new'*) ;; *) fail "the upgrade did not say what it kept" ;; esac
  expect_values "$key" Prev_Frames "REG_DWORD 0x7" OrgFile "REG_SZ BYSTYLE" Eff_Display "REG_DWORD 0x2" \
    Prev_Speed "REG_DWORD 0xa"

  # Without /D an upgrade goes where the installation is, not to the default folder.
  install || fail "the upgrade without /D exited with $?"
  [ ! -e "$default_dir" ] || fail "the upgrade without /D installed into $default_win"
  check_kept "second upgrade"
  ;;

uninstall)
  install || fail "the installer exited with $?"
  cp "$user_defaults" "$default_dir/Work/Defaults.LRI"
  printf 'group' >>"$default_dir/ORGS/DEFAULT.ORG"
  wine reg add "$key" /v Prev_Frames /t REG_DWORD /d 7 /f >/dev/null 2>&1
  wine reg add "$key" /v Eff_Autoreverse /t REG_DWORD /d 1 /f >/dev/null 2>&1
  # Written as the Settings page would, but with the value the installer wrote: not a change.
  wine reg add "$key" /v Prev_Speed /t REG_DWORD /d 10 /f >/dev/null 2>&1

  uninstall "$default_dir" "$default_win" "ORGS/DEFAULT.ORG Uninstall-kept.txt Work/Defaults.LRI " \
    "Eff_Autoreverse Prev_Frames "
  cmp -s "$user_defaults" "$default_dir/Work/Defaults.LRI" || fail "the uninstaller changed Work\\Defaults.LRI"
  [ "$(tr -d '\r' <"$default_dir/Uninstall-kept.txt" 2>/dev/null)" = 'ORGS\DEFAULT.ORG' ] ||
    fail "Uninstall-kept.txt does not list ORGS\\DEFAULT.ORG alone"
  dirs=$(cd "$default_dir" 2>/dev/null && find . -mindepth 1 -type d | sort | tr '\n' ' ')
  [ "$dirs" = "./ORGS ./Work " ] || fail "after uninstalling, the folders left are: $dirs"
  expect_value "$key" Prev_Frames "REG_DWORD 0x7"

  # Without user data nothing at all is left.
  rm -f "$default_dir/Work/Defaults.LRI" "$default_dir/ORGS/DEFAULT.ORG"
  wine reg delete "$key" /v Prev_Frames /f >/dev/null 2>&1
  wine reg delete "$key" /v Eff_Autoreverse /f >/dev/null 2>&1
  install || fail "the second install exited with $?"
  check_defaults
  uninstall "$default_dir" "$default_win" "" ""
  [ ! -e "$default_dir" ] || fail "the folder is left: $(files_in "$default_dir" | tr '\n' ' ')"
  [ ! -e "$WINEPREFIX/drive_c/Program Files/Corvane" ] || fail "the folder Corvane is left"
  key_exists 'HKLM\Software\Corvane' && fail "the key Software\\Corvane is left"

  # Two installations, A and then B, which takes over the entry, the shortcut and "Path".
  # Uninstallers run in place (_?=) here, so that their exit status is theirs.
  a='C:\LumoraA' adir="$WINEPREFIX/drive_c/LumoraA" b='C:\LumoraB' bdir="$WINEPREFIX/drive_c/LumoraB"
  install "/D=$a" && install "/D=$b" || fail "installing A and B failed"
  # While a host has A's LMX_GUI.DLL loaded, A's uninstaller removes nothing and fails.
  "$root/cmake/wine/run" "$state" "$a\\lmxhost.exe" select >/dev/null 2>&1 &
  # The processes mapping this prefix's file (another run's LumoraA is not ours to wait on or kill).
  held=$(realpath -m "$adir/LMX_GUI.DLL")
  holders() { grep -lF "$held" /proc/[0-9]*/maps 2>/dev/null | cut -d/ -f3; }
  deadline=$(( $(date +%s) + 120 ))
  until [ -n "$(holders)" ] || [ "$(date +%s)" -ge "$deadline" ]; do sleep 0.5; done
  [ -n "$(holders)" ] || fail "the host did not load A's LMX_GUI.DLL within 120 s"
  run 120 "$a\\Uninstall.exe" /S "_?=$a"
  code=$?
  [ "$code" -eq 2 ] || fail "A's uninstaller exited with $code while LMX_GUI.DLL was loaded, expected 2"
  case "$out" in *"loaded:"*LMX_GUI.DLL*) ;; *) fail "A's uninstaller did not name LMX_GUI.DLL: $out" ;; esac
  [ "$(files_in "$adir")" = "$(expected_files)" ] || fail "A's uninstaller removed files while they were in use"
  holders | xargs -r kill -9
  deadline=$(( $(date +%s) + 60 ))
  # Gone once neither a process nor the wineserver holds the file.
  until [ -z "$(holders; find /proc/[0-9]*/fd -lname "$held" 2>/dev/null)" ] ||
    [ "$(date +%s)" -ge "$deadline" ]; do sleep 0.5; done
  run 120 "$a\\Uninstall.exe" /S "_?=$a" || fail "A's second uninstall exited with $?: $out"
  # In place the uninstaller cannot delete itself; everything else of A is gone.
  [ "$(files_in "$adir")" = Uninstall.exe ] || fail "A's folder holds: $(files_in "$adir" | tr '\n' ' ')"
  check_installed "$bdir" "$b"
  check_defaults
  ;;

bad_input)
  nothing_written() {  # WHAT: no key, no uninstall entry, no shortcut
    key_exists 'HKLM\Software\Corvane' && fail "$1: the key was written"
    key_exists "$ukey" && fail "$1: the uninstall entry was written"
    [ -z "$(shortcut)" ] || fail "$1: a shortcut was made"
  }
  expect_refused() {  # WHAT PATTERN /D=...: exit 2 and the extended regex PATTERN in the output
    local what=$1 text=$2; shift 2
    install "$@"
    local code=$?
    [ "$code" -eq 2 ] || fail "$what: exit status $code, expected 2"
    printf '%s\n' "$out" | grep -Eq -- "$text" || fail "$what: the output lacks \"$text\""
    nothing_written "$what"
  }

  # Longer than MAX_PATH (260), and one character longer than the module can use (106).
  long='C:\long'
  while [ ${#long} -le 300 ]; do long="$long\\folder-of-a-long-path"; done
  expect_refused "a /D of ${#long} characters" "at most 106 characters" "/D=$long"
  [ ! -e "$WINEPREFIX/drive_c/long" ] || fail "the long path's folders were made"
  edge() {  # LENGTH: a folder under C:\edge with a name of x's
    local p='C:\edge\'
    while [ ${#p} -lt "$1" ]; do p="${p}x"; done
    echo "$p"
  }
  expect_refused "a /D of 107 characters" "at most 106 characters" "/D=$(edge 107)"
  [ ! -e "$WINEPREFIX/drive_c/edge" ] || fail "the 107-character path's folder was made"

  # A folder under a plain file cannot be made.
  printf 'not a folder' >"$WINEPREFIX/drive_c/blocker"
  expect_refused "a folder under a file" "Cannot write to the installation folder" '/D=C:\blocker\LumoraFX'
  [ "$(cat "$WINEPREFIX/drive_c/blocker")" = "not a folder" ] || fail "the file in the way was changed"

  # A drive nobody may write to, not even root: R: is /proc. Wine reports the new folder
  # there as made, so the refusal may come only when the first file cannot be written.
  ln -s /proc "$WINEPREFIX/dosdevices/r:"
  expect_refused "a read-only drive" \
    "Cannot write to the installation folder|Could not write every file to R:.LumoraFX; nothing was registered" \
    '/D=R:\LumoraFX'
  rm -f "$WINEPREFIX/dosdevices/r:"

  # A folder without write permission (root may write anywhere, so only as another user).
  if [ "$(id -u)" -ne 0 ]; then
    mkdir -p "$WINEPREFIX/drive_c/locked"
    chmod 0555 "$WINEPREFIX/drive_c/locked"
    expect_refused "a folder without write permission" "Cannot write to the installation folder" \
      '/D=C:\locked\LumoraFX'
    [ -z "$(ls -A "$WINEPREFIX/drive_c/locked")" ] || fail "files were left in the locked folder"
    chmod 0755 "$WINEPREFIX/drive_c/locked"
  else
    echo "as root, permissions do not stop writing: the locked-folder case is left out"
  fi

  # A folder with a blank reaches the installer quoted (Wine quotes such an argument, as a
  # Windows shell user might): NSIS would ignore it and install into the default folder.
  expect_refused "a quoted /D" "without quotes" '/D=C:\With Blank'
  [ ! -e "$WINEPREFIX/drive_c/With Blank" ] || fail "the quoted folder was made"
  [ ! -e "$default_dir" ] || fail "a quoted /D installed into the default folder"

  # The longest path the module takes installs.
  install "/D=$(edge 106)" || fail "a /D of 106 characters was refused: $out"
  expect_value "$key" Path "REG_SZ $(edge 106)"
  ;;

win64)
  # The 32-bit build where a 32-bit installer puts it, registered in the 32-bit view (which
  # 64-bit Windows keeps under WOW6432Node); the 64-bit build in Program Files, in the
  # 64-bit view.
  key64=$key ukey64=$ukey bin32=$bin
  as32() {
    key='HKLM\Software\WOW6432Node\Corvane\LumoraFX\CurrentVersion'
    ukey='HKLM\Software\WOW6432Node\Microsoft\Windows\CurrentVersion\Uninstall\LumoraFX'
    bin=$bin32 display_name="Lumora FX" shortcut_name="Lumora FX Host.lnk"
    dir="$WINEPREFIX/drive_c/Program Files (x86)/Corvane/Lumora FX" win='C:\Program Files (x86)\Corvane\Lumora FX'
  }
  as64() {
    key=$key64 ukey=$ukey64 bin=$bin32/win64 display_name="Lumora FX (64-bit)"
    shortcut_name="Lumora FX Host (64-bit).lnk" dir=$default_dir win=$default_win
  }
  install || fail "the installer exited with $?"
  for build in 32 64; do
    "as$build"
    check_installed "$dir" "$win"
    check_defaults
    # Each build's host reads an effect through its own DLL and registry view, and its
    # preview is rendered by its own LIBS\LMX.DLL (the other build's engine cannot load).
    read_effect "$dir"
    autopilot "$dir" "$state/autopilot$build" || fail "the $build-bit autopilot exited with $?: $out"
    previewed "$state/autopilot$build"
  done
  # The two builds' sheets show the same preview and confirm the same block.
  "$root/scripts/compare-previews" "$state/autopilot32" "$state/autopilot64" || fail "the two builds differ"

  # An upgrade keeps the 64-bit build's user data as it keeps the 32-bit build's.
  as64
  wine reg add "$key" /v Prev_Frames /t REG_DWORD /d 7 /f >/dev/null 2>&1
  cp "$user_defaults" "$dir/Work/Defaults.LRI"
  install || fail "the upgrade exited with $?"
  expect_value "$key" Prev_Frames "REG_DWORD 0x7"
  cmp -s "$user_defaults" "$dir/Work/Defaults.LRI" || fail "the upgrade changed the 64-bit Work\\Defaults.LRI"

  # The 32-bit build's uninstaller removes that build alone.
  as32
  uninstall "$dir" "$win" "" ""
  [ ! -e "$dir" ] || fail "the 32-bit folder is left: $(files_in "$dir" | tr '\n' ' ')"
  key_exists 'HKLM\Software\WOW6432Node\Corvane' && fail "the 32-bit view keeps Software\\Corvane"
  as64
  check_installed "$dir" "$win" Work/Defaults.LRI
  uninstall "$dir" "$win" "Work/Defaults.LRI " "Prev_Frames "
  ;;

*) echo "installer_test.sh: unknown case $case" >&2; exit 2 ;;
esac

[ $status -eq 0 ] && echo "installer $case: every check held"
exit $status
