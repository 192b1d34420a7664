#!/bin/bash
# Exports from a server store that fails under them, on a private server of
# this test's own (testsupport/host/pgserver.sh): a statement timeout, the
# connection killed on the server in the middle of the asset walk
# (pg_terminate_backend) and the server stopped at once in the middle of it
# (pg_ctl stop -m immediate). Each ends with exit status 1 and a message
# naming the server and the cause, and the previous export's files stay.
set -u
host=$1
velor=$2
pgserver=$3
work=$(mktemp -d)
fail() { echo "FAIL: $*"; exit 1; }
trap '"$pgserver" stop "$work/pg"; rm -rf "$work"' EXIT
"$pgserver" start "$work/pg" >"$work/uri"
status=$?
[ $status = 77 ] && exit 77
[ $status = 0 ] || fail "the server did not start"
uri=$(cat "$work/uri")
export LANG=C.UTF-8 VELOR_DRIVES="T:=$work;Z:=/" VELOR_VIEWER= HOME=$work
"$host" init "$uri" --output-folder 'T:\' --settings-folder 'T:\' >/dev/null || fail "init"
"$host" generate "$uri" --assets 200000 --seed 5 >/dev/null || fail "generate"
velor_run() {
  "$velor" --db "$uri" --user bench --yes --no-viewer --ui console --output 'T:\out\assets.csv' </dev/null
}
mkdir -p "$work/out"
velor_run >"$work/log" 2>&1 || fail "first export: $(cat "$work/log")"
cp -r "$work/out" "$work/before"
# The export ended with exit status 1, a message with words $1 and the
# server's socket, and the previous files in place.
expect_failed() {
  [ "$status" = 1 ] || fail "$1: exit $status: $(cat "$work/log")"
  grep -q "$1" "$work/log" || fail "$1 not said: $(cat "$work/log")"
  grep -qF "socket $work/pg" "$work/log" || fail "$1: the server is not named: $(cat "$work/log")"
  diff -r "$work/before" "$work/out" >/dev/null || fail "$1: the previous export changed"
}
# Starts the export and stops it (SIGSTOP) once it is walking the assets
# (its copy of the assets runs); the caller strikes, then continue_export.
start_walking_export() {
  velor_run >"$work/log" 2>&1 &
  pid=$!
  for _ in $(seq 1 2000); do
    backend=$(psql -X -At "$uri" -c "SELECT pid FROM pg_stat_activity WHERE application_name = 'velor'
                                     AND query LIKE 'COPY (SELECT seq%'" 2>/dev/null)
    [ -n "$backend" ] && break
  done
  kill -STOP "$pid"
  [ -n "$backend" ] || fail "the export was never seen walking"
}
continue_export() {
  kill -CONT "$pid"
  wait "$pid"
  status=$?
}

PGOPTIONS="-c statement_timeout=1" velor_run >"$work/log" 2>&1
status=$?
expect_failed "did not answer in time"

start_walking_export
psql -X -q "$uri" -c "SELECT pg_terminate_backend($backend)" >/dev/null || fail "terminate"
continue_export
expect_failed "was lost"

start_walking_export
"$pgserver" ctl "$work/pg" -m immediate -w stop >/dev/null || fail "pg_ctl stop"
continue_export
expect_failed "was lost"
echo "server store faults: all checks passed"
