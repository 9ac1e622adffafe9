#!/usr/bin/env bash
# register_install_test.sh STATE_DIR: registers a scratch installation (its path holds a
# blank) in the test run's Wine prefix with scripts/register-install, reads every value
# back through the registry, and removes the key again.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/cmake/wine/common.sh"
wine_env "$(realpath -m "$1")"
key='HKLM\Software\Corvane\LumoraFX\CurrentVersion'
scratch=$(mktemp -d)
trap 'wine reg delete "$key" /f >/dev/null 2>&1; rm -rf "$scratch"' EXIT
install="$scratch/sample install"
mkdir -p "$install"/{HELP,LIBS,ORGS,EFFECTS,TEXTURES,Work}

"$root/scripts/register-install" "$install" "$WINEPREFIX" || { echo "FAIL: register-install failed"; exit 1; }
query() { wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *$2 *//p"; }
status=0
expect() {
  local got; got=$(query "$1" "$2")
  if [ "$got" != "$3" ]; then echo "FAIL: $1 is \"$got\", expected \"$3\""; status=1; fi
}
expect Path REG_SZ "$(winepath -w "$install" | tr -d '\r')"
expect OrgFile REG_SZ DEFAULT
expect Prev_Frames REG_DWORD 0x14
expect Prev_Speed REG_DWORD 0xa
expect Prev_Quality REG_DWORD 0x1
expect Prev_Render REG_DWORD 0x1
case "$(query Path REG_SZ)" in
  *'\sample install') ;;
  *) echo "FAIL: Path does not end with the directory's name"; status=1 ;;
esac
# A missing directory is refused before anything is written.
wine reg delete "$key" /f >/dev/null 2>&1
if "$root/scripts/register-install" "$scratch/missing" "$WINEPREFIX" 2>/dev/null; then
  echo "FAIL: a missing directory was registered"; status=1
fi
if wine reg query "$key" >/dev/null 2>&1; then echo "FAIL: key written for a missing directory"; status=1; fi
[ $status -eq 0 ] && echo "register-install: all values read back"
exit $status
