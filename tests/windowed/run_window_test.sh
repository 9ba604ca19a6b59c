#!/usr/bin/env bash
# The windowed test, run inside a virtual X server (xvfb-run):
#   run_window_test.sh PROBE OUTPUT_DIR
# Opens the probe's window, checks its title, its picture on a screenshot of the display
# (also after a resize, with the aspect kept), keys and mouse positions as the program sees
# them, and that closing the window ends the process promptly with exit code 0.
set -uo pipefail
. "$(dirname "$0")/common.sh"
probe=$1
out=$2
mkdir -p "$out"
log="$out/probe.log"

"$probe" >"$log" 2>&1 &
pid=$!
for _ in $(seq 100); do grep -q ready "$log" && break; sleep 0.1; done
grep -q ready "$log" || { cat "$log"; echo "FAIL: the probe did not show its window"; kill "$pid"; exit 1; }

wid=$(xdotool search --name 'Fensterprobe' | head -1)
[ -n "$wid" ] || { echo "FAIL: no window with the title found"; kill "$pid"; exit 1; }
title=$(xdotool getwindowname "$wid")
[ "$title" = "Fensterprobe äöü - Zirkula" ] || fail "title is '$title'"

# The window's client area on the root window.
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ "$WIDTH" = 320 ] && [ "$HEIGHT" = 240 ] || fail "window is ${WIDTH}x${HEIGHT}, not 320x240"
wx=$X
wy=$Y

# The colour of a pixel of the last screenshot, as rrggbb.
pixel() { convert "$shot" -format "%[hex:p{$1,$2}]" info: | cut -c1-6 | tr 'A-F' 'a-f'; }
# Renderers widen RGB565 to 8 bits per channel in slightly different ways, so each channel
# may be off by a few steps.
expect() {  # expect X Y RRGGBB WHAT
  local got k d
  got=$(pixel "$1" "$2")
  for k in 0 2 4; do
    d=$((16#${got:$k:2} - 16#${3:$k:2}))
    if [ "${d#-}" -gt 4 ]; then
      fail "$4: pixel ($1, $2) is $got, expected $3"
      return
    fi
  done
}

shot="$out/window.png"
import -window root "$shot"
expect $((wx + 5)) $((wy + 5)) ffffff "white background"
expect $((wx + 20)) $((wy + 30)) ff0000 "red box, top-left corner"
expect $((wx + 119)) $((wy + 89)) ff0000 "red box, bottom-right corner"
expect $((wx + 120)) $((wy + 90)) ffffff "just outside the red box"
expect $((wx + 19)) $((wy + 30)) ffffff "just left of the red box"
expect $((wx + 250)) $((wy + 180)) 0000ff "blue box"
expect $((wx + 160)) $((wy + 120)) 00a000 "green disc"

# Keys as the program's key texts.
xdotool mousemove "$((wx + 100))" "$((wy + 50))"
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key --window "$wid" Escape Up Next Return r adiaeresis
sleep 0.5
for expected in "key 1B" "key FF 48" "key FF 51" "key 0D" "key 72" "key E4"; do
  grep -qx "$expected" "$log" || fail "no '$expected' among the keys: $(grep key "$log" | tr '\n' ';')"
done

# Mouse positions in screen pixels, the left button as bit 0.
xdotool mousemove "$((wx + 100))" "$((wy + 50))" mousedown 1
sleep 0.3
grep -qx "mouse 100 50 1" "$log" || fail "mouse press not seen at (100, 50): $(grep mouse "$log" | tail -3 | tr '\n' ';')"
xdotool mouseup 1

# A wider window shows the picture at the same scale, centred between black bars, and the
# mouse still lands on the same screen pixels.
xdotool windowsize --sync "$wid" 640 240
sleep 0.5
import -window root "$shot"
cp "$shot" "$out/window-resized.png"
expect $((wx + 80)) $((wy + 60)) 000000 "black bar left of the picture"
expect $((wx + 160 + 70)) $((wy + 60)) ff0000 "red box in the centred picture"
xdotool mousemove "$((wx + 160 + 30))" "$((wy + 40))"
sleep 0.3
grep -qx "mouse 30 40 0" "$log" || fail "mouse not mapped to (30, 40) after the resize: $(grep mouse "$log" | tail -3 | tr '\n' ';')"
xdotool mousemove "$((wx + 20))" "$((wy + 40))"
sleep 0.3
grep -Eq "^mouse -?[0-9]+ 40 -1$" "$log" || fail "mouse over the bar not reported outside (buttons -1)"

# Scaled by a whole factor the pixels stay crisp; by 2.5 the left edge of the red box (at
# 50) is crisp at 2 and then smooth, so one of the two pixels at it mixes red and white;
# shrunk to 2/3 the boxes are where they belong.
xdotool windowmove --sync "$wid" 0 0 windowsize --sync "$wid" 640 480
sleep 0.5
import -window root "$shot"
cp "$shot" "$out/window-2x.png"
expect 39 100 ffffff "at 2x, just left of the red box"
expect 40 100 ff0000 "at 2x, the red box's first column"
xdotool windowsize --sync "$wid" 800 600
sleep 0.5
import -window root "$shot"
cp "$shot" "$out/window-2.5x.png"
mixed() { local g=$((16#$(pixel "$1" "$2" | cut -c3-4))); [ "$g" -gt 12 ] && [ "$g" -lt 243 ]; }
mixed 49 100 || mixed 50 100 || fail "at 2.5x the red box's edge is not smooth: $(pixel 49 100) $(pixel 50 100)"
xdotool windowsize --sync "$wid" 213 160
sleep 0.5
import -window root "$shot"
cp "$shot" "$out/window-2of3.png"
expect 47 40 ff0000 "at 2/3, the red box"
expect 166 120 0000ff "at 2/3, the blue box"

# Closing the window ends the process promptly, with exit code 0.
start=$(date +%s%N)
xdotool windowclose "$wid"
ends_within "$pid" 50 || fail "still running 5 s after the window was closed"
elapsed=$((($(date +%s%N) - start) / 1000000))
[ "$rc" = 0 ] || fail "exit code $rc after closing, expected 0"
grep -qx closed "$log" || fail "the probe did not see the close"
echo "closed after ${elapsed} ms, exit code $rc"

if [ "$failures" -ne 0 ]; then
  echo "--- probe output"; cat "$log"
  exit 1
fi
echo "windowed test passed"
