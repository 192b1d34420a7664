# The frame of the velor script tests, sourced after `set -u` with the
# arguments VELOR HOST SOURCE_DIR: velor, host and source_dir name them, work
# is a scratch folder removed at the end (with the process in holder, if
# any, ended first), and fail ends the test with a message.
velor=$1
host=$2
source_dir=$3
work=$(mktemp -d)
holder=
trap '[ -n "$holder" ] && kill "$holder" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
