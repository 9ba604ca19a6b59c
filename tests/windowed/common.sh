# Helpers of the windowed test scripts, sourced by each of them.

# xprop prints titles and xdotool matches them in the locale's encoding: the checks are written
# for UTF-8, whatever locale the machine that runs them has.
export LC_ALL=C.UTF-8

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The id of the window with this title, waited for up to $2 tenths of a second (default 300:
# the first window of a sanitizer build on a busy machine has taken more than 10 s); empty if
# it does not appear.
window_named() {
  local id=""
  for _ in $(seq "${2:-300}"); do
    id=$(xdotool search --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

# Waits up to $2 tenths of a second for process $1 to end and kills it if it has not; rc is
# its exit code. Fails (returns 1) when it had to be killed.
ends_within() {
  local late=0
  for _ in $(seq "$2"); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$1" 2>/dev/null; then
    late=1
    kill "$1"
  fi
  wait "$1"
  rc=$?
  return "$late"
}

# Runs a check (a command and its arguments) every tenth of a second, up to $1 times, until
# it succeeds; fails if it never does.
within() {
  local tries=$1
  shift
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
  return 1
}
