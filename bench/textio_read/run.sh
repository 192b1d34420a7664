#!/bin/bash
# run.sh BUILD_DIR: writes 1,000,000 asset-shaped comma rows with the text
# library, then times reading them with Read, with Python's csv.reader and
# with wc -l, and prints lines per second and the ratios.
# A read line holds at most 100 items, so the rows that Read parses in full
# carry the first 100 of the asset row's 156 columns; the 156-column file is
# timed too (Read refuses each of its lines once the 101st item appears).
# Rates are given by wall-clock time and by processor time (user + system)
# of the reading process; the ratios use processor time, which a machine
# shared with other work disturbs least.
# Each reader runs BENCH_RUNS times (3) and its best times count.
# BENCH_ROWS overrides the row count, BENCH_DATA the folder of the files.
set -euo pipefail
build=${1:?usage: run.sh BUILD_DIR}
bin=$build/bench/textio_read/bench_textio_read
rows=${BENCH_ROWS:-1000000}
data=${BENCH_DATA:-$build/bench/textio_read/data}
mkdir -p "$data"
data=$(cd "$data" && pwd)

runs=${BENCH_RUNS:-3}

calc() { python3 -c "import sys; print($1)" "${@:2}"; }
least() { calc "min(float(sys.argv[1]), float(sys.argv[2]))" "$1" "$2"; }

# Prints "lines wall cpu" for Python's csv.reader over the file.
python_csv() {
  python3 - "$1" <<'PY'
import csv, sys, time
wall, cpu = time.perf_counter(), time.process_time()
n = 0
with open(sys.argv[1], newline="", encoding="cp932") as f:
    for row in csv.reader(f):
        n += 1
print(n, "%.3f" % (time.perf_counter() - wall), "%.3f" % (time.process_time() - cpu))
PY
}

# Prints "wall cpu" for wc -l over the file.
wc_lines() {
  python3 - "$1" <<'PY'
import resource, subprocess, sys, time
wall = time.perf_counter()
subprocess.run(["wc", "-l", sys.argv[1]], stdout=subprocess.DEVNULL, check=True)
wall = time.perf_counter() - wall
r = resource.getrusage(resource.RUSAGE_CHILDREN)
print("%.3f" % wall, "%.3f" % (r.ru_utime + r.ru_stime))
PY
}

for columns in 100 156; do
  file=$data/asset$columns-$rows.csv
  [ -s "$file" ] || "$bin" write "$file" "$rows" "$columns"
  size=$(stat -c %s "$file")
  cat "$file" > /dev/null  # the same cached start for every reader
  # Each reader runs $runs times; its best wall-clock and processor times count.
  seconds=1e9 cpu=1e9 pywall=1e9 pycpu=1e9 wcwall=1e9 wccpu=1e9
  for ((i = 0; i < runs; i++)); do
    read -r _ lines _ s _ c _ refused < <("$bin" read "$file" "$columns")
    seconds=$(least "$seconds" "$s") cpu=$(least "$cpu" "$c")
    read -r pylines s c < <(python_csv "$file")
    pywall=$(least "$pywall" "$s") pycpu=$(least "$pycpu" "$c")
    read -r s c < <(wc_lines "$file")
    wcwall=$(least "$wcwall" "$s") wccpu=$(least "$wccpu" "$c")
  done
  wclines=$(wc -l < "$file")
  rate() { calc "'%.0f' % (float(sys.argv[1]) / max(float(sys.argv[2]), 1e-3))" "$1" "$2"; }
  if [ "$columns" -le 100 ]; then what="Read (all items stored)  "; else what="Read (refused at item 101)"; fi
  echo "$columns columns, $lines lines, $((size / 1048576)) MiB (lines/s by wall clock, by processor time):"
  echo "  $what: $(rate "$lines" "$seconds"), $(rate "$lines" "$cpu")  ($refused refused)"
  echo "  Python csv.reader (cp932)  : $(rate "$pylines" "$pywall"), $(rate "$pylines" "$pycpu")"
  echo "  wc -l                      : $(rate "$wclines" "$wcwall"), $(rate "$wclines" "$wccpu")"
  echo "  ratios by processor time: Read/csv.reader $(calc "'%.2f' % (float(sys.argv[2]) / max(float(sys.argv[1]), 1e-3))" "$cpu" "$pycpu"), Read/wc -l $(calc "'%.3f' % (float(sys.argv[2]) / max(float(sys.argv[1]), 1e-3))" "$cpu" "$wccpu")"
done
