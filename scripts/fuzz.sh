#!/bin/bash
# Builds every libFuzzer target under fuzz/* with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for FUZZ_SECONDS (default 60).
# A fuzz target is an executable named fuzz_*; its corpus is kept in
# BUILD/corpus/NAME, seeded from fuzz/*/seeds/NAME when that folder exists,
# and what it finds goes to BUILD/artifacts/. FUZZ_ONLY=NAME runs one target.
# Exits non-zero when a target found a failure.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${FUZZ_BUILD:-build-fuzz}
SECONDS_EACH=${FUZZ_SECONDS:-60}
JOBS=${JOBS:-$(nproc)}

cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
  -DVELOR_FUZZ=ON -DVELOR_TESTS=OFF -DVELOR_DESKTOP=OFF -DVELOR_BENCH=OFF -DVELOR_SANITIZE=ON >/dev/null

targets=$(cmake --build "$BUILD" --target help 2>/dev/null | grep -oE '(^|[ .])fuzz_[A-Za-z0-9_]+' | tr -d ' .' | sort -u)
[ -n "${FUZZ_ONLY:-}" ] && targets=$FUZZ_ONLY
if [ -z "$targets" ]; then
  echo "no fuzz targets found under fuzz/" >&2
  exit 1
fi
mkdir -p "$BUILD/artifacts"
failed=0
for t in $targets; do
  # Each target is built on its own, so that one that does not build leaves
  # the others running.
  if ! cmake --build "$BUILD" -j"$JOBS" --target "$t" >"$BUILD/$t.build.log" 2>&1; then
    echo "== $t: does not build (see $BUILD/$t.build.log)" >&2
    grep -m 3 -E 'error' "$BUILD/$t.build.log" >&2 || true
    failed=1
    continue
  fi
  bin=$(find "$BUILD/fuzz" -type f -name "$t" -perm -u+x | head -n 1)
  if [ -z "$bin" ]; then
    echo "== $t: program not found" >&2
    failed=1
    continue
  fi
  corpus="$BUILD/corpus/$t"
  mkdir -p "$corpus"
  seeds=()
  for s in fuzz/*/seeds/"$t"; do
    [ -d "$s" ] && seeds+=("$s")
  done
  echo "== $t (${SECONDS_EACH}s)"
  status=0
  "$bin" -max_total_time="$SECONDS_EACH" -print_final_stats=1 \
    -artifact_prefix="$BUILD/artifacts/$t-" "$corpus" "${seeds[@]}" >"$BUILD/$t.log" 2>&1 || status=$?
  runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$BUILD/$t.log" | grep -oE '[0-9]+$' || true)
  cov=$(grep -oE 'cov: [0-9]+' "$BUILD/$t.log" | tail -n 1 || true)
  echo "   executions: ${runs:-?}, ${cov:-cov: ?}, corpus: $(find "$corpus" -type f | wc -l) inputs, exit $status"
  if [ "$status" != 0 ]; then
    failed=1
    grep -E 'ERROR|SUMMARY|Test unit written' "$BUILD/$t.log" | head -n 5 || true
  fi
done
exit $failed
