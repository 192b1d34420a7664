#!/bin/bash
# Takes a picture of the progress window of a long desktop export, then
# cancels it with the window's button and checks that the run ends as a
# cancellation (exit 1) with the earlier export left in place.
# usage: scripts/progress-screenshot.sh [BUILD_DIR] [OUT.png] [ASSETS]
#        (default: build docs/progress.png 1000000)
# Exits 77 when no X server can be started (a test then counts as skipped).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
out=${2:-$root/docs/progress.png}
assets=${3:-1000000}
velor=$build/src/app/main/velor
velor_host=$build/tools/velor-host/velor-host
for f in "$velor" "$velor_host"; do
  [ -x "$f" ] || { echo "progress-screenshot: $f is missing; build first (make build)" >&2; exit 1; }
done
work=$(mktemp -d)
. "$root/src/platform/wx/gui/xsession.sh"
# The toolkit's fonts keep memory for the life of the process; a sanitizer
# build is told so.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$root/src/platform/wx/gui/lsan-toolkit.supp:print_suppressions=0"
pid=
# What the clean-up meets (a process already gone) does not change the status.
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  xsession_stop || true
  rm -rf "$work"
}
trap cleanup EXIT
xsession_start "$work" || { echo "progress-screenshot: no X server" >&2; exit 77; }

mkdir -p "$work/c/out" "$work/home"
export HOME=$work/home LANG=C.UTF-8 GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
export VELOR_DRIVES="C:=$work/c;Z:=/" VELOR_DESKTOP_TRACE=$work/trace
"$velor_host" init "$work/host.sqlite" --output-folder 'C:\out\' --settings-folder 'C:\設定\' >/dev/null
"$velor_host" import "$work/host.sqlite" "$root/examples/demo-ledger.json" >/dev/null
"$velor_host" generate "$work/host.sqlite" --assets "$assets" >/dev/null
printf 'an earlier export\r\n' >"$work/c/out/a.csv"
"$velor" --ui desktop --db "$work/host.sqlite" --user bench --no-viewer \
  --output 'C:\out\a.csv' >"$work/out" 2>"$work/err" &
pid=$!
# The question whether to replace the earlier file: Enter takes はい.
for i in $(seq 1 200); do
  grep -q '^messagebox active$' "$work/trace" 2>/dev/null && break
  sleep 0.1
done
xdotool key --clearmodifiers Return
for i in $(seq 1 300); do
  grep -q '^progress shown$' "$work/trace" 2>/dev/null && break
  sleep 0.1
done
grep -q '^progress shown$' "$work/trace" 2>/dev/null ||
  { cat "$work/err" >&2; echo "progress-screenshot: no progress window came up" >&2; exit 1; }
sleep 0.6
window=$(xdotool getactivewindow)
import -frame -window "$window" "$out"
echo "progress-screenshot: $out"
# The button has the focus: the space bar presses it.
xdotool key --clearmodifiers space
for i in $(seq 1 100); do
  [ "$(grep -c '^messagebox active$' "$work/trace")" -ge 2 ] && break
  sleep 0.1
done
grep -q '^progress cancel$' "$work/trace" || { echo "progress-screenshot: the cancel was not taken" >&2; exit 1; }
xdotool key --clearmodifiers Return
status=0
wait "$pid" || status=$?
pid=
[ "$status" = 1 ] || { cat "$work/err" >&2; echo "progress-screenshot: exit $status, not 1" >&2; exit 1; }
grep -q 'messagebox.*中止しました' "$work/trace" || { echo "progress-screenshot: no cancel message" >&2; exit 1; }
[ "$(cat "$work/c/out/a.csv")" = $'an earlier export\r' ] ||
  { echo "progress-screenshot: the earlier asset file was not kept" >&2; exit 1; }
if ls "$work/c/out" | grep -q '^~vel'; then
  echo "progress-screenshot: a temporary file was left" >&2; exit 1
fi
echo "progress-screenshot: cancelled, exit 1; the earlier asset file is kept"
