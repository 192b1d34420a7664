#!/bin/bash
# Makes the Windows installer of the Windows build folder $1 (cpack -G NSIS),
# installs it silently (/S) under wine into a scratch wine prefix, checks
# what it installed and the Start-menu entry, runs the installed programs
# (velor.exe --help, an export of the demo ledger), and uninstalls it again.
# usage: test-package-windows.sh WINDOWS_BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d "$build/installer-test.XXXXXX")
cleanup() {
  WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
for tool in cpack makensis wine wineboot; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done

(cd "$work" && cpack -G NSIS --config "$build/CPackConfig.cmake" -B "$work/pkg") >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack -G NSIS"; }
installer=$(ls "$work"/pkg/velor-*-win64.exe)

# A wine prefix of its own, as a fresh Windows would be.
export WINEPREFIX=$work/prefix WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 WINEDLLOVERRIDES="mscoree=;mshtml="
wineboot --init >/dev/null 2>&1 || true
wineserver --wait
[ -f "$WINEPREFIX/system.reg" ] || fail "cannot make the wine prefix"
drive_c=$WINEPREFIX/drive_c

# /S: no questions; /D: the folder (last, unquoted, as NSIS wants it).
wine "$installer" /S '/D=C:\Velor' >"$work/install.log" 2>&1 || fail "the silent install: $(cat "$work/install.log")"
wineserver --wait
inst=$drive_c/Velor
for f in bin/velor.exe bin/velor-host.exe bin/velor-read.exe bin/OrbelleDef.ini \
  bin/libvelor_textio.dll bin/libvelor_platform.dll lib/libvelor_textio.dll.a \
  include/velor/TextFile.h include/velor/textaccessor.h lib/cmake/Velor/VelorConfig.cmake \
  lib/cmake/Velor/VelorTargets.cmake share/doc/velor/README.md share/doc/velor/examples/demo-ledger.json \
  Uninstall.exe; do
  [ -e "$inst/$f" ] || fail "the installer did not install $f (installed: $(cd "$inst" && find . -type f | head -50 | tr '\n' ' '))"
done
link=$(find "$drive_c" -path '*Start Menu/Programs/Velor/velor.lnk' | head -n 1)
[ -n "$link" ] || fail "no Start-menu entry velor.lnk"
grep -qa 'velor.exe' "$link" || fail "the Start-menu entry does not start velor.exe"
grep -qa -- '--ui desktop' <(tr -d '\0' <"$link") || fail "the Start-menu entry does not open the dialog"
find "$drive_c" -path '*Start Menu/Programs/Velor/README.lnk' | grep -q . || fail "no Start-menu entry README.lnk"

# The installed programs run from their folder.
wine 'C:\Velor\bin\velor.exe' --help >"$work/help" 2>&1 || fail "the installed velor.exe --help: $(cat "$work/help")"
# In English or, as it finds its installed catalogue, in Japanese.
grep -q -- "velor \[--db FILE\]" "$work/help" || fail "velor.exe --help: $(cat "$work/help")"
wine 'C:\Velor\bin\velor-host.exe' init 'C:\h.sqlite' --output-folder 'C:\out\' --settings-folder 'C:\s\' \
  >"$work/run" 2>&1 || fail "velor-host.exe init: $(cat "$work/run")"
wine 'C:\Velor\bin\velor-host.exe' import 'C:\h.sqlite' 'C:\Velor\share\doc\velor\examples\demo-ledger.json' \
  >"$work/run" 2>&1 || fail "velor-host.exe import: $(cat "$work/run")"
mkdir -p "$drive_c/out"
wine 'C:\Velor\bin\velor.exe' --ui console --db 'C:\h.sqlite' --user yamada --output 'C:\out\assets.csv' --yes \
  </dev/null >"$work/run" 2>&1 || fail "an export by the installed velor.exe: $(cat "$work/run")"
[ -s "$drive_c/out/assets.csv" ] || fail "the installed velor.exe wrote no asset file"

# The uninstaller (run in place, so that wine waits for it) takes it all away.
wine 'C:\Velor\Uninstall.exe' /S '_?=C:\Velor' >"$work/uninstall.log" 2>&1 || fail "the silent uninstall"
wineserver --wait
[ ! -e "$inst/bin/velor.exe" ] || fail "the uninstaller left bin/velor.exe"
[ ! -e "$link" ] || fail "the uninstaller left the Start-menu entry"
echo "installer: $(basename "$installer") installs silently, runs, and uninstalls"
