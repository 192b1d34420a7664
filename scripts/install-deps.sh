#!/bin/sh
# Installs the Debian packages the project needs to build, test, benchmark and
# run its desktop tests. Missing packages are installed with apt-get when run
# as root; otherwise the exact command is printed and the script fails.
set -eu
PACKAGES="cmake g++ make pkg-config git libgtest-dev libgmock-dev googletest \
libbenchmark-dev libsqlite3-dev sqlite3 nlohmann-json3-dev libwxgtk3.2-dev \
xvfb xauth xdotool openbox imagemagick fonts-ipafont-gothic fonts-noto-cjk tmux python3 time clang libclang-rt-14-dev \
libedit-dev gettext locales dpkg-dev libglib2.0-dev"
missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
if [ -n "$missing" ]; then
  if [ "$(id -u)" = 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends $missing
  else
    echo "missing packages:$missing" >&2
    echo "run: sudo apt-get install -y$missing" >&2
    exit 1
  fi
fi
# The Japanese locale, in which velor speaks Japanese (its tests use it).
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
  if [ "$(id -u)" = 0 ]; then
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  else
    echo "missing locale ja_JP.UTF-8; run: sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8" >&2
    exit 1
  fi
fi
