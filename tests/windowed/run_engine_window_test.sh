#!/usr/bin/env bash
# A script run in the real window inside a virtual X server (xvfb-run):
#   run_engine_window_test.sh ZIRKULA OUTPUT_DIR DESTROY_WINDOW
# Enter pauses the running construction (the first button then reads "Weiter"), Enter
# continues it ("Pause" again), Esc finishes it without pauses and a second Esc ends the
# main program: the process ends with exit code 0 after the closing logo. Quick clicks
# (press and release back to back, as a touchpad tap) on "Weiter", a menu row, a clickable
# point and "Beenden" all count, a drag let go outside the window ends there, and both title
# properties hold the umlauts. A window that another client destroys ends the run as if the
# viewer had closed it.
set -uo pipefail
. "$(dirname "$0")/common.sh"
zirkula=$1
out=$2
destroy=$3
rm -rf "$out"
mkdir -p "$out"
cd "$out" || exit 1

{
  echo 'TITLE "Fenstertest"'
  echo 'SPEED 1000'
  echo 'CONSTRUCT Viele'
  echo 'POINT Z 300 300'
  echo 'POINT Y 320 300'
  echo 'END'
  echo 'CONSTRUCTION Viele'
  for k in $(seq 1 30); do echo "POINT P$k $((k * 15)) 50"; done
  echo 'REPEAT'
} >window.zir

"$zirkula" window.zir >run.log 2>&1 &
pid=$!
wid=$(window_named 'Fenstertest - Zirkula')
if [ -z "$wid" ]; then
  cat run.log
  kill "$pid"
  echo "FAIL: the script's window did not appear"
  exit 1
fi
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ "$WIDTH" = 640 ] && [ "$HEIGHT" = 480 ] || fail "window is ${WIDTH}x${HEIGHT}, not 640x480"
wx=$X
wy=$Y
xdotool mousemove "$((wx + 600))" "$((wy + 200))"
xdotool windowfocus --sync "$wid" 2>/dev/null

shot="$out/shot.png"
pixel() { convert "$shot" -format "%[hex:p{$((wx + $1)),$((wy + $2))}]" info: | cut -c1-6; }
# Ink of the caption: "Pause" has some at (41, 466) and none at (63, 465), "Weiter" the
# other way round.
caption() {
  import -window root "$shot"
  local pause weiter
  pause=$(pixel 41 466)
  weiter=$(pixel 63 465)
  if [ "$pause" = 000000 ] && [ "$weiter" != 000000 ]; then echo Pause
  elif [ "$weiter" = 000000 ] && [ "$pause" != 000000 ]; then echo Weiter
  else echo "unclear ($pause, $weiter)"; fi
}

# The logo shows for two seconds and swallows keys; then the construction draws a point a
# second.
sleep 3.5
[ "$(caption)" = Pause ] || fail "before the pause the first button reads '$(caption)'"
xdotool key --window "$wid" Return
sleep 1.5
got=$(caption)
cp "$shot" "$out/paused.png"
[ "$got" = Weiter ] || fail "after Enter the first button reads '$got', expected Weiter"
drawn=$(pixel 15 50)
sleep 1.5
import -window root "$shot"
[ "$(pixel 60 50)" != 000000 ] || fail "a point was drawn while paused"
xdotool key --window "$wid" Return
sleep 1.5
got=$(caption)
[ "$got" = Pause ] || fail "after the second Enter the first button reads '$got'"
[ "$(pixel 60 50)" = 000000 ] || fail "the construction did not go on after the pause"
[ "$drawn" = 000000 ] || fail "the points before the pause were not shown"

# Esc finishes the construction at once; Z then waits its second, and Esc ends the run.
xdotool key --window "$wid" Escape
sleep 0.5
import -window root "$shot"
cp "$shot" "$out/finished.png"
[ "$(pixel 450 50)" = 000000 ] || fail "Esc did not finish the construction"
xdotool key --window "$wid" Escape
ends_within "$pid" 60 || fail "still running 6 s after Esc in the main program"
[ "$rc" = 0 ] || fail "exit code $rc, expected 0"

# Quick clicks, each followed by a check that it took effect; a lost click fails and is
# repeated slowly (press, a pause, release) so that the later ones are still tried.
cat >klick.zir <<'ZIR'
TITLE "Größe"
SPEED 1
POINT A 100 100
WAIT
POINT B 200 100
MENU
MENUITEM "Erster"
  POINT Erster 300 100
MENUITEM "Zweiter"
  POINT Zweiter 300 120
ENDMENU
LINE g, 100, 300, 500, 300
IPOINT P 200 300
IPOINT Q 400 200
INTERACT Ziehen
POINT C 100 150
WAIT
POINT D 100 200
END

INTERACTION Ziehen
  CLICKABLE P ALONG g
  CLICKABLE Q
  MARKPOINT P
  MARKPOINT Q
REPEAT
ZIR
"$zirkula" --dump klick.json klick.zir >klick.log 2>&1 &
pid=$!
# xdotool may find a window by its legacy (Latin-1) title, so the pattern leaves out the
# umlauts; a mangled title is found too, for the check below to report.
wid=$(window_named 'e - Zirkula$')
if [ -z "$wid" ]; then
  fail "the window titled Größe did not appear"
  cat klick.log
  xdotool search --name '' getwindowname %@ 2>/dev/null
  kill "$pid"
else
  # The legacy title is put right just after the window is made, which xdotool may find
  # first.
  titled() { xprop -id "$wid" "$1" | grep -q '= "Größe - Zirkula"$'; }
  for property in WM_NAME _NET_WM_NAME; do
    within 30 titled "$property" || fail "title property: $(xprop -id "$wid" "$property")"
  done
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  wx=$X
  wy=$Y
  xdotool windowfocus --sync "$wid" 2>/dev/null
  quick() { xdotool mousemove "$((wx + $1))" "$((wy + $2))" click 1; }
  slow() { xdotool mousemove "$((wx + $1))" "$((wy + $2))" mousedown 1 sleep 0.3 mouseup 1; }
  paused() { [ "$(caption)" = Weiter ]; }
  # The menu's second row, as the empty drawing area below it while no menu is open.
  menu() {
    import -window root "$shot"
    local row empty
    row=$(pixel 5 30)
    empty=$(pixel 5 300)
    if [ "$1" = open ]; then [ "$row" != "$empty" ]; else [ "$row" = "$empty" ]; fi
  }
  gone() { ! kill -0 "$pid" 2>/dev/null; }

  within 60 paused || fail "the first WAIT did not show Weiter"
  quick 60 470
  within 20 menu open || { fail "a quick click on Weiter was lost"; slow 60 470; within 20 menu open; }
  quick 30 30
  within 30 menu closed || { fail "a quick click on a menu row was lost"; slow 30 30; within 30 menu closed; }
  sleep 0.5
  # P lies on g: a click a few pixels beside it puts it on the foot of the perpendicular.
  quick 205 303
  sleep 0.5
  # Q is let go below the window; Esc then ends the interaction at once.
  xdotool mousemove "$((wx + 400))" "$((wy + 200))" mousedown 1 sleep 0.3 \
    mousemove "$((wx + 400))" "$((wy + HEIGHT + 40))" sleep 0.3 mouseup 1 key Escape
  within 20 paused || fail "Esc after a drag let go outside the window was not handled at once"
  quick 300 470
  within 40 gone || { fail "a quick click on Beenden was lost"; slow 300 470; }
  ends_within "$pid" 60 || fail "still running 6 s after Beenden"
  point_at() { grep -q "\"name\": \"$1\", \"defined\": true, \"x\": $2, \"y\": $3," klick.json; }
  point_at Zweiter 300 120 && point_at Erster 0 0 || fail "the menu did not choose its second row"
  point_at P 205 300 || fail "the quick click did not grab P: $(grep '"P"' klick.json)"
  point_at Q 400 459 ||
    fail "Q is not at the bottom of the drawing area above where it was let go: $(grep '"Q"' klick.json)"
  point_at D 0 0 || fail "the run went on after Beenden"
fi

# Viewer input given to a window is played on the real clock: the second menu row is chosen
# by keys well after the logo (a sanitizer build draws it slowly), and the window closed a
# second later.
printf 'SPEED 1\nMENU\nMENUITEM "Erster"\n  POINT Erster 300 100\nMENUITEM "Zweiter"\n  POINT Zweiter 300 120\nENDMENU\nWAIT\nEND\n' >vorfuehren.zir
printf '5000 key Down\n5300 key Enter\n6500 close\n' >vorfuehren.input
"$zirkula" --input vorfuehren.input --dump vorfuehren.json vorfuehren.zir >vorfuehren.log 2>&1 &
pid=$!
ends_within "$pid" 100 || fail "the played input did not close the window"
grep -q '"name": "Zweiter", "defined": true, "x": 300, "y": 120,' vorfuehren.json ||
  fail "the played keys did not choose the second row: $(cat vorfuehren.json vorfuehren.log)"

# The X errors that follow the destruction are taken as the viewer closing the window, not
# as the end of the process with Xlib's default handler (exit code 1). Without TITLE the
# window is named by the script's path, converted from UTF-8 and cut to 127 characters.
long=$(printf 'a%.0s' $(seq 150))
mkdir -p Übung
# WAIT keeps the window until it is destroyed, however slowly it is found.
printf 'SPEED 1\nPOINT A 100 100\nPOINT B 200 200\nPOINT C 300 300\nWAIT\nEND\n' >"Übung/$long.zir"
"$zirkula" "Übung/$long.zir" >destroyed.log 2>&1 &
pid=$!
wid=$(window_named 'aaaaaaaaaa')
if [ -z "$wid" ]; then
  fail "the second script's window did not appear"
  kill "$pid"
else
  expected="Übung/${long:0:121}"
  xprop -id "$wid" _NET_WM_NAME | grep -q "= \"$expected\"\$" ||
    fail "title of a long UTF-8 path: $(xprop -id "$wid" _NET_WM_NAME)"
  sleep 0.5
  "$destroy" "$wid" || fail "could not destroy the window"
  ends_within "$pid" 50 || fail "still running 5 s after its window was destroyed"
  [ "$rc" = 0 ] || { fail "exit code $rc after the window was destroyed, expected 0"; cat destroyed.log; }
fi

# The narrowest screen, in a window made wider, keeps its aspect between black bars.
printf 'SCREEN 1, 1\nTITLE "Schmal"\nCLS &HFFFFFF\nSPEED 1\nPOINT A 0 0\nPOINT B 0 0\nEND\n' >schmal.zir
"$zirkula" schmal.zir >schmal.log 2>&1 &
pid=$!
wid=$(window_named 'Schmal - Zirkula')
if [ -z "$wid" ]; then
  fail "the narrow screen's window did not appear"
else
  xdotool windowmove --sync "$wid" 0 0 windowsize --sync "$wid" 100 210
  sleep 0.5
  wx=0 wy=0
  import -window root "$shot"
  [ "$(pixel 5 100)" = 000000 ] || fail "no black bar beside a 1-pixel-wide screen: $(pixel 5 100)"
fi
kill "$pid" 2>/dev/null

# --from-step replays the viewer's input without a window up to the step, then the window
# shows that step at once and the run goes on from the replay's time.
printf 'TITLE "Sprung"\nSPEED 300\nPOINT A 100 100\nWAIT\nPOINT B 200 100\nWAIT\nPOINT C 300 100\nWAIT\nEND\n' >sprung.zir
printf '2500 key Enter\n3000 key Enter\n' >sprung.input
# Runs sprung.zir replayed up to step $1, its steps into $2: the window shows A, B and C at
# once, and Esc ends the run.
replayed() {
  "$zirkula" --from-step "$1" --input sprung.input --steps "$2" sprung.zir >"$2.log" 2>&1 &
  pid=$!
  wid=$(window_named 'Sprung - Zirkula')
  if [ -z "$wid" ]; then
    fail "the window of a replay up to step $1 did not appear: $(cat "$2.log" "$2")"
    kill "$pid" 2>/dev/null
    return 1
  fi
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  wx=$X wy=$Y
  sleep 1
  import -window root "$shot"
  [ "$(pixel 100 100)$(pixel 200 100)$(pixel 300 100)" = 000000000000000000 ] ||
    fail "a replay up to step $1 does not show A, B and C"
  xdotool key --window "$wid" Escape
  ends_within "$pid" 60 || fail "a replay up to step $1 did not end on Esc"
}
if replayed 3 sprung.tsv; then
  [ "$(cut -f1,2 sprung.tsv | tr '\t\n' ' ')" = "1 2000 2 2500 3 3000 " ] ||
    fail "the replay's steps: $(cat sprung.tsv)"
fi
# A step the input does not reach: the replay goes live where the input runs out, at the
# last WAIT.
if replayed 9 weiter.tsv; then
  [ "$(wc -l <weiter.tsv)" = 3 ] || fail "a replay past its input: $(cat weiter.tsv)"
fi

if [ "$failures" -ne 0 ]; then
  echo "--- output"; cat run.log klick.log
  exit 1
fi
echo "engine window test passed"
