#!/bin/bash
# A store edited by hand whose texts hold bytes that are no code page 932
# character: the three files hold only whole characters (each such byte
# written as "?", the columns cut where they were), and each text is named by
# a WARNING entry, so that the run ends as provisionally finished.
set -u
source "$(dirname "$0")/script_frame.sh"
export HOME=$work VELOR_DRIVES="T:=$work" VELOR_VIEWER=
db=$work/demo.sqlite
"$host" init "$db" >/dev/null && "$host" import "$db" "$source_dir/examples/demo-ledger.json" >/dev/null ||
  fail "demo store"
# yamada's export has no entries of its own: every entry is of these texts.
cid=$(sqlite3 "$db" "SELECT c.cid FROM companies c JOIN users u ON u.selected_data_no = c.data_no
                     WHERE u.user_id = CAST('yamada' AS BLOB)") || fail "company"
seq=$(sqlite3 "$db" "SELECT MIN(seq) FROM assets WHERE cid = $cid") || fail "asset"
# A lead byte without its trail byte before a comma, 0x80, and one at the
# end of the memo's first 20-byte part.
sqlite3 "$db" "UPDATE assets SET szAssetName = X'8E9C81' || ',' || X'80' WHERE cid = $cid AND seq = $seq;
               UPDATE assets SET szMemo = CAST('$(printf 'A%.0s' $(seq 1 19))' AS BLOB) || X'81' || '1'
                 WHERE cid = $cid AND seq = $seq;
               UPDATE asset_kinds SET szKindName = X'FF' || szKindName WHERE cid = $cid;
               UPDATE companies SET szDataName = szDataName || X'FD' WHERE cid = $cid" || fail "edit"
mkdir -p "$work/out"
"$velor" --db "$db" --user yamada --yes --no-viewer --output 'T:\out\a.csv' </dev/null >"$work/out.txt" 2>&1
status=$?
[ "$status" = 3 ] || fail "exit $status: $(cat "$work/out.txt")"
for f in a.csv syurui.SSC VelrixSysErr.txt; do
  iconv -f CP932 -t UTF-8 "$work/out/$f" >"$work/$f.utf8" || fail "$f holds bytes that are no character"
done
awk -F, 'NR > 7 && NF != 156 { bad = 1 } END { exit bad }' "$work/out/a.csv" || fail "a row of other than 156 columns"
grep -q '^顧問先名称=.*?' "$work/a.csv.utf8" || fail "company name: $(sed -n 3p "$work/a.csv.utf8")"
grep -qF '慈?，?' "$work/a.csv.utf8" || fail "asset name not replaced"
grep -qF ",$(printf 'A%.0s' $(seq 1 19))?,1" "$work/a.csv.utf8" || fail "memo not cut where it was"
entries=$(grep -c '文字として読めないバイトが含まれています' "$work/VelrixSysErr.txt.utf8")
[ "$entries" -ge 4 ] || fail "$entries entries: $(cat "$work/VelrixSysErr.txt.utf8")"
grep -qF '慈＜81＞,＜80＞' "$work/VelrixSysErr.txt.utf8" || fail "the bytes are not named: $(cat "$work/VelrixSysErr.txt.utf8")"
echo "invalid bytes: ok"
