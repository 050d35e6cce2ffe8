#!/bin/sh
# A throwaway PostgreSQL cluster for the server tests of one test run.
#
#   pgcluster.sh start STATE_DIR   initialises and starts it; writes STATE_DIR/conninfo
#   pgcluster.sh stop STATE_DIR    stops it and removes everything it made
#
# The cluster lives in a private folder made by mktemp, listens on a Unix
# socket in that folder only, and runs without fsync: nothing in it outlives
# the run. It is initialised with the C locale on purpose, so that a test
# fails if anything leans on the database's default collation.
#
# Without server binaries the start leaves STATE_DIR/skipped and succeeds;
# the server tests then exit with 77 (skipped).
set -eu

action=${1:-}
state=${2:-}
if [ -z "$action" ] || [ -z "$state" ]; then
    echo "usage: $0 start|stop STATE_DIR" >&2
    exit 2
fi

bindir=
for d in /usr/lib/postgresql/*/bin; do
    [ -x "$d/initdb" ] && [ -x "$d/pg_ctl" ] && bindir=$d
done

# initdb and the server refuse to run as root
as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

case $action in
start)
    rm -rf "$state"
    mkdir -p "$state"
    if [ -z "$bindir" ]; then
        echo "no PostgreSQL server binaries (/usr/lib/postgresql/*/bin/initdb): server tests are skipped" | tee "$state/skipped"
        exit 0
    fi
    dir=$(mktemp -d "${TMPDIR:-/tmp}/tvx-pg.XXXXXX")
    echo "$dir" >"$state/cluster"
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres: "$dir"
    fi
    # the server wants its data folder private; the tests only need the socket
    chmod 711 "$dir"
    cd "$dir"
    if ! as_owner "$bindir/initdb" -D "$dir/data" -U tvx --auth=trust --locale=C -E UTF8 --no-sync >"$dir/initdb.log" 2>&1; then
        cat "$dir/initdb.log" >&2
        exit 1
    fi
    if ! as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses='' -k $dir -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=100" \
        start >/dev/null; then
        cat "$dir/server.log" >&2
        exit 1
    fi
    printf 'host=%s user=tvx dbname=postgres\n' "$dir" >"$state/conninfo"
    echo "PostgreSQL test cluster in $dir ($($bindir/postgres --version))"
    ;;
stop)
    [ -f "$state/cluster" ] || { rm -rf "$state"; exit 0; }
    dir=$(cat "$state/cluster")
    if [ -n "$bindir" ] && [ -f "$dir/data/postmaster.pid" ]; then
        cd "$dir"
        as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null || true
    fi
    case $dir in
    */tvx-pg.*) rm -rf "$dir" ;;
    esac
    rm -rf "$state"
    ;;
*)
    echo "usage: $0 start|stop STATE_DIR" >&2
    exit 2
    ;;
esac
