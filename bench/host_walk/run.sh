#!/bin/bash
# run.sh BUILD_DIR: generates 1,000,000 assets and imports a ledger of
# 100,000 (BENCH_IMPORT to change), walking each; prints assets per second
# and the peak memory of the run.
set -euo pipefail
prog="$1/bench/host_walk/bench_host_walk"
args=(--generate "${BENCH_GENERATE:-1000000}" --import "${BENCH_IMPORT:-100000}")
if [ -x /usr/bin/time ]; then
  /usr/bin/time -f "peak memory %M KiB" "$prog" "${args[@]}"
else
  "$prog" "${args[@]}"
fi
