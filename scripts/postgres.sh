#!/usr/bin/env bash
# A throw-away PostgreSQL server for the tests: a new cluster in a temporary
# directory, listening only on a Unix socket there, run by an unprivileged
# user (the Debian package's postgres user when this runs as root).
#
#   source scripts/postgres.sh start   # starts it and exports the addresses below
#   scripts/postgres.sh stop DIR       # stops it and removes DIR
#
# After start:
#   CORVALT_PG_DIR        the cluster's directory (remove it with stop)
#   CORVALT_PG_ADMIN_URI  the cluster's superuser, database corvalt (the sample loaded)
#   CORVALT_PG_URI        a role that can only read (pg_read_all_data), same database
# start prints why and returns non-zero when no server can be started here.

corvalt_pg_bin() {
  local dir
  for dir in /usr/lib/postgresql/*/bin; do
    [ -x "$dir/initdb" ] && [ -x "$dir/pg_ctl" ] && { echo "$dir"; return 0; }
  done
  return 1
}

corvalt_pg_as() {  # runs a command as the cluster's owner
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

corvalt_pg_start() {
  local bin dir port=5433
  bin=$(corvalt_pg_bin) || { echo "no PostgreSQL server programs (Debian package postgresql)" >&2; return 1; }
  if [ "$(id -u)" -eq 0 ] && ! id postgres >/dev/null 2>&1; then
    echo "no postgres user to run the server as" >&2
    return 1
  fi
  dir=$(mktemp -d /tmp/corvalt-pg.XXXXXX) || return 1
  chmod 755 "$dir"
  [ "$(id -u)" -eq 0 ] && chown postgres "$dir"
  if ! corvalt_pg_as "$bin/initdb" -D "$dir/data" -U postgres --auth=trust -E UTF8 --locale=C.UTF-8 \
       >"$dir/initdb.log" 2>&1; then
    cat "$dir/initdb.log" >&2
    rm -rf "$dir"
    return 1
  fi
  if ! corvalt_pg_as "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start \
       -o "-c listen_addresses='' -c unix_socket_directories='$dir' -p $port -c fsync=off" >/dev/null; then
    cat "$dir/server.log" >&2
    rm -rf "$dir"
    return 1
  fi
  export CORVALT_PG_DIR="$dir"
  export CORVALT_PG_ADMIN_URI="postgresql://postgres@/corvalt?host=$dir&port=$port"
  export CORVALT_PG_URI="postgresql://corvalt_reader@/corvalt?host=$dir&port=$port"
  corvalt_pg_as "$bin/psql" -q -X -v ON_ERROR_STOP=1 -h "$dir" -p "$port" -U postgres -d postgres <<'EOF' >/dev/null || return 1
CREATE DATABASE corvalt;
CREATE ROLE corvalt_reader LOGIN;
GRANT pg_read_all_data TO corvalt_reader;
EOF
}

corvalt_pg_stop() {
  local dir=$1 bin
  [ -n "$dir" ] && [ -d "$dir/data" ] || return 0
  bin=$(corvalt_pg_bin) && corvalt_pg_as "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1
  rm -rf "$dir"
}

case "${1:-}" in
  start) corvalt_pg_start ;;
  stop) corvalt_pg_stop "${2:-${CORVALT_PG_DIR:-}}" ;;
  *) echo "usage: source scripts/postgres.sh start | scripts/postgres.sh stop DIR" >&2; false ;;
esac
