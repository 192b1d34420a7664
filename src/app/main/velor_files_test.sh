#!/bin/bash
# Real runs of velor against its output folder: a run killed while it
# replaces a large export, two exports into one folder at once, a folder held
# by another export, and concurrent saves of the remembered path.
set -u
source "$(dirname "$0")/script_frame.sh"
export HOME=$work VELOR_DRIVES="T:=$work;Z:=/" VELOR_VIEWER=
run() {  # run DB USER OUTPUT: one export, its output in $work/out.txt
  "$velor" --db "$1" --user "$2" --yes --no-viewer --output "$3" </dev/null >"$work/out.txt" 2>&1
}
temps() { find "$1" -maxdepth 1 -name '~vel*.tmp' | wc -l; }

big=$work/big.sqlite
demo=$work/demo/demo.sqlite  # its settings file lies beside it
mkdir -p "$work/demo"
"$host" init "$big" >/dev/null && "$host" generate "$big" --assets 300000 --seed 3 >/dev/null ||
  fail "big store"
"$host" init "$demo" >/dev/null && "$host" import "$demo" "$source_dir/examples/demo-ledger.json" >/dev/null ||
  fail "demo store"

# --- Killed in the middle of replacing a large export ----------------------
mkdir -p "$work/k"
run "$big" bench 'T:\k\a.csv' || fail "first export: $(cat "$work/out.txt")"
echo "previous run" >>"$work/k/a.csv"
echo "previous run" >>"$work/k/syurui.SSC"
echo "previous log" >"$work/k/VelrixSysErr.txt"
cp -p "$work/k/a.csv" "$work/k/syurui.SSC" "$work/k/VelrixSysErr.txt" "$work/"
"$velor" --db "$big" --user bench --yes --no-viewer --output 'T:\k\a.csv' </dev/null >/dev/null 2>&1 &
pid=$!
grown=
for _ in $(seq 1 400); do
  size=$(find "$work/k" -maxdepth 1 -name '~vel*.tmp' -size +20M | wc -l)
  if [ "$size" -gt 0 ]; then grown=1; break; fi
  sleep 0.01
done
kill -KILL "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
[ -n "$grown" ] || fail "the export never got 20 MB into its temporary file"
for f in a.csv syurui.SSC VelrixSysErr.txt; do
  cmp -s "$work/$f" "$work/k/$f" || fail "killed run changed $f"
done
[ "$(temps "$work/k")" -gt 0 ] || fail "a killed run leaves its temporary file"
run "$big" bench 'T:\k\a.csv' || fail "export after the kill: $(cat "$work/out.txt")"
[ "$(temps "$work/k")" = 0 ] || fail "the next export leaves temporary files: $(ls -a "$work/k")"
[ -e "$work/k/VelrixSysErr.txt" ] && fail "the log without entries is kept"
cmp -s "$work/a.csv" "$work/k/a.csv" && fail "the next export did not replace the asset file"

# --- Two exports into one folder at once -----------------------------------
mkdir -p "$work/ref1" "$work/ref2" "$work/two"
run "$big" bench 'T:\ref1\a.csv' || fail "reference 1"
run "$demo" yamada 'T:\ref2\a.csv' || fail "reference 2"
"$velor" --db "$big" --user bench --yes --no-viewer --output 'T:\two\a.csv' </dev/null >"$work/o1" 2>&1 &
p1=$!
sleep 0.05
"$velor" --db "$demo" --user yamada --yes --no-viewer --output 'T:\two\a.csv' </dev/null >"$work/o2" 2>&1 &
p2=$!
wait "$p1"; s1=$?
wait "$p2"; s2=$?
[ "$s1" = 0 ] || fail "first of two exports: $s1 $(cat "$work/o1")"
# The second waits for the first; on a slow machine (sanitizers) it may wait
# longer than it does and be refused, saying why.
if [ "$s2" != 0 ]; then
  [ "$s2" = 1 ] && grep -q "他の減価償却の出力が同じフォルダに書き込み中です" "$work/o2" ||
    fail "second of two exports: $s2 $(cat "$work/o2")"
fi
if cmp -s "$work/two/a.csv" "$work/ref1/a.csv"; then which=ref1
elif cmp -s "$work/two/a.csv" "$work/ref2/a.csv"; then which=ref2
else fail "the asset file is a mix of two exports ($(stat -c %s "$work/two/a.csv") bytes)"
fi
cmp -s "$work/two/syurui.SSC" "$work/$which/syurui.SSC" || fail "the kind file is not of the same export"
[ "$(temps "$work/two")" = 0 ] || fail "temporary files left by two exports"

# --- A folder held by another export: wait, then refuse --------------------
mkdir -p "$work/held"
echo "kept" >"$work/held/a.csv"
flock "$work/held" sleep 30 &
holder=$!
sleep 0.2
start=$(date +%s)
run "$demo" yamada 'T:\held\a.csv'
status=$?
took=$(( $(date +%s) - start ))
kill "$holder" 2>/dev/null; wait "$holder" 2>/dev/null; holder=
[ "$status" = 1 ] || fail "an export into a held folder exited $status"
grep -q "他の減価償却の出力が同じフォルダに書き込み中です" "$work/out.txt" || fail "busy message: $(cat "$work/out.txt")"
[ "$took" -ge 4 ] || fail "the export did not wait for the other one ($took s)"
[ "$(cat "$work/held/a.csv")" = kept ] || fail "the held folder's file changed"
[ "$(ls -A "$work/held")" = a.csv ] || fail "the lock left something: $(ls -A "$work/held")"

# --- Concurrent saves of the remembered path --------------------------------
settings=$work/demo/Velorant.env
for i in $(seq 1 20); do
  mkdir -p "$work/r$i"
  run_quiet() { "$velor" --db "$demo" --user "$1" --yes --no-viewer --output "$2" </dev/null >/dev/null 2>&1; }
  run_quiet yamada "T:\\r$i\\y.csv" & a=$!
  run_quiet aoki "T:\\r$i\\k.csv" & b=$!
  wait "$a"; wait "$b"
  grep -qF "r$i\\y.csv" "$settings" || fail "round $i lost yamada's path: $(cat "$settings")"
  grep -qF "r$i\\k.csv" "$settings" || fail "round $i lost aoki's path: $(cat "$settings")"
  [ "$(grep -c '^yamada/' "$settings")" = 1 ] || fail "round $i: yamada twice: $(cat "$settings")"
  [ "$(grep -c '^aoki/' "$settings")" = 1 ] || fail "round $i: aoki twice: $(cat "$settings")"
done
[ -z "$(find "$work/demo" -name '~vel*')" ] || fail "temporary settings files left: $(ls -A "$work/demo")"
# A save killed before its rename leaves a temporary file and the list that
# names it; the next save removes both, and leaves a file nothing names.
printf 'velor-temps 1\n~vel0000000B.tmp\nend\n' >"$work/demo/~vel0000000A.jnl"
echo partial >"$work/demo/~vel0000000B.tmp"
echo "the user's" >"$work/demo/Vel1A2B.TMP"
run_quiet yamada 'T:\r1\y.csv'
[ -z "$(find "$work/demo" -name '~vel*')" ] || fail "a stale temporary settings file stays: $(ls -A "$work/demo")"
[ "$(cat "$work/demo/Vel1A2B.TMP")" = "the user's" ] || fail "a file no list names was removed"

# --- The store written while an export reads it ----------------------------
# The export lets go of its read between stretches of rows: selections made
# meanwhile go through, and the export's rows are those of a quiet run.
mkdir -p "$work/c" "$work/q"
run "$big" bench 'T:\q\a.csv' || fail "quiet export: $(cat "$work/out.txt")"
"$velor" --db "$big" --user bench --yes --no-viewer --output 'T:\c\a.csv' </dev/null >/dev/null 2>&1 &
pid=$!
sleep 0.3
for _ in 1 2 3; do
  timeout 30 "$host" select "$big" bench 1 >"$work/sel.txt" 2>&1 ||
    fail "a selection during an export: $(cat "$work/sel.txt")"
done
wait "$pid" || fail "the export during selections exited $?"
cmp -s "$work/c/a.csv" "$work/q/a.csv" || fail "the export during selections wrote other rows"
# A program that keeps its read open: the change is refused in words, in time.
sqlite3 "$big" "BEGIN; SELECT count(*) FROM assets;" ".shell sleep 20" "COMMIT;" >/dev/null 2>&1 &
reader=$!
sleep 1
timeout 15 "$host" select "$big" bench 1 >"$work/sel.txt" 2>&1
status=$?
kill "$reader" 2>/dev/null; wait "$reader" 2>/dev/null
[ "$status" = 1 ] || fail "a selection against a held read exited $status"
grep -q "another program is reading or writing the store; try again" "$work/sel.txt" ||
  fail "held read: $(cat "$work/sel.txt")"

# --- A settings file that cannot be rewritten -------------------------------
# A folder in its place: the export is put in place, the run says that the
# path was not remembered and fails.
mv "$settings" "$work/settings.kept" && mkdir "$settings"
mkdir -p "$work/s"
run "$demo" yamada 'T:\s\a.csv'
status=$?
[ "$status" = 1 ] || fail "a failed save of the settings file exited $status"
grep -q "設定ファイルに保存できませんでした" "$work/out.txt" || fail "save message: $(cat "$work/out.txt")"
grep -q "Velorant.env" "$work/out.txt" || fail "the message names no settings file: $(cat "$work/out.txt")"
grep -q "正常に終了" "$work/out.txt" && fail "success reported: $(cat "$work/out.txt")"
[ -s "$work/s/a.csv" ] && [ -s "$work/s/syurui.SSC" ] || fail "the export is not in place: $(ls -A "$work/s")"
rmdir "$settings" && mv "$work/settings.kept" "$settings"
echo PASS
