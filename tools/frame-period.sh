#!/usr/bin/env bash
# Measures an animation's frame period in the window against the virtual clock:
#   tools/frame-period.sh ZIRKULA [--screen W,H] [FRAMESPEED ...]   (default: 0 30 100)
# For each FRAMESPEED it runs an animation of 11 and of 211 frames, called from a fast
# interaction so that no pause follows it, once headless (the virtual clock: the dump's
# time_ms) and once in a window (the wall time of the whole process). The logos, the start
# and the end cost the same in both runs, so the difference divided by 200 is one frame.
# --screen opens a screen of that size first, which an 800 x 600 display shows scaled.
# Without a display the window runs inside xvfb-run.
set -euo pipefail
zirkula=$(realpath "$1")
shift
screen=()
if [ "${1:-}" = --screen ]; then
  screen=(--screen "$2")
  shift 2
fi
speeds=("$@")
[ $# -gt 0 ] || speeds=(0 30 100)
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 800x600x24 -noreset" "$0" "$zirkula" "${screen[@]}" "${speeds[@]}"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

script() {  # script FRAMESPEED FRAMES
  [ ${#screen[@]} -eq 0 ] || printf 'SCREEN %s\n' "${screen[1]}"
  printf 'FRAMESPEED %s\nPOINT P 100 100\nINTERACT Lauf\nEND\n\n' "$1"
  printf 'INTERACTION Lauf\n  ANIMATE Film\n  END\nREPEAT\n\n'
  printf 'ANIMATION Film\n  STEP P, 1, 0\n  MARKPOINT P\nREPEAT %s\n' "$2"
}
virtual_ms() {
  "$zirkula" --headless --dump dump.json run.zir >/dev/null
  sed -n 's/.*"time_ms": \([0-9.]*\).*/\1/p' dump.json
}
window_ms() {
  local start
  start=$(date +%s%N)
  "$zirkula" run.zir >/dev/null
  echo $((($(date +%s%N) - start) / 1000000))
}

printf '%-10s %12s %12s %8s\n' FRAMESPEED "virtual ms" "window ms" "window/virtual"
for speed in "${speeds[@]}"; do
  script "$speed" 11 >run.zir
  v11=$(virtual_ms)
  w11=$(window_ms)
  script "$speed" 211 >run.zir
  v211=$(virtual_ms)
  w211=$(window_ms)
  awk -v s="$speed" -v v="$((v211 - v11))" -v w="$((w211 - w11))" \
    'BEGIN { printf "%-10s %12.1f %12.1f %8.3f\n", s, v / 200, w / 200, w / v }'
done
