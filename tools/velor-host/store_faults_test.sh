#!/bin/bash
# Exports and checks over damaged stores: a page of each table overwritten,
# a gap in the asset numbering, a huge sequence number, a store locked by a
# writer and one left in the middle of a change. None may end as a success.
set -u
host=$1
velor=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
export VELOR_DRIVES="T:=$work;Z:=/" VELOR_VIEWER=

clean=$work/clean.sqlite
"$host" init "$clean" --output-folder 'T:\' --settings-folder 'T:\set\' >/dev/null || fail "init"
"$host" generate "$clean" --assets 3000 --seed 3 >/dev/null || fail "generate"
"$host" check "$clean" >"$work/out" 2>&1 || fail "check of a clean store: $(cat "$work/out")"

# export STORE NAME: runs velor over STORE into T:\NAME\a.csv; $status, $work/out.
export_store() {
  mkdir -p "$work/$2"
  timeout 60 "$velor" --db "$1" --user bench --yes --no-viewer --output "T:\\$2\\a.csv" \
    </dev/null >"$work/out" 2>&1
  status=$?
}
# damaged NAME TABLE: a copy of the clean store with a leaf page of TABLE in
# the middle of the table (or its only page) overwritten with garbage.
damaged() {
  local db=$work/$1.sqlite
  cp "$clean" "$db"
  local size page
  size=$(sqlite3 "$db" "PRAGMA page_size")
  page=$(sqlite3 "$db" "SELECT pageno FROM dbstat WHERE name = '$2' AND pagetype IN ('leaf', 'internal')
           ORDER BY pagetype = 'leaf' DESC, pageno
           LIMIT 1 OFFSET (SELECT count(*) / 2 FROM dbstat WHERE name = '$2' AND pagetype = 'leaf')")
  [ -n "$page" ] || fail "no page of $2"
  head -c "$size" /dev/urandom | tr '\000' '\377' |
    dd of="$db" bs="$size" seek=$((page - 1)) conv=notrunc status=none
  echo "$db"
}
expect_failed_export() {  # NAME WORDS: the export of $db failed and named WORDS
  [ "$status" = 1 ] || fail "$1: exit $status: $(cat "$work/out")"
  grep -q "正常に終了" "$work/out" && fail "$1: reported success: $(cat "$work/out")"
  [ -z "${2:-}" ] || grep -q "$2" "$work/out" || fail "$1: does not name $2: $(cat "$work/out")"
  if [ -f "$work/$1/a.csv" ]; then
    grep -q '^000000,,00,' "$work/$1/a.csv" && fail "$1: a row of zeros"
  fi
  return 0
}

export_store "$clean" clean
[ "$status" = 0 ] || fail "clean export: exit $status: $(cat "$work/out")"
rows=$(wc -l <"$work/clean/a.csv")

for table in assets breakdowns asset_kinds; do
  db=$(damaged "$table" "$table")
  export_store "$db" "$table"
  case $table in
    assets) words="固定資産台帳" ;;
    breakdowns) words="一括資産の内訳" ;;
    asset_kinds) words="資産種類" ;;
  esac
  expect_failed_export "$table" "$words"
  "$host" check "$db" >"$work/check" 2>&1 && fail "check of damaged $table: $(cat "$work/check")"
  grep -q "damaged store file" "$work/check" || fail "check of $table: $(cat "$work/check")"
done
for table in companies users; do
  db=$(damaged "$table" "$table")
  export_store "$db" "$table"
  expect_failed_export "$table"
  "$host" list "$db" >"$work/list" 2>&1 && fail "list of damaged $table: $(cat "$work/list")"
  "$host" check "$db" >/dev/null 2>&1 && fail "check of damaged $table"
done

# A deleted asset leaves a gap: no record stands for it, and nothing is
# exported as if the ledger were whole.
cp "$clean" "$work/gap.sqlite"
sqlite3 "$work/gap.sqlite" "DELETE FROM assets WHERE seq = 1500"
export_store "$work/gap.sqlite" gap
expect_failed_export gap "固定資産台帳"
"$host" check "$work/gap.sqlite" >"$work/check" 2>&1 && fail "check of a gap"
grep -q "asset numbers with a gap" "$work/check" || fail "check of a gap: $(cat "$work/check")"

# A huge sequence number neither runs the export away nor fills the disk.
cp "$clean" "$work/huge.sqlite"
sqlite3 "$work/huge.sqlite" "UPDATE assets SET seq = 2000000000 WHERE seq = 2999"
export_store "$work/huge.sqlite" huge
expect_failed_export huge "固定資産台帳"
[ "$(wc -l <"$work/huge/a.csv" 2>/dev/null || echo 0)" -le "$rows" ] || fail "huge: more rows than assets"

# Breakdown lines of an asset that is not a lump-sum asset.
cp "$clean" "$work/orphan.sqlite"
sqlite3 "$work/orphan.sqlite" "UPDATE assets SET nMethod = 1 WHERE seq = (SELECT asset_seq FROM breakdowns LIMIT 1)"
"$host" check "$work/orphan.sqlite" >"$work/check" 2>&1 && fail "check of orphan lines"
grep -q "not a lump-sum asset" "$work/check" || fail "orphan lines: $(cat "$work/check")"

# A writer holding the store: the reader says so instead of "unreadable".
cp "$clean" "$work/locked.sqlite"
sqlite3 "$work/locked.sqlite" "BEGIN EXCLUSIVE; UPDATE users SET first_selection = 1; SELECT 1;" \
  ".shell sleep 20" "COMMIT;" >/dev/null 2>&1 &
writer=$!
sleep 1
"$host" list "$work/locked.sqlite" >"$work/list" 2>&1 && fail "list of a locked store"
kill "$writer"
grep -q "another program is writing" "$work/list" || fail "locked: $(cat "$work/list")"

# A change cut off by a kill leaves a hot journal: read-only opens refuse
# it and point at check, which recovers it.
cp "$clean" "$work/hot.sqlite"
{ sqlite3 "$work/hot.sqlite" "PRAGMA cache_size = 10; BEGIN; UPDATE assets SET szMemo = randomblob(80);" \
  ".shell kill -9 \$PPID" >/dev/null 2>&1; } 2>/dev/null
[ -s "$work/hot.sqlite-journal" ] || fail "no hot journal was left"
"$host" list "$work/hot.sqlite" >"$work/list" 2>&1 && fail "list of an unfinished store"
grep -q "needs recovery; velor-host check" "$work/list" || fail "hot journal: $(cat "$work/list")"
"$host" check "$work/hot.sqlite" >"$work/check" 2>&1 || fail "check recovery: $(cat "$work/check")"
grep -q "recovered" "$work/check" || fail "check says nothing of recovery: $(cat "$work/check")"
export_store "$work/hot.sqlite" hot
[ "$status" = 0 ] || fail "export after recovery: exit $status: $(cat "$work/out")"
cmp -s "$work/hot/a.csv" "$work/clean/a.csv" || fail "recovered store exports other rows"

# A folder or a FIFO as the store.
mkfifo "$work/fifo"
timeout 10 "$host" list "$work/fifo" >"$work/list" 2>&1 && fail "list of a FIFO"
grep -q "not a regular file" "$work/list" || fail "FIFO: $(cat "$work/list")"
timeout 10 "$host" list "$work" >"$work/list" 2>&1 && fail "list of a folder"
grep -q "not a regular file" "$work/list" || fail "folder: $(cat "$work/list")"
# Output that cannot be written is no success.
"$host" list "$clean" >/dev/full 2>/dev/null && fail "list into a full device"
"$velor" --help >/dev/full 2>/dev/null && fail "velor --help into a full device"
export_store "$clean" full
timeout 60 "$velor" --db "$clean" --user bench --yes --no-viewer --output 'T:\full\a.csv' \
  </dev/null >/dev/full 2>"$work/out" && fail "export with its messages lost: $(cat "$work/out")"
echo "store faults: all checks passed"
