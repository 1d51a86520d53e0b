#!/usr/bin/env bash
# The cost of emulated fullscreen per frame: the program run fullscreen on a 1920x1080 screen
# (its 640x480 frame scaled sharp to 1440x1080 and pillarboxed, then swapped) against the same
# program in a 640x480 window, alternating in one script on one private Xvfb. The ratio is the
# median fullscreen frame time over the median windowed one.
#
#   bench/app/fullscreen.sh [build-dir] [rounds]
# Needs the build's quorvane and libswap_probe.so (target bench_app builds them).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../../build}")
rounds=${2:-5}

if [ -z "${QV_BENCH_DISPLAY:-}" ]; then
  exec env QV_BENCH_DISPLAY=1 "$here/../../tests/support/with-xvfb" --screen 1920x1080x24 -- \
    "$0" "$build" "$rounds"
fi

probe=$build/bench/app/libswap_probe.so
program=$build/quorvane
for f in "$probe" "$program"; do
  [ -f "$f" ] || { echo "bench: $f is missing; build target bench_app" >&2; exit 1; }
done

work=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export SDL_AUDIODRIVER=dummy QV_PROBE_WARMUP=2 QV_PROBE_SECONDS=4

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
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=""
}

for round in $(seq 1 "$rounds"); do
  run no "$work/window.$round"
  run yes "$work/full.$round"
done

samples() { cat "$@" 2>/dev/null | awk '$1 == "fps" {print $2}'; }
median() {
  sort -g | awk '{v[NR] = $1} END {if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2];
                                   else print (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}
window_fps=$(samples "$work"/window.* | median)
full_fps=$(samples "$work"/full.* | median)

echo "emulated fullscreen benchmark, $rounds rounds, medians, 1920x1080 Xvfb"
awk -v w="$window_fps" -v f="$full_fps" 'BEGIN {
  printf "  windowed frame      %8.3f ms (%s fps)\n", 1000 / w, w
  printf "  fullscreen frame    %8.3f ms (%s fps)\n", 1000 / f, f
  printf "  fullscreen / windowed frame time: %.3f (scaling and the larger swap: %.3f ms a frame)\n",
         w / f, 1000 / f - 1000 / w }'
echo "  fps samples: windowed$(samples "$work"/window.* | awk '{printf " %s", $1}')," \
  "fullscreen$(samples "$work"/full.* | awk '{printf " %s", $1}')"
