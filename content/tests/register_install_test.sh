#!/usr/bin/env bash
# register_install_test.sh STATE_DIR: registers a scratch installation (its path holds a
# blank) in the test run's Wine prefix with scripts/register-install, reads every value
# back through the registry, and removes the key again.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/cmake/wine/common.sh"
wine_env "$(realpath -m "$1")"
. "$root/installer/tests/registry.sh"
scratch=$(mktemp -d)
trap 'wine reg delete "$key" /f >/dev/null 2>&1; rm -rf "$scratch"' EXIT
install="$scratch/sample install"
mkdir -p "$install"/{HELP,LIBS,ORGS,EFFECTS,TEXTURES,Work}

"$root/scripts/register-install" "$install" "$WINEPREFIX" || { echo "FAIL: register-install failed"; exit 1; }
status=0
fail() { echo "FAIL: $*"; status=1; }
expect_value "$key" Path "REG_SZ $(winepath -w "$install" | tr -d '\r')"
check_defaults
# A missing directory is refused before anything is written.
wine reg delete "$key" /f >/dev/null 2>&1
if "$root/scripts/register-install" "$scratch/missing" "$WINEPREFIX" 2>/dev/null; then
  fail "a missing directory was registered"
fi
wine reg query "$key" >/dev/null 2>&1 && fail "key written for a missing directory"
[ $status -eq 0 ] && echo "register-install: all values read back"
exit $status
