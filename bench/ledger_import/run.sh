#!/bin/bash
# Ledger import benchmark: a generated store of 100,000 assets is written
# out as a JSON ledger, a workbook and a folder of CSV files, and each is
# imported into an empty store; printed side by side: the import time (wall
# clock and processor), its ratio to the JSON import, and the peak memory.
# Each import runs BENCH_IMPORT_RUNS times (3): the lowest time, the highest
# memory are kept.
#   bench/ledger_import/run.sh BUILD_DIR   (scripts/bench.sh passes a Release build)
# BENCH_IMPORT_ASSETS overrides the asset count (100000).
set -euo pipefail
BUILD=${1:?usage: run.sh BUILD_DIR}
HOST_TOOL="$BUILD/tools/velor-host/velor-host"
for tool in "$HOST_TOOL" /usr/bin/time; do
  [ -x "$tool" ] || { echo "run.sh: $tool is missing; build it first" >&2; exit 1; }
done
RUNS=${BENCH_IMPORT_RUNS:-3}
ASSETS=${BENCH_IMPORT_ASSETS:-100000}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/velor-bench-import.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
export VELOR_DRIVES="Z:=$WORK"
init() { rm -f "$1"; "$HOST_TOOL" init "$1" --output-folder 'Z:\' --settings-folder 'Z:\' >/dev/null; }

init "$WORK/source.sqlite"
"$HOST_TOOL" generate "$WORK/source.sqlite" --assets "$ASSETS" --seed 1 >/dev/null
"$HOST_TOOL" export-ledger "$WORK/source.sqlite" "$WORK/ledger.json" >/dev/null
"$HOST_TOOL" export-ledger "$WORK/source.sqlite" "$WORK/ledger.xlsx" >/dev/null
"$HOST_TOOL" export-ledger "$WORK/source.sqlite" "$WORK/ledger/" >/dev/null

printf '%-6s %8s %9s %9s %9s %9s %8s\n' form MiB wall_s cpu_s wall_x cpu_x rss_MiB
json_wall= json_cpu=
for form in json xlsx csv; do
  case $form in json) ledger=$WORK/ledger.json ;; xlsx) ledger=$WORK/ledger.xlsx ;; csv) ledger=$WORK/ledger/ ;; esac
  best_wall= best_cpu= rss=0
  for ((r = 0; r < RUNS; r++)); do
    init "$WORK/target.sqlite"
    # The import's notes (which encoding each CSV file was read in) are
    # kept out of the table; a failure shows them.
    /usr/bin/time -f '%e %U %S %M' -o "$WORK/time" "$HOST_TOOL" import "$WORK/target.sqlite" "$ledger" \
      >/dev/null 2>"$WORK/err" || { cat "$WORK/err" >&2; exit 1; }
    read -r wall user sys kib <"$WORK/time"
    cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN {printf "%.2f", u + s}')
    if [ -z "$best_wall" ] || awk -v a="$wall" -v b="$best_wall" 'BEGIN {exit !(a < b)}'; then best_wall=$wall; fi
    if [ -z "$best_cpu" ] || awk -v a="$cpu" -v b="$best_cpu" 'BEGIN {exit !(a < b)}'; then best_cpu=$cpu; fi
    [ "$kib" -gt "$rss" ] && rss=$kib
  done
  [ $form = json ] && json_wall=$best_wall json_cpu=$best_cpu
  size=$(du -sk "$ledger" | awk '{printf "%.1f", $1 / 1024}')
  awk -v f=$form -v m="$size" -v w="$best_wall" -v c="$best_cpu" -v jw="$json_wall" -v jc="$json_cpu" -v k="$rss" \
    'BEGIN {printf "%-6s %8s %9.2f %9.2f %9.2f %9.2f %8.1f\n", f, m, w, c, w / jw, c / jc, k / 1024}'
done
echo "($ASSETS assets; ratios against the JSON import; the workbook must stay within 2x and 256 MiB)"
