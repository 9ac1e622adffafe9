# Sourced once $work is set: makes $work/frames afresh, and gives the clips' colours A and B,
# fail, write_profile, and melt_render FRAMES_DIR MELT_ARG..., which runs melt with its
# output in $work/melt.out and melt.err and writes the frames into FRAMES_DIR.

A=d02020 B=2040e0
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$work" && mkdir -p "$work/frames" || fail "cannot make $work"

# write_profile FILE WIDTH HEIGHT: an MLT profile of square pixels, 25 frames a second.
write_profile() {
  printf '%s\n' "description=$2x$3" frame_rate_num=25 frame_rate_den=1 "width=$2" "height=$3" progressive=1 \
    sample_aspect_num=1 sample_aspect_den=1 "display_aspect_num=$2" "display_aspect_den=$3" colorspace=601 >"$1"
}

# melt's avformat consumer marks itself running only after it has started its thread. A
# thread that looks first finds the consumer stopped and ends before any frame: melt then
# exits 0 having written nothing, or, when the mark comes after the thread's end, waits
# for ever. That is melt's race, not the transition's (seen a few times in a dozen runs on
# a loaded machine). So a run that ends with no frame, or writes none in its first
# 45 seconds, is run again, at most three times in all; any other result stands.
melt_render() {
  local frames=$1 attempt pid status waited
  shift
  for attempt in 1 2 3; do
    rm -f "$frames"/*
    melt "$@" >"$work/melt.out" 2>"$work/melt.err" </dev/null &
    pid=$!
    waited=0
    while kill -0 "$pid" 2>/dev/null && [ -z "$(ls -A "$frames")" ] && [ $waited -lt 45 ]; do
      sleep 1
      waited=$((waited + 1))
    done
    if [ -z "$(ls -A "$frames")" ] && kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
      echo "melt wrote no frame in 45 s (attempt $attempt); running it again" >&2
      continue
    fi
    wait "$pid"
    status=$?
    [ $status -ne 0 ] && return $status
    [ -n "$(ls -A "$frames")" ] && return 0
    echo "melt exited 0 with no frame written (attempt $attempt); running it again" >&2
  done
  return 0
}
