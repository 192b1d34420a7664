#!/bin/sh
# A private PostgreSQL server for the tests, on a Unix socket only:
#
#   pgserver.sh start LINK       makes a new cluster in a temporary folder,
#                                starts it and points LINK (a symbolic link)
#                                at that folder; prints the test database's URI
#   pgserver.sh stop LINK        stops it (at once) and removes the folder
#   pgserver.sh ctl LINK ARG...  runs pg_ctl ARG... on it as its owner
#   pgserver.sh uri LINK [DB]    prints the URI of database DB (default velor_test)
#
# The role velor (a superuser, no password: only the owner of the folder
# reaches the socket) owns the empty database velor_test. With
# PGSERVER_TCP_PORT and PGSERVER_PASSWORD set at the start, the server also
# listens on 127.0.0.1 at that port, where velor logs in with that password
# (the Windows programs under wine reach it so). With PGSERVER_TLS=1 as well,
# it offers TLS there with a certificate for 127.0.0.1 signed by a test
# authority whose certificate is LINK/ca.crt, and logs each connection
# (LINK/server.log says whether it was encrypted). As root the server runs as
# nobody (initdb refuses root); otherwise as the caller. Exits 77 when the
# server programs are absent.
set -eu
cmd=$1
link=$2
shift 2

bin=""
for d in /usr/lib/postgresql/*/bin; do
  [ -x "$d/initdb" ] && [ -x "$d/postgres" ] && bin=$d
done
if [ -z "$bin" ]; then
  echo "no PostgreSQL server programs (/usr/lib/postgresql/*/bin): install the postgresql package" >&2
  exit 77
fi

if [ "$(id -u)" = 0 ]; then
  owner=nobody
  as_owner() { runuser -u "$owner" -- "$@"; }
else
  as_owner() { "$@"; }
fi

port=${PGSERVER_TCP_PORT:-5432}
uri() { echo "postgresql://velor@${PGSERVER_TCP_PORT:+:$port}/${2:-velor_test}?host=$1"; }

stop() {
  [ -L "$link" ] || return 0
  dir=$(readlink "$link")
  if [ -f "$dir/data/postmaster.pid" ]; then
    as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
  rm -f "$link"
}

case "$cmd" in
  start)
    stop
    dir=$(mktemp -d "${TMPDIR:-/tmp}/velor-pg.XXXXXX")
    chmod 700 "$dir"
    [ "$(id -u)" = 0 ] && chown "$owner" "$dir"
    auth="--auth=trust"
    listen="''"
    if [ -n "${PGSERVER_TCP_PORT:-}" ]; then
      printf '%s\n' "${PGSERVER_PASSWORD:?PGSERVER_PASSWORD must be set with PGSERVER_TCP_PORT}" >"$dir/pw"
      [ "$(id -u)" = 0 ] && chown "$owner" "$dir/pw"
      auth="--auth-local=trust --auth-host=scram-sha-256 --pwfile=$dir/pw"
      listen="'127.0.0.1'"
    fi
    # shellcheck disable=SC2086
    if ! as_owner "$bin/initdb" -D "$dir/data" -U velor $auth --no-locale -E UTF8 --no-sync \
        >"$dir/initdb.log" 2>&1; then
      cat "$dir/initdb.log" >&2
      rm -rf "$dir"
      exit 1
    fi
    rm -f "$dir/pw"
    tls=""
    if [ "${PGSERVER_TLS:-}" = 1 ] && [ -n "${PGSERVER_TCP_PORT:-}" ]; then
      # A test authority and the server's certificate for 127.0.0.1, signed by it.
      if ! { openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=velor-test-ca \
               -keyout "$dir/ca.key" -out "$dir/ca.crt" &&
             openssl req -newkey rsa:2048 -nodes -subj /CN=127.0.0.1 \
               -keyout "$dir/data/server.key" -out "$dir/server.csr" &&
             printf 'subjectAltName=IP:127.0.0.1\n' >"$dir/san" &&
             openssl x509 -req -in "$dir/server.csr" -CA "$dir/ca.crt" -CAkey "$dir/ca.key" \
               -CAcreateserial -days 2 -extfile "$dir/san" -out "$dir/data/server.crt"; } \
           >"$dir/tls.log" 2>&1; then
        cat "$dir/tls.log" >&2
        rm -rf "$dir"
        exit 1
      fi
      chmod 600 "$dir/data/server.key"
      [ "$(id -u)" = 0 ] && chown "$owner" "$dir/data/server.key" "$dir/data/server.crt"
      tls="-c ssl=on -c log_connections=on"
    fi
    ln -sfn "$dir" "$link"
    if ! as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses=$listen -c port=$port -c unix_socket_directories='$dir' -c fsync=off -c full_page_writes=off $tls" \
        start >/dev/null; then
      cat "$dir/server.log" >&2
      stop
      exit 1
    fi
    "$bin/psql" -X -q -v ON_ERROR_STOP=1 "$(uri "$link" postgres)" -c "CREATE DATABASE velor_test" >/dev/null
    uri "$link"
    ;;
  stop) stop ;;
  ctl) as_owner "$bin/pg_ctl" -D "$(readlink "$link")/data" "$@" ;;
  uri) uri "$link" "${1:-velor_test}" ;;
  *)
    echo "usage: pgserver.sh start|stop|ctl|uri LINK ..." >&2
    exit 2
    ;;
esac
