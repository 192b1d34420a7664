#!/bin/bash
# The export of one generated store by the Linux build and by the Windows
# build under wine, side by side: the wall-clock and processor time of the
# whole velor run (console front end, --output, --yes), the Windows time over
# the Linux time, and whether the two asset files are the same bytes. Both
# programs read the same store and write through the same Windows path: Z:
# is "/" for the Linux build's drive map and for wine alike.
#   bench/windows/run.sh BUILD_DIR [WINDOWS_BUILD_DIR]
# WINDOWS_BUILD_DIR defaults to $VELOR_WINDOWS_BUILD, else build-win. Without
# a Windows build or without wine the benchmark says so and does nothing.
# BENCH_WINDOWS_SIZES overrides the asset counts ("1000000").
set -euo pipefail
BUILD=$(cd "${1:?usage: run.sh BUILD_DIR [WINDOWS_BUILD_DIR]}" && pwd)
WINBUILD=${2:-${VELOR_WINDOWS_BUILD:-build-win}}
HOST_TOOL=$BUILD/tools/velor-host/velor-host
VELOR=$BUILD/src/app/main/velor
for tool in "$HOST_TOOL" "$VELOR" /usr/bin/time; do
  [ -x "$tool" ] || { echo "run.sh: $tool is missing; build it first" >&2; exit 1; }
done
VELOR_EXE=$WINBUILD/src/app/main/velor.exe
if [ ! -f "$VELOR_EXE" ] || ! command -v wine >/dev/null; then
  echo "run.sh: no Windows build in $WINBUILD (make windows) or no wine: nothing to compare"
  exit 0
fi
VELOR_EXE=$(cd "$(dirname "$VELOR_EXE")" && pwd)/velor.exe

WORK=$(mktemp -d "${TMPDIR:-/tmp}/velor-bench-windows.XXXXXX")
# A private wine prefix, kept up for the whole run so that no run pays for
# starting the wine server.
export WINEPREFIX=$WORK/wineprefix WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 WINEDLLOVERRIDES="mscoree=;mshtml="
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WORK"' EXIT
wineboot --init >/dev/null 2>&1 || true
wineserver --wait
wineserver -p
wine cmd /c exit 0 >/dev/null 2>&1

# The Windows form (on Z:) of a native path.
windows_path() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
# seconds RESULT-FILE COMMAND...: runs COMMAND, prints "wall cpu" and its status.
timed() {
  local file=$1
  shift
  set +e
  /usr/bin/time -f '%e %U %S' -o "$file.time" "$@" </dev/null >"$file.out" 2>&1
  local status=$?
  set -e
  awk -v s="$status" '{printf "%s %.3f %d\n", $1, $2 + $3, s}' "$file.time"
}

printf '%-8s %9s %9s %9s %9s %9s %9s  %s\n' assets linux_s win_s wall_x linux_cpu win_cpu cpu_x asset_file
for n in ${BENCH_WINDOWS_SIZES:-1000000}; do
  dir=$WORK/$n
  # The output folders exist: no question is asked.
  mkdir -p "$dir/linux" "$dir/windows"
  win_dir=$(windows_path "$dir")
  "$HOST_TOOL" init "$dir/host.sqlite" --output-folder "$win_dir\\" --settings-folder "$win_dir\\s\\" >/dev/null
  "$HOST_TOOL" generate "$dir/host.sqlite" --assets "$n" >/dev/null
  cat "$dir/host.sqlite" >/dev/null  # the page cache warm for both
  read -r lwall lcpu lstatus < <(timed "$dir/linux" "$VELOR" --ui console --db "$dir/host.sqlite" \
    --user bench --output "$win_dir\\linux\\assets.csv" --yes --no-viewer)
  read -r wwall wcpu wstatus < <(timed "$dir/windows" wine "$VELOR_EXE" --ui console \
    --db "$win_dir\\host.sqlite" --user bench --output "$win_dir\\windows\\assets.csv" --yes --no-viewer)
  for side in linux windows; do
    status=$([ $side = linux ] && echo "$lstatus" || echo "$wstatus")
    if [ "$status" != 0 ] && [ "$status" != 3 ]; then
      echo "run.sh: the $side export failed (exit $status):" >&2
      cat "$dir/$side.out" >&2
      exit 1
    fi
  done
  same=different
  cmp -s "$dir/linux/assets.csv" "$dir/windows/assets.csv" && same=identical
  awk -v n="$n" -v lw="$lwall" -v ww="$wwall" -v lc="$lcpu" -v wc="$wcpu" -v same="$same" \
    'BEGIN {printf "%-8d %9.3f %9.3f %9.2f %9.3f %9.3f %9.2f  %s\n", n, lw, ww, ww / lw, lc, wc, wc / lc, same}'
  rm -rf "$dir"
done
echo "wall_x, cpu_x = Windows build under wine / Linux build (target: at most 1.5);"
echo "times of the whole run of velor, start-up and the store's opening included"
