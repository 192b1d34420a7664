#!/bin/bash
# Twelve exports of the demo ledger's two companies and an import --replace
# of the same ledger, all at once against the tests' server
# (VELOR_TEST_PG_URI): every export ends as it does alone and writes the
# same bytes (it reads one state, before or after the import, never a mix),
# and the import is whole.
set -u
host=$1
velor=$2
source_dir=$3
# shellcheck source=pg_test_lib.sh
. "$(dirname "$0")/pg_test_lib.sh"
new_database uri velor_t_clerks
"$host" init "$uri" --output-folder 'T:\' --settings-folder 'T:\' >/dev/null || fail "init"
ledger=$source_dir/examples/demo-ledger.json
"$host" import "$uri" "$ledger" >/dev/null || fail "import"
# The replacing import deletes and inserts every row of both companies: a
# larger ledger than the exports' would make its transaction longer, so the
# demo ledger's companies are imported with 5,000 more assets for the bench
# user beside them.
"$host" generate "$uri" --assets 5000 --seed 9 >/dev/null || fail "generate"

# export NAME USER: velor's export for USER into T:\NAME; its status in NAME.status.
export_as() {
  mkdir -p "$work/$1"
  "$velor" --db "$uri" --user "$2" --yes --no-viewer --ui console --output "T:\\$1\\assets.csv" \
    </dev/null >"$work/$1.log" 2>&1
  echo $? >"$work/$1.status"
}
export_as alone-yamada yamada
export_as alone-aoki aoki
[ "$(cat "$work/alone-yamada.status")" = 0 ] || fail "yamada alone: $(cat "$work/alone-yamada.log")"
[ "$(cat "$work/alone-aoki.status")" = 3 ] || fail "aoki alone: $(cat "$work/alone-aoki.log")"

pids=()
for i in $(seq 1 6); do
  export_as "yamada$i" yamada & pids+=($!)
  export_as "aoki$i" aoki & pids+=($!)
  [ "$i" = 3 ] && { "$host" import --replace "$uri" "$ledger" >"$work/import.log" 2>&1; echo $? >"$work/import.status"; } &
done
wait
[ "$(cat "$work/import.status")" = 0 ] || fail "the import: $(cat "$work/import.log")"
for i in $(seq 1 6); do
  for user in yamada aoki; do
    cmp -s "$work/$user$i.status" "$work/alone-$user.status" ||
      fail "$user$i: exit $(cat "$work/$user$i.status"): $(cat "$work/$user$i.log")"
    diff -r "$work/alone-$user" "$work/$user$i" || fail "$user$i: other files than alone"
  done
done
# The import is whole: the store holds the ledger once, and exports as before.
"$host" list "$uri" >"$work/list" 2>&1 || fail "list: $(cat "$work/list")"
[ "$(psql -X -At "$uri" -c "SELECT sum(n) FROM (SELECT count(*) AS n FROM assets GROUP BY cid
                              HAVING count(*) <> 5000) AS ledger")" = 42 ] || fail "the ledger's assets after the import"
export_as after-yamada yamada
diff -r "$work/alone-yamada" "$work/after-yamada" || fail "the export after the import differs"
echo "clerks at once: all checks passed"
