# Sourced by wine-demo: finding windows, keys, and pixels of the X display.
fail() { echo "FAIL: $*" >&2; exit 1; }

find_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }

# wait_window REGEX SECONDS: prints the id of the first visible window so named.
wait_window() {
  local id deadline=$((SECONDS + $2))
  while ((SECONDS < deadline)); do
    id=$(find_window "$1")
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

# Wine takes keys from the X focus; without a window manager give it explicitly.
press() {
  timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null || true
  xdotool key "$2"
}

# geometry ID: absolute x, y, width, height of a window (Wine's X window is the client area).
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                           /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}

pixel() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}

# expect_colour IMAGE X Y R G B TOLERANCE WHAT
expect_colour() {
  local r g b
  read -r r g b < <(pixel "$1" "$2" "$3")
  awk -v r="$r" -v g="$g" -v b="$b" -v R="$4" -v G="$5" -v B="$6" -v t="$7" 'BEGIN {
        d = r - R; if (d < 0) d = -d; if (d > t) exit 1
        d = g - G; if (d < 0) d = -d; if (d > t) exit 1
        d = b - B; if (d < 0) d = -d; if (d > t) exit 1 }' ||
    fail "$8 at ($2,$3): ($r,$g,$b), expected ($4,$5,$6)"
}

# check_boot_screen IMAGE CLIENT_X CLIENT_Y TOLERANCE
# The screen rectangle is the quad of half-size 1.1 x 0.8 at z = -2.3 under a 45 degree,
# 4:3 perspective: its edges in the 640x480 client area follow from the projection.
check_boot_screen() {
  local image=$1 ox=$2 oy=$3 t=$4
  read -r left right top bottom < <(awk 'BEGIN {
      pi = atan2(0, -1); f = cos(pi / 8) / sin(pi / 8)   # cot(45 / 2 degrees)
      nx = f / (640 / 480) * 1.1 / 2.3; ny = f * 0.8 / 2.3
      printf "%.2f %.2f %.2f %.2f\n", (1 - nx) * 320, (1 + nx) * 320, (1 - ny) * 240, (1 + ny) * 240 }')
  echo "screen rectangle: x $left..$right, y $top..$bottom"
  local l=${left%.*} r=${right%.*} tp=${top%.*} bt=${bottom%.*}
  local light="128 128 230" dark="54 51 158"   # (0.5, 0.5, 0.9) and (0.21, 0.2, 0.62) of 255
  # Row 300 and column 320 cross the rectangle away from the boot text and the cursor.
  expect_colour "$image" $((ox + 5)) $((oy + 5)) $light "$t" "background"
  expect_colour "$image" $((ox + l - 2)) $((oy + 300)) $light "$t" "left of the rectangle"
  expect_colour "$image" $((ox + l + 3)) $((oy + 300)) $dark "$t" "inside its left edge"
  expect_colour "$image" $((ox + r - 2)) $((oy + 300)) $dark "$t" "inside its right edge"
  expect_colour "$image" $((ox + r + 3)) $((oy + 300)) $light "$t" "right of the rectangle"
  expect_colour "$image" $((ox + 320)) $((oy + tp - 2)) $light "$t" "above the rectangle"
  expect_colour "$image" $((ox + 320)) $((oy + tp + 3)) $dark "$t" "inside its top edge"
  expect_colour "$image" $((ox + 320)) $((oy + bt - 2)) $dark "$t" "inside its bottom edge"
  expect_colour "$image" $((ox + 320)) $((oy + bt + 3)) $light "$t" "below the rectangle"
  expect_colour "$image" $((ox + 634)) $((oy + 474)) $light "$t" "background"
}
