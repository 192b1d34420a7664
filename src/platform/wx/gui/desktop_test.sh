#!/bin/bash
# Drives `velor --ui desktop` in a virtual X session as a person would: the
# layout of the condition dialog, an export with a folder question, the
# cancellation by Esc and by the close box, the keys of the dialog, the edit
# limit, the file chooser and a batch of every company. The front end's trace (VELOR_DESKTOP_TRACE)
# says what is on the screen and where the focus is.
# usage: desktop_test.sh VELOR VELOR_HOST SOURCE_DIR
set -u
velor=$1
velor_host=$2
source_dir=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
. "$here/xsession.sh"
cleanup() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  xsession_stop
  rm -rf "$work"
}
trap cleanup EXIT

xsession_start "$work"
rc=$?
[ $rc = 0 ] || exit $rc

trace=$work/trace
drive=$work/c
mkdir -p "$drive" "$work/home"
export HOME=$work/home LANG=C.UTF-8 VELOR_DESKTOP_TRACE=$trace GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
export VELOR_DRIVES="C:=$drive;Z:=/"
unset VELOR_VIEWER
. "$here/tracedrive.sh"
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/lsan-toolkit.supp:print_suppressions=0"
store=$work/host.sqlite
"$velor_host" init "$store" --output-folder 'C:\' --settings-folder 'C:\settings\' >/dev/null &&
  "$velor_host" import "$store" "$source_dir/examples/demo-ledger.json" >/dev/null ||
  { echo "FAIL: cannot make the store"; exit 1; }

# start: runs velor on the store and waits until the dialog has the focus.
start() {
  : >"$trace"
  mark=0
  "$velor" --ui desktop --db "$store" --user yamada --no-viewer "$@" >"$work/out" 2>"$work/err" &
  pid=$!
  wait_for '^focus 1007$' 20
}
# answer KEY: presses KEY in the message box once it has the focus.
answer() {
  wait_for '^messagebox active$' && key "$1"
}
# chooser_up: waits until the file chooser's window is on the screen.
chooser_up() {
  timeout 15 xdotool search --sync --onlyvisible --name '保存ファイルを指定' >/dev/null
  sleep 0.5
}

# --- the layout: every control where the template puts it, in dialog units
# converted with the dialog's font (base units from its letters' extent).
start || fail "the dialog did not come up"
python3 - "$trace" <<'PY' || fail "layout"
import re, sys
lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
head = next(l for l in lines if l.startswith("dialog "))
m = re.search(r"face=(.*) points=(\d+) alphabet=(\d+),(\d+) client=(\d+),(\d+)", head)
face, points, aw, ah, cw, ch = m.group(1), *map(int, m.groups()[1:])
assert face in ("IPAPGothic", "Noto Sans CJK JP"), face
assert points == 9, points
bx, by = (aw // 26 + 1) // 2, ah
px = lambda v: (v * bx + 2) // 4
py = lambda v: (v * by + 4) // 8
assert (cw, ch) == (px(255), py(107)), (cw, ch)
template = {1000: (7, 7, 35, 12), 1002: (59, 7, 189, 12), 1001: (7, 26, 35, 12),
            1003: (59, 25, 189, 12), 1004: (7, 47, 241, 35), 1007: (10, 62, 170, 12),
            1008: (186, 61, 57, 14), 1005: (129, 86, 57, 14), 1006: (191, 86, 57, 14)}
got = {}
for l in lines:
    m = re.match(r"control (\d+) (-?\d+),(-?\d+),(\d+),(\d+)$", l)
    if m:
        got[int(m.group(1))] = tuple(map(int, m.groups()[1:]))
for cid, (x, y, w, h) in template.items():
    want = (px(x), py(y), px(w), py(h))
    assert got.get(cid) == want, (cid, got.get(cid), want)
PY
passed=$((passed + 1))

# --- Tab walks the tab stops in template order; Enter in the edit moves
# the focus to the browse button and executes nothing.
# --- the pre-filled default pattern is refused; the path is then selected
# for correction.
key F12
check "F12 on the default pattern is refused" \
  wait_for '^messagebox type=0x30 owner=dialog caption=減価償却 text=データの出力先に不正な文字が含まれています。'
answer Return
check "after a refusal the whole path is selected" wait_for '^select 1007 0-8$'
key Tab && wait_for '^focus 1008$' && key Tab && wait_for '^focus 1005$' &&
  key Tab && wait_for '^focus 1006$' && key Tab && wait_for '^focus 1007$'
check "Tab order edit, browse, execute, cancel" test $? = 0
key Return
check "Enter in the edit moves the focus to the browse button" wait_for '^focus 1008$'
check "Enter in the edit executes nothing" eval '! seen ^messagebox'
key shift+Tab && wait_for '^focus 1007$'
# Modifiers defeat the dialog's keys: Ctrl+F12 does not execute, Shift+Enter
# does not move the focus.
key ctrl+F12 shift+Return
sleep 1
check "Ctrl+F12 and Shift+Enter do nothing" eval '! seen "^messagebox|^focus"'
# --- the edit holds at most 255 bytes of code page 932.
key ctrl+a
xdotool type --delay 2 "$(printf 'a%.0s' $(seq 1 300))"
check "the edit keeps 255 bytes" wait_for '^edit 1007 kept 255 bytes$'
# --- Esc: the cancellation message, owned by the dialog, then the end.
key Escape
check "Esc shows the cancellation message" \
  wait_for '^messagebox type=0x40 owner=dialog caption=減価償却 text=｢減価償却｣の集計を中止します。$'
answer Return
finish
check "a cancelled run exits 1" test "$status" = 1
check "a cancelled run writes nothing" test -z "$(ls "$drive")"

# --- an export: a typed path in a missing folder, F12, Yes to the folder
# question, then the completion message.
start || fail "the dialog did not come up"
key ctrl+a
xdotool type --delay 5 'C:\out\assets.csv'
key F12
check "F12 asks before creating the folder" \
  wait_for '^messagebox type=0x24 owner=dialog caption=減価償却 text=指定されたフォルダは存在しません。'
check "はい stands left of いいえ, as on Windows" wait_for '^messagebox buttons yes no$'
answer y
check "Y alone answers Yes" wait_for '^answer yes$'
check "the dialog ends with 1005" wait_for '^end 1005$'
check "the wait cursor is shown during the export" wait_for '^wait cursor on$'
check "the completion message names the files" \
  wait_for '^messagebox type=0x40 owner=none .*C:\\\\out\\\\assets.csv .*C:\\\\out\\\\syurui.SSC'
answer Return
finish
check "the export exits 0" test "$status" = 0
check "the asset file is written" test -s "$drive/out/assets.csv"
check "the asset-kind file is written" test -s "$drive/out/syurui.SSC"
check "the log is deleted" test ! -e "$drive/out/VelrixSysErr.txt"

# --- the remembered path comes back; F12 asks before replacing the file;
# Esc does not answer a question; No leaves the dialog open with the focus
# on the edit; the close box cancels.
start || fail "the dialog did not come up"
key F12
check "F12 asks before replacing the file" \
  wait_for '^messagebox type=0x24 owner=dialog .*text=同名のファイルが存在します。'
answer Escape
sleep 0.5
check "Esc does not answer a question" eval '! seen ^answer'
key n
check "N alone answers No" wait_for '^answer no$'
check "after No the focus is back on the edit" wait_for '^focus 1007$'
before=$(stat -c %Y "$drive/out/assets.csv")
if xdotool get_num_desktops >/dev/null 2>&1; then  # a window manager runs
  key alt+F4
  check "the close box shows the cancellation message" \
    wait_for '^messagebox type=0x40 owner=dialog .*text=｢減価償却｣の集計を中止します。$'
  answer Return
else
  key Escape && answer Return
fi
finish
check "cancelling after No exits 1" test "$status" = 1
check "the file answered No stays as it was" test "$before" = "$(stat -c %Y "$drive/out/assets.csv")"

# --- the file chooser: Alt+D, then Enter on the browse button; a name typed
# without extension gets ".CSV"; the chosen file comes back in Windows form.
# The toolkit's settings, as on a desktop without a session bus, stay off
# the terminal.
saved_backend=$GSETTINGS_BACKEND
unset GSETTINGS_BACKEND
start || fail "the dialog did not come up"
key alt+d
check "Alt+D opens the chooser" \
  wait_for '^chooser title=保存ファイルを指定 folder='"$drive"'/out/? file=assets.csv filter=CSV Files \(\*\.csv\)\|\*\.csv$'
chooser_up
key Escape
check "a cancelled chooser leaves the focus on the execute button" wait_for '^focus 1005$'
key shift+Tab && wait_for '^focus 1008$' && key Return
check "Enter on the browse button opens the chooser" wait_for '^chooser title='
chooser_up
key ctrl+a
xdotool type --delay 5 "$drive/chosen"
key Return
check "the chooser adds the default extension" wait_for "^chooser chose $drive/chosen.CSV$"
check "the focus goes to the execute button" wait_for '^focus 1005$'
key Return
answer Return
finish
check "the chosen path is exported" test -s "$drive/chosen.CSV"
check "the chooser leaves the standard error clean" eval '! grep -q -E "WARNING|CRITICAL" "$work/err"'
export GSETTINGS_BACKEND=$saved_backend

# --- an export with diagnostics entries when no viewer program starts: the
# log in a read-only window titled with its path, beside the closing message;
# velor ends when the window is closed.
mkdir -p "$drive/diag"
: >"$trace"
mark=0
VELOR_VIEWER=/nonexistent/viewer "$velor" --ui desktop --db "$store" --user aoki \
  --output 'C:\diag\aoki.csv' >"$work/out" 2>"$work/err" &
pid=$!
check "the log is shown in a window of its own" \
  wait_for '^viewer title=C:\\diag\\VelrixSysErr.txt lines=[1-9]'
check "the closing message says the export only provisionally finished" \
  wait_for '^messagebox type=0x40 owner=none .*text=減価償却情報の出力が一応終了しました。'
answer Return
sleep 0.5
check "velor waits while the log window is up" kill -0 "$pid"
check "the log window has the focus and its title" \
  eval 'xdotool getactivewindow getwindowname | grep -qF "C:\\diag\\VelrixSysErr.txt"'
key ctrl+End Escape
check "Esc closes the log window" wait_for '^viewer closed$'
finish
check "an export with diagnostics exits 3" test "$status" = 3
check "the log stays in code page 932" \
  eval 'iconv -f CP932 -t UTF-8 "$drive/diag/VelrixSysErr.txt" | grep -q "＜ERROR＞"'

# --- past-results data: refused before the dialog can be used.
cat >"$work/past.json" <<'JSON'
{"format": "velor-ledger/1",
 "users": [{"user_id": "kako", "selected_data_no": 7}],
 "companies": [{"data_no": 7, "data_id": "K0007", "szDataName": "過去実績株式会社",
   "lTermStart": 20200401, "lTermEnd": 20210331, "data_kind": 99, "bEntityKind": 1,
   "asset_kinds": [], "assets": []}]}
JSON
"$velor_host" import "$store" "$work/past.json" >/dev/null || fail "cannot import past.json"
: >"$trace"
mark=0
"$velor" --ui desktop --db "$store" --user kako --no-viewer >"$work/out" 2>"$work/err" &
pid=$!
check "past-results data is refused" \
  wait_for '^messagebox type=0x30 .*text=過去実績データは、連携の対象として使用できません。'
answer Return
finish
check "a refused run exits 1" test "$status" = 1
check "the refused dialog is never shown" eval '! grep -q "^shown$" "$trace"'

# --- a batch (--companies): no dialog; the folder questions in message
# boxes, then one message that sums the batch up and offers its table.
: >"$trace"
mark=0
"$velor" --ui desktop --db "$store" --user yamada --no-viewer --companies all \
  --output 'C:\batch\{no}\a.csv' >"$work/out" 2>"$work/err" </dev/null &
pid=$!
check "a batch asks before creating the first folder" \
  wait_for '^messagebox type=0x24 owner=[a-z]+ caption=減価償却 text=指定されたフォルダは存在しません。' 20
answer y
check "and before the second" wait_for '^messagebox type=0x24 owner=[a-z]+ .*text=指定されたフォルダは存在しません。'
answer y
check "one message sums the batch up" \
  wait_for '^messagebox type=0x44 owner=none .*text=減価償却情報の一括出力が終了しました。'
answer n
finish
check "the batch exits 3 (data 2 has diagnostics entries)" test "$status" = 3
check "a batch shows no dialog" eval '! grep -q "^shown$" "$trace"'
check "each company has its asset file" test -s "$drive/batch/1/a.csv" -a -s "$drive/batch/2/a.csv"

# --- without --ui, a display means the desktop; --ui desktop without a
# display is a clear error.
: >"$trace"
mark=0
"$velor" --db "$store" --user yamada --no-viewer >"$work/out" 2>"$work/err" </dev/null &
pid=$!
check "--ui auto with a display shows the dialog" wait_for '^focus 1007$' 20
key Tab Tab Tab
wait_for '^focus 1006$' && key Return
check "Enter on the cancel button cancels" \
  wait_for '^messagebox type=0x40 owner=dialog .*text=｢減価償却｣の集計を中止します。$'
answer Return
finish

# --- a run that nobody answers (a script, a scheduled task, a launcher that
# reads the output): with a display but no terminal, --output --yes and
# --output alone never wait for a window; their message boxes are printed.
rm -rf "$drive/unattended"
: >"$trace"
timeout 30 "$velor" --db "$store" --user yamada --no-viewer --yes \
  --output 'C:\unattended\new\a.csv' </dev/null >"$work/out" 2>"$work/err"
status=$?
check "--output --yes with a display exports without a window (exit 0)" test "$status" = 0
check "--output --yes asks the folder question on the standard error" \
  grep -q '指定されたフォルダは存在しません。' "$work/err"
check "--output --yes prints the completion message" grep -q '正常に終了しました' "$work/out"
check "--output --yes shows no window" eval '! grep -q -E "^(shown|messagebox)" "$trace"'
check "--output --yes wrote the asset file" test -s "$drive/unattended/new/a.csv"
: >"$trace"
timeout 30 "$velor" --db "$store" --user yamada --no-viewer \
  --output 'C:\unattended\new\b.csv' </dev/null >"$work/out" 2>"$work/err"
status=$?
check "--output without a terminal exports without a window (exit 0)" test "$status" = 0
check "--output without a terminal shows no window" eval '! grep -q -E "^(shown|messagebox)" "$trace"'
: >"$trace"
timeout 30 "$velor" --db "$store" --user yamada --no-viewer \
  --output 'C:\unattended\new\b.csv' </dev/null >"$work/out" 2>"$work/err"
status=$?
check "an existing file without --yes is not replaced (exit 1, no window)" test "$status" = 1
check "the replace question is printed and answered no" grep -q '(y/n) n' "$work/err"

DISPLAY= WAYLAND_DISPLAY= "$velor" --ui desktop --db "$store" --user yamada >"$work/out" 2>"$work/err"
status=$?
check "--ui desktop without a display exits 2" test "$status" = 2
check "--ui desktop without a display says why" grep -q "DISPLAY is not set" "$work/err"
DISPLAY=:9876 "$velor" --ui desktop --db "$store" --user yamada >"$work/out" 2>"$work/err"
status=$?
check "--ui desktop on a display that cannot be opened exits 2" test "$status" = 2
check "--ui desktop on a display that cannot be opened says so" \
  grep -q "cannot open the display :9876" "$work/err"

echo "desktop: $passed passed, $failures failed"
[ "$failures" = 0 ]
