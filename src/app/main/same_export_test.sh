#!/bin/bash
# The same store exported by the native build and by the Windows build (run
# through its emulator, wine) gives byte-identical asset files and logs; the
# kind files differ only in the line that holds the export's date.
# usage: same_export_test.sh EMULATOR VELOR_EXE NATIVE_VELOR NATIVE_VELOR_HOST SOURCE_DIR
set -u
emulator=$1
velor_exe=$2
velor=$3
host=$4
source_dir=$5
[ -x "$velor" ] && [ -x "$host" ] || { echo "SKIP: no native build at $(dirname "$velor")"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# The Windows form of a native path, through wine's drive Z: (the whole file
# system).
windows() { printf 'Z:%s' "$1" | tr / '\\'; }

"$host" init "$work/demo.sqlite" >/dev/null &&
  "$host" import "$work/demo.sqlite" "$source_dir/examples/demo-ledger.json" >/dev/null || fail "demo store"
"$host" init "$work/gen.sqlite" >/dev/null &&
  "$host" generate "$work/gen.sqlite" --assets 3000 --seed 11 >/dev/null || fail "generated store"

compare() {  # compare NAME STORE USER
  local name=$1 store=$2 user=$3 lin=$work/$1-native win=$work/$1-windows
  mkdir -p "$lin" "$win"
  HOME=$work VELOR_DRIVES="T:=$lin" VELOR_VIEWER= \
    "$velor" --db "$store" --user "$user" --yes --no-viewer --output 'T:\a.csv' </dev/null \
    >"$work/$name-native.out" 2>&1
  local native_status=$?
  "$emulator" "$velor_exe" --db "$(windows "$store")" --user "$user" --yes --no-viewer \
    --output "$(windows "$win")\\a.csv" </dev/null >"$work/$name-windows.out" 2>&1
  local windows_status=$?
  # 0: done; 3: done with diagnostics in the log.
  [ "$native_status" = 0 ] || [ "$native_status" = 3 ] ||
    fail "$name: native export ($native_status): $(cat "$work/$name-native.out")"
  [ "$windows_status" = "$native_status" ] ||
    fail "$name: Windows export $windows_status, native $native_status: $(cat "$work/$name-windows.out")"
  [ -s "$lin/a.csv" ] || fail "$name: the native export wrote no asset file"
  cmp "$lin/a.csv" "$win/a.csv" || fail "$name: the asset files differ"
  if [ "$native_status" = 3 ]; then
    [ -s "$lin/VelrixSysErr.txt" ] || fail "$name: diagnostics but no log"
    cmp "$lin/VelrixSysErr.txt" "$win/VelrixSysErr.txt" || fail "$name: the logs differ"
  else
    [ -e "$win/VelrixSysErr.txt" ] && fail "$name: the Windows export kept a log without entries"
  fi
  [ -s "$lin/syurui.SSC" ] || fail "$name: the native export wrote no kind file"
  # The kind file's lines but its date line (";日付", code page 932).
  local date_line
  date_line=$(printf ';\x93\xfa\x95\x74')
  cmp <(LC_ALL=C grep -avF "$date_line" "$lin/syurui.SSC") <(LC_ALL=C grep -avF "$date_line" "$win/syurui.SSC") ||
    fail "$name: the kind files differ beyond their date line"
  [ "$(LC_ALL=C grep -acF "$date_line" "$win/syurui.SSC")" = 1 ] || fail "$name: the Windows kind file has no date line"
  echo "$name: $(wc -c <"$lin/a.csv") bytes of assets, the same"
}

compare demo "$work/demo.sqlite" yamada
# This user's company data set has assets the log reports.
compare demo-log "$work/demo.sqlite" aoki
compare generated "$work/gen.sqlite" bench
echo PASS
