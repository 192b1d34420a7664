# Sourced by the script tests on the tests' PostgreSQL server
# (VELOR_TEST_PG_URI): skips without it (77), gives a work folder $work
# mapped as drive T:, fail, and new_database, whose databases are dropped
# at the end with the folder.
[ -n "${VELOR_TEST_PG_URI:-}" ] || { echo "no test server (VELOR_TEST_PG_URI)"; exit 77; }
work=$(mktemp -d)
fail() { echo "FAIL: $*"; exit 1; }
export LANG=C.UTF-8 VELOR_DRIVES="T:=$work;Z:=/" VELOR_VIEWER= HOME=$work
pg_admin=${VELOR_TEST_PG_URI/\/velor_test/\/postgres}
pg_databases=""
trap 'for db in $pg_databases; do
        psql -X -q "$pg_admin" -c "DROP DATABASE IF EXISTS $db WITH (FORCE)" >/dev/null 2>&1
      done
      rm -rf "$work"' EXIT
# new_database VAR NAME: makes the empty database NAME (dropping one an
# earlier run left) and sets VAR to its URI.
new_database() {
  psql -X -q -v ON_ERROR_STOP=1 "$pg_admin" -c "DROP DATABASE IF EXISTS $2 WITH (FORCE)" \
    -c "CREATE DATABASE $2" >/dev/null 2>&1 || fail "cannot make the database $2"
  pg_databases="$pg_databases $2"
  printf -v "$1" '%s' "${VELOR_TEST_PG_URI/\/velor_test/\/$2}"
}
