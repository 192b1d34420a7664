#!/bin/sh
# Runs a Windows program of the build under wine: wine-run.sh PROGRAM [ARG...].
# The wine prefix is a private one beside the program's build folder
# (WINEPREFIX when set, else the folder "wineprefix" in the nearest folder
# above the program that holds CMakeCache.txt), made once, never ~/.wine.
# Japanese locale, so the ANSI code page is 932 as on the users' machines;
# wine's own diagnostics are off. The program's exit status is returned.
set -eu
[ $# -ge 1 ] || { echo "usage: wine-run.sh PROGRAM [ARG...]" >&2; exit 2; }
if [ -z "${WINEPREFIX:-}" ]; then
  dir=$(cd "$(dirname "$1")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    echo "wine-run.sh: $1 lies in no build folder; set WINEPREFIX" >&2
    exit 2
  fi
  WINEPREFIX=$dir/wineprefix
fi
export WINEPREFIX
export WINEDEBUG=-all
export LC_ALL=ja_JP.UTF-8
# No prompts to install wine's .NET or HTML engines.
export WINEDLLOVERRIDES="mscoree=;mshtml="
if [ ! -f "$WINEPREFIX/.velor-ready" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.velor-ready" ]; then
      wineboot --init >/dev/null 2>&1 || true
      # The dialog's font, ＭＳ Ｐゴシック, as a proportional Gothic of this
      # machine (IPA P Gothic) rather than wine's wide fallback, in which
      # the button labels do not fit their buttons as they do on Windows.
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d 'IPAPGothic' /f \
        >/dev/null 2>&1 || true
      wineserver --wait
      [ -f "$WINEPREFIX/system.reg" ] || { echo "wine-run.sh: cannot make the prefix $WINEPREFIX" >&2; exit 1; }
      touch "$WINEPREFIX/.velor-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
# One wine server for the whole test run: it stays 30 s after its last program.
# A server and its services started by a program would hold the program's
# output open until the server ends, so a caller reading the output through a
# pipe would wait those 30 s: unless a program started here within the last
# 20 s (then the server is surely up), they are started first with their
# output going nowhere.
stamp=$WINEPREFIX/.velor-last-run
if [ -z "$(find "$stamp" -newermt '20 seconds ago' 2>/dev/null)" ]; then
  wineserver -p30 </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
fi
touch "$stamp"
exec wine "$@"
