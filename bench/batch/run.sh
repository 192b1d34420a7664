#!/bin/bash
# Batch benchmark: velor --companies over 100 companies of 1,000 assets
# with --jobs 1 and --jobs 2, against the single export of one company of
# 100,000 assets (the same number of rows). Targets: two jobs at least 1.6x
# as fast as one (on two processors), and the batch on one job at most 1.25x
# the time of the single export (a company's start costs little). Each
# reading is taken BENCH_BATCH_RUNS times (3) and the lowest kept; the load
# average before the first run is printed, as the machine may be shared.
#   bench/batch/run.sh BUILD_DIR      (scripts/bench.sh passes a Release build)
# Every reading is taken twice: with the files on the disk of the work
# folder, where each company's commit waits for the disk to flush its files
# (as every export's does), and in a memory file system (/dev/shm, when it
# is there), where it does not: the second shows the program's own cost of
# a company's start, the first what this disk adds to it.
# BENCH_BATCH_COMPANIES and BENCH_BATCH_ASSETS override 100 and 1000.
set -euo pipefail
BUILD=${1:?usage: run.sh BUILD_DIR}
HOST_TOOL="$BUILD/tools/velor-host/velor-host"
VELOR="$BUILD/src/app/main/velor"
for tool in "$HOST_TOOL" "$VELOR" /usr/bin/time; do
  [ -x "$tool" ] || { echo "run.sh: $tool is missing; build it first" >&2; exit 1; }
done
RUNS=${BENCH_BATCH_RUNS:-3}
COMPANIES=${BENCH_BATCH_COMPANIES:-100}
ASSETS=${BENCH_BATCH_ASSETS:-1000}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/velor-bench-batch.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
export HOME=$WORK VELOR_VIEWER=

many=$WORK/many.sqlite
one=$WORK/one.sqlite
"$HOST_TOOL" init "$many" >/dev/null
for ((i = 1; i <= COMPANIES; i++)); do "$HOST_TOOL" generate "$many" --assets "$ASSETS" --seed "$i" >/dev/null; done
"$HOST_TOOL" init "$one" >/dev/null
"$HOST_TOOL" generate "$one" --assets $((COMPANIES * ASSETS)) --seed 1 >/dev/null
cat "$many" "$one" >/dev/null

# The lowest elapsed time and the lowest processor time (user + system) of
# RUNS runs of the command (its output dropped): "elapsed,cpu" in seconds.
lowest() {
  local best= cpu= t c
  for ((r = 0; r < RUNS; r++)); do
    /usr/bin/time -f '%e %U %S' -o "$WORK/time" "$@" </dev/null >/dev/null 2>&1 || true
    read -r t u s < <(tail -1 "$WORK/time")
    c=$(awk -v u="$u" -v s="$s" 'BEGIN {printf "%.2f", u + s}')
    if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN {exit !(a < b)}'; then best=$t; fi
    if [ -z "$cpu" ] || awk -v a="$c" -v b="$cpu" 'BEGIN {exit !(a < b)}'; then cpu=$c; fi
  done
  echo "$best,$cpu"
}

# One round of the three readings with the files below the native folder
# out: "single jobs1 jobs2" in seconds.
round() {
  local out=$1 single jobs1 jobs2
  mkdir -p "$out"
  export VELOR_DRIVES="T:=$out;Z:=/"
  single=$(lowest "$VELOR" --db "$one" --user bench --ui console --yes --no-viewer --output 'T:\single\assets.csv')
  jobs1=$(lowest "$VELOR" --db "$many" --user bench --ui console --yes --no-viewer --companies all \
            --output 'T:\b1\{no}\assets.csv' --jobs 1)
  jobs2=$(lowest "$VELOR" --db "$many" --user bench --ui console --yes --no-viewer --companies all \
            --output 'T:\b2\{no}\assets.csv' --jobs 2)
  diff -r "$out/b1" "$out/b2" >/dev/null || { echo "run.sh: --jobs 1 and --jobs 2 wrote different files" >&2; exit 1; }
  rm -rf "$out"
  echo "$single $jobs1 $jobs2"
}
# Prints the figures of a round: where, then "elapsed,cpu" of the single
# export, the batch on one job and on two.
report() {
  awk -v where="$1" -v n="$COMPANIES" -v a="$ASSETS" -v s="$2" -v j1="$3" -v j2="$4" 'BEGIN {
    split(s, S, ","); split(j1, A, ","); split(j2, B, ",")
    printf "%s (elapsed s, processor s):\n", where
    printf "  single export, 1 company of %d assets:       %7.2f %7.2f\n", n * a, S[1], S[2]
    printf "  batch, %d companies of %d assets, --jobs 1: %7.2f %7.2f\n", n, a, A[1], A[2]
    printf "  batch, %d companies of %d assets, --jobs 2: %7.2f %7.2f\n", n, a, B[1], B[2]
    printf "  speed-up of two jobs: %.2fx (target: at least 1.6x)\n", A[1] / B[1]
    printf "  batch --jobs 1 / single export: %.2fx elapsed, %.2fx processor (target: at most 1.25x)\n",
           A[1] / S[1], A[2] / S[2]
    printf "  batch --jobs 2 / single export: %.2fx elapsed\n", B[1] / S[1]
  }'
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg); processors: $(nproc)"
# shellcheck disable=SC2046
report "files on the disk ($(df --output=source "$WORK" | tail -1))" $(round "$WORK/out")
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  shm=$(mktemp -d /dev/shm/velor-bench-batch.XXXXXX)
  trap 'rm -rf "$WORK" "$shm"' EXIT
  # shellcheck disable=SC2046
  report "files in memory (/dev/shm)" $(round "$shm")
fi
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
