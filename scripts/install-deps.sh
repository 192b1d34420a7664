#!/bin/sh
# Installs the Debian packages that a purpose needs, and nothing more:
#
#   scripts/install-deps.sh PURPOSE...     (no purpose: all of them)
#
#   build    build, run and package the programs (make build, demo, package)
#   test     the tests' libraries and tools, the Japanese locale (make test)
#   bench    the benchmarks (make bench; make test compiles them too)
#   fuzz     clang and libFuzzer (make fuzz)
#   windows  the mingw-w64 cross build, wine, NSIS and the cross-built
#            libraries (make windows, test-windows, package-windows)
#
# Adding a package: put it in the ONE list below of the purpose that needs it.
#   - a library the programs link (libfoo-dev) or a tool the build runs:
#     BUILD_PACKAGES;
#   - what only tests use (a server a test starts, a Python module a test
#     reads files with, a checker): TEST_PACKAGES;
#   - only benchmarks: BENCH_PACKAGES; only fuzzing: FUZZ_PACKAGES;
#   - only the Windows build or its tests under wine: WINDOWS_PACKAGES (a
#     library the Windows programs link also needs its cross build prepared
#     below, in the cache).
# The purposes add up (make test asks for build, test and bench): a package
# that build needs is not repeated in another list. A package that two other
# purposes need each on their own (sqlite3: tests and benchmarks) stands in
# both.
#
# Missing packages are installed with apt-get when run as root; otherwise the
# exact command is printed and the script fails. Two callers at once wait for
# each other on the package manager's lock.
#
# The Windows build needs SQLite, libpq, GoogleTest and nlohmann-json for the mingw-w64
# compiler. Debian has no such builds, so the windows purpose prepares them in a
# cache outside the repository ($VELOR_WIN_DEPS, by default
# ${XDG_CACHE_HOME:-$HOME/.cache}/velor/win-deps):
#   sqlite-src/   Debian's sqlite3 source package and its amalgamation sqlite3.c
#   libpq/        PostgreSQL's client library cross-built from Debian's source
#                 package: lib/ (static libraries) and include/
#   include/      nlohmann/ alone (all of /usr/include would shadow mingw's own)
# GoogleTest is built from /usr/src/googletest by the Windows build itself.
set -eu

BUILD_PACKAGES="cmake g++ make pkg-config libsqlite3-dev nlohmann-json3-dev libwxgtk3.2-dev \
libglib2.0-dev libedit-dev gettext dpkg-dev file libzip-dev libexpat1-dev libxlsxwriter-dev libpq-dev"
TEST_PACKAGES="libgtest-dev libgmock-dev python3 sqlite3 locales xvfb xauth xdotool openbox \
imagemagick fonts-ipafont-gothic fonts-noto-cjk tmux lintian python3-openpyxl postgresql openssl"
BENCH_PACKAGES="libbenchmark-dev time sqlite3 postgresql"
FUZZ_PACKAGES="clang libclang-rt-14-dev"
WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
wine wine64 nsis googletest python3 tcl xz-utils"

purposes=${*:-build test bench fuzz windows}
packages=""
for purpose in $purposes; do
  case "$purpose" in
    build) packages="$packages $BUILD_PACKAGES" ;;
    test) packages="$packages $TEST_PACKAGES" ;;
    bench) packages="$packages $BENCH_PACKAGES" ;;
    fuzz) packages="$packages $FUZZ_PACKAGES" ;;
    # The cross build is configured and its cache prepared with the native
    # build's tools.
    windows) packages="$packages $BUILD_PACKAGES $WINDOWS_PACKAGES" ;;
    *)
      echo "install-deps.sh: unknown purpose '$purpose' (build, test, bench, fuzz, windows)" >&2
      exit 2
      ;;
  esac
done
wants() { case " $purposes " in *" $1 "*) return 0 ;; *) return 1 ;; esac; }

APT="apt-get -o DPkg::Lock::Timeout=600"
missing=""
for p in $packages; do
  case " $missing " in *" $p "*) continue ;; esac
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
if [ -n "$missing" ]; then
  if [ "$(id -u)" = 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    $APT update -qq
    # shellcheck disable=SC2086
    $APT install -y -qq --no-install-recommends $missing
  else
    echo "missing packages for '$purposes':$missing" >&2
    echo "run: sudo apt-get install -y --no-install-recommends$missing" >&2
    exit 1
  fi
fi
# The Japanese locale, in which the programs speak Japanese (the tests use it).
if wants test && ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
  if [ "$(id -u)" = 0 ]; then
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  else
    echo "missing locale ja_JP.UTF-8; run: sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8" >&2
    exit 1
  fi
fi
wants windows || exit 0

# --- Libraries for the Windows build, in a cache outside the repository ---
WIN_DEPS=${VELOR_WIN_DEPS:-${XDG_CACHE_HOME:-$HOME/.cache}/velor/win-deps}
mkdir -p "$WIN_DEPS"
# Only one caller prepares the cache at a time.
exec 9>"$WIN_DEPS/.lock"
flock 9

if [ ! -f "$WIN_DEPS/include/nlohmann/json.hpp" ]; then
  rm -rf "$WIN_DEPS/include.tmp"
  mkdir -p "$WIN_DEPS/include.tmp"
  cp -r /usr/include/nlohmann "$WIN_DEPS/include.tmp/"
  rm -rf "$WIN_DEPS/include"
  mv "$WIN_DEPS/include.tmp" "$WIN_DEPS/include"
fi

# fetch_source PACKAGE VERSION DEST: Debian's source package PACKAGE (of
# VERSION, else the newest the archive still serves) unpacked into DEST/tree,
# through a private source list so that the machine's own apt configuration
# stays as it is.
fetch_source() {
  local package=$1 version=$2 dest=$3 aptsrc="$WIN_DEPS/apt-src"
  rm -rf "$aptsrc"
  mkdir -p "$aptsrc/lists/partial" "$aptsrc/archives/partial" "$aptsrc/parts" "$dest"
  # deb-src lines for every Debian archive the machine installs from.
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f"
  done > "$aptsrc/sources.list"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk '
      function flush() {
        if (types ~ /(^| )deb( |$)/ && uris != "")
          printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n%s\n", uris, suites, comps, (signed != "" ? "Signed-By: " signed "\n" : "")
        types = uris = suites = comps = signed = ""
      }
      /^[[:space:]]*$/ { flush(); next }
      /^Types:/      { sub(/^Types:[[:space:]]*/, "");      types = $0 }
      /^URIs:/       { sub(/^URIs:[[:space:]]*/, "");       uris = $0 }
      /^Suites:/     { sub(/^Suites:[[:space:]]*/, "");     suites = $0 }
      /^Components:/ { sub(/^Components:[[:space:]]*/, ""); comps = $0 }
      /^Signed-By:/  { sub(/^Signed-By:[[:space:]]*/, "");  signed = $0 }
      END { flush() }
    ' "$f"
  done > "$aptsrc/parts/private.sources"
  local aptopt="-o Dir::Etc::SourceList=$aptsrc/sources.list -o Dir::Etc::SourceParts=$aptsrc/parts \
-o Dir::State::Lists=$aptsrc/lists -o Dir::Cache::Archives=$aptsrc/archives \
-o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache= -o APT::Sandbox::User=root"
  # shellcheck disable=SC2086
  apt-get $aptopt update -qq
  # The version asked for, else the others the archive lists, newest first
  # (a security update's source can be missing from a mirror).
  local v fetched=""
  # shellcheck disable=SC2086
  for v in "$version" $(apt-cache $aptopt showsrc "$package" | sed -n 's/^Version: //p' | sort -V -r -u); do
    # shellcheck disable=SC2086
    if (cd "$dest" && apt-get $aptopt source --download-only -qq "$package=$v" >/dev/null 2>&1); then
      fetched=$v
      break
    fi
    rm -f "$dest"/*
  done
  if [ -z "$fetched" ]; then
    echo "install-deps.sh: no source of $package can be fetched from the archive" >&2
    return 1
  fi
  local dsc
  dsc=$(ls "$dest"/"$package"_*.dsc | tail -n 1)
  (cd "$dest" && dpkg-source -x --no-check "$dsc" tree >/dev/null)
  rm -rf "$aptsrc"
}

SQLITE="$WIN_DEPS/sqlite-src"
if [ ! -f "$SQLITE/sqlite3.c" ]; then
  rm -rf "$SQLITE.tmp"
  fetch_source sqlite3 "$(dpkg-query -W -f='${source:Version}' libsqlite3-dev)" "$SQLITE.tmp"
  # The amalgamation: one sqlite3.c and its sqlite3.h, made from the tree.
  (cd "$SQLITE.tmp/tree" && ./configure -q >/dev/null && make -s sqlite3.c >/dev/null)
  cp "$SQLITE.tmp/tree/sqlite3.c" "$SQLITE.tmp/tree/sqlite3.h" "$SQLITE.tmp/"
  rm -rf "$SQLITE.tmp/tree" "$SQLITE"
  mv "$SQLITE.tmp" "$SQLITE"
fi

PQ="$WIN_DEPS/libpq"
if [ ! -f "$PQ/lib/libpq.a" ]; then
  # PostgreSQL's client library from Debian's source package of the installed
  # libpq, cross-built as static libraries (libpq and the two it needs),
  # without TLS, readline, zlib and ICU, with its three headers.
  rm -rf "$PQ.tmp"
  fetch_source "$(dpkg-query -W -f='${source:Package}' libpq-dev)" \
    "$(dpkg-query -W -f='${source:Version}' libpq-dev)" "$PQ.tmp/src"
  (cd "$PQ.tmp/src/tree" &&
    ./configure -q --host=x86_64-w64-mingw32 --without-readline --without-zlib --without-icu \
      --without-openssl --without-llvm --disable-nls >/dev/null &&
    make -s -C src/interfaces/libpq >/dev/null)
  mkdir -p "$PQ.tmp/lib" "$PQ.tmp/include"
  tree="$PQ.tmp/src/tree"
  # The library's own objects (the DLL's version resource aside). Its own
  # small pthread functions would clash with the toolchain's winpthreads at
  # the link: they are renamed in every object (pq_pthread_...).
  x86_64-w64-mingw32-nm -g --defined-only "$tree/src/interfaces/libpq/pthread-win32.o" |
    awk '$3 ~ /^pthread_/ { print $3, "pq_" $3 }' > "$PQ.tmp/pthread.syms"
  for o in $(ls "$tree"/src/interfaces/libpq/*.o | grep -v win32ver); do
    x86_64-w64-mingw32-objcopy --redefine-syms="$PQ.tmp/pthread.syms" "$o" "$PQ.tmp/$(basename "$o")"
  done
  x86_64-w64-mingw32-ar rcs "$PQ.tmp/lib/libpq.a" "$PQ.tmp"/*.o
  rm -f "$PQ.tmp"/*.o "$PQ.tmp/pthread.syms"
  cp "$tree/src/common/libpgcommon_shlib.a" "$PQ.tmp/lib/libpgcommon.a"
  cp "$tree/src/port/libpgport_shlib.a" "$PQ.tmp/lib/libpgport.a"
  cp "$tree/src/interfaces/libpq/libpq-fe.h" "$tree/src/include/postgres_ext.h" \
    "$tree/src/include/pg_config_ext.h" "$PQ.tmp/include/"
  rm -rf "$PQ.tmp/src" "$PQ"
  mv "$PQ.tmp" "$PQ"
fi
