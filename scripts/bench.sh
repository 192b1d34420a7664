#!/bin/bash
# Builds the benchmarks in release form and runs each of them: a benchmark
# folder bench/NAME with a run.sh is run as `run.sh BUILD_DIR`; otherwise its
# program bench_NAME is run.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BENCH_BUILD:-build-bench}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DVELOR_BENCH=ON -DVELOR_TESTS=OFF -DVELOR_DESKTOP=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)" >/dev/null
for dir in bench/*/; do
  name=$(basename "$dir")
  [ -n "${BENCH_ONLY:-}" ] && [ "$name" != "$BENCH_ONLY" ] && continue
  echo "== $name"
  if [ -x "$dir/run.sh" ]; then
    "$dir/run.sh" "$BUILD"
  elif [ -x "$BUILD/bench/$name/bench_$name" ]; then
    "$BUILD/bench/$name/bench_$name"
  fi
done
