#!/bin/bash
# Installs the build folder $1 into a temporary prefix, builds the program of
# examples/consumer against it (with the compiler and linker flags $2) and
# checks the bytes it writes.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "$1" && pwd)
flags=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" || { cat "$work/install.log"; exit 1; }
cmake -S examples/consumer -B "$work/consumer" -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
  >"$work/configure.log" || { cat "$work/configure.log"; exit 1; }
cmake --build "$work/consumer" >"$work/build.log" || { cat "$work/build.log"; exit 1; }

mkdir "$work/out"
VELOR_DRIVES="W:=$work/out" "$work/consumer/consumer" 'W:\line.csv'
expected=$(printf 'A,,12\r\n' | od -An -tx1)
actual=$(od -An -tx1 "$work/out/line.csv")
if [ "$expected" != "$actual" ]; then
  echo "consumer wrote:$actual"
  echo "expected:      $expected"
  exit 1
fi
echo "consumer wrote A,,12 CR LF"
