#!/usr/bin/env bash
# The real program on a virtual display: answer the start-up question with No, find the
# 640x480 "Quorvane" window showing the boot screen, press Escape, expect exit status 0.
#
#   e2e_windowed_start.sh path/to/quorvane     (DISPLAY must name a running X server)
set -euo pipefail

program=$(realpath "$1")
cd "$(dirname "$program")"  # where Data/ is
export SDL_AUDIODRIVER=dummy

log=$(mktemp)
"$program" >"$log" 2>&1 &
pid=$!
finish() {
  if kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
  rm -f "$log"
}
trap finish EXIT
fail() {
  echo "FAIL: $*" >&2
  sed 's/^/  quorvane: /' "$log" >&2 || true
  exit 1
}

# Polls a command every 0.1 s for up to $1 seconds; prints its output once it succeeds.
wait_for() {
  local limit=$1
  shift
  local tries=$((limit * 10)) out
  for ((i = 0; i < tries; i++)); do
    if out=$("$@" 2>/dev/null) && [ -n "$out" ]; then
      printf '%s\n' "$out"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# The id of the mapped window with exactly this name (xdotool's search misses windows that
# no window manager has adopted).
find_window() {
  local info
  info=$(xwininfo -name "$1" 2>/dev/null) || return 1
  grep -q 'Map State: IsViewable' <<<"$info" || return 1
  awk '/Window id:/ {print $4; exit}' <<<"$info"
}

# One colour of a screenshot as "r g b", 0..255.
pixel() {
  convert "$1" -format '%[fx:int(255*p{'"$2"','"$3"'}.r+0.5)] %[fx:int(255*p{'"$2"','"$3"'}.g+0.5)] %[fx:int(255*p{'"$2"','"$3"'}.b+0.5)]' info:
}

# True when "r g b" is within 4 of the expected channels.
near() {
  local r g b
  read -r r g b <<<"$1"
  (( ${r} - $2 <= 4 && $2 - ${r} <= 4 && ${g} - $3 <= 4 && $3 - ${g} <= 4 &&
     ${b} - $4 <= 4 && $4 - ${b} <= 4 ))
}

box=$(wait_for 60 find_window "Start FullScreen?") ||
  fail "the start-up question did not appear"
# Escape answers No; repeated while the box is still there, in case the first key came early.
for _ in $(seq 1 50); do
  find_window "Start FullScreen?" >/dev/null || break
  xdotool windowfocus "$box" 2>/dev/null || true
  xdotool key Escape 2>/dev/null || true
  sleep 0.2
done

window=$(wait_for 60 find_window Quorvane) ||
  fail "no visible Quorvane window"

info=$(xwininfo -id "$window")
width=$(awk '/^ *Width:/ {print $2}' <<<"$info")
height=$(awk '/^ *Height:/ {print $2}' <<<"$info")
[ "$width" = 640 ] && [ "$height" = 480 ] || fail "client area ${width}x${height}, not 640x480"

# Boot blue (0.5, 0.5, 0.9) around the screen rectangle's screen blue (0.21, 0.2, 0.62); the
# very first frame is still black, so the screenshot is retaken until the boot screen shows.
shot=$(mktemp --suffix=.png)
seen=""
for _ in $(seq 1 100); do
  if import -window "$window" "png:$shot" 2>/dev/null; then
    corner=$(pixel "$shot" 6 6)
    centre=$(pixel "$shot" 320 240)
    seen="corner ($corner), centre ($centre)"
    if near "$corner" 128 128 230 && near "$centre" 54 51 158; then
      seen=ok
      break
    fi
  fi
  sleep 0.1
done
rm -f "$shot"
[ "$seen" = ok ] || fail "boot screen colours not seen: $seen"

xdotool windowfocus "$window" 2>/dev/null || true
xdotool key Escape
for _ in $(seq 1 300); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "still running 30 s after Escape"
set +e
wait "$pid"
status=$?
set -e
[ "$status" = 0 ] || fail "exit status $status after Escape"
echo "windowed start: 640x480 boot screen, Escape, exit status 0"
