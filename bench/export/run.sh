#!/bin/bash
# Export benchmark: for 100,000 and 1,000,000 generated assets, the time of
# the three export stages against two readings of the store's asset table
# by sqlite3 itself: a scan touching every column (the floor of any export
# from this store) and the `sqlite3 -csv` dump; their ratios, the export's
# peak memory, and how time and memory grow from the first size to the last.
# Times are given as wall clock and as processor time (user + system); on a
# loaded machine the processor times are the ones to compare. Each reading is
# taken BENCH_EXPORT_RUNS times (3) and the lowest time kept, the highest
# peak memory.
#   bench/export/run.sh BUILD_DIR      (scripts/bench.sh passes a Release build)
# BENCH_EXPORT_SIZES overrides the asset counts ("100000 1000000").
set -euo pipefail
BUILD=${1:?usage: run.sh BUILD_DIR}
HOST_TOOL="$BUILD/tools/velor-host/velor-host"
BENCH="$BUILD/bench/export/bench_export"
for tool in "$HOST_TOOL" "$BENCH" /usr/bin/time; do
  [ -x "$tool" ] || { echo "run.sh: $tool is missing; build it first" >&2; exit 1; }
done
command -v sqlite3 >/dev/null || { echo "run.sh: sqlite3 is missing" >&2; exit 1; }

RUNS=${BENCH_EXPORT_RUNS:-3}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/velor-bench-export.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# The lowest of the first fields and of the second fields of the lines read.
lowest() { awk 'NR == 1 || $1 < a {a = $1} NR == 1 || $2 < b {b = $2} END {print a, b}'; }
# Runs the command RUNS times under /usr/bin/time, its output to a file:
# "elapsed user+system" of each run.
timed() {
  for ((r = 0; r < RUNS; r++)); do
    /usr/bin/time -f '%e %U %S' -o "$dir/time" "$@" >"$dir/stdout"
    awk '{printf "%s %.3f\n", $1, $2 + $3}' "$dir/time"
  done
}

printf '%-8s %9s %9s %9s %9s %9s %9s %9s %9s %9s %8s\n' assets export_s scan_s scan_x \
  sqlite_s dump_x exp_cpu_s scan_cpu cpu_x rss_MiB csv_MiB
first_cpu= first_n= last_cpu= last_n=
for n in ${BENCH_EXPORT_SIZES:-100000 1000000}; do
  dir="$WORK/$n"
  mkdir -p "$dir/out"
  "$HOST_TOOL" init "$dir/host.sqlite" --output-folder 'Z:\tmp\' --settings-folder 'Z:\tmp\' >/dev/null
  "$HOST_TOOL" generate "$dir/host.sqlite" --assets "$n" >/dev/null
  # Warm the page cache for both readers alike.
  cat "$dir/host.sqlite" >/dev/null

  rss_kib=0
  for ((r = 0; r < RUNS; r++)); do
    result=$("$BENCH" "$dir/host.sqlite" "$dir/out")
    awk '/^export_seconds/ {s = $2} /^export_cpu_seconds/ {c = $2} END {print s, c}' <<<"$result" >>"$dir/export"
    rss=$(awk '/^peak_rss_kib/ {print $2}' <<<"$result")
    [ "$rss" -gt "$rss_kib" ] && rss_kib=$rss
  done
  read -r export_s export_cpu < <(lowest <"$dir/export")

  # elapsed seconds, user + system seconds
  read -r sqlite_s sqlite_cpu < <(timed sqlite3 -csv "$dir/host.sqlite" "SELECT * FROM assets;" | lowest)
  # The scan that reads every column of every asset and nothing more.
  columns=$(sqlite3 "$dir/host.sqlite" \
    "SELECT group_concat('length(' || name || ')', '+') FROM pragma_table_info('assets')")
  read -r scan_s scan_cpu < <(timed sqlite3 "$dir/host.sqlite" "SELECT sum($columns) FROM assets;" | lowest)

  csv_bytes=$(stat -c %s "$dir/out/assets.csv")
  awk -v n="$n" -v e="$export_s" -v s="$sqlite_s" -v ec="$export_cpu" -v sc="$scan_cpu" \
      -v f="$scan_s" -v r="$rss_kib" -v c="$csv_bytes" \
    'BEGIN {printf "%-8d %9.3f %9.3f %9.2f %9.3f %9.2f %9.3f %9.3f %9.2f %9.1f %8.1f\n",
            n, e, f, e / f, s, e / s, ec, sc, ec / sc, r / 1024, c / 1048576}'
  [ -z "$first_n" ] && { first_n=$n; first_cpu=$export_cpu; first_rss=$rss_kib; }
  last_n=$n last_cpu=$export_cpu last_rss=$rss_kib
  rm -rf "$dir"
done
echo "scan_x = export / scan of every asset column (target: at most 1.5); dump_x = export / sqlite3 -csv"
echo "cpu_x = the same on processor time; rss_MiB: the export's peak (target: at most 48 at 1,000,000)"
if [ "$first_n" != "$last_n" ]; then
  awk -v a="$first_n" -v b="$last_n" -v t1="$first_cpu" -v t2="$last_cpu" -v r1="$first_rss" -v r2="$last_rss" \
    'BEGIN {printf "growth %d -> %d assets: export processor time %.2fx (target: at most %.1fx), peak memory %.2fx\n",
            a, b, t2 / t1, 10.5 * b / a / 10, r2 / r1}'
fi
