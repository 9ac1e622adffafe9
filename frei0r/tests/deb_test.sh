#!/usr/bin/env bash
# The Debian package as an editor meets it: unpacked into a scratch root (dpkg -x), MLT
# pointed there (its own modules and data linked beside ours), nothing else set: no
# "library" parameter, no LUMORAFX_LIBRARY.
# DEB is the package, or the folder cpack wrote it to.
#
#   deb_test.sh CHECK DEB WORK melt SERVICE
#       two flat clips mixed by SERVICE (lumorafx or frei0r.lumorafx), the position keyframed
#       as Kdenlive writes it; the middle frame shows pieces of both clips
#   deb_test.sh CHECK DEB WORK kdenlive PROJECT
#       a project as Kdenlive writes it (tracks as tractors, qtblend compositing, a same-track
#       mix); its middle frame of the mix the same way
#   deb_test.sh CHECK DEB WORK compositions CHECKER
#       the Kdenlive compositions in the package, checked by CHECKER (check_compositions.py)
set -u
check=$1 deb=$2 work=$3 mode=$4 arg=$5
. "$(dirname "$0")/melt_render.sh"
[ -d "$deb" ] && deb=$(ls "$deb"/lumorafx_*_amd64.deb 2>/dev/null | tail -n 1)
[ -f "$deb" ] || fail "no package (run cpack -G DEB in the build folder)"
dpkg -x "$deb" "$work/root" || fail "dpkg -x $deb"
root=$work/root/usr

if [ "$mode" = compositions ]; then
  python3 "$arg" "$root/share/kdenlive/transitions" || fail "the compositions are not what Kdenlive reads"
  echo ok
  exit 0
fi

. "$(dirname "$0")/../mlt/scratch_env.sh"
mlt_scratch_env "$work/mlt" "$root" || fail "no MLT module or descriptions in the package"
export FREI0R_PATH=$root/lib/frei0r-1 QT_QPA_PLATFORM=offscreen
unset LUMORAFX_LIBRARY

write_profile "$work/profile" 320 240

case $mode in
  melt)
    # Nine mixed frames: 00:00:00.320 is the last (frame 8 at 25 frames a second).
    melt_render "$work/frames" -profile "$work/profile" "color:0x${A}ff" out=8 "color:0x${B}ff" out=8 \
      -mix 9 -mixer "$arg" "position=00:00:00.000=0;00:00:00.320=1" \
      -consumer "avformat:$work/frames/f-%03d.png" vcodec=png || { cat "$work/melt.err" >&2; fail "melt failed"; }
    middle=$work/frames/f-005.png
    ;;
  kdenlive)
    sed "s|@PROFILE@|$work/profile|" "$arg" >"$work/project.mlt"
    melt_render "$work/frames" -profile "$work/profile" "$work/project.mlt" \
      -consumer "avformat:$work/frames/f-%03d.png" vcodec=png || { cat "$work/melt.err" >&2; fail "melt failed"; }
    middle=$work/frames/f-013.png  # the mix runs over frames 10 to 14 (files 11 to 15)
    ;;
  *) fail "unknown mode $mode" ;;
esac
if grep lumorafx "$work/melt.err" >&2; then fail "the plugin reported a problem"; fi
[ -f "$middle" ] || fail "melt wrote no $middle"
"$check" mixed $A $B "$middle" || fail "the middle frame is not made of pieces of both clips"
echo ok
