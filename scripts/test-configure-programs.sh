#!/bin/bash
# A build of the programs alone (make build, demo, package on a new folder)
# configures without the packages that only the tests and benchmarks need:
# GoogleTest, Python and the benchmark library are hidden from CMake here.
# Usage: test-configure-programs.sh SOURCE_DIR
set -euo pipefail
src=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake -S "$src" -B "$work/b" -DVELOR_TESTS=OFF -DVELOR_BENCH=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_Python3=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >"$work/configure.log" 2>&1 ||
  { cat "$work/configure.log"; fail "the programs alone do not configure without the test packages"; }
targets=$(cmake --build "$work/b" --target help)
for t in velor velor-host velor-read velor_textio_shared velor_catalogues; do
  grep -qE "(^|[ .])$t\$" <<<"$targets" || fail "no target $t without the tests"
done
if grep -qE '(^|[ .])(velor_\w*tests|velor_testsupport_\w+)$' <<<"$targets"; then
  fail "test targets are built without VELOR_TESTS"
fi
count=$(ctest --test-dir "$work/b" -N | sed -n 's/^Total Tests: //p')
[ "$count" = 0 ] || fail "$count tests registered without VELOR_TESTS"

# With the tests wanted and GoogleTest missing, configuring says what to do.
if cmake -S "$src" -B "$work/t" -DVELOR_BENCH=OFF -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
  >"$work/tests.log" 2>&1; then
  fail "the tests configured without GoogleTest"
fi
grep -q "install-deps.sh test" "$work/tests.log" || { cat "$work/tests.log"; fail "no hint at install-deps.sh test"; }
echo "the programs configure without the test packages"
