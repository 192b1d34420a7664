#!/bin/bash
# Makes the Debian package of the build folder $1 and checks it as Debian's
# checker and a reader would: lintian reports no error, the files stand where
# they belong (velor and OrbelleDef.ini in /usr/lib/velor, velor on the PATH
# through a link), the installed README's links and the manual page hold.
# Then unpacks it into a scratch root (dpkg -x, as dpkg would install it) and
# runs the programs from there. scripts/test-package-apt.sh installs it.
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg") >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/pkg/velor_*.deb)
version=$(dpkg-deb -f "$deb" Version)

# Debian's checker: no error (its warnings are listed for whoever reads the log).
command -v lintian >/dev/null || fail "lintian is missing: run scripts/install-deps.sh test"
lintian --fail-on error "$deb" >"$work/lintian" 2>&1 || { cat "$work/lintian"; fail "lintian reports errors"; }
grep -v '^N:' "$work/lintian" || true

dpkg-deb -c "$deb" >"$work/contents"
for f in ./usr/lib/velor/velor ./usr/lib/velor/OrbelleDef.ini ./usr/bin/velor-host ./usr/bin/velor-read \
  ./usr/share/man/man1/velor.1.gz ./usr/share/man/man1/velor-host.1.gz ./usr/share/man/man1/velor-read.1.gz \
  ./usr/share/locale/ja/LC_MESSAGES/velor.mo \
  ./usr/include/velor/TextFile.h ./usr/lib/cmake/Velor/VelorConfig.cmake \
  ./usr/share/doc/velor/copyright ./usr/share/doc/velor/changelog.gz ./usr/share/doc/velor/README.md \
  ./usr/share/doc/velor/examples/demo-ledger.json ./usr/share/doc/velor/docs/ledger-format.md \
  ./usr/share/doc/velor/docs/report.md; do
  grep -qE " $f( |$)" "$work/contents" || fail "the package lacks $f"
done
grep -qF ' ./usr/bin/velor -> ../lib/velor/velor' "$work/contents" || fail "/usr/bin/velor is no link to ../lib/velor/velor"
! grep -qF ' ./usr/bin/OrbelleDef.ini' "$work/contents" || fail "OrbelleDef.ini lies in /usr/bin"
grep -qE ' \./usr/lib/(.*/)?libvelor_textio\.so' "$work/contents" || fail "the package lacks libvelor_textio"
dpkg-deb -f "$deb" Depends | grep -q libsqlite3 || fail "the package does not depend on libsqlite3"
# A description line with two leading spaces would be shown verbatim.
! dpkg-deb -f "$deb" Description | grep -q '^  ' || fail "the description has verbatim lines"
dpkg-deb -f "$deb" Maintainer | grep -qE '^[^<]+ <[^@ ]+@[^@ ]+\.[^@ ]+>$' || fail "Maintainer: $(dpkg-deb -f "$deb" Maintainer)"
dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./triggers | grep -qx 'activate-noawait ldconfig' ||
  fail "no ldconfig trigger for the shared libraries"

root=$work/root
dpkg -x "$deb" "$root"
doc=$root/usr/share/doc/velor
# The changelog's latest entry is this version (a new version needs an entry).
top=$(zcat "$doc/changelog.gz" | head -n1)
[[ "$top" == "velor ($version) "* ]] || fail "the changelog starts with '$top', not version $version"
# Every link of the installed README names a file that is installed.
links=$(grep -oE '\]\([^)#]+\)' "$doc/README.md" | sed 's/^](//; s/)$//' | grep -vE '^[a-z]+:' | sort -u)
[ -n "$links" ] || fail "no links found in the README"
for link in $links; do
  [ -f "$doc/$link" ] || fail "the installed README links to $link, which is not installed"
done

export VELOR_DRIVES="W:=$work/w" HOME=$work/home
mkdir -p "$work/w" "$HOME"
"$root/usr/bin/velor" --help >"$work/help" || fail "velor --help from the package"
grep -q "usage: velor" "$work/help" || fail "velor --help: $(cat "$work/help")"
# The manual page describes every option of --help.
zcat "$root/usr/share/man/man1/velor.1.gz" | sed 's/\\-/-/g' >"$work/manual"
for option in $(grep -oE '^  --[a-z-]+' "$work/help"); do
  grep -qE "^\.BR? $option( |$)|^\.BI $option " "$work/manual" || fail "man velor does not describe $option"
done
"$root/usr/bin/velor-read" --help >/dev/null 2>&1 || [ $? = 2 ] || fail "velor-read from the package"
# An export through the link in usr/bin, the installed-products file found
# beside the real program in usr/lib/velor.
"$root/usr/bin/velor-host" init "$work/h.sqlite" --output-folder 'W:\' --settings-folder 'W:\s\' >/dev/null
"$root/usr/bin/velor-host" import "$work/h.sqlite" "$doc/examples/demo-ledger.json"
"$root/usr/bin/velor" --ui console --db "$work/h.sqlite" --user yamada --output 'W:\out.csv' --yes \
  </dev/null >"$work/run" 2>&1 || fail "export from the package: $(cat "$work/run")"
[ -s "$work/w/out.csv" ] || fail "the packaged velor wrote no asset file"
echo "package: $(basename "$deb") passes lintian, unpacks and runs"
