#!/usr/bin/env bash
# The link check: this tree passes, and a tree with a missing page, a missing picture and
# an anchor to no heading fails, naming each; links in code are not links.
# Usage: check_links_test.sh CHECK-LINKS SOURCE-ROOT
set -u
check=$1
. "$(dirname "$0")/testbed.sh"
out=$("$check" "$2" 2>&1) || { echo "FAIL: this tree fails the check: $out"; exit 1; }
mkdir -p "$work/docs"
printf '# Guide\n\n## Calling `LMX_Render` (32-bit)\n' >"$work/docs/guide.md"
cat >"$work/README.md" <<'PAGE'
[ok](docs/guide.md#calling-lmx_render-32-bit) [gone](docs/gone.md) `[code](nowhere.md)`
![picture](docs/missing.png)
[bad anchor](docs/guide.md#calling)
```
[fenced](nowhere.md)
```
PAGE
out=$("$check" "$work" 2>&1) && fail "broken links pass"
expected='README.md:1: docs/gone.md: no such file
README.md:2: docs/missing.png: no such file
README.md:3: docs/guide.md#calling: no such heading'
[ "$out" = "$expected" ] || fail "reported
$out
expected
$expected"
finish "check-links: all cases pass"
