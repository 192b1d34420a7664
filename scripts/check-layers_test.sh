#!/bin/bash
# Runs check-layers.py over small trees: a clean one passes, and each kind of
# break is found in a tree that has just that one.
set -euo pipefail
check="$(cd "$(dirname "$0")" && pwd)/check-layers.py"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A tree with one header per floor and sources that keep the rules.
clean() {
  rm -rf "$work/t" && mkdir -p "$work/t"
  cd "$work/t"
  mkdir -p src/platform/posix src/host/base src/host/sqlite src/host/postgres src/textio src/export src/dialog src/app \
           testsupport/platform testsupport/host tools/velor-host tools/velor-read
  for h in platform/wintypes host/base/ClMsgMgr host/hostrecords textio/textaccessor \
           export/ClCSVEdit dialog/pathfuncs app/ClControlVelor; do
    echo '#pragma once' > "src/$h.h"
  done
  printf '#include <unistd.h>\n#include <filesystem>\n#ifdef _WIN32\n#endif\n' > src/platform/posix/a.cpp
  printf '#include "wintypes.h"\n' > src/host/a.cpp
  printf '#include <sqlite3.h>\n#include "wintypes.h"\n' > src/host/sqlite/a.cpp
  printf '#include <libpq-fe.h>\n#include "hostrecords.h"\n' > src/host/postgres/a.cpp
  printf '#include "ClMsgMgr.h"\n#include "wintypes.h"\n' > src/textio/a.cpp
  printf '#include "hostrecords.h"\n' > src/textio/a_test.cpp
  printf '#include "textaccessor.h"\n#include "hostrecords.h"\n' > src/export/a.cpp
  printf '#include "ClCSVEdit.h"\n// getenv( in a comment\nconst char* t = "std::ifstream";\n' > src/app/a.cpp
  printf '#include <sys/stat.h>\nint f() { return chmod("x", 0); }\n' > testsupport/platform/a.cpp
  printf '#include "textaccessor.h"\n#include <fstream>\n' > tools/velor-host/b.cpp
}

expect_pass() {
  python3 "$check" "$work/t" >"$work/out" || { cat "$work/out"; echo "FAIL: clean tree refused"; exit 1; }
}

# expect_break FILE LINE... : the tree with FILE holding the lines is refused.
expect_break() {
  clean
  local file=$1; shift
  printf '%s\n' "$@" > "$file"
  if python3 "$check" "$work/t" >"$work/out"; then
    echo "FAIL: not found: $file: $*"
    exit 1
  fi
  grep -q "^$file:" "$work/out" || { cat "$work/out"; echo "FAIL: wrong place for $file"; exit 1; }
}

clean
expect_pass
expect_break src/host/b.cpp '#include "textaccessor.h"'
expect_break src/platform/b.cpp '#include "hostrecords.h"'
expect_break src/textio/b.cpp '#include "hostrecords.h"'
expect_break src/dialog/b_test.cpp '#include "ClControlVelor.h"'
expect_break tools/velor-host/c.cpp '#include "ClCSVEdit.h"'
expect_break src/export/b_test.cpp '#include <unistd.h>'
expect_break src/dialog/b.cpp '#include <sys/types.h>'
expect_break src/app/b.cpp '#include <iconv.h>'
expect_break src/dialog/b.cpp 'int f() { return strcasecmp("a", "b"); }'
expect_break src/app/b_test.cpp 'void f() { usleep(1); }'
expect_break src/export/b.cpp '#ifdef _WIN32' '#endif'
expect_break src/export/b.cpp '#include <sqlite3.h>'
expect_break tools/velor-read/b.cpp '#include <sqlite3.h>'
expect_break tools/velor-host/b.cpp '#include <sqlite3.h>'
expect_break src/host/b.cpp '#include <sqlite3.h>'
expect_break src/host/sqlite/b.cpp '#include <libpq-fe.h>'
expect_break testsupport/host/b.cpp '#include <libpq-fe.h>'
expect_break src/host/b.cpp 'auto p = std::filesystem::path("x");'
expect_break testsupport/host/b.cpp 'std::ifstream in("x");'
expect_break src/dialog/b.cpp 'const char* v = getenv("HOME");'
expect_break src/app/b_test.cpp '#include <pty.h>'
expect_break src/export/b_test.cpp 'bool f() { return symlink("a", "b") == 0; }'
echo "check-layers finds every kind of break"
