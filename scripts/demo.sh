#!/bin/sh
# Exports the corporation of examples/demo-ledger.json with the console
# front end: makes a host store under BUILD_DIR/demo, maps drive D: onto
# BUILD_DIR, and runs velor on it. Usage: scripts/demo.sh BUILD_DIR
set -eu

if [ $# -ne 1 ]; then
  echo "usage: scripts/demo.sh BUILD_DIR" >&2
  exit 2
fi
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "$1" && pwd)
velor=$build_dir/src/app/main/velor
velor_host=$build_dir/tools/velor-host/velor-host
for program in "$velor" "$velor_host"; do
  if [ ! -x "$program" ]; then
    echo "demo: $program is missing; run 'make build' first" >&2
    exit 1
  fi
done

demo=$build_dir/demo
rm -rf "$demo"
mkdir -p "$demo"
export VELOR_DRIVES="D:=$build_dir"
store=$demo/host.sqlite

"$velor_host" init "$store" --output-folder 'D:\demo\out\' --settings-folder 'D:\demo\settings\'
"$velor_host" import "$store" "$source_dir/examples/demo-ledger.json"

# The command as it can be copied, with the drive map it needs.
printf '%s\n\n' "VELOR_DRIVES='D:=$build_dir' $velor --db $store --user yamada --output 'D:\demo\out\fixed-assets.csv' --yes --no-viewer --ui console"
status=0
"$velor" --db "$store" --user yamada --output 'D:\demo\out\fixed-assets.csv' --yes --no-viewer \
  --ui console </dev/null || status=$?
echo
for name in fixed-assets.csv syurui.SSC VelrixSysErr.txt; do
  if [ -f "$demo/out/$name" ]; then
    echo "  $demo/out/$name ($(wc -c <"$demo/out/$name") bytes)"
  else
    echo "  $demo/out/$name (not written: no diagnostics entries)"
  fi
done
echo "velor exit status: $status"
exit "$status"
