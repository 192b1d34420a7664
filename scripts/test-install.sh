#!/bin/bash
# Installs the build folder $1 into a temporary prefix, builds the program of
# examples/consumer against it (with the compiler and linker flags $2) and
# checks the bytes it writes. The installed text library must need nothing
# but the platform library and the C++ runtime, and the platform library no
# host, SQLite or terminal library.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "$1" && pwd)
flags=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" || { cat "$work/install.log"; exit 1; }
textio=$(ls "$work"/prefix/lib*/libvelor_textio.so.* 2>/dev/null | head -n1)
platform=$(ls "$work"/prefix/lib*/libvelor_platform.so.* 2>/dev/null | head -n1)
[ -n "$textio" ] || { echo "no libvelor_textio.so installed"; exit 1; }
[ -n "$platform" ] || { echo "no libvelor_platform.so installed"; exit 1; }
# The installed libraries need nothing but each other and the C and C++
# runtimes: no host, no SQLite, no terminal library.
for installed in "$textio" "$platform"; do
  name=$(basename "$installed")
  needed=$(readelf -d "$installed" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  for lib in $needed; do
    case "$lib" in
      libvelor_platform.so.*|libstdc++.so.*|libm.so.*|libgcc_s.so.*|libc.so.*|ld-linux*) ;;
      # The sanitizer runtimes of an instrumented build.
      libasan.so.*|libubsan.so.*) ;;
      *) echo "$name needs $lib"; exit 1 ;;
    esac
  done
  if ldd "$installed" | grep -Ei 'sqlite|velor_host|libedit|ncurses|tinfo'; then
    echo "$name loads the host, SQLite or a terminal library"
    exit 1
  fi
  if nm -D --undefined-only "$installed" | grep -Ei 'sqlite3_|HostSession|el_init|history_init'; then
    echo "$name refers to the host, SQLite or the line editor"
    exit 1
  fi
done

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
