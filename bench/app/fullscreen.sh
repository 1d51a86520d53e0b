#!/usr/bin/env bash
# The cost of emulated fullscreen per frame: the program run fullscreen on a 1920x1080 screen
# (its 640x480 frame scaled sharp to 1440x1080 and pillarboxed, then swapped) against the same
# program in a 640x480 window, alternating in one script on one private Xvfb. The ratio is the
# median fullscreen frame time over the median windowed one.
#
#   bench/app/fullscreen.sh [build-dir] [rounds]
# Needs the build's quorvane and libswap_probe.so (target bench_app builds them).
set -euo pipefail

. "$(dirname "$0")/common.sh"
bench_start 1920x1080x24 "$@"
bench_need "$probe" "$program"

run() {  # answer, out
  (cd "$build" && QV_PROBE_ANSWER=$1 QV_PROBE_OUT=$2 LD_PRELOAD=$probe exec ./quorvane \
    >/dev/null 2>&1) &
  pid=$!
  for _ in $(seq 1 600); do
    grep -q "^fps " "$2" 2>/dev/null && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  grep -q "^fps " "$2" 2>/dev/null || echo "bench: no fps from a ${1} run" >&2
  stop
}

for round in $(seq 1 "$rounds"); do
  run no "$work/window.$round"
  run yes "$work/full.$round"
done

window_fps=$(median fps "$work"/window.*)
full_fps=$(median fps "$work"/full.*)

echo "emulated fullscreen benchmark, $rounds rounds, medians, 1920x1080 Xvfb"
awk -v w="$window_fps" -v f="$full_fps" 'BEGIN {
  printf "  windowed frame      %8.3f ms (%s fps)\n", 1000 / w, w
  printf "  fullscreen frame    %8.3f ms (%s fps)\n", 1000 / f, f
  printf "  fullscreen / windowed frame time: %.3f (scaling and the larger swap: %.3f ms a frame)\n",
         w / f, 1000 / f - 1000 / w }'
echo "  fps samples: windowed$(samples fps "$work"/window.*), fullscreen$(samples fps "$work"/full.*)"
