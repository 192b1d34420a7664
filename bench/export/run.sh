#!/bin/bash
# Export benchmark: for 100,000 and 1,000,000 generated assets, the time of
# the three export stages against the time of `sqlite3 -csv` dumping the
# store's asset table, their ratio, and the export's peak memory. Times are
# given as wall clock and as processor time (user + system); on a loaded
# machine the processor times are the ones to compare.
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

WORK=$(mktemp -d "${TMPDIR:-/tmp}/velor-bench-export.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

printf '%-8s %9s %9s %9s %9s %9s %9s %9s %8s\n' assets export_s sqlite_s ratio \
  exp_cpu_s sql_cpu_s cpu_ratio rss_MiB csv_MiB
for n in ${BENCH_EXPORT_SIZES:-100000 1000000}; do
  dir="$WORK/$n"
  mkdir -p "$dir/out"
  "$HOST_TOOL" init "$dir/host.sqlite" --output-folder 'Z:\tmp\' --settings-folder 'Z:\tmp\' >/dev/null
  "$HOST_TOOL" generate "$dir/host.sqlite" --assets "$n" >/dev/null
  # Warm the page cache for both readers alike.
  cat "$dir/host.sqlite" >/dev/null

  result=$("$BENCH" "$dir/host.sqlite" "$dir/out")
  export_s=$(awk '/^export_seconds/ {print $2}' <<<"$result")
  export_cpu=$(awk '/^export_cpu_seconds/ {print $2}' <<<"$result")
  rss_kib=$(awk '/^peak_rss_kib/ {print $2}' <<<"$result")

  # elapsed seconds, user + system seconds
  read -r sqlite_s sqlite_cpu < <(/usr/bin/time -f '%e %U %S' -o "$dir/time" \
      sqlite3 -csv "$dir/host.sqlite" "SELECT * FROM assets;" >"$dir/dump.csv" &&
    awk '{printf "%s %.3f\n", $1, $2 + $3}' "$dir/time")

  csv_bytes=$(stat -c %s "$dir/out/assets.csv")
  awk -v n="$n" -v e="$export_s" -v s="$sqlite_s" -v ec="$export_cpu" -v sc="$sqlite_cpu" \
      -v r="$rss_kib" -v c="$csv_bytes" \
    'BEGIN {printf "%-8d %9.3f %9.3f %9.2f %9.3f %9.3f %9.2f %9.1f %8.1f\n",
            n, e, s, e / s, ec, sc, ec / sc, r / 1024, c / 1048576}'
  rm -rf "$dir"
done
echo "ratio = export / sqlite3 -csv dump of the asset table (target: at most 1.00)"
