# Helpers for driving velor's desktop front end as a person would and
# reading what it shows from its trace (VELOR_DESKTOP_TRACE). Source this
# file after setting $trace (the trace file) and $work (where $work/err holds
# the program's standard error); $pid is the running program.
#   WAIT_LIMIT    the seconds wait_for waits by default (15)
#   FINISH_LIMIT  the seconds finish waits for the program to end (10)
# Counts: $passed checks passed, $failures failed.

failures=0
passed=0
# fail NAME: counts a failure and shows the trace and the standard error.
fail() {
  echo "FAIL: $*"
  echo "--- trace"; cat "$trace" 2>/dev/null
  echo "--- stderr"; cat "$work/err" 2>/dev/null
  failures=$((failures + 1))
}
# check NAME CONDITION-COMMAND...: counts the condition as passed or failed.
check() {
  local name=$1
  shift
  if "$@"; then passed=$((passed + 1)); else fail "$name"; fi
}
# wait_for PATTERN [SECONDS]: waits until a trace line after the mark matches
# (lines ending in CR LF, as a Windows program writes them, alike) and moves
# the mark to it.
mark=0
wait_for() {
  local pattern=$1 limit=${2:-${WAIT_LIMIT:-15}} i
  for i in $(seq 1 $((limit * 10))); do
    if tail -n +$((mark + 1)) "$trace" 2>/dev/null | tr -d '\r' | grep -q -E -- "$pattern"; then
      mark=$(tr -d '\r' <"$trace" | grep -n -E -- "$pattern" | awk -F: -v m="$mark" '$1 > m {print $1; exit}')
      return 0
    fi
    sleep 0.1
  done
  return 1
}
# seen PATTERN: true when a trace line after the mark matches (no waiting).
seen() { tail -n +$((mark + 1)) "$trace" | tr -d '\r' | grep -q -E -- "$1"; }
key() { xdotool key --clearmodifiers "$@"; }
# finish: waits for the program to end; its exit status in $status
# ("timeout" when it had to be killed).
finish() {
  local i
  for i in $(seq 1 $((${FINISH_LIMIT:-10} * 10))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    status=timeout
  else
    wait "$pid"
    status=$?
  fi
  pid=
}
