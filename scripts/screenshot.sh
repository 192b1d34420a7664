#!/bin/bash
# Takes a picture of the condition dialog as `velor --ui desktop` shows it,
# in a virtual X session with a window manager, on a store made from
# examples/demo-ledger.json.
# With "log" as third word, the picture is of the window that shows the
# diagnostics log of an export with entries when no viewer program starts.
# usage: scripts/screenshot.sh [BUILD_DIR] [OUT.png] [log]
#        (default: build docs/dialog.png)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
out=${2:-$root/docs/dialog.png}
what=${3:-dialog}
velor=$build/src/app/main/velor
velor_host=$build/tools/velor-host/velor-host
for f in "$velor" "$velor_host"; do
  [ -x "$f" ] || { echo "screenshot: $f is missing; build first (make build)" >&2; exit 1; }
done
work=$(mktemp -d)
. "$root/src/platform/wx/gui/xsession.sh"
pid=
# Ends the session and keeps the script's own exit status: the stopping of
# processes that are already gone must not turn a made picture into a failure.
cleanup() {
  local status=$?
  set +e
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  xsession_stop
  rm -rf "$work"
  exit $status
}
trap cleanup EXIT
xsession_start "$work" || { echo "screenshot: no X server" >&2; exit 1; }

mkdir -p "$work/c" "$work/home"
export HOME=$work/home LANG=C.UTF-8 GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
export VELOR_DRIVES="C:=$work/c;Z:=/" VELOR_DESKTOP_TRACE=$work/trace
"$velor_host" init "$work/host.sqlite" --output-folder 'C:\減価償却\' \
  --settings-folder 'C:\設定\' >/dev/null
"$velor_host" import "$work/host.sqlite" "$root/examples/demo-ledger.json" >/dev/null
if [ "$what" = log ]; then
  mkdir -p "$work/c/out"
  VELOR_VIEWER=/nonexistent/viewer "$velor" --ui desktop --db "$work/host.sqlite" --user aoki \
    --output 'C:\out\aoki.csv' >/dev/null 2>"$work/err" &
  pid=$!
  ready='^viewer title='
else
  "$velor" --ui desktop --db "$work/host.sqlite" --user yamada --no-viewer >/dev/null 2>"$work/err" &
  pid=$!
  ready='^shown$'
fi
for i in $(seq 1 200); do
  grep -q "$ready" "$work/trace" 2>/dev/null && break
  sleep 0.1
done
grep -q "$ready" "$work/trace" 2>/dev/null || { cat "$work/err" >&2; echo "screenshot: the window did not come up" >&2; exit 1; }
sleep 1
if [ "$what" = log ]; then
  # The closing message is answered; the log window stays.
  xdotool key --clearmodifiers Return
  sleep 1
fi
# The window with its frame: the window manager's frame holds the client.
window=$(xdotool getactivewindow)
import -frame -window "$window" "$out"
echo "screenshot: $out"
