#!/bin/bash
# velor --companies against a real store: every company's files equal its
# own single export, the same bytes on one job or two, past-results data
# skipped, a company that fails among others, two companies in one folder,
# a cancelled batch, the table and the report.
set -u
source "$(dirname "$0")/script_frame.sh"
export HOME=$work VELOR_DRIVES="T:=$work;Z:=/" VELOR_VIEWER= LANG=C
db=$work/host.sqlite
# batch DB ARGS...: a batch on the console; its output in out.txt and err.txt.
batch() {
  local store=$1
  shift
  "$velor" --db "$store" --user yamada --yes --no-viewer --ui console "$@" </dev/null \
    >"$work/out.txt" 2>"$work/err.txt"
}
"$host" init "$db" >/dev/null && "$host" import "$db" "$source_dir/examples/demo-ledger.json" >/dev/null ||
  fail "store"
for seed in 1 2 3; do "$host" generate "$db" --assets 700 --seed $seed >/dev/null || fail "generate"; done
# Data 6: past-results data, which the batch skips.
"$host" generate "$db" --assets 3 --seed 9 >/dev/null || fail "generate 6"
sqlite3 "$db" "UPDATE companies SET data_kind = 99 WHERE data_no = 6" || fail "past results"

# --- Each company as its own single export --------------------------------
expected=0
for no in 1 2 3 4 5; do
  "$host" select "$db" yamada $no >/dev/null || fail "select $no"
  mkdir -p "$work/single/$no"
  "$velor" --db "$db" --user yamada --yes --no-viewer --output "T:\\single\\$no\\assets.csv" </dev/null \
    >"$work/single/$no.txt" 2>&1
  status=$?
  case $status in
    0) ;;
    3) expected=3 ;;
    *) fail "single export of $no exited $status: $(cat "$work/single/$no.txt")" ;;
  esac
done
"$host" select "$db" yamada 1 >/dev/null
settings=$work/Velorant.env  # beside the store
cp "$settings" "$work/settings.before" || fail "no settings file"

# --- A report that cannot be written is refused before anything is written -
batch "$db" --companies all --output 'T:\b0\{no}\assets.csv' --report "$work/no/such/r.json"
status=$?
[ "$status" = 1 ] || fail "an unwritable report exited $status, not 1"
grep -q "the report $work/no/such/r.json cannot be written" "$work/err.txt" || fail "report refusal: $(cat "$work/err.txt")"
[ ! -e "$work/b0" ] || fail "a batch with an unwritable report wrote files"

# --- The batch on two jobs and on one --------------------------------------
batch "$db" --companies all --output 'T:\b2\{no}_{name}\assets.csv' --jobs 2 --report "$work/r2.json"
status=$?
[ "$status" = "$expected" ] || fail "batch on two jobs exited $status, not $expected: $(cat "$work/out.txt" "$work/err.txt")"
grep -q "^velor: data 6 (.*) is past-results data and is skipped" "$work/err.txt" ||
  fail "no line for the past-results data: $(cat "$work/err.txt")"
for no in 1 2 3 4 5; do
  dir=$(ls -d "$work/b2/${no}_"*) || fail "no folder for $no: $(ls "$work/b2")"
  for f in assets.csv syurui.SSC VelrixSysErr.txt; do
    if [ -e "$work/single/$no/$f" ]; then
      cmp -s "$work/single/$no/$f" "$dir/$f" || fail "data $no: $f differs from its single export"
    else
      [ -e "$dir/$f" ] && fail "data $no: $f written, its single export has none"
    fi
  done
  grep -qE "^ +$no  .*T:.b2.${no}_" "$work/out.txt" || fail "no table row for $no: $(cat "$work/out.txt")"
done
[ "$(ls "$work/b2" | wc -l)" = 5 ] || fail "folders of the batch: $(ls "$work/b2")"
cmp -s "$settings" "$work/settings.before" || fail "the batch changed the remembered paths"
grep -qE "^ +6  .*skipped" "$work/out.txt" || fail "no table row for the skipped data: $(cat "$work/out.txt")"

batch "$db" --companies 1-6 --output 'T:\b1\{no}_{name}\assets.csv' --jobs 1
[ "$?" = "$expected" ] || fail "batch on one job: $(cat "$work/out.txt" "$work/err.txt")"
diff -r "$work/b1" "$work/b2" >/dev/null || fail "one job and two jobs wrote different files"

python3 - "$work/r2.json" <<'PY' || fail "report"
import json, sys
r = json.load(open(sys.argv[1], encoding='utf-8'))
assert r['format'] == 'velor-batch-report/1', r['format']
nos = [c['data_no'] for c in r['companies']]
assert nos == [1, 2, 3, 4, 5, 6], nos
for c in r['companies'][:5]:
    assert c['result'].startswith('exported'), c
    rep = c['report']
    assert rep['company']['data_no'] == c['data_no']
    assert rep['counts']['warnings'] + rep['counts']['errors'] == len(rep['entries'])
    assert c['folder'].startswith('T:\\b2\\%d_' % c['data_no']), c['folder']
assert r['companies'][5]['result'] == 'skipped' and r['companies'][5]['report'] is None
assert r['counts']['skipped'] == 1 and r['counts']['exported'] == 5, r['counts']
PY

# A store named relative to the current folder: the exports open it again
# after start-up has moved to the program's folder.
(cd "$work" && batch host.sqlite --companies 1 --output 'T:\rel\{no}\a.csv')
status=$?
[ "$status" = 0 ] || [ "$status" = 3 ] || fail "a relative store: $status $(cat "$work/out.txt")"
cmp -s "$work/single/1/assets.csv" "$work/rel/1/a.csv" || fail "a relative store: other files"

# --- A company that fails among others --------------------------------------
# The folder of data 4 is held by another export: data 4 fails after its
# wait and keeps its files, the others are exported.
dir4=$(ls -d "$work/b2/4_"*)
cp -r "$dir4" "$work/held.before"
flock "$dir4" sleep 60 &
holder=$!
for _ in $(seq 1 100); do flock -n "$dir4" true || break; sleep 0.05; done
batch "$db" --companies 3-5 --output 'T:\b2\{no}_{name}\assets.csv' --report "$work/r3.json"
status=$?
kill "$holder" 2>/dev/null; wait "$holder" 2>/dev/null; holder=
[ "$status" = 1 ] || fail "a batch with a failed company exited $status"
diff -r "$work/held.before" "$dir4" >/dev/null || fail "the failed company's files changed"
grep -qE "^ +4  .* failed " "$work/out.txt" || fail "table: $(cat "$work/out.txt")"
grep -qE "^ +3  .* exported " "$work/out.txt" || fail "table: $(cat "$work/out.txt")"
grep -qE "^ +5  .* exported " "$work/out.txt" || fail "table: $(cat "$work/out.txt")"
grep -q "他の減価償却の出力が同じフォルダに書き込み中です" "$work/out.txt" ||
  fail "no cause for the failure: $(cat "$work/out.txt")"
python3 -c "
import json, sys
r = json.load(open('$work/r3.json', encoding='utf-8'))
assert r['outcome'] == 'failed' and r['counts']['failed'] == 1, r['counts']
c = r['companies'][1]
assert c['data_no'] == 4 and c['result'] == 'failed' and c['failure'], c
" || fail "report of the failed batch"

# --- Two companies in one folder --------------------------------------------
sqlite3 "$db" "UPDATE companies SET szDataName = (SELECT szDataName FROM companies WHERE data_no = 3)
               WHERE data_no = 5" || fail "rename"
batch "$db" --companies all --output 'T:\clash\{name}\assets.csv'
status=$?
[ "$status" = 2 ] || fail "a clash exited $status"
grep -q "data 3 (.*) and data 5 (.*) would both write into the folder" "$work/err.txt" ||
  fail "clash message: $(cat "$work/err.txt")"
[ -e "$work/clash" ] && fail "a clash wrote something"

# --- Bad command lines ------------------------------------------------------
for args in "--companies all" "--companies 1-x --output T:\\x\\{no}\\a.csv" \
            "--companies all --output T:\\x\\a.csv" "--jobs 2 --output T:\\x\\a.csv" \
            "--companies all --output T:\\x\\{no}\\a.csv --jobs 0"; do
  # shellcheck disable=SC2086
  batch "$db" $args
  [ "$?" = 2 ] || fail "'$args' was not refused as a bad command line"
done
batch "$db" --companies 3,77 --output 'T:\x\{no}\a.csv'
[ "$?" = 2 ] || fail "an unknown data number was not refused"
[ -e "$work/x" ] && fail "an unknown data number wrote something"

# --- A cancelled batch ------------------------------------------------------
big=$work/big.sqlite
"$host" init "$big" >/dev/null || fail "big store"
for seed in 1 2 3 4; do "$host" generate "$big" --assets 60000 --seed $seed >/dev/null || fail "big"; done
for no in 1 2 3 4; do
  mkdir -p "$work/cancel/$no"
  echo previous >"$work/cancel/$no/assets.csv"
done
"$velor" --db "$big" --user bench --yes --no-viewer --ui console --companies all \
  --output 'T:\cancel\{no}\assets.csv' --jobs 1 </dev/null >"$work/out.txt" 2>"$work/err.txt" &
pid=$!
for _ in $(seq 1 600); do
  [ "$(head -c 8 "$work/cancel/1/assets.csv")" != previous ] && break
  sleep 0.05
done
kill -INT "$pid"
wait "$pid"
status=$?
[ "$status" = 1 ] || fail "a cancelled batch exited $status: $(cat "$work/out.txt" "$work/err.txt")"
[ "$(cat "$work/cancel/1/assets.csv")" != previous ] || fail "the first company was not exported"
grep -qE "^ +1  .* exported " "$work/out.txt" || fail "table: $(cat "$work/out.txt")"
# The cancel stops the company in progress, or falls between two companies.
grep -qE " (cancelled|not started) " "$work/out.txt" || fail "nothing cancelled: $(cat "$work/out.txt")"
# After the cancelled one, nothing: every later company keeps its file.
seen=
for no in 2 3 4; do
  row=$(grep -E "^ +$no  " "$work/out.txt")
  case $row in
    *" exported "*) [ -z "$seen" ] || fail "data $no exported after the cancel" ;;
    *" cancelled "*|*" not started "*)
      seen=1
      [ "$(cat "$work/cancel/$no/assets.csv")" = previous ] || fail "data $no changed its file" ;;
    *) fail "row of $no: $row" ;;
  esac
  [ -z "$(find "$work/cancel/$no" -name '~vel*')" ] || fail "temporary files left in $no"
done
echo PASS
