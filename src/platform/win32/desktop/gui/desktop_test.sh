#!/bin/bash
# Drives `velor.exe --ui desktop` under wine in a virtual X session as a
# person on Windows would: the dialog made from its resource template (its
# controls, styles, texts and layout in dialog units of its font), the keys
# of the dialog, an export with a folder question whose files match those of
# the Linux build, the cancellation by Esc and by the close box, the file
# chooser. The front end's trace (VELOR_DESKTOP_TRACE) says what is on the
# screen and where the focus is.
# With VELOR_WINDOWS_SCREENSHOT=FILE.png the dialog's picture is kept there.
# usage: desktop_test.sh VELOR_EXE VELOR_HOST_EXE SOURCE_DIR BUILD_DIR
set -u
velor=$1
velor_host=$2
source_dir=$3
build_dir=$4
wine_run=$source_dir/cmake/wine-run.sh
for tool in wine xdotool python3; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
. "$source_dir/src/platform/wx/gui/xsession.sh"
# The test's own wine prefix, made once per build folder: its desktop
# process belongs to this X session alone.
export WINEPREFIX=$build_dir/wineprefix-desktop
drive_c=$WINEPREFIX/drive_c
base=velor-desktop-test
cleanup() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  wineserver -k 2>/dev/null
  xsession_stop
  rm -rf "$work" "$drive_c/$base"
}
trap cleanup EXIT
# The Windows form of a native path under the drive Z: (wine's "/").
windows_path() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }

xsession_start "$work"
rc=$?
[ $rc = 0 ] || exit $rc
wineserver -k 2>/dev/null
"$wine_run" cmd /c exit 0 >/dev/null 2>&1 || { echo "FAIL: wine cannot start in $WINEPREFIX"; exit 1; }

trace=$work/trace
WAIT_LIMIT=20 FINISH_LIMIT=20
. "$source_dir/src/platform/wx/gui/tracedrive.sh"
export VELOR_DESKTOP_TRACE=$(windows_path "$trace")
rm -rf "$drive_c/$base"
mkdir -p "$drive_c/$base"
out=$drive_c/$base/out
store=$(windows_path "$work/host.sqlite")
"$wine_run" "$velor_host" init "$store" --output-folder "C:\\$base\\" \
  --settings-folder "C:\\$base\\settings\\" >/dev/null 2>"$work/err" &&
  "$wine_run" "$velor_host" import "$store" "$(windows_path "$source_dir/examples/demo-ledger.json")" \
    >/dev/null 2>>"$work/err" || { cat "$work/err"; echo "FAIL: cannot make the store"; exit 1; }

type_text() { xdotool type --delay 30 "$1"; }
start() {
  : >"$trace"
  mark=0
  "$wine_run" "$velor" --ui desktop --db "$store" --user "${user:-yamada}" --no-viewer "$@" \
    >"$work/out" 2>"$work/err" &
  pid=$!
  wait_for '^focus 1007$' 60 && wait_for '^shown$' 10 && sleep 0.5
}
# answer KEY: presses KEY in the message box once it is active.
answer() {
  wait_for '^messagebox active$' && sleep 0.5 && key "$1"
}

# --- the dialog as its template makes it: controls, classes, styles, texts,
# and places in dialog units of its font.
start || fail "the dialog did not come up"
python3 - "$trace" <<'PY' || fail "the dialog's template"
import re, sys
lines = open(sys.argv[1], encoding="utf-8").read().replace("\r", "").splitlines()
head = next(l for l in lines if l.startswith("dialog "))
m = re.search(r"face=(.*) points=(\d+) charset=(\d+) units=(\d+),(\d+) client=(\d+),(\d+) style=0x([0-9a-f]+)", head)
assert m, head
face, points, charset, bx, by, cw, ch = m.group(1), *map(int, m.groups()[1:7])
style = int(m.group(8), 16)
assert face == "ＭＳ Ｐゴシック", face
assert points == 9, points
assert charset in (1, 128), charset  # the template's SHIFTJIS_CHARSET, or DEFAULT_CHARSET as wine keeps it
for bit in (0x80000000, 0x00C00000, 0x00080000, 0x00000080):  # popup, caption, system menu, modal frame
    assert style & bit, hex(style)
caption = next(l for l in lines if l.startswith("caption "))
assert caption == "caption 減価償却 - 集計条件", caption
muldiv = lambda a, b, c: (a * b + c // 2) // c
px = lambda v: muldiv(v, bx, 4)
py = lambda v: muldiv(v, by, 8)
assert (cw, ch) == (px(255), py(107)), (cw, ch, px(255), py(107))
SG, CI, RT = 0x20000, 0x200, 0x2  # WS_GROUP, SS_CENTERIMAGE, SS_RIGHT
TAB, BORDER, AUTOH = 0x10000, 0x800000, 0x80
want = [  # id, class, text, style bits that must be set, x, y, w, h
    (1000, "static", "事業所名", SG | CI, 7, 7, 35, 12),
    (-1, "static", "：", SG | CI | RT, 46, 7, 8, 12),
    (1002, "static", " 株式会社山田製作所", SG | CI, 59, 7, 189, 12),
    (1001, "static", "会計期間", SG | CI, 7, 26, 35, 12),
    (-1, "static", "：", SG | CI | RT, 46, 26, 8, 12),
    (1003, "static", " 2025/04/01～2026/03/31", SG | CI, 59, 25, 189, 12),
    (1004, "button", "出力先(&O)", 0x7, 7, 47, 241, 35),
    (1007, "edit", None, TAB | AUTOH, 10, 62, 170, 12),
    (1008, "button", "参照(&D)...", TAB, 186, 61, 57, 14),
    (1005, "button", "実行(F12)", TAB, 129, 86, 57, 14),
    (1006, "button", "キャンセル(Esc)", TAB, 191, 86, 57, 14),
]
got = []
for l in lines:
    m = re.match(r"control (-?\d+) class=(\S+) style=0x([0-9a-f]+) exstyle=0x([0-9a-f]+) rect=(-?\d+),(-?\d+),(\d+),(\d+) text=(.*)$", l)
    if m:
        got.append((int(m.group(1)), m.group(2).lower(), int(m.group(3), 16), int(m.group(4), 16),
                    tuple(map(int, m.groups()[4:8])), m.group(9)))
assert len(got) == len(want), [g[0] for g in got]
for (cid, cls, text, bits, x, y, w, h), (gid, gcls, gstyle, gex, rect, gtext) in zip(want, got):
    assert (gid, gcls) == (cid, cls), (gid, gcls, cid, cls)
    assert gstyle & bits == bits, (cid, hex(gstyle), hex(bits))
    if text is not None:
        assert gtext == text, (cid, gtext, text)
    assert rect == (px(x), py(y), px(w), py(h)), (cid, rect, (px(x), py(y), px(w), py(h)))
    if cls == "button" and bits & TAB:
        assert gstyle & 0xF == 0, (cid, "a default push button", hex(gstyle))  # BS_PUSHBUTTON
    if cid == 1007:
        assert gex & 0x20200 == 0x20200, hex(gex)  # client edge and static edge
        # The edit draws its border as the client edge: given that, it
        # drops WS_BORDER itself when it is made.
        assert gstyle & BORDER or gex & 0x200, (hex(gstyle), hex(gex))
        assert gtext.endswith("*.csv"), gtext
PY
passed=$((passed + 1))
if [ -n "${VELOR_WINDOWS_SCREENSHOT:-}" ] && command -v import >/dev/null; then
  window=$(xdotool getactivewindow)
  import -frame -window "$window" "$VELOR_WINDOWS_SCREENSHOT" && echo "screenshot: $VELOR_WINDOWS_SCREENSHOT"
fi

# --- the keys: F12 on the default pattern is refused and the path selected;
# Tab walks the tab stops; Enter in the edit moves to the browse button;
# modifiers defeat the dialog's keys.
key F12
check "F12 on the default pattern is refused" \
  wait_for '^messagebox type=0x30 owner=dialog caption=減価償却 text=データの出力先に不正な文字が含まれています。'
answer Return
check "after a refusal the whole path is selected" wait_for '^select 1007 0-[1-9][0-9]*$'
key Tab && wait_for '^focus 1008$' && key Tab && wait_for '^focus 1005$' &&
  key Tab && wait_for '^focus 1006$' && key Tab && wait_for '^focus 1007$'
check "Tab order edit, browse, execute, cancel" test $? = 0
key Return
check "Enter in the edit moves the focus to the browse button" wait_for '^focus 1008$'
check "Enter in the edit executes nothing" eval '! seen ^messagebox'
key shift+Tab && wait_for '^focus 1007$'
key ctrl+F12
sleep 1
check "Ctrl+F12 does nothing" eval '! seen "^messagebox"'
# --- Esc: the cancellation message, owned by the dialog, then the end.
key Escape
check "Esc shows the cancellation message" \
  wait_for '^messagebox type=0x40 owner=dialog caption=減価償却 text=｢減価償却｣の集計を中止します。$'
answer Return
finish
check "a cancelled run exits 1" test "$status" = 1
check "a cancelled run writes nothing" test ! -e "$out"

# --- an export: a typed path in a missing folder, F12, Yes to the folder
# question; the three files of the Linux build, byte for byte.
start || fail "the dialog did not come up"
key ctrl+a
type_text "C:\\$base\\out\\assets.csv"
key F12
check "F12 asks before creating the folder" \
  wait_for '^messagebox type=0x24 owner=dialog caption=減価償却 text=指定されたフォルダは存在しません。'
answer Return
check "Enter answers Yes" wait_for '^answer yes$'
check "the dialog ends with 1005" wait_for '^end 1005$'
check "the wait cursor is shown during the export" wait_for '^wait cursor on$'
check "the completion message names the files" \
  wait_for '^messagebox type=0x40 owner=none .*C:\\\\'"$base"'\\\\out\\\\assets.csv .*C:\\\\'"$base"'\\\\out\\\\syurui.SSC'
answer Return
finish
check "the export exits 0" test "$status" = 0
check "the asset file is the Linux build's, byte for byte" \
  cmp "$out/assets.csv" "$source_dir/src/export/testdata/demo-corporation.csv"
check "the asset-kind file is the Linux build's but for its date line" \
  cmp <(sed '4d' "$out/syurui.SSC") <(sed '4d' "$source_dir/src/export/testdata/demo-corporation-syurui.SSC")
check "an export without entries deletes the log" test ! -e "$out/VelrixSysErr.txt"
check "the path is remembered in the settings file" \
  grep -qaF "yamada/" "$drive_c/$base/settings/Velorant.env"

# --- an export with diagnostics: the third file, the log, stays; with a
# Linux build at hand (VELOR_NATIVE_BUILD) its files are compared too.
user=aoki start || fail "the dialog did not come up"
key ctrl+a
type_text "C:\\$base\\out\\aoki.csv"
key F12
# The folder holds yamada's export: the question names that company and the
# files the export replaces.
check "another company's files in the folder are named before they are replaced" \
  wait_for '^messagebox type=0x24 owner=dialog .*text=出力先のフォルダには、別の会社データ（株式会社山田製作所）の出力ファイルがあります。.*syurui.SSC'
answer Return
check "the closing message says the export only provisionally finished" \
  wait_for '^messagebox type=0x40 owner=none .*text=減価償却情報の出力が一応終了しました。'
answer Return
finish
check "an export with diagnostics exits 3" test "$status" = 3
check "the asset file, the asset-kind file and the log are there" \
  test -s "$out/aoki.csv" -a -s "$out/syurui.SSC" -a -s "$out/VelrixSysErr.txt"
check "the log is code page 932" \
  eval 'iconv -f CP932 -t UTF-8 "$out/VelrixSysErr.txt" | grep -q "＜ERROR＞"'
native=${VELOR_NATIVE_BUILD:-}
if [ -n "$native" ] && [ -x "$native/src/app/main/velor" ]; then
  mkdir -p "$work/linux/home"
  HOME=$work/linux/home VELOR_DRIVES="C:=$work/linux;Z:=/" "$native/tools/velor-host/velor-host" init \
    "$work/linux/host.sqlite" --output-folder 'C:\' --settings-folder 'C:\s\' >/dev/null &&
    HOME=$work/linux/home "$native/tools/velor-host/velor-host" import "$work/linux/host.sqlite" \
      "$source_dir/examples/demo-ledger.json" >/dev/null
  HOME=$work/linux/home VELOR_DRIVES="C:=$work/linux;Z:=/" "$native/src/app/main/velor" --ui console \
    --db "$work/linux/host.sqlite" --user aoki --output 'C:\aoki.csv' --yes --no-viewer </dev/null >/dev/null 2>&1
  check "the Linux build's asset file with diagnostics is the same" cmp "$out/aoki.csv" "$work/linux/aoki.csv"
  check "the Linux build's log is the same" cmp "$out/VelrixSysErr.txt" "$work/linux/VelrixSysErr.txt"
fi

# --- the remembered path comes back; F12 asks before replacing the file;
# No leaves the dialog open with the focus on the edit; the close box cancels.
start || fail "the dialog did not come up"
key F12
check "F12 asks before replacing the file (and aoki's files beside it)" \
  wait_for '^messagebox type=0x24 owner=dialog .*text=出力先のフォルダには、別の会社データ（青木農園.*assets.csv'
answer Tab
key Return
check "No answers no" wait_for '^answer no$'
check "after No the focus is back on the edit" wait_for '^focus 1007$'
before=$(stat -c %Y "$out/assets.csv")
key alt+F4
check "the close box shows the cancellation message" \
  wait_for '^messagebox type=0x40 owner=dialog .*text=｢減価償却｣の集計を中止します。$'
answer Return
finish
check "cancelling after No exits 1" test "$status" = 1
check "the file answered No stays as it was" test "$before" = "$(stat -c %Y "$out/assets.csv")"

# --- the file chooser: Alt+D, then Enter on the browse button; a name typed
# without extension gets ".CSV"; the chosen path comes back into the edit.
start || fail "the dialog did not come up"
key alt+d
check "Alt+D opens the chooser with its title, folder, file and filter" \
  wait_for '^chooser title=保存ファイルを指定 folder=C:\\\\'"$base"'\\\\out\\\\ file=assets.csv filter=CSV Files \(\*\.csv\)\|\*\.csv\|\|$'
wait_for '^chooser active$' && sleep 1
key Escape
check "a cancelled chooser leaves the focus on the execute button" wait_for '^focus 1005$'
key shift+Tab && wait_for '^focus 1008$' && key Return
check "Enter on the browse button opens the chooser" wait_for '^chooser title='
wait_for '^chooser active$' && sleep 1
key ctrl+a
type_text chosen
key Return
check "the chooser adds the default extension" \
  wait_for '^chooser chose C:\\\\'"$base"'\\\\out\\\\chosen\.(CSV|csv)$'
check "the focus goes to the execute button" wait_for '^focus 1005$'
key Return
answer Return
finish
check "the chosen path is exported" eval 'ls "$out" | grep -qi "^chosen\.csv$"'

echo "desktop (windows): $passed passed, $failures failed"
[ "$failures" = 0 ]
