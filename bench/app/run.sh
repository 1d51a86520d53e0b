#!/usr/bin/env bash
# Where a user waits, the program against floors that do the same visible work in bare SDL2,
# each run alternating with it on one private 1920x1080 Xvfb, every figure a ratio of medians:
#   windowed frames per second       the program (answered "No") against the demo's scene in
#                                    a bare SDL loop
#   start to first presented frame   the same two runs
#   F1 switch                        from the old window's destruction to the new window's
#                                    first frame, against the same switch in bare SDL (a
#                                    640x480 window to and from a borderless desktop-sized one
#                                    showing the frame scaled as below, a new context,
#                                    InitRenderState, the first frame); each
#                                    round's figure is the mean of its two switches, into
#                                    fullscreen and back, which differ several times over
#   fullscreen frame                 the program fullscreen against a bare desktop-sized window
#                                    presenting the 640x480 frame, drawn into a texture, scaled
#                                    by one textured quad
#   windowed frame at 200%           the program windowed on a desktop at 200% (GDK_SCALE=2:
#                                    1280x960 on screen) against a bare 1280x960 window
#                                    presenting the 640x480 frame the same way
# Then the peer, the Windows build under wine64 (wine.py), where the suite has built it: on this
# display, and where Wine cannot switch this display's mode, on a 640x480 one.
#
#   bench/app/run.sh [build-dir] [rounds]
# Needs the build's quorvane, sdl_baseline and libswap_probe.so (target bench_app builds them).
set -euo pipefail

. "$(dirname "$0")/common.sh"
bench_start 1920x1080x24 "$@"
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

run_program() {  # answer, out, [desktop scale]
  (cd "$build" && GDK_SCALE=${3:-1} QV_PROBE_ANSWER=$1 QV_PROBE_OUT=$2 LD_PRELOAD=$probe \
    exec ./quorvane >/dev/null 2>&1) &
  pid=$!
}

for round in $(seq 1 "$rounds"); do
  # Start: the scene's bare loop, then the program in a window, which then switches twice
  # (into fullscreen and back). A key sent while the new window is still taking the focus can
  # be lost, so F1 is sent again until its switch shows.
  run_baseline "$work/scene.$round"
  wait_lines fps 60 1 "$work/scene.$round" || echo "bench: no scene fps, round $round" >&2
  stop

  run_program no "$work/prog.$round"
  if wait_lines fps 60 1 "$work/prog.$round"; then
    for n in 1 2; do
      seen=0
      for _ in 1 2 3 4 5; do
        press F1 || true
        if wait_lines switch_ms 4 "$n" "$work/prog.$round"; then seen=1; break; fi
      done
      ((seen)) || echo "bench: switch $n of round $round not seen" >&2
      sleep 0.5
    done
  else
    echo "bench: program round $round gave no frame" >&2
  fi
  stop

  # The same two switches in bare SDL (one each way).
  run_baseline "$work/switch.$round" --switch
  wait_lines switch_ms 60 2 "$work/switch.$round" || echo "bench: bare switches missing, round $round" >&2
  stop

  # Fullscreen frames: the bare present, then the program answered "Yes".
  run_baseline "$work/present.$round" --fullscreen
  wait_lines fps 60 1 "$work/present.$round" || echo "bench: no bare fullscreen fps, round $round" >&2
  stop
  run_program yes "$work/full.$round"
  wait_lines fps 60 1 "$work/full.$round" || echo "bench: no fullscreen fps, round $round" >&2
  stop

  # Windowed at 200%: the bare 1280x960 present, then the program.
  run_baseline "$work/scaled.$round" --window 1280x960
  wait_lines fps 60 1 "$work/scaled.$round" || echo "bench: no bare 1280x960 fps, round $round" >&2
  stop
  run_program no "$work/hidpi.$round" 2
  wait_lines fps 60 1 "$work/hidpi.$round" || echo "bench: no fps at 200%, round $round" >&2
  stop
done

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (a == "nan" || b == "nan" || b == 0) print "nan";
                                          else printf "%.3f", a / b}'; }
frame_ms() { awk -v f="$1" 'BEGIN {if (f == "nan" || f == 0) print "nan"; else printf "%.3f", 1000 / f}'; }
line() {  # figure, program, floor, [goal]
  printf '%s %s %s %s (goal %s)\n' "$1" "$2" "$3" "$(ratio "$2" "$3")" "${4:-<= 1.2}"
}

prog_first=$(median first_frame_ms "$work"/prog.*)
scene_first=$(median first_frame_ms "$work"/scene.*)
# The mean of a round's two switches; a round that lost one gives none.
pair_mean() {  # files...
  local f
  for f; do
    awk '$1 == "switch_ms" {s += $2; n++} END {if (n >= 2) printf "pair %.3f\n", s / n}' "$f"
  done
}
prog_switch=$(pair_mean "$work"/prog.* | median pair)
bare_switch=$(pair_mean "$work"/switch.* | median pair)
prog_frame=$(frame_ms "$(median fps "$work"/full.*)")
bare_frame=$(frame_ms "$(median fps "$work"/present.*)")
prog_fps=$(median fps "$work"/prog.*)
scene_fps=$(median fps "$work"/scene.*)
hidpi_frame=$(frame_ms "$(median fps "$work"/hidpi.*)")
scaled_frame=$(frame_ms "$(median fps "$work"/scaled.*)")

echo "app benchmark: $rounds alternating rounds, medians in ms, on a 1920x1080 Xvfb"
echo "figure program floor ratio"
line "frames per second, windowed, vs the scene's bare loop" "$prog_fps" "$scene_fps" ">= 0.97"
line "start to first presented frame vs the scene's bare loop" "$prog_first" "$scene_first"
line "F1 switch vs the same switch in bare SDL" "$prog_switch" "$bare_switch"
line "fullscreen frame vs a bare fullscreen present" "$prog_frame" "$bare_frame"
line "windowed frame at 200% vs a bare 1280x960 present" "$hidpi_frame" "$scaled_frame"
echo "samples, program | floor:"
echo "  start, ms:  $(samples first_frame_ms "$work"/prog.*) |$(samples first_frame_ms "$work"/scene.*)"
echo "  switch, ms: $(samples switch_ms "$work"/prog.*) |$(samples switch_ms "$work"/switch.*)"
echo "  fullscreen fps: $(samples fps "$work"/full.*) |$(samples fps "$work"/present.*)"
echo "  windowed fps: $(samples fps "$work"/prog.*) |$(samples fps "$work"/scene.*)"
echo "  windowed fps at 200%: $(samples fps "$work"/hidpi.*) |$(samples fps "$work"/scaled.*)"
echo "(a loaded machine spreads these widely: read the ratios next to the samples)"

wine_tree=$build/tests/windows/mingw-x64
if ! command -v wine >/dev/null || [ ! -f "$wine_tree/quorvane.exe" ]; then
  echo "wine64: no Windows build under $wine_tree (the suite builds it): no peer figures"
  exit 0
fi
repo=$bench_dir/../..
"$repo/tests/windows/wine-prefix" init "$work/wineprefix" >/dev/null 2>&1
peer() {  # ours: "yes" to print our figure beside Wine's; then with-xvfb's display arguments
  local ours=$1
  shift
  local run=(env PYTHONPATH="$repo/tests/e2e/lib" python3 "$bench_dir/wine.py" "$wine_tree"
             "$work/wineprefix" "$rounds")
  if (($#)); then run=("$repo/tests/support/with-xvfb" "$@" -- "${run[@]}"); fi
  "${run[@]}" | while read -r name rest; do
    case $name in
      first_frame_ms) echo "start to first presented frame, wine64: $rest ms${ours:+ (ours $prog_first)}" ;;
      switch_ms) echo "F1 switch, wine64: $rest ms${ours:+ (ours $prog_switch)}" ;;
      fps) echo "fullscreen frame, wine64: $(frame_ms "$rest") ms${ours:+ (ours $prog_frame)}" ;;
      unavailable)
        case ${rest%% *} in
          switch_ms) echo "F1 switch, wine64: not taken: ${rest#* }" ;;
          *) echo "fullscreen frame, wine64: not taken: ${rest#* }" ;;
        esac ;;
      samples) echo "  wine64 samples, $rest" ;;
    esac
  done
}
echo "the peer, our Windows build under wine64, $rounds rounds (its own clock: Wine's trace of SwapBuffers):"
peer yes
echo "the same on a 640x480 Xvfb, where the program's fullscreen mode is the display's own:"
peer "" --screen 640x480x24
