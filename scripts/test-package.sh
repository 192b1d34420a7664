#!/bin/bash
# Makes the Debian package of the build folder $1, unpacks it into a scratch
# root (dpkg -x, as dpkg would install it) and runs the programs from there.
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg") >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/pkg/velor_*.deb)
dpkg-deb -c "$deb" >"$work/contents"
for f in ./usr/bin/velor ./usr/bin/velor-host ./usr/bin/velor-read ./usr/bin/OrbelleDef.ini \
  ./usr/share/man/man1/velor.1 ./usr/share/man/man1/velor-host.1 ./usr/share/man/man1/velor-read.1 \
  ./usr/include/velor/TextFile.h ./usr/lib/cmake/Velor/VelorConfig.cmake \
  ./usr/share/doc/velor/examples/demo-ledger.json ./usr/share/doc/velor/ledger-format.md; do
  grep -qF " $f" "$work/contents" || fail "the package lacks $f"
done
grep -qE ' \./usr/lib/(.*/)?libvelor_textio\.so' "$work/contents" || fail "the package lacks libvelor_textio"
dpkg-deb -f "$deb" Depends | grep -q libsqlite3 || fail "the package does not depend on libsqlite3"

root=$work/root
dpkg -x "$deb" "$root"
export VELOR_DRIVES="W:=$work/w" HOME=$work/home
mkdir -p "$work/w" "$HOME"
"$root/usr/bin/velor" --help >"$work/help" || fail "velor --help from the package"
grep -q "usage: velor" "$work/help" || fail "velor --help: $(cat "$work/help")"
"$root/usr/bin/velor-read" --help >/dev/null 2>&1 || [ $? = 2 ] || fail "velor-read from the package"
# An export from the unpacked programs, the installed-products file found
# beside velor.
"$root/usr/bin/velor-host" init "$work/h.sqlite" --output-folder 'W:\' --settings-folder 'W:\s\' >/dev/null
"$root/usr/bin/velor-host" import "$work/h.sqlite" "$root/usr/share/doc/velor/examples/demo-ledger.json"
"$root/usr/bin/velor" --ui console --db "$work/h.sqlite" --user yamada --output 'W:\out.csv' --yes \
  </dev/null >"$work/run" 2>&1 || fail "export from the package: $(cat "$work/run")"
[ -s "$work/w/out.csv" ] || fail "the packaged velor wrote no asset file"
echo "package: $(basename "$deb") unpacks and runs"
