#!/usr/bin/env bash
# author_walkthrough.sh LMXLIB INSTALL PAGE: the authoring page's walk-through for a new
# effect on a copy of the sample installation, then a build that the file size limit stops
# halfway (`ulimit -f` with SIGXFSZ ignored), which must leave the old effect byte for byte.
# The page's source example (its first json block) is what dump --source prints.
set -eu
lmxlib=$1 install=$2 page=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$install" "$work/fx"
cd "$work/fx"

awk '/^```json$/ { on = 1; next } on && /^```$/ { exit } on' "$page" > example.json
"$lmxlib" dump --source EFFECTS/TILES4X4.LMI | diff -u example.json - || { echo "the page's example differs"; exit 1; }
"$lmxlib" dump --source EFFECTS/SPIRAL.LMI > SWIRL.json
sed -i 's/"name": "SPIRAL"/"name": "SWIRL"/' SWIRL.json
"$lmxlib" build SWIRL.json -o EFFECTS/SWIRL.LMI
"$lmxlib" icon EFFECTS/SPIRAL.BMP -o EFFECTS/SWIRL.BMP
"$lmxlib" org add ORGS/DEFAULT.ORG "Pages and Spirals" SWIRL
"$lmxlib" check .
"$lmxlib" preview EFFECTS/SWIRL.LMI -o SWIRL.gif --frames 4 --size 32 --set Lighting=1
test -s SWIRL.gif

printf '{"name": "SWIRL", "description": "%s"}' "$(head -c 300000 /dev/zero | tr '\0' x)" > BIG.json
cp EFFECTS/SWIRL.LMI before.LMI
set +e
(trap '' XFSZ; ulimit -f 100; exec "$lmxlib" build BIG.json -o EFFECTS/SWIRL.LMI) 2> message.txt
status=$?
set -e
cat message.txt
[ "$status" -eq 1 ] || { echo "exit status $status, expected 1"; exit 1; }
cmp before.LMI EFFECTS/SWIRL.LMI
grep -q "File too large" message.txt
[ -z "$(ls -A EFFECTS | grep '^\.lmx-write' || true)" ] || { echo "temporary file left behind"; exit 1; }
echo "walk-through passed"
