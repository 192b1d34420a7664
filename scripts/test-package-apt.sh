#!/bin/bash
# Installs the Debian package of the build folder $1 with apt as a user
# would, runs the programs from the PATH as an ordinary account, then removes
# and purges it and checks that nothing of it is left. Needs root (skipped,
# 77, otherwise: scripts/test-package.sh checks the package unprivileged) and
# a machine where velor is not installed already.
set -euo pipefail
build=$(cd "$1" && pwd)
skip() { echo "skipped: $*"; exit 77; }
[ "$(id -u)" = 0 ] || skip "installing a package needs root (this is $(id -un))"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# One such test on the machine at a time, whichever build folder it is from.
lock_dir=/run/lock
[ -d "$lock_dir" ] || lock_dir=/tmp
exec 9>"$lock_dir/velor-package-test.lock"
flock 9
if dpkg-query -W -f='${Status}' velor 2>/dev/null | grep -q "ok installed"; then
  skip "velor is installed on this machine already; the test would replace and remove it"
fi

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg") >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/pkg/velor_*.deb)
# apt reads the local package as its own unprivileged user.
chmod 755 "$work" "$work/pkg"
chmod 644 "$deb"
APT="apt-get -o DPkg::Lock::Timeout=600 -y -q"
export DEBIAN_FRONTEND=noninteractive
installed=0
cleanup() {
  if [ "$installed" = 1 ]; then $APT purge velor >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
$APT install "$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "apt install $deb"; }
installed=1
dpkg -L velor | sort >"$work/files"

# An ordinary account runs the installed programs from the PATH.
user=nobody
home=$work/home
mkdir -p "$home/out"
chown -R "$user" "$home"
# The build folder's catalogues are hidden from the programs (a mount
# namespace of their own), so that they must find the installed ones.
hide=(unshare --mount --propagation private sh -c 'mount -t tmpfs none "$0" && exec "$@"' "$build/locale")
"${hide[@]}" true 2>/dev/null || { echo "note: the build's catalogues cannot be hidden here"; hide=(); }
as_user() {
  "${hide[@]}" setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups \
    env -i PATH=/usr/bin:/bin HOME="$home" VELOR_DRIVES="W:=$home/out" "$@"
}
[ "$(as_user sh -c 'command -v velor')" = /usr/bin/velor ] || fail "velor is not on the PATH"
# (The help is read whole before it is searched: "grep -q" would end the
# pipe early, and the program's broken pipe would fail the pipeline.)
as_user velor --help >"$work/help" 2>&1 || true
grep -q "usage: velor" "$work/help" || fail "velor --help as $user: $(cat "$work/help")"
as_user env LANG=ja_JP.UTF-8 velor --help >"$work/help" 2>&1 || true
grep -q "使い方: velor" "$work/help" ||
  fail "velor --help in Japanese: the installed catalogue is not found from /usr/lib/velor"
as_user env LANG=ja_JP.UTF-8 velor-read --help >"$work/help" 2>&1 || true
grep -q "使い方: velor-read" "$work/help" ||
  fail "velor-read --help in Japanese: the installed catalogue is not found from /usr/bin"
as_user velor-host init "$home/h.sqlite" --output-folder 'W:\' --settings-folder 'W:\s\' >/dev/null ||
  fail "velor-host init as $user"
as_user velor-host import "$home/h.sqlite" /usr/share/doc/velor/examples/demo-ledger.json >/dev/null ||
  fail "velor-host import as $user"
as_user velor --ui console --db "$home/h.sqlite" --user yamada --output 'W:\out.csv' --yes --no-viewer \
  </dev/null >"$work/run" 2>&1 || fail "export as $user: $(cat "$work/run")"
[ -s "$home/out/out.csv" ] || fail "the installed velor wrote no asset file"
as_user velor-read /usr/share/doc/velor/examples/syurui-format.json "$home/out/syurui.SSC" >/dev/null ||
  fail "velor-read of the export's syurui.SSC as $user"
# The text library is in ld.so's cache (the trigger ran).
ldconfig -p | grep -q 'libvelor_textio\.so\.1 ' || fail "libvelor_textio is not in ld.so's cache"

$APT remove velor >"$work/remove.log" 2>&1 || { cat "$work/remove.log"; fail "apt remove velor"; }
[ ! -e /usr/bin/velor ] && [ ! -e /usr/lib/velor ] || fail "apt remove left velor's programs"
$APT purge velor >"$work/purge.log" 2>&1 || { cat "$work/purge.log"; fail "apt purge velor"; }
installed=0
! dpkg-query -W -f='${Status}' velor 2>/dev/null | grep -q "installed" || fail "velor is still known to dpkg"
# Nothing of the package is left but folders that others share.
while read -r path; do
  if [ -e "$path" ] && [ ! -d "$path" ]; then fail "$path is left after purge"; fi
done <"$work/files"
for folder in /usr/lib/velor /usr/share/doc/velor /usr/include/velor /usr/lib/cmake/Velor; do
  [ ! -e "$folder" ] || fail "$folder is left after purge"
done
ldconfig -p | grep -q 'libvelor_textio' && fail "libvelor_textio is still in ld.so's cache"
echo "package: installed with apt, run by $user, removed and purged without a trace"
