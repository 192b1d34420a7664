#!/bin/bash
# Drives velor's console prompt on a real terminal (tmux) as a person would:
# the offered path stands on the line to edit, Home/End and the cursor keys
# move in it, Up brings back an earlier path and not an answer to a question.
# usage: console_edit_test.sh VELOR VELOR_HOST SOURCE_DIR   (77: no tmux)
set -u
velor=$1
velor_host=$2
source_dir=$3
command -v tmux >/dev/null || { echo "SKIPPED: no tmux"; exit 77; }
# tmux runs the session's command through $SHELL, else the account's login
# shell, which a system account may not have (nologin).
export SHELL=/bin/sh
work=$(mktemp -d)
session=velor-edit-$$
trap 'tmux kill-session -t velor-edit-$$ 2>/dev/null; tmux kill-session -t velor-cancel-$$ 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; echo "--- screen"; tmux capture-pane -p -t "$session"; exit 1; }
mkdir -p "$work/d"
export VELOR_DRIVES="D:=$work/d"
"$velor_host" init "$work/h.sqlite" --output-folder 'D:\out\' --settings-folder 'D:\set\' >/dev/null &&
  "$velor_host" import "$work/h.sqlite" "$source_dir/examples/demo-ledger.json" || fail "store"
tmux new-session -d -s "$session" -x 100 -y 40 \
  "env LANG=C.UTF-8 VELOR_DRIVES='$VELOR_DRIVES' '$velor' --ui console --db '$work/h.sqlite' --user yamada --no-viewer; echo EXIT=\$?; sleep 30"
# screen_has TEXT: waits until the screen shows TEXT (fixed string).
screen_has() {
  local i
  for i in $(seq 1 50); do
    tmux capture-pane -p -t "$session" | grep -qF -- "$1" && return 0
    sleep 0.1
  done
  return 1
}
# line_is TEXT: waits until the last line written on the screen is TEXT.
line_is() {
  local i
  for i in $(seq 1 50); do
    [ "$(tmux capture-pane -p -t "$session" | sed '/^$/d' | tail -n 1)" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
keys() { tmux send-keys -t "$session" "$@"; sleep 0.2; }
line_is '出力先: D:\out\*.csv' || fail "the offered path is not on the prompt line"
# Enter takes the line as offered: the pattern is refused and offered again.
keys Enter
screen_has '不正な文字' || fail "the pattern was not refused"
line_is '出力先: D:\out\*.csv' || fail "the refused path is not offered again"
# Into the folder name after "D:\", and the pattern replaced at the end.
keys Home Right Right Right x End BSpace BSpace BSpace BSpace BSpace 'a.csv'
line_is '出力先: D:\xout\a.csv' || fail "Home, Right, End and BackSpace do not edit the line"
keys Enter
screen_has '(y/n)' || fail "no folder question"
keys n Enter
keys C-a C-k
line_is '出力先:' || fail "Ctrl-A Ctrl-K do not clear the line"
keys Up
line_is '出力先: D:\xout\a.csv' || fail "Up does not bring back the last path"
keys Up
line_is '出力先: D:\out\*.csv' || fail "a second Up does not bring back the first path"
keys C-a C-k 'D:\out\b.csv' Enter
screen_has '(y/n) n' || fail "the answer n went missing"
keys y Enter
screen_has 'EXIT=0' || fail "the export did not end with 0"
[ -s "$work/d/out/b.csv" ] || fail "no asset file"
[ ! -e "$work/d/xout" ] || fail "the folder answered No was made"

# Ctrl-C at the prompt is a cancellation, as Ctrl-D: its message and exit 1,
# not a program killed in mid-line. The second session is made before the first
# is ended: a server left without sessions exits, and a new session asked of it
# while it does fails ("server exited unexpectedly").
tmux new-session -d -s "velor-cancel-$$" -x 100 -y 40 \
  "env LANG=C.UTF-8 VELOR_DRIVES='$VELOR_DRIVES' '$velor' --ui console --db '$work/h.sqlite' --user yamada --no-viewer; echo EXIT=\$?; sleep 30"
tmux kill-session -t "$session"
session=velor-cancel-$$
screen_has '出力先:' || fail "no prompt for the Ctrl-C run"
keys 'x' C-c
screen_has '｢減価償却｣の集計を中止します。' || fail "Ctrl-C did not cancel with the message"
screen_has 'EXIT=1' || fail "Ctrl-C did not end with 1"
echo "console editing: all checks passed"
