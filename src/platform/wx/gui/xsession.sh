# A private X session for driving desktop windows: a virtual X server on a
# free display and a window manager (so windows get captions, close boxes
# and the keyboard focus). Source this file, then call xsession_start; the
# session ends with the calling shell (xsession_stop on EXIT).
#   xsession_start WORKDIR  -> 0 and DISPLAY exported, or 77 when no X server
#                              can be started (with "SKIPPED: ..." printed)

xsession_start() {
  local work=$1 i
  XSESSION_PIDS=""
  if ! command -v Xvfb >/dev/null 2>&1; then
    echo "SKIPPED: Xvfb cannot start (not installed)"
    return 77
  fi
  rm -f "$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  XSESSION_PIDS="$!"
  for i in $(seq 1 100); do
    [ -s "$work/display" ] && break
    kill -0 "$XSESSION_PIDS" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$work/display" ]; then
    echo "SKIPPED: Xvfb cannot start: $(tail -n 3 "$work/xvfb.log" | tr '\n' ' ')"
    xsession_stop
    return 77
  fi
  export DISPLAY=":$(head -n 1 "$work/display")"
  if command -v openbox >/dev/null 2>&1; then
    openbox --sm-disable --config-file "$(dirname "${BASH_SOURCE[0]}")/openbox-rc.xml" \
      >"$work/wm.log" 2>&1 &
    XSESSION_PIDS="$XSESSION_PIDS $!"
    # The manager is up once it announces its desktops.
    for i in $(seq 1 50); do
      xdotool get_num_desktops >/dev/null 2>&1 && break
      sleep 0.1
    done
  fi
  sleep 0.3
  return 0
}

xsession_stop() {
  local p
  for p in $XSESSION_PIDS; do kill "$p" 2>/dev/null; done
  for p in $XSESSION_PIDS; do wait "$p" 2>/dev/null; done
  XSESSION_PIDS=""
}
