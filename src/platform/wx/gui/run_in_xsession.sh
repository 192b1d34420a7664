#!/bin/bash
# Runs a program (a test binary and its arguments) in a private virtual X
# session; exits 77 with "SKIPPED: ..." when no X server can be started.
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
. "$here/xsession.sh"
trap 'xsession_stop; rm -rf "$work"' EXIT
xsession_start "$work" || exit $?
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/lsan-toolkit.supp:print_suppressions=0"
"$@"
