#!/bin/bash
# Server store benchmark, against a private PostgreSQL server that it starts
# (testsupport/host/pgserver.sh) and stops:
#  1. for 300,000 and 1,000,000 generated assets, velor's export from the
#     server against psql's \copy of the same assets table to a file on the
#     same server, side by side with the peak memory of each (targets: the
#     export at most 1.3x the copy's time and at most 48 MiB);
#  2. 16 clerks exporting a company of 10,000 assets each, all at once,
#     against one clerk alone (the total time of each).
# Each time is the lowest of BENCH_PG_RUNS runs (3), each peak the highest;
# the two tools take turns, and the median of the turns' ratios is printed too.
#   bench/pg_store/run.sh BUILD_DIR      (scripts/bench.sh passes a Release build)
# BENCH_PG_SIZES overrides "300000 1000000", BENCH_PG_CLERKS 16 and
# BENCH_PG_CLERK_ASSETS 10000.
set -euo pipefail
BUILD=${1:?usage: run.sh BUILD_DIR}
SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
HOST_TOOL="$BUILD/tools/velor-host/velor-host"
VELOR="$BUILD/src/app/main/velor"
PGSERVER="$SOURCE/testsupport/host/pgserver.sh"
for tool in "$HOST_TOOL" "$VELOR" /usr/bin/time; do
  [ -x "$tool" ] || { echo "run.sh: $tool is missing; build it first" >&2; exit 1; }
done
command -v psql >/dev/null || { echo "run.sh: psql is missing (the postgresql package)" >&2; exit 1; }
RUNS=${BENCH_PG_RUNS:-3}
CLERKS=${BENCH_PG_CLERKS:-16}
CLERK_ASSETS=${BENCH_PG_CLERK_ASSETS:-10000}

WORK=$(mktemp -d "${TMPDIR:-/tmp}/velor-bench-pg.XXXXXX")
trap '"$PGSERVER" stop "$WORK/pg"; rm -rf "$WORK"' EXIT
"$PGSERVER" start "$WORK/pg" >/dev/null
export HOME=$WORK VELOR_VIEWER= VELOR_DRIVES="T:=$WORK/out"
mkdir -p "$WORK/out"
# A new empty database named $1 on the server; prints its URI.
database() {
  psql -X -q "$("$PGSERVER" uri "$WORK/pg" postgres)" -c "CREATE DATABASE $1" >/dev/null
  "$PGSERVER" uri "$WORK/pg" "$1"
}
# "elapsed peak_KiB processor_s" of the command (its own processor time,
# user + system), its output dropped.
measure() {
  /usr/bin/time -f '%e %M %U %S' -o "$WORK/time" "$@" </dev/null >/dev/null 2>"$WORK/err" ||
    { echo "run.sh: $* failed: $(cat "$WORK/err")" >&2; exit 1; }
  tail -1 "$WORK/time" | awk '{print $1, $2, $3 + $4}'
}
# The lowest elapsed time, the highest peak and the lowest processor time
# of RUNS measures.
lowest() {
  awk 'NR == 1 || $1 < t {t = $1} $2 > m {m = $2} NR == 1 || $3 < c {c = $3} END {print t, m, c}'
}
best() {
  for ((r = 0; r < RUNS; r++)); do measure "$@"; done | lowest
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg); processors: $(nproc)"
printf '%-8s %10s %9s %8s %10s %10s %9s %8s %11s\n' assets export_s copy_s ratio turn_ratio export_MiB copy_MiB \
  csv_MiB export_cpu_s
for n in ${BENCH_PG_SIZES:-300000 1000000}; do
  uri=$(database "assets_$n")
  "$HOST_TOOL" init "$uri" --output-folder 'T:\' --settings-folder 'T:\' >/dev/null
  "$HOST_TOOL" generate "$uri" --assets "$n" >/dev/null
  # The generation's writes are flushed before the timing starts, so that
  # neither tool pays for the server's checkpoint of them.
  psql -X -q "$uri" -c "VACUUM ANALYZE" -c "CHECKPOINT" >/dev/null
  # The two tools take turns, so that a change of the machine's load
  # falls on both.
  for ((r = 0; r < RUNS; r++)); do
    measure "$VELOR" --db "$uri" --user bench --ui console --yes --no-viewer --output 'T:\assets.csv' >>"$WORK/export"
    measure psql -X -q "$uri" -c "\\copy (SELECT * FROM assets) TO '$WORK/copy.csv'" >>"$WORK/copy"
  done
  read -r export_s export_kib export_cpu < <(lowest <"$WORK/export")
  read -r copy_s copy_kib _ < <(lowest <"$WORK/copy")
  # The median of the turns' ratios: each export against the copy right
  # after it, when the machine ran at the same speed.
  turn_ratio=$(paste -d' ' "$WORK/export" "$WORK/copy" | awk '{print $1 / $4}' | sort -g |
    awk '{r[NR] = $1} END {printf "%.2f", NR % 2 ? r[(NR + 1) / 2] : (r[NR / 2] + r[NR / 2 + 1]) / 2}')
  awk -v n="$n" -v e="$export_s" -v c="$copy_s" -v em="$export_kib" -v cm="$copy_kib" \
      -v f="$(stat -c %s "$WORK/out/assets.csv")" -v ec="$export_cpu" -v t="$turn_ratio" \
    'BEGIN {printf "%-8d %10.2f %9.2f %8.2f %10.2f %10.1f %9.1f %8.1f %11.2f\n", n, e, c, e / c, t, em / 1024,
            cm / 1024, f / 1048576, ec}'
  psql -X -q "$("$PGSERVER" uri "$WORK/pg" postgres)" -c "DROP DATABASE assets_$n" >/dev/null
  rm -f "$WORK/copy.csv" "$WORK/out/"* "$WORK/export" "$WORK/copy"
done
echo "ratio = the lowest export / the lowest psql \\copy of the assets table (target: at most 1.3); turn_ratio: the"
echo "median of each turn's export / copy (the machine's speed may change between turns); export_MiB: velor's peak (target: at most 48)"
echo "export_cpu_s: velor's own processor time; the server works beside it on the other processor (a loaded machine has none spare)"

uri=$(database clerks)
"$HOST_TOOL" init "$uri" --output-folder 'T:\' --settings-folder 'T:\' >/dev/null
for ((i = 1; i <= CLERKS; i++)); do
  "$HOST_TOOL" generate "$uri" --assets "$CLERK_ASSETS" --seed "$i" >/dev/null
done
# Clerk $1 exports company data number $1 into a folder of its own.
clerk() {
  "$VELOR" --db "$uri" --user bench --ui console --yes --no-viewer --companies "$1" \
    --output 'T:\clerk{no}\assets.csv' </dev/null >/dev/null 2>&1
}
all_clerks() {
  local pids=() i
  for ((i = 1; i <= CLERKS; i++)); do clerk "$i" & pids+=($!); done
  for i in "${pids[@]}"; do wait "$i"; done
}
export -f clerk all_clerks
export uri CLERKS VELOR
read -r one_s _ _ < <(best bash -c 'clerk 1')
read -r all_s _ _ < <(best bash -c all_clerks)
for ((i = 1; i <= CLERKS; i++)); do
  [ -s "$WORK/out/clerk$i/assets.csv" ] || { echo "run.sh: clerk $i wrote no file" >&2; exit 1; }
done
awk -v c="$CLERKS" -v a="$CLERK_ASSETS" -v o="$one_s" -v t="$all_s" 'BEGIN {
  printf "1 clerk, %d assets: %.2f s; %d clerks at once, %d assets each: %.2f s in all (%.2fx one clerk for %dx the work)\n",
         a, o, c, a, t, t / o, c}'
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
