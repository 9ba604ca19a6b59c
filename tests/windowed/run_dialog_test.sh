#!/usr/bin/env bash
# The file-open dialog (zenity) inside a virtual X server (xvfb-run):
#   run_dialog_test.sh ZIRKULA OUTPUT_DIR
# Started without a script, zirkula shows the dialog with its German title in the current
# directory; Esc cancels with exit code 255, and a file chosen there is run. A dialog that
# fails is reported with its code, and the run goes on with the current directory's "*.*",
# which cannot be read: one line says so and the program ends with 2.
set -uo pipefail
. "$(dirname "$0")/common.sh"
zirkula=$1
out=$2
if ! command -v zenity >/dev/null; then
  echo "zenity is not installed: the console prompt stands in for the dialog; nothing to test"
  exit 0
fi
rm -rf "$out"
mkdir -p "$out"
cd "$out" || exit 1
# Waits for the dialog and puts the pointer over it, where keys go without a window manager.
await_dialog() {
  local wid
  wid=$(window_named 'Zirkula-Programm' 300)
  [ -n "$wid" ] || return 1
  sleep 1.5
  xdotool mousemove 400 300
  sleep 0.3
  echo "$wid"
}

# A dialog left open by a late run is closed with it.
await_exit() { ends_within "$1" "$2" || pkill -f 'zenity --file-selection'; }

"$zirkula" >cancel.log 2>&1 &
pid=$!
if wid=$(await_dialog); then
  title=$(xdotool getwindowname "$wid")
  [ "$title" = "Wähle ein Zirkula-Programm zum Ausführen:" ] || fail "dialog title is '$title'"
  import -window root "$out/dialog.png"
  xdotool key Escape
  await_exit "$pid" 100
  [ "$rc" = 255 ] || fail "exit code $rc after cancelling, expected 255"
else
  fail "no dialog appeared"
  kill "$pid"
fi

# The dialog opens with the first file of the current directory selected; in a directory
# holding only the script, Enter chooses it (typing a name races GTK's completion). The
# script has an error in its first line, so its report shows that it was the one run.
mkdir -p pick
printf 'A B\nEND\n' >pick/aufgabe.zir
(cd pick && exec "$zirkula" </dev/null) >choose.log 2>&1 &
pid=$!
if await_dialog >/dev/null; then
  xdotool key Return
  await_exit "$pid" 150
  [ "$rc" = 0 ] || fail "exit code $rc after choosing a file, expected 0"
  sed -n 2p pick/Zir-Fehler.txt 2>/dev/null | grep -q "^Fehler 13 in Linie 1" ||
    fail "the chosen script did not run: no report of its error beside it"
else
  fail "no dialog appeared the second time"
  kill "$pid"
fi

# A dialog that fails (zenity ending with code 5): "API ERROR: 5", the Enter prompt (at the
# end of input it returns at once), then the unchanged file-name field is taken as the path,
# a file that is not there: one line names it and the program ends with 2, no report.
mkdir -p fakebin
printf '#!/bin/sh\nexit 5\n' >fakebin/zenity
chmod +x fakebin/zenity
echo old >Zir-Fehler.txt
PATH="$PWD/fakebin:$PATH" timeout 60 "$zirkula" </dev/null >failed.log 2>&1
rc=$?
[ "$rc" = 2 ] || fail "exit code $rc after a failed dialog, expected 2"
head -1 failed.log | grep -qx "API ERROR: 5" || fail "no 'API ERROR: 5' line: $(head -3 failed.log)"
grep -qx "zirkula: $PWD/\*\.\* kann nicht gelesen werden: Datei nicht gefunden" failed.log ||
  fail "no line naming the missing file: $(cat failed.log)"
[ "$(cat Zir-Fehler.txt)" = old ] || fail "the old report was touched after the failed dialog"

if [ "$failures" -ne 0 ]; then
  cat cancel.log choose.log failed.log
  exit 1
fi
echo "dialog test passed"
