#!/usr/bin/env bash
# Renders two flat colour clips through the plugin with Debian's melt and checks the PNG
# frames with lumorafx_frame_check.
#
#   melt_test.sh CHECK LIBRARY PLUGIN_DIR WORK transition EFFECT WIDTH HEIGHT FRAMES
#       the transition from A to B made of pieces, at that size
#   melt_test.sh CHECK LIBRARY PLUGIN_DIR WORK crossfade
#       melt's own crossfade (the luma mix): the check must reject it as a transition and
#       call none of its middle frames a mix of pieces
set -u
check=$1 library=$2 plugin_dir=$3 work=$4 mode=$5
shift 5
. "$(dirname "$0")/melt_render.sh"

# render WIDTH HEIGHT FRAMES MIXER...: the frames as $work/frames/f-NNN.png
render() {
  local width=$1 height=$2 frames=$3
  shift 3
  write_profile "$work/profile" "$width" "$height"
  local last=$((frames - 1))
  # MLT looks for frei0r plugins in FREI0R_PATH only, when it is set.
  FREI0R_PATH=$plugin_dir melt_render "$work/frames" -profile "$work/profile" \
    "color:0x${A}ff" out=$last "color:0x${B}ff" out=$last -mix "$frames" -mixer "$@" \
    -consumer "avformat:$work/frames/f-%03d.png" vcodec=png
  local status=$?
  [ $status -eq 0 ] || { cat "$work/melt.err" >&2; fail "melt exited $status"; }
  local count
  count=$(ls "$work/frames" | wc -l)
  [ "$count" -eq "$frames" ] || fail "melt wrote $count frames, expected $frames"
}

case $mode in
  transition)
    effect=$1 width=$2 height=$3 frames=$4
    render "$width" "$height" "$frames" frei0r.lumorafx library="$library" effect="$effect" position="0=0;-1=1"
    if grep lumorafx "$work/melt.err" >&2; then fail "the plugin reported a problem"; fi
    "$check" --size "${width}x${height}" transition $A $B "$work"/frames/*.png || fail "$effect is not a transition of pieces"
    ;;
  crossfade)
    render 320 240 10 luma
    frames=("$work"/frames/*.png)
    "$check" transition $A $B "${frames[@]}"
    [ $? -eq 1 ] || fail "the check took a crossfade for a transition of pieces"
    for f in "${frames[@]:2:6}"; do
      "$check" mixed $A $B "$f"
      [ $? -eq 1 ] || fail "the check took a crossfade frame for pieces: $f"
    done
    ;;
  *) fail "unknown mode $mode" ;;
esac
echo "ok"
