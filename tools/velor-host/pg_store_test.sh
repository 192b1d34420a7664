#!/bin/bash
# velor-host and velor on a store on the tests' PostgreSQL server
# (VELOR_TEST_PG_URI): init, import, import --replace, list, select, check,
# generate on a URI; the exports of the demo ledger and of a generated
# company from the server byte for byte those from a store file, the
# corporation's those the export tests expect; passwords
# in a URI refused unshown; a database without the store refused.
set -u
host=$1
velor=$2
source_dir=$3
# shellcheck source=pg_test_lib.sh
. "$(dirname "$0")/pg_test_lib.sh"
new_database uri velor_t_tool
new_database empty velor_t_empty
expect() {  # expect STATUS command...
  local want=$1; shift
  "$@" >"$work/out" 2>"$work/err" </dev/null
  local got=$?
  [ "$got" = "$want" ] || fail "$* exited $got, wanted $want: $(cat "$work/out" "$work/err")"
}

# The store tool on the URI.
expect 0 "$host" init "$uri" --output-folder 'T:\出力\' --settings-folder 'T:\設定\'
grep -q "created the host store" "$work/out" || fail "init: $(cat "$work/out")"
expect 1 "$host" init "$uri"
grep -q "not empty" "$work/err" || fail "init over a store: $(cat "$work/err")"
expect 0 "$host" import "$uri" "$source_dir/examples/demo-ledger.json"
grep -q "imported 2 companies, 2 users, 42 assets, 4 breakdown lines, 15 asset kinds" "$work/out" ||
  fail "import summary: $(cat "$work/out")"
expect 1 "$host" import "$uri" "$source_dir/examples/demo-ledger.json"
grep -q "users\[0\].user_id" "$work/err" || fail "second import: $(cat "$work/err")"
expect 0 "$host" import --replace "$uri" "$source_dir/examples/demo-ledger.json"
grep -q "replacing 2 companies and 2 users" "$work/out" || fail "replace: $(cat "$work/out")"
expect 0 "$host" list "$uri"
grep -q "株式会社山田製作所" "$work/out" || fail "list: $(cat "$work/out")"
grep -qF 'output_folder: T:\出力\' "$work/out" || fail "output folder: $(cat "$work/out")"
expect 0 "$host" select "$uri" yamada 2
expect 1 "$host" select "$uri" yamada 42
grep -q "no company data set has the number 42" "$work/err" || fail "select of missing data"
expect 0 "$host" check "$uri"
expect 0 "$host" generate "$uri" --assets 3000 --seed 3
grep -q "3000 assets" "$work/out" || fail "generate: $(cat "$work/out")"

# The same ledger and the same generated company in a store file.
file=$work/host.sqlite
expect 0 "$host" init "$file" --output-folder 'T:\出力\' --settings-folder 'T:\設定\'
expect 0 "$host" import "$file" "$source_dir/examples/demo-ledger.json"
expect 0 "$host" select "$file" yamada 2
expect 0 "$host" generate "$file" --assets 3000 --seed 3
# Every file of an export from the server is the file of the export from
# the store file, with the same exit status.
for user in yamada aoki bench; do
  for store in file server; do
    where=$file
    [ $store = server ] && where=$uri
    mkdir -p "$work/$store-$user"
    "$velor" --db "$where" --user "$user" --yes --no-viewer --ui console \
      --output "T:\\$store-$user\\assets.csv" </dev/null >"$work/$store-$user.out" 2>&1
    echo $? >"$work/$store-$user.status"
  done
  cmp -s "$work/file-$user.status" "$work/server-$user.status" ||
    fail "$user: exit $(cat "$work/server-$user.status") from the server, $(cat "$work/file-$user.status") from the file: $(cat "$work/server-$user.out")"
  [ -s "$work/file-$user/assets.csv" ] || fail "$user: no export from the file: $(cat "$work/file-$user.out")"
  for f in assets.csv syurui.SSC VelrixSysErr.txt; do
    [ -e "$work/file-$user/$f" ] || [ ! -e "$work/server-$user/$f" ] || fail "$user: $f only from the server"
    [ -e "$work/file-$user/$f" ] || continue
    cmp "$work/file-$user/$f" "$work/server-$user/$f" || fail "$user: $f differs"
  done
done
[ "$(cat "$work/file-aoki.status")" = 3 ] || fail "aoki's export has its diagnostics entries"
# The batch of every company on two threads (a connection each, on one
# state of the store): the same files from both stores.
for store in file server; do
  where=$file
  [ $store = server ] && where=$uri
  "$velor" --db "$where" --user yamada --companies all --jobs 2 --yes --no-viewer --ui console \
    --output "T:\\batch-$store\\{no}\\assets.csv" </dev/null >"$work/batch-$store.out" 2>&1
  echo $? >"$work/batch-$store.status"
done
cmp -s "$work/batch-file.status" "$work/batch-server.status" ||
  fail "batch: exit $(cat "$work/batch-server.status") from the server: $(cat "$work/batch-server.out")"
[ -s "$work/batch-server/1/assets.csv" ] || fail "batch wrote nothing: $(cat "$work/batch-server.out")"
diff -r "$work/batch-file" "$work/batch-server" || fail "the batch's files differ"
# The corporation's files from the server are the export tests' expected
# files (the kind file's date line aside).
golden=$source_dir/src/export/testdata
cmp "$golden/demo-corporation.csv" "$work/batch-server/1/assets.csv" || fail "not the expected asset file"
cmp <(sed 4d "$golden/demo-corporation-syurui.SSC") <(sed 4d "$work/batch-server/1/syurui.SSC") ||
  fail "not the expected kind file"

# A password in the URI: refused, never shown, and the previous export stays.
secret=${VELOR_TEST_PG_URI/velor@/velor:s3cr3t@}
for args in "list $secret" "import $secret $source_dir/examples/demo-ledger.json"; do
  # shellcheck disable=SC2086
  expect 1 "$host" $args
  grep -q "pgpass" "$work/err" || fail "password in the URI ($args): $(cat "$work/err")"
  grep -q "s3cr3t" "$work/out" "$work/err" && fail "the password is shown: $(cat "$work/err")"
done
cp -r "$work/server-yamada" "$work/before"
expect 1 "$velor" --db "$secret" --user yamada --yes --no-viewer --ui console --output 'T:\server-yamada\assets.csv'
grep -q "pgpass" "$work/out" "$work/err" || fail "velor with a password: $(cat "$work/out" "$work/err")"
grep -q "s3cr3t" "$work/out" "$work/err" && fail "velor shows the password"
diff -r "$work/before" "$work/server-yamada" || fail "the previous export changed"

# An empty database, an unreachable server, a missing database.
expect 1 "$velor" --db "$empty" --user yamada --yes --no-viewer --ui console --output 'T:\server-yamada\assets.csv'
grep -q "holds no host store" "$work/out" "$work/err" || fail "empty database: $(cat "$work/out" "$work/err")"
expect 1 "$host" list "postgresql:///accounts?host=$work/nowhere"
grep -q "cannot reach the database server" "$work/err" || fail "unreachable: $(cat "$work/err")"
grep -qF "socket $work/nowhere" "$work/err" || fail "unreachable names no socket: $(cat "$work/err")"
diff -r "$work/before" "$work/server-yamada" || fail "the previous export changed"
echo "server store: all checks passed"
