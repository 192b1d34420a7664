#!/bin/bash
# Ledgers through workbooks and CSV folders: the round trip JSON -> store ->
# workbook -> store gives the same velor export byte for byte (the demo
# ledger, and a generated store with amounts at their limits); a workbook
# saved again by python3-openpyxl, or written by it from nothing (shared
# texts, the 1904 date system, formulas), imports the same; hostile
# workbooks are refused with a clear message and leave the store as it was.
set -u
host=$1
velor=$2
source_dir=$3
# The Debian python that has openpyxl (a python of the user's own may not).
python=/usr/bin/python3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
export VELOR_DRIVES="T:=$work"
new_store() { rm -f "$1"; "$host" init "$1" --output-folder 'T:\' --settings-folder 'T:\' >/dev/null || fail "init $1"; }
# export_store STORE USER NAME: velor's files of STORE in $work/NAME.
export_store() {
  mkdir -p "$work/$3"
  timeout 60 "$velor" --db "$1" --user "$2" --yes --no-viewer --output "T:\\$3\\a.csv" </dev/null \
    >"$work/velor.out" 2>&1
  local status=$?
  [ $status = 0 ] || [ $status = 3 ] || fail "velor over $1: $(cat "$work/velor.out")"
}
# same_export A B USER: velor exports the same bytes from the stores A and B.
same_export() {
  export_store "$1" "$3" ea
  export_store "$2" "$3" eb
  for f in a.csv syurui.SSC; do
    cmp -s "$work/ea/$f" "$work/eb/$f" || fail "$f differs between $1 and $2"
  done
}
imports() {  # imports STORE LEDGER [options]: must succeed
  "$host" import "${@:3}" "$1" "$2" >"$work/out" 2>"$work/err" || fail "import $2: $(cat "$work/err")"
}
# round_trip SOURCE LEDGER TARGET USER...: SOURCE written out as LEDGER and
# imported into the new store TARGET gives velor the same files for each USER.
round_trip() {
  local source=$1 ledger=$2 target=$3
  shift 3
  "$host" export-ledger "$source" "$ledger" >/dev/null || fail "export-ledger $ledger"
  new_store "$target"
  imports "$target" "$ledger"
  for user in "$@"; do same_export "$source" "$target" "$user"; done
}

# The demo ledger: JSON -> store -> workbook -> store, and back through CSV.
new_store "$work/json.sqlite"
imports "$work/json.sqlite" "$source_dir/examples/demo-ledger.json"
round_trip "$work/json.sqlite" "$work/demo.xlsx" "$work/book.sqlite" yamada aoki
"$host" export-ledger "$work/json.sqlite" "$work/a.json" >/dev/null || fail "export-ledger json"
"$host" export-ledger "$work/book.sqlite" "$work/b.json" >/dev/null || fail "export-ledger json"
cmp -s "$work/a.json" "$work/b.json" || fail "the ledger differs after a trip through a workbook"

# Saved again by another writer: openpyxl's own strings and styles.
"$python" - "$work/demo.xlsx" "$work/resaved.xlsx" <<'PY' || fail "openpyxl could not re-save the workbook"
import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
book.save(sys.argv[2])
PY
new_store "$work/resaved.sqlite"
imports "$work/resaved.sqlite" "$work/resaved.xlsx"
"$host" export-ledger "$work/resaved.sqlite" "$work/c.json" >/dev/null || fail "export-ledger json"
cmp -s "$work/a.json" "$work/c.json" || fail "the workbook re-saved by openpyxl gives another ledger"

# A generated store with amounts at the limits of the type and of a double.
new_store "$work/big.sqlite"
"$host" generate "$work/big.sqlite" --assets 5000 --seed 5 >/dev/null || fail "generate"
cat >"$work/limits.json" <<'JSON'
{"format": "velor-ledger/1", "users": [{"user_id": "edge", "selected_data_no": 77}],
 "companies": [{"data_no": 77, "data_id": "EDGE", "szDataName": "限界", "lTermStart": 20250401, "lTermEnd": 20260331,
  "asset_kinds": [{"lKindNo": 5, "szKindName": "器具", "nKindMethod": 1}],
  "assets": [
   {"szAssetCode": "1", "lKindCode": 5, "nMethod": 5, "cyAcquisitionCost": "922337203685477.5807",
    "cyOpeningBookValue": "99999999999", "cyAccumulated": "0.0001", "cyComputedDepreciation": "9007199254740.993"},
   {"szAssetCode": "2", "lKindCode": 5, "nMethod": 6, "cyAcquisitionCost": "-922337203685477.5808",
    "cyOpeningBookValue": "-99999999999.9999", "cyClosingBookValue": "0.1", "lAcquiredDate": 19000228},
   {"szAssetCode": "3", "lKindCode": 5, "nMethod": 4, "cyAcquisitionCost": "1234567.8901",
    "breakdowns": [{"szBreakdownName": "内訳,\"引用\"", "cyBreakdownCost": "0.5", "lBreakdownDate": 20250401}]}]}]}
JSON
imports "$work/big.sqlite" "$work/limits.json"
round_trip "$work/big.sqlite" "$work/big.xlsx" "$work/big2.sqlite" bench edge
round_trip "$work/big.sqlite" "$work/big/" "$work/big3.sqlite" edge

# A workbook written by openpyxl from nothing: shared texts, the 1904 date
# system, amounts as text with a yen sign, a code from its list, a formula
# with no saved value, an error cell.
"$python" - "$work/own.xlsx" <<'PY' || fail "openpyxl could not write a workbook"
import sys, datetime, openpyxl
from openpyxl.utils.datetime import CALENDAR_MAC_1904
book = openpyxl.Workbook()
book.epoch = CALENDAR_MAC_1904
sheet = book.active
sheet.title = "会社"
sheet.append(["会社名", "データID", "データ番号", "期首日"])
sheet.append(["見本商事", "M1", 5, datetime.date(2025, 4, 1)])
assets = book.create_sheet("資産")
assets.append(["データ番号", "資産コード", "取得価額", "償却方法", "取得日", "資産名"])
assets.append([5, "A1", "¥1,234,567.5", "5:定率法", datetime.date(2024, 2, 29), "複合機"])
assets.append([5, "A2", 0.1, 6, "2025/04/01", "=CONCAT(\"a\",\"b\")"])
book.save(sys.argv[1])
PY
new_store "$work/own.sqlite"
"$host" import "$work/own.sqlite" "$work/own.xlsx" >"$work/out" 2>"$work/err" && fail "a formula without a value was taken"
grep -qF '資産 row 3, column F (資産名), value "the formula =CONCAT("a","b") has no saved value' "$work/err" ||
  fail "formula without a value: $(cat "$work/err")"
"$python" - "$work/own.xlsx" <<'PY' || fail "openpyxl could not change the workbook"
import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
book["資産"]["F3"] = "コピー機"
book.save(sys.argv[1])
PY
imports "$work/own.sqlite" "$work/own.xlsx"
"$host" export-ledger "$work/own.sqlite" "$work/own.json" >/dev/null || fail "export-ledger own"
for want in '"lTermStart":20250401' '"cyAcquisitionCost":"1234567.5","lAcquiredDate":20240229' '"nMethod":5' \
            '"cyAcquisitionCost":"0.1","lAcquiredDate":20250401' '"szAssetName":"コピー機"'; do
  grep -qF "$want" "$work/own.json" || fail "openpyxl's workbook: no $want in $(cat "$work/own.json")"
done

# The same workbook with its texts in a shared-string table, as other
# writers keep them (with a phonetic reading, which is no part of the text).
"$python" - "$work/own.xlsx" "$work/shared.xlsx" <<'PY' || fail "could not make the shared-string workbook"
import sys, re, zipfile
source = zipfile.ZipFile(sys.argv[1])
strings = []
def share(match):
    strings.append(match.group(2))
    return '<c r="%s" t="s"><v>%d</v></c>' % (match.group(1), len(strings) - 1)
with zipfile.ZipFile(sys.argv[2], "w", zipfile.ZIP_DEFLATED) as out:
    for name in source.namelist():
        data = source.read(name).decode("utf-8")
        if name.startswith("xl/worksheets/"):
            data = re.sub(r'<c r="([A-Z]+[0-9]+)" t="inlineStr"><is><t>(.*?)</t></is></c>', share, data)
        elif name == "xl/_rels/workbook.xml.rels":
            data = data.replace("</Relationships>", '<Relationship Id="rIdS" Type="http://schemas.openxmlformats.org/'
                                'officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>')
        out.writestr(name, data)
    items = "".join("<si><t>%s</t>%s</si>" % (t, '<rPh sb="0" eb="1"><t>ヨミ</t></rPh>' if i == 0 else "")
                    for i, t in enumerate(strings))
    out.writestr("xl/sharedStrings.xml", '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
                 'count="%d" uniqueCount="%d">%s</sst>' % (len(strings), len(strings), items))
PY
new_store "$work/shared.sqlite"
imports "$work/shared.sqlite" "$work/shared.xlsx"
"$host" export-ledger "$work/shared.sqlite" "$work/shared.json" >/dev/null || fail "export-ledger shared"
cmp -s "$work/own.json" "$work/shared.json" || fail "shared strings: $(cat "$work/shared.json")"

# Hostile workbooks: each refused within the test's time with a message, the store untouched.
"$host" export-ledger "$work/own.sqlite" "$work/before.json" >/dev/null
"$python" - "$work" <<'PY' || fail "could not make the hostile workbooks"
import sys, zipfile, os
from openpyxl.utils import get_column_letter as openpyxl_column
work = sys.argv[1]
good = zipfile.ZipFile(os.path.join(work, "shared.xlsx"))
parts = {n: good.read(n) for n in good.namelist()}
def book(name, changes, extra=()):
    with zipfile.ZipFile(os.path.join(work, name), "w", zipfile.ZIP_DEFLATED) as z:
        for n, data in parts.items():
            z.writestr(n, changes.get(n, data))
        for n, data in extra:
            z.writestr(n, data)
sheet = "xl/worksheets/sheet2.xml"
book("bomb.xlsx", {sheet: parts[sheet][:-len(b"</worksheet>")] + b" " * (300 << 20) + b"</worksheet>"})
book("many.xlsx", {}, [("x/%d" % i, b"") for i in range(12000)])
book("climb.xlsx", {}, [("../../evil.txt", b"x")])
book("wide.xlsx", {sheet: b'<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
     b'<row r="1"><c r="XFE1"><v>1</v></c></row></sheetData></worksheet>'})
laughs = b'<?xml version="1.0"?><!DOCTYPE lolz [<!ENTITY lol "lol"><!ENTITY lol2 "&lol;&lol;&lol;&lol;&lol;">]>' \
         b'<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData><row r="1">' \
         b'<c r="A1" t="inlineStr"><is><t>&lol2;</t></is></c></row></sheetData></worksheet>'
book("laughs.xlsx", {sheet: laughs})
cells = "".join('<c r="%s1" t="s"><v>0</v></c>' % openpyxl_column(i + 1) for i in range(600))
book("rowtext.xlsx", {sheet: ('<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
                              '<row r="1">%s</row></sheetData></worksheet>' % cells).encode(),
                      "xl/sharedStrings.xml": b'<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
                                              b'<si><t>' + b"x" * 30000 + b'</t></si></sst>'})
open(os.path.join(work, "nozip.xlsx"), "wb").write(b"PK\x03\x04 this is no zip file at all" * 100)
PY
for case in "bomb:expands" "many:parts, more than 10000" "climb:points outside it" "wide:beyond the last column XFD" \
            "laughs:document type declaration" "nozip:is not a workbook" "rowtext:holds more than 16 MiB of text"; do
  name=${case%%:*}
  timeout 20 "$host" import "$work/own.sqlite" "$work/$name.xlsx" >"$work/out" 2>"$work/err"
  status=$?
  [ $status = 1 ] || fail "$name.xlsx: exit $status, wanted 1: $(cat "$work/err")"
  grep -qF "${case#*:}" "$work/err" || fail "$name.xlsx: $(cat "$work/err")"
done
"$host" export-ledger "$work/own.sqlite" "$work/after.json" >/dev/null
cmp -s "$work/before.json" "$work/after.json" || fail "a hostile workbook changed the store"

# The template: every sheet with its titles, and the explanation sheet.
"$host" template "$work/template.xlsx" >/dev/null || fail "template xlsx"
"$python" - "$work/template.xlsx" <<'PY' || fail "the template's sheets"
import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
assert book.sheetnames == ["会社", "利用者", "資産種類", "資産", "内訳", "説明"], book.sheetnames
assert book["資産"]["I1"].value == "取得日", book["資産"]["I1"].value
assert any(v.type == "list" for v in book["資産"].data_validations.dataValidation)
assert book["説明"].max_row > 50
PY
new_store "$work/empty.sqlite"
imports "$work/empty.sqlite" "$work/template.xlsx" --dry-run
grep -q "would add 0 companies" "$work/out" || fail "dry run of the empty template: $(cat "$work/out")"
echo "workbooks: all checks passed"
