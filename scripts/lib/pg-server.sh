# shellcheck shell=bash
# A throw-away PostgreSQL server for the test suite, sourced by scripts/test.
#
# The server listens only on a Unix socket inside its own directory, so it can
# never clash with (or be reached through) a system cluster on TCP port 5432,
# and it uses SCRAM authentication so tests of a wrong password really fail.
#
# Every step checks its own status instead of relying on `set -e`: callers use
# these functions in `if` conditions, where bash switches errexit off.

PG_TEST_ROLE=brindle
PG_TEST_PASSWORD=brindle-test
PG_TEST_DB=brindle_test
PG_PORT=5432

# Filled in by pg_server_start; pg_server_stop only needs PG_DATA.
PG_DIR=
PG_DATA=
PG_BINDIR=
PG_OWNER=
PG_SUPER_PASSWORD=

pg_server_log() { echo "pg-server: $*" >&2; }

# Newest installed server version, e.g. /usr/lib/postgresql/15/bin.
pg_server_find_bindir() {
    local ctl
    ctl=$(printf '%s\n' /usr/lib/postgresql/*/bin/pg_ctl | sort -V | tail -n 1)
    [[ -x "$ctl" ]] || return 1
    dirname "$ctl"
}

# initdb and postgres refuse to run as root, so as root they run as a system
# user; the postgresql package creates "postgres", otherwise we make our own.
pg_server_pick_owner() {
    if ((EUID != 0)); then
        id -un
    elif id -u postgres >/dev/null 2>&1; then
        echo postgres
    else
        if ! id -u brindle-pg >/dev/null 2>&1; then
            useradd --system --no-create-home --home-dir /nonexistent \
                --shell /usr/sbin/nologin brindle-pg || return 1
        fi
        echo brindle-pg
    fi
}

# Runs a server program as the cluster's owner, from a directory it may read.
pg_server_as_owner() {
    if ((EUID == 0)); then
        (cd "$PG_DIR" && runuser -u "$PG_OWNER" -- "$@")
    else
        (cd "$PG_DIR" && "$@")
    fi
}

# psql as the superuser over the socket; extra arguments follow.
pg_server_psql() {
    PGPASSWORD="$PG_SUPER_PASSWORD" PGOPTIONS="-c client_min_messages=warning" \
        "$PG_BINDIR/psql" -X -q -v ON_ERROR_STOP=1 \
        -h "$PG_DIR" -p "$PG_PORT" -U postgres "$@"
}

pg_server_show_log() {
    if [[ -f "$PG_DIR/pg.log" ]]; then
        pg_server_log "last lines of $PG_DIR/pg.log:"
        tail -n 20 "$PG_DIR/pg.log" >&2
    fi
}

# pg_server_start DIR: creates DIR (its parent must exist and be traversable by
# the owner), initialises a cluster in DIR/data and starts it with the socket
# in DIR. Returns non-zero with a message on any failure.
pg_server_start() {
    PG_DIR=$1
    PG_DATA=$PG_DIR/data

    PG_BINDIR=$(pg_server_find_bindir) || {
        pg_server_log "no PostgreSQL server found (/usr/lib/postgresql/*/bin/pg_ctl)"
        return 1
    }
    PG_OWNER=$(pg_server_pick_owner) || {
        pg_server_log "could not create the system user brindle-pg"
        return 1
    }
    mkdir -m 0700 "$PG_DIR" || return 1
    if ((EUID == 0)); then
        chown "$PG_OWNER:" "$PG_DIR" || return 1
    fi

    # Random superuser password, handed to initdb through a file it can read.
    PG_SUPER_PASSWORD=$(od -An -tx1 -N16 /dev/urandom | tr -d ' \n')
    local pwfile=$PG_DIR/superuser.pw
    (umask 077 && printf '%s\n' "$PG_SUPER_PASSWORD" >"$pwfile") || return 1
    if ((EUID == 0)); then
        chown "$PG_OWNER:" "$pwfile" || return 1
    fi

    pg_server_log "initdb with $PG_BINDIR (owner $PG_OWNER)"
    if ! pg_server_as_owner "$PG_BINDIR/initdb" -D "$PG_DATA" -U postgres \
        --pwfile="$pwfile" --auth-local=scram-sha-256 --auth-host=scram-sha-256 \
        --encoding=UTF8 --no-locale --no-sync >"$PG_DIR/initdb.log" 2>&1; then
        pg_server_log "initdb failed:"
        cat "$PG_DIR/initdb.log" >&2
        return 1
    fi
    rm -f "$pwfile"

    if grep -Eq '^[^#]*[[:space:]](trust|peer|ident)([[:space:]]|$)' "$PG_DATA/pg_hba.conf"; then
        pg_server_log "pg_hba.conf allows logins without a password"
        return 1
    fi

    # Socket only; durability does not matter for a cluster that lives minutes.
    cat >>"$PG_DATA/postgresql.conf" <<EOF || return 1

# throw-away test cluster
listen_addresses = ''
unix_socket_directories = '$PG_DIR'
port = $PG_PORT
fsync = off
synchronous_commit = off
full_page_writes = off
# the catalog tests drop a schema of 10,000 tables in one transaction
max_locks_per_transaction = 512
EOF

    if ! pg_server_as_owner "$PG_BINDIR/pg_ctl" -D "$PG_DATA" -l "$PG_DIR/pg.log" \
        -w -t 60 start >/dev/null; then
        pg_server_log "the server did not start"
        pg_server_show_log
        return 1
    fi

    if ! pg_server_psql -d postgres \
        -c "CREATE ROLE $PG_TEST_ROLE LOGIN PASSWORD '$PG_TEST_PASSWORD'"; then
        pg_server_log "could not create the role $PG_TEST_ROLE"
        pg_server_show_log
        return 1
    fi
    pg_server_reset_db || return 1

    # The tests rely on a bad password being refused; prove it once here.
    if PGPASSWORD=not-the-password "$PG_BINDIR/psql" -X -q -h "$PG_DIR" -p "$PG_PORT" \
        -U "$PG_TEST_ROLE" -d "$PG_TEST_DB" -c 'SELECT 1' >/dev/null 2>&1; then
        pg_server_log "a wrong password was accepted; authentication is not enforced"
        return 1
    fi
    pg_server_log "running (pid $(head -n 1 "$PG_DATA/postmaster.pid"), socket $PG_DIR)"
}

# Drops and recreates the test database so each suite run starts empty.
pg_server_reset_db() {
    if ! pg_server_psql -d postgres -c "DROP DATABASE IF EXISTS $PG_TEST_DB WITH (FORCE)" \
        -c "CREATE DATABASE $PG_TEST_DB OWNER $PG_TEST_ROLE ENCODING 'UTF8' TEMPLATE template0"; then
        pg_server_log "could not create the database $PG_TEST_DB"
        return 1
    fi
}

# Stops the server of this data directory only; safe to call more than once.
pg_server_stop() {
    [[ -n "$PG_DATA" && -f "$PG_DATA/postmaster.pid" ]] || return 0
    local pid
    pid=$(head -n 1 "$PG_DATA/postmaster.pid")
    if pg_server_as_owner "$PG_BINDIR/pg_ctl" -D "$PG_DATA" -w -t 30 stop -m fast \
        >/dev/null 2>&1; then
        return 0
    fi
    pg_server_log "pg_ctl stop failed; killing pid $pid"
    [[ "$pid" =~ ^[0-9]+$ ]] || return 1
    kill -TERM "$pid" 2>/dev/null || return 0
    local i
    for ((i = 0; i < 50; i++)); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.2
    done
    kill -KILL "$pid" 2>/dev/null || true
}
