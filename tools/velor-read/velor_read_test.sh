#!/bin/bash
# Checks velor-read on a hand-made asset-kind file, on bad format files and on
# bytes that are not code page 932: velor_read_test.sh VELOR_READ SOURCE_DIR
set -euo pipefail
tool=$1
# The emulator of a cross build (wine), else nothing.
run=${VELOR_EMULATOR:-}
src=$2
here=$src/tools/velor-read
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The asset-kind file: the header lines are refused without failing the run,
# and every kind row reads.
$run "$tool" "$src/examples/syurui-format.json" "$here/testdata/syurui.SSC" > "$tmp/out.jsonl" \
  || fail "syurui.SSC did not read cleanly"
python3 - "$tmp/out.jsonl" <<'PY' || fail "unexpected output for syurui.SSC"
import json, sys
rows = [json.loads(l) for l in open(sys.argv[1], encoding="utf-8")]
stored = [r for r in rows if r["result"] == 0]
refused = [r for r in rows if r["result"] == 2]
assert len(stored) == 4, stored
assert [r["physical"] for r in refused] == list(range(8, 18)), refused
assert all(r["physical"] <= 17 for r in refused)
first = stored[0]
assert first["physical"] == 18 and first["logical"] == 11, first
assert first["values"] == ["01", "建物", "有形固定資産", "償却資産", "定額法", "除却日まで償却", 10, 5,
                           "申告なし", "0.0000", "100.0000", "100.0000", "100.0000", "0.0000",
                           "100.0000", "該当しない"], first["values"]
assert stored[2]["values"][4:6] == ["", ""]
assert refused[0]["line"] == "" and refused[1]["line"] == "[Commonlnf]"
PY

# The asset-kind file of the demo export, when the tree holds one.
demo=$src/src/export/testdata/demo-corporation-syurui.SSC
if [ -f "$demo" ]; then
  $run "$tool" "$src/examples/syurui-format.json" "$demo" > "$tmp/demo.jsonl" || fail "the demo asset-kind file did not read"
  python3 - "$tmp/demo.jsonl" <<'PY' || fail "unexpected output for the demo asset-kind file"
import json, sys
rows = [json.loads(l) for l in open(sys.argv[1], encoding="utf-8")]
assert all(r["result"] == 0 for r in rows if r["physical"] > 17), rows
assert any(r["result"] == 0 for r in rows)
PY
fi

# A bad row after the header fails the run with 1.
cp "$here/testdata/syurui.SSC" "$tmp/bad.SSC"
printf '12,x\r\n' >> "$tmp/bad.SSC"
status=0
$run "$tool" "$src/examples/syurui-format.json" "$tmp/bad.SSC" > /dev/null || status=$?
[ "$status" = 1 ] || fail "a refused row gave exit $status"

# Bytes without a code page 932 form still give valid JSON.
printf '{"layout":"comma","items":[{"lWidth":9,"lOffset":0,"lSize":10,"lType":0},{"lWidth":9,"lOffset":10,"lSize":8,"lType":1}]}' > "$tmp/f.json"
printf 'a\xff\x81,-12.34\nlast,7' > "$tmp/odd.txt"
$run "$tool" "$tmp/f.json" "$tmp/odd.txt" > "$tmp/odd.jsonl" || fail "odd bytes gave a failure"
python3 - "$tmp/odd.jsonl" <<'PY' || fail "odd bytes gave bad JSON"
import json, sys
rows = [json.loads(l) for l in open(sys.argv[1], encoding="utf-8", errors="strict")]
assert rows[0]["values"] == ["a\ufffd\ufffd", "-12.3400"], rows[0]
assert rows[1]["values"] == ["last", "7.0000"], rows[1]
PY

# Bad command lines and format files give 2 with a message.
check2() {
  local status=0
  $run "$tool" "$@" > /dev/null 2> "$tmp/err" || status=$?
  [ "$status" = 2 ] || fail "exit $status for $*"
  [ -s "$tmp/err" ] || fail "no message for $*"
}
check2
check2 "$tmp/f.json"
check2 "$tmp/missing.json" "$tmp/odd.txt"
check2 "$tmp/f.json" "$tmp/missing.txt"
bad=(
  '{"layout":"comma"'
  '{"layout":"wide","items":[{"lWidth":1,"lOffset":0,"lSize":2,"lType":0}]}'
  '{"layout":"fixed","quote":"double","items":[{"lWidth":1,"lOffset":0,"lSize":2,"lType":0}]}'
  '{"layout":"comma","items":[]}'
  '{"layout":"comma","items":[{"lWidth":1,"lOffset":-1,"lSize":2,"lType":0}]}'
  '{"layout":"comma","items":[{"lWidth":1,"lOffset":0,"lSize":3,"lType":1}]}'
  '{"layout":"comma","items":[{"lWidth":1024,"lOffset":0,"lSize":2,"lType":0}]}'
  '{"layout":"comma","items":[{"lWidth":1,"lOffset":1048575,"lSize":2,"lType":0}]}'
  '{"layout":"comma","items":[{"lWidth":1,"lOffset":0,"lSize":2,"lType":0,"lDecimals":5}]}'
  '{"layout":"comma","items":[{"lWidth":1,"lOffset":0,"lSize":2,"lType":3}]}'
  '{"layout":"comma","colour":1,"items":[{"lWidth":1,"lOffset":0,"lSize":2,"lType":0}]}'
  '{"layout":"comma","comment":"","items":[{"lWidth":1,"lOffset":0,"lSize":2,"lType":0}]}'
  '{"layout":"comma","layout":"tab","items":[{"lWidth":1,"lOffset":0,"lSize":2,"lType":0}]}'
  '{"layout":"comma","items":[{"lWidth":1,"lOffset":0,"lSize":2,"lType":0,"lSize":4}]}'
  '{"layout":"comma","items":[{"szName":"123456789012345678901234567890123456","lWidth":1,"lOffset":0,"lSize":2,"lType":0}]}'
)
for b in "${bad[@]}"; do
  printf '%s' "$b" > "$tmp/bad.json"
  check2 "$tmp/bad.json" "$tmp/odd.txt"
done
python3 -c 'import json;print(json.dumps({"layout":"comma","items":[{"lWidth":1,"lOffset":i*2,"lSize":2,"lType":0} for i in range(101)]}))' > "$tmp/bad.json"
check2 "$tmp/bad.json" "$tmp/odd.txt"
# What is not a regular file is refused, not waited on.
mkfifo "$tmp/fifo"
check2 "$tmp/f.json" "$tmp/fifo"
check2 "$tmp/f.json" "$tmp"
check2 "$tmp/fifo" "$tmp/odd.txt"
$run "$tool" --help | grep -q -E "(usage|使い方): velor-read" || fail "--help"

# The messages in the user's language: English, and Japanese under a Japanese
# locale, for the help, the command line, the files and the format's faults.
# (Under wine the language is the Windows one, Japanese, whatever LC_ALL says:
# velor's own tests check that side.)
if [ -z "$run" ]; then
in_lang() { local lang=$1; shift; env -u LANGUAGE LC_ALL="$lang" $run "$tool" "$@"; }
printf '{"layout":"comma","items":[{"lWidth":1,"lOffset":0,"lSize":3,"lType":1}]}' > "$tmp/size.json"
printf '{"layout":"comma","colour":1,"items":[{"lWidth":1,"lOffset":0,"lSize":2,"lType":0}]}' > "$tmp/key.json"
expect() {
  local lang=$1 text=$2 status=0; shift 2
  in_lang "$lang" "$@" > "$tmp/out" 2> "$tmp/err" || status=$?
  grep -qF -- "$text" "$tmp/out" "$tmp/err" || fail "$lang $*: no '$text' in: $(cat "$tmp/out" "$tmp/err")"
}
expect C "usage: velor-read FORMAT.json FILE" --help
expect ja_JP.UTF-8 "使い方: velor-read FORMAT.json FILE" --help
expect ja_JP.UTF-8 "終了ステータス" --help
expect C "expects FORMAT.json FILE" "$tmp/f.json"
expect ja_JP.UTF-8 "FORMAT.json FILE を指定してください" "$tmp/f.json"
expect C "the format file $tmp/missing.json cannot be read: no such file" "$tmp/missing.json" "$tmp/odd.txt"
expect ja_JP.UTF-8 "書式ファイル $tmp/missing.json を読めません" "$tmp/missing.json" "$tmp/odd.txt"
expect C "item 1: a number's \"lSize\" must be 1, 2, 4 or 8" "$tmp/size.json" "$tmp/odd.txt"
expect ja_JP.UTF-8 "項目 1: 数値の \"lSize\" は 1、2、4、8 のいずれかでなければなりません" "$tmp/size.json" "$tmp/odd.txt"
expect C "unknown key \"colour\" in the format" "$tmp/key.json" "$tmp/odd.txt"
expect ja_JP.UTF-8 "キー \"colour\" は書式では使えません" "$tmp/key.json" "$tmp/odd.txt"
expect ja_JP.UTF-8 "$tmp/missing.txt を読めません" "$tmp/f.json" "$tmp/missing.txt"
fi
echo "velor-read: all checks passed"
