#!/bin/bash
# A server store reached over TLS, on a private server of this test's own
# (testsupport/host/pgserver.sh with PGSERVER_TLS) listening on 127.0.0.1
# with a password login: with sslmode=verify-full and the test authority's
# certificate, velor-host fills the store and velor exports the demo
# ledger's files, over encrypted connections only; a certificate that the
# given authority did not sign is refused, naming the cause, and the
# password is never shown.
set -u
host=$1
velor=$2
pgserver=$3
source_dir=$4
work=$(mktemp -d)
fail() { echo "FAIL: $*"; exit 1; }
trap '"$pgserver" stop "$work/pg"; rm -rf "$work"' EXIT
command -v openssl >/dev/null || { echo "no openssl to make the test certificates"; exit 77; }
export PGSERVER_TCP_PORT=$((20000 + ($$ + 7919) % 30000)) PGSERVER_PASSWORD="pw-$$-$RANDOM" PGSERVER_TLS=1
"$pgserver" start "$work/pg" >/dev/null
status=$?
[ $status = 77 ] && exit 77
[ $status = 0 ] || fail "the server did not start"
export PGPASSWORD=$PGSERVER_PASSWORD LANG=C.UTF-8 VELOR_DRIVES="T:=$work;Z:=/" VELOR_VIEWER= HOME=$work
uri="postgresql://velor@127.0.0.1:$PGSERVER_TCP_PORT/velor_test?sslmode=verify-full&sslrootcert=$work/pg/ca.crt"

"$host" init "$uri" --output-folder 'T:\' --settings-folder 'T:\' >"$work/log" 2>&1 || fail "init: $(cat "$work/log")"
"$host" import "$uri" "$source_dir/examples/demo-ledger.json" >"$work/log" 2>&1 || fail "import: $(cat "$work/log")"
mkdir -p "$work/out"
"$velor" --db "$uri" --user yamada --yes --no-viewer --ui console --output 'T:\out\assets.csv' \
  </dev/null >"$work/log" 2>&1 || fail "export: $(cat "$work/log")"
golden=$source_dir/src/export/testdata
cmp "$golden/demo-corporation.csv" "$work/out/assets.csv" || fail "not the expected asset file"
# Every connection over TCP was encrypted (the server logs each one).
log=$work/pg/server.log
grep -q "connection authorized: user=velor database=velor_test.*SSL enabled" "$log" ||
  fail "no encrypted connection in the server's log: $(grep 'connection authorized' "$log")"
grep "connection authorized: user=velor database=velor_test" "$log" | grep -v "SSL enabled" |
  grep -q . && fail "a connection without TLS: $(grep 'connection authorized' "$log")"

# An authority that did not sign the server's certificate: refused.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=another-ca -keyout "$work/other.key" \
  -out "$work/other.crt" >/dev/null 2>&1 || fail "cannot make another authority"
"$velor" --db "${uri%%sslrootcert=*}sslrootcert=$work/other.crt" --user yamada --yes --no-viewer --ui console \
  --output 'T:\out\assets.csv' </dev/null >"$work/log" 2>&1
status=$?
[ $status = 1 ] || fail "an unknown authority: exit $status: $(cat "$work/log")"
grep -q "certificate verify failed" "$work/log" || fail "the cause is not named: $(cat "$work/log")"
grep -qF "$PGPASSWORD" "$work/log" && fail "the password is shown"
cmp -s "$golden/demo-corporation.csv" "$work/out/assets.csv" || fail "the previous export changed"
echo "server store over TLS: all checks passed"
