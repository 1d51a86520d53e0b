#!/usr/bin/env bash
# The program's loop, start-up and mode switch against a bare SDL2 baseline on the same
# private Xvfb, each figure a ratio of medians over a few alternating rounds.
#
#   bench/app/run.sh [build-dir] [rounds]
# Needs the build's quorvane, sdl_baseline and libswap_probe.so (target bench_app builds them).
set -euo pipefail

. "$(dirname "$0")/common.sh"
# 640x480 so that the fullscreen mode the program asks for on F1 is one the display has.
bench_start 640x480x24 "$@"
baseline=$build/bench/app/sdl_baseline
bench_need "$probe" "$baseline" "$program"

# Waits up to $2 seconds for $3 lines named $1 in the probe's output $4.
wait_lines() {
  for _ in $(seq 1 $(($2 * 10))); do
    (($(cat "$4" 2>/dev/null | grep -c "^$1 ") >= $3)) && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

press() {
  local window
  window=$(xwininfo -name Quorvane 2>/dev/null | awk '/Window id:/ {print $4; exit}')
  [ -n "$window" ] || return 1
  xdotool windowfocus "$window" 2>/dev/null || true
  xdotool key "$1"
}

run_baseline() {  # out, args...
  local out=$1
  shift
  QV_PROBE_OUT=$out LD_PRELOAD=$probe "$baseline" "$@" >/dev/null 2>&1 &
  pid=$!
}

for round in $(seq 1 "$rounds"); do
  # The scene drawn by a bare loop, and the same scene through the program's own loop.
  run_baseline "$work/base.$round"
  wait_lines fps 60 1 "$work/base.$round" || echo "bench: baseline round $round gave no fps" >&2
  stop

  (cd "$build" && QV_PROBE_ANSWER=1 QV_PROBE_OUT=$work/prog.$round LD_PRELOAD=$probe \
    exec \
    ./quorvane >/dev/null 2>&1) &
  pid=$!
  if wait_lines fps 60 1 "$work/prog.$round"; then
    # Two switches: into fullscreen and back into a window. A key sent while the new window
    # is still taking the focus can be lost, so F1 is sent again until its switch shows.
    for n in 1 2; do
      seen=0
      for _ in 1 2 3 4 5; do
        press F1 || true
        if wait_lines switch_ms 4 "$n" "$work/prog.$round"; then seen=1; break; fi
      done
      ((seen)) || echo "bench: switch $n of round $round not seen" >&2
      sleep 0.5
    done
    press Escape || true
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  else
    echo "bench: program round $round gave no fps" >&2
  fi
  stop

  # A plain GL window: its first frame, and one destroy and create.
  run_baseline "$work/bare.$round" --bare --recreate
  wait_lines switch_ms 60 1 "$work/bare.$round" || echo "bench: bare round $round gave no switch" >&2
  stop
done

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (a == "nan" || b == "nan" || b == 0) print "nan";
                                          else printf "%.3f", a / b}'; }

base_fps=$(median fps "$work"/base.*)
prog_fps=$(median fps "$work"/prog.*)
bare_first=$(median first_frame_ms "$work"/bare.*)
prog_first=$(median first_frame_ms "$work"/prog.*)
bare_switch=$(median switch_ms "$work"/bare.*)
prog_switch=$(median switch_ms "$work"/prog.*)
prog_allocs=$(median allocs_per_frame "$work"/prog.*)
base_allocs=$(median allocs_per_frame "$work"/base.*)

scene_first=$(median first_frame_ms "$work"/base.*)

echo "app benchmark, $rounds rounds, medians, 640x480 on Xvfb"
printf '  %-40s %10s %10s  %s\n' figure program baseline ratio
printf '  %-40s %10s %10s  %s (goal >= 0.97)\n' "frames per second" "$prog_fps" "$base_fps" \
  "$(ratio "$prog_fps" "$base_fps")"
printf '  %-40s %10s %10s  %s (goal <= 1.2)\n' "start to first presented frame, ms" "$prog_first" \
  "$bare_first" "$(ratio "$prog_first" "$bare_first")"
printf '  %-40s %10s %10s  %s (goal <= 1.3)\n' "F1 switch vs bare destroy+create, ms" "$prog_switch" \
  "$bare_switch" "$(ratio "$prog_switch" "$bare_switch")"
printf '  %-40s %10s %10s\n' "heap allocations per idle turn" "$prog_allocs" "$base_allocs"
echo "  samples, program | baseline:"
echo "    fps:        $(samples fps "$work"/prog.*) |$(samples fps "$work"/base.*)"
echo "    start, ms:  $(samples first_frame_ms "$work"/prog.*) |$(samples first_frame_ms "$work"/bare.*)"
echo "    switch, ms: $(samples switch_ms "$work"/prog.*) |$(samples switch_ms "$work"/bare.*)"
# For reading the start-up figure: the demo's own scene (fonts, text, screen) drawn first by a
# bare SDL loop, whose first frame pays the same GL first-use costs as the program's.
printf '  %-40s %10s %10s  %s\n' "(start, the scene's bare loop, ms)" "$scene_first" "$bare_first" \
  "$(ratio "$scene_first" "$bare_first")"
echo "  (a loaded machine spreads these widely: read the ratios next to the samples)"
