#!/bin/bash
# Runs velor-host over a fresh store: init, import of the demo ledger, list,
# select, generate, and the exit codes of refusals and bad command lines.
set -u
tool=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
expect() {  # expect STATUS command...
  local want=$1; shift
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  [ "$got" = "$want" ] || fail "$* exited $got, wanted $want: $(cat "$work/err")"
}
db=$work/host.sqlite
export VELOR_DRIVES="C:=$work/c"
expect 0 "$tool" init "$db" --output-folder 'C:\出力' --settings-folder 'C:\設定\'
grep -q "created the host store" "$work/out" || fail "init says what it made: $(cat "$work/out")"
expect 1 "$tool" init "$db"
grep -q "already exists" "$work/err" || fail "init over an existing file: $(cat "$work/err")"
expect 0 "$tool" import --dry-run "$db" "$source_dir/examples/demo-ledger.json"
grep -q "would add 2 companies" "$work/out" || fail "dry run: $(cat "$work/out")"
expect 0 "$tool" import "$db" "$source_dir/examples/demo-ledger.json"
grep -q "imported 2 companies, 2 users, 42 assets, 4 breakdown lines, 15 asset kinds" "$work/out" ||
  fail "import summary: $(cat "$work/out")"
expect 1 "$tool" import "$db" "$source_dir/examples/demo-ledger.json"
grep -q "users\[0\].user_id" "$work/err" || fail "second import: $(cat "$work/err")"
expect 1 "$tool" import --dry-run "$db" "$source_dir/examples/demo-ledger.json"
grep -q "users\[0\].user_id" "$work/err" || fail "dry run of a clash: $(cat "$work/err")"
expect 0 "$tool" import --replace "$db" "$source_dir/examples/demo-ledger.json"
grep -q "replacing 2 companies and 2 users" "$work/out" || fail "replace: $(cat "$work/out")"
# A ledger saved in code page 932 is named as such, with the way to convert it.
iconv -f UTF-8 -t CP932 "$source_dir/examples/demo-ledger.json" >"$work/sjis.json"
expect 1 "$tool" import --dry-run "$db" "$work/sjis.json"
grep -q "Shift_JIS (code page 932); convert it with iconv -f CP932 -t UTF-8" "$work/err" ||
  fail "code page 932 ledger: $(cat "$work/err")"
expect 0 "$tool" list "$db"
grep -q "株式会社山田製作所" "$work/out" || fail "list: $(cat "$work/out")"
grep -qF 'output_folder: C:\出力\' "$work/out" || fail "output folder: $(cat "$work/out")"
grep -qF 'settings_folder: C:\設定\' "$work/out" || fail "settings folder: $(cat "$work/out")"
grep -qF 'product_name: 減価償却アプリケーション' "$work/out" || fail "default product: $(cat "$work/out")"
grep -q "yamada" "$work/out" || fail "list users: $(cat "$work/out")"
expect 0 "$tool" select "$db" yamada 2
expect 1 "$tool" select "$db" yamada 42
grep -q "no company data set has the number 42" "$work/err" || fail "select of missing data"
expect 1 "$tool" select "$db" nobody 1
expect 2 "$tool" select "$db" yamada twelve
expect 0 "$tool" generate "$db" --assets 100 --seed 7
grep -q "100 assets" "$work/out" || fail "generate: $(cat "$work/out")"
expect 0 "$tool" list "$db"
grep -q "bench	3" "$work/out" || fail "bench user: $(cat "$work/out")"
expect 1 "$tool" list "$work/missing.sqlite"
grep -q "no host store at" "$work/err" || fail "missing store: $(cat "$work/err")"
# Defaults: the Windows form of $HOME/ for the output folder, the store's own
# folder for the settings (every user of the store shares them).
mkdir -p "$work/home"
expect 0 env HOME="$work/home" VELOR_DRIVES="H:=$work/home" "$tool" init "$work/home/shared/d.sqlite"
expect 0 "$tool" list "$work/home/shared/d.sqlite"
grep -qF 'output_folder: H:\' "$work/out" || fail "default output folder: $(cat "$work/out")"
grep -qF 'settings_folder: H:\shared\' "$work/out" || fail "default settings: $(cat "$work/out")"
grep -qF 'drives: H: (' "$work/out" || fail "drives the store needs: $(cat "$work/out")"
(cd "$work/home/shared" && env HOME="$work/home" VELOR_DRIVES="H:=$work/home" "$tool" init e.sqlite >/dev/null) ||
  fail "init of a store named without its folder"
expect 0 "$tool" list "$work/home/shared/e.sqlite"
grep -qF 'settings_folder: H:\shared\' "$work/out" || fail "settings of a relative store: $(cat "$work/out")"
expect 1 env HOME=/nowhere VELOR_DRIVES="H:=$work/home;Z:=$work/z" "$tool" init "$work/f.sqlite"
grep -q "no Windows form" "$work/err" || fail "folder outside the map: $(cat "$work/err")"
# Folders velor would refuse are refused here, with the reason; nothing is made.
expect 1 "$tool" init "$work/g.sqlite" --output-folder /srv/out
grep -qF -- '--output-folder /srv/out is not a Windows path' "$work/err" || fail "native folder: $(cat "$work/err")"
grep -qF 'this folder is Z:\srv\out' "$work/err" || fail "native folder hint: $(cat "$work/err")"
expect 1 "$tool" init "$work/g.sqlite" --settings-folder 'out\settings'
grep -qF -- '--settings-folder out\settings is not a Windows path' "$work/err" || fail "relative: $(cat "$work/err")"
expect 1 "$tool" init "$work/g.sqlite" --output-folder 'Q:\out'
grep -qF 'lies on a drive or share that VELOR_DRIVES does not map' "$work/err" || fail "unmapped: $(cat "$work/err")"
expect 1 "$tool" init "$work/g.sqlite" --output-folder 'C:out'
[ ! -e "$work/g.sqlite" ] || fail "a refused init left a store"
# Missing folders above the store are made and named.
expect 0 "$tool" init "$work/new/deeper/h.sqlite" --output-folder 'C:\' --settings-folder 'C:\s\' \
  --product-name '見本償却'
grep -qF "created the folder $work/new/deeper" "$work/err" || fail "folder note: $(cat "$work/err")"
expect 0 "$tool" list "$work/new/deeper/h.sqlite"
grep -qF 'product_name: 見本償却' "$work/out" || fail "product name: $(cat "$work/out")"
expect 1 "$tool" init "$work/i.sqlite" --product-name "$(printf 'x%.0s' $(seq 1 65))"
grep -q "product-name must be 1 to 64 bytes" "$work/err" || fail "long product: $(cat "$work/err")"
expect 2 "$tool" frobnicate
expect 2 "$tool" import "$db"
for c in init import template export-ledger list select check generate; do
  expect 0 "$tool" "$c" --help
  grep -q "usage: velor-host $c" "$work/out" || fail "$c --help"
done
expect 0 "$tool" import --help
grep -q "ledger-format.md" "$work/out" || fail "import --help names the format document"
[ -f "$source_dir/docs/ledger-format.md" ] || fail "docs/ledger-format.md is missing"
# Under a Japanese locale: the help, the refusals, the list of mistakes and
# the summaries in Japanese.
LANG=ja_JP.UTF-8 LC_ALL= LANGUAGE= expect 0 "$tool" import --help
grep -q "使い方: velor-host import" "$work/out" || fail "Japanese help: $(cat "$work/out")"
LANG=ja_JP.UTF-8 LC_ALL= LANGUAGE= expect 2 "$tool" frobnicate
grep -q "不明なコマンド frobnicate" "$work/err" || fail "Japanese usage error: $(cat "$work/err")"
LANG=ja_JP.UTF-8 LC_ALL= LANGUAGE= expect 1 "$tool" import --dry-run "$db" "$source_dir/examples/demo-ledger.json"
grep -q "誤りが 4 件あるため、何も取り込みませんでした" "$work/err" || fail "Japanese refusal: $(cat "$work/err")"
grep -q "users\[0\].user_id: 「yamada」は既にストアの利用者です" "$work/err" || fail "Japanese mistake: $(cat "$work/err")"
LANG=ja_JP.UTF-8 LC_ALL= LANGUAGE= expect 0 "$tool" import --dry-run --replace "$db" "$source_dir/examples/demo-ledger.json"
grep -q "会社 2 件、利用者 2 件、資産 42 件" "$work/out" || fail "Japanese summary: $(cat "$work/out")"
# The CSV template and export in the tool's own words.
expect 0 "$tool" template "$work/template/"
[ -f "$work/template/資産.csv" ] && [ -f "$work/template/説明.csv" ] || fail "CSV template: $(ls "$work/template")"
expect 0 "$tool" export-ledger "$db" "$work/ledger/"
expect 0 "$tool" export-ledger "$db" "$work/ledger.json"
expect 0 "$tool" import --dry-run --replace "$db" "$work/ledger/"
grep -q "資産.csv: read as UTF-8" "$work/err" || fail "CSV encoding note: $(cat "$work/err")"
sed '1s/^\xEF\xBB\xBF//' "$work/ledger/資産.csv" | iconv -f UTF-8 -t CP932 >"$work/sjis.csv" || fail "iconv"
mv "$work/sjis.csv" "$work/ledger/資産.csv"
expect 0 "$tool" import --dry-run --replace "$db" "$work/ledger/"
grep -q "資産.csv: read as code page 932" "$work/err" || fail "CSV in code page 932: $(cat "$work/err")"
echo "velor-host: all checks passed"
