# shellcheck shell=bash
# A throw-away MariaDB server for the test suite, sourced by scripts/test.
#
# The server reads no option file (--no-defaults), listens only on a Unix
# socket inside its own directory (--skip-networking) and keeps its data
# there, so it never meets a system MariaDB: not its port, socket, data or
# configuration. The administrator is whoever runs this script, let in by the
# socket's peer credentials (unix_socket), so no administrator password
# exists anywhere; the test user logs in with a password, so tests of a wrong
# one really fail.
#
# Every step checks its own status instead of relying on `set -e`: callers use
# these functions in `if` conditions, where bash switches errexit off.

MARIA_TEST_USER=brindle
MARIA_TEST_PASSWORD=brindle-test
MARIA_TEST_DB=brindle_test
# Databases the tests may make and drop of their own (brindle_...); the reset
# drops them all, the test database included.
MARIA_TEST_DB_PATTERN='brindle\_%'

# Filled in by mariadb_server_start; mariadb_server_stop only needs MARIA_DATA.
MARIA_DIR=
MARIA_DATA=
MARIA_SOCKET=
MARIA_OWNER=
MARIA_ADMIN=

maria_server_log() { echo "mariadb-server: $*" >&2; }

# mariadbd refuses to run as root without --user, and a server of root's
# would own its files as root; as root it runs as the package's "mysql" user,
# otherwise as a system user of our own.
mariadb_server_pick_owner() {
    if ((EUID != 0)); then
        id -un
    elif id -u mysql >/dev/null 2>&1; then
        echo mysql
    else
        if ! id -u brindle-maria >/dev/null 2>&1; then
            useradd --system --no-create-home --home-dir /nonexistent \
                --shell /usr/sbin/nologin brindle-maria || return 1
        fi
        echo brindle-maria
    fi
}

# Runs a server program as the data directory's owner, from a directory it may
# read.
mariadb_server_as_owner() {
    if ((EUID == 0)); then
        (cd "$MARIA_DIR" && runuser -u "$MARIA_OWNER" -- "$@")
    else
        (cd "$MARIA_DIR" && "$@")
    fi
}

# The client as the administrator over the socket; extra arguments follow.
mariadb_server_sql() {
    mariadb --no-defaults --socket="$MARIA_SOCKET" --user="$MARIA_ADMIN" \
        --batch --skip-column-names "$@"
}

mariadb_server_show_log() {
    if [[ -f "$MARIA_DIR/server.log" ]]; then
        maria_server_log "last lines of $MARIA_DIR/server.log:"
        tail -n 20 "$MARIA_DIR/server.log" >&2
    fi
}

# The server's pid from its pid file, if that process is still this data
# directory's server (a stale file must never make us signal another one).
mariadb_server_pid() {
    [[ -n "$MARIA_DATA" && -f "$MARIA_DIR/mariadbd.pid" ]] || return 1
    local pid
    pid=$(head -n 1 "$MARIA_DIR/mariadbd.pid")
    [[ "$pid" =~ ^[0-9]+$ ]] || return 1
    tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | grep -qxF -- "--datadir=$MARIA_DATA" ||
        return 1
    echo "$pid"
}

# mariadb_server_start DIR: creates DIR (its parent must exist and be
# traversable by the owner), makes a data directory in DIR/data and starts a
# server with its socket in DIR. Returns non-zero with a message on failure.
mariadb_server_start() {
    MARIA_DIR=$1
    MARIA_DATA=$MARIA_DIR/data
    MARIA_SOCKET=$MARIA_DIR/mysqld.sock

    local program
    for program in mariadb-install-db mariadb mariadb-admin; do
        command -v "$program" >/dev/null || {
            maria_server_log "$program not found (mariadb-server)"
            return 1
        }
    done
    local mariadbd=/usr/sbin/mariadbd
    [[ -x "$mariadbd" ]] || {
        maria_server_log "no MariaDB server found ($mariadbd)"
        return 1
    }
    MARIA_OWNER=$(mariadb_server_pick_owner) || {
        maria_server_log "could not create the system user brindle-maria"
        return 1
    }
    MARIA_ADMIN=$(id -un) || return 1
    mkdir -m 0700 "$MARIA_DIR" || return 1
    if ((EUID == 0)); then
        chown "$MARIA_OWNER:" "$MARIA_DIR" || return 1
    fi

    # Small files and no durability: the server lives for minutes. The tests
    # count rows with recursive queries, which stop at 1000 rounds by default.
    # The administrator accounts are root and the owner, both by unix_socket.
    local server_options=(
        --datadir="$MARIA_DATA"
        --socket="$MARIA_SOCKET"
        --skip-networking
        --skip-name-resolve
        --character-set-server=utf8mb4
        --collation-server=utf8mb4_general_ci
        --innodb-buffer-pool-size=64M
        --innodb-log-file-size=16M
        --innodb-flush-log-at-trx-commit=0
        --innodb-doublewrite=0
        --max-allowed-packet=64M
        --max-recursive-iterations=100000000
        --performance-schema=OFF
        --skip-log-bin
    )
    maria_server_log "mariadb-install-db (owner $MARIA_OWNER)"
    if ! mariadb_server_as_owner mariadb-install-db --no-defaults \
        --auth-root-authentication-method=socket --skip-test-db "${server_options[@]}" \
        >"$MARIA_DIR/install.log" 2>&1; then
        maria_server_log "mariadb-install-db failed:"
        cat "$MARIA_DIR/install.log" >&2
        return 1
    fi

    # mariadbd does not detach itself: it runs in a session of its own, so a
    # Ctrl-C at the terminal reaches scripts/test, whose clean-up stops it.
    mariadb_server_as_owner setsid "$mariadbd" --no-defaults "${server_options[@]}" \
        --pid-file="$MARIA_DIR/mariadbd.pid" --log-error="$MARIA_DIR/server.log" \
        --tmpdir="$MARIA_DIR" </dev/null >/dev/null 2>&1 &
    local launcher=$! i
    for ((i = 0; i < 600; i++)); do
        if mariadb-admin --no-defaults --socket="$MARIA_SOCKET" --user="$MARIA_ADMIN" \
            --connect-timeout=5 ping >/dev/null 2>&1; then
            break
        fi
        if ! kill -0 "$launcher" 2>/dev/null; then
            maria_server_log "the server exited while starting"
            mariadb_server_show_log
            return 1
        fi
        sleep 0.1
    done
    if ((i == 600)); then
        maria_server_log "the server did not answer within 60 s"
        mariadb_server_show_log
        return 1
    fi

    # The test user may make and drop databases named brindle_... and do
    # anything inside them, nothing else.
    if ! mariadb_server_sql -e "
        CREATE USER '$MARIA_TEST_USER'@'localhost' IDENTIFIED BY '$MARIA_TEST_PASSWORD';
        GRANT ALL ON \`$MARIA_TEST_DB_PATTERN\`.* TO '$MARIA_TEST_USER'@'localhost';"; then
        maria_server_log "could not create the user $MARIA_TEST_USER"
        mariadb_server_show_log
        return 1
    fi
    mariadb_server_reset_db || return 1

    # The tests rely on a bad password being refused; prove it once here.
    if mariadb --no-defaults --socket="$MARIA_SOCKET" --user="$MARIA_TEST_USER" \
        --password=not-the-password -e 'SELECT 1' "$MARIA_TEST_DB" >/dev/null 2>&1; then
        maria_server_log "a wrong password was accepted; authentication is not enforced"
        return 1
    fi
    maria_server_log "running (pid $(mariadb_server_pid), socket $MARIA_SOCKET)"
}

# Drops every brindle_... database and makes the test database afresh, so
# each suite run starts empty.
mariadb_server_reset_db() {
    local names name drops=
    if ! names=$(mariadb_server_sql -e "SELECT schema_name FROM information_schema.schemata
            WHERE schema_name LIKE '$MARIA_TEST_DB_PATTERN'"); then
        maria_server_log "could not list the test databases"
        return 1
    fi
    while IFS= read -r name; do
        [[ -n "$name" ]] && drops+="DROP DATABASE \`$name\`;"
    done <<<"$names"
    if ! mariadb_server_sql -e "$drops
        CREATE DATABASE $MARIA_TEST_DB CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci;"; then
        maria_server_log "could not create the database $MARIA_TEST_DB"
        return 1
    fi
}

# Stops the server of this data directory only; safe to call more than once.
mariadb_server_stop() {
    local pid
    pid=$(mariadb_server_pid) || return 0
    kill -TERM "$pid" 2>/dev/null || return 0
    local i
    for ((i = 0; i < 300; i++)); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    maria_server_log "the server did not stop within 30 s; killing pid $pid"
    kill -KILL "$pid" 2>/dev/null || true
}
