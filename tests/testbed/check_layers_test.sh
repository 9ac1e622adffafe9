#!/usr/bin/env bash
# The layer check: this tree passes, and a copy of it with one upward include added (in
# src/, and from the engine into a page) fails naming that line.
# Usage: check_layers_test.sh CHECK-LAYERS SOURCE-ROOT
set -u
check=$1
source_root=$2
. "$(dirname "$0")/testbed.sh"

out=$("$check" "$source_root" 2>&1) || fail "this tree fails the check: $out"
grep -qx 'entry -> .*ui.*' <<<"$out" || fail "no graph line for entry: $out"

# copy_with FILE INCLUDE: a copy of the tree's checked areas with the include added to FILE.
copy_with() {
  rm -rf "$work/tree" && mkdir -p "$work/tree"
  cp -r "$source_root/src" "$source_root/engine" "$source_root/host" "$work/tree/"
  mkdir -p "$(dirname "$work/tree/$1")"
  echo "#include \"$2\"" >>"$work/tree/$1"
}

# expect_upward FILE INCLUDE PATTERN: the copy with the include added fails and names it.
expect_upward() {
  copy_with "$1" "$2"
  local line
  line=$(wc -l <"$work/tree/$1")
  out=$("$check" "$work/tree" 2>&1) && fail "$2 added to $1 passes the check"
  grep -q "^$1:$line: $3" <<<"$out" || fail "$2 added to $1: no report of line $line: $out"
}
expect_upward src/model/effect_settings.h "entry/sheet.h" "upward include of entry/ from model/"
expect_upward src/selection/selection.h "ui/controls.h" "upward include of ui/ from selection/"
expect_upward src/preview/preview.h "pages/page_frame.h" "upward include of pages/ from preview/"
expect_upward engine/lmx_render.h "preview/preview.h" "engine/ may not include src/preview/"
expect_upward src/library/chunk_file.h "config/registry.h" "upward include of config/ from library/"
expect_upward host/options.h "ui/gdi.h" "host/ may not include src/ui/"

# Downward and same-folder includes pass.
for added in "src/pages/page_frame.h pages/page_procs.h" "src/ui/help.h selection/sheet_state.h" \
  "host/options.h platform/win32/gdi.h"; do
  copy_with $added
  out=$("$check" "$work/tree" 2>&1) || fail "$added is refused: $out"
done

# A folder of src/ that is not in the layer list is refused.
copy_with src/newlayer/thing.h "model/effect_settings.h"
out=$("$check" "$work/tree" 2>&1) && fail "an unlisted folder passes"
grep -q "src/newlayer is not in the layer list" <<<"$out" || fail "unlisted folder not named: $out"

finish "check-layers: all cases pass"
