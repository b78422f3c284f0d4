# shellcheck shell=bash
# Shared by the brindle-cli checks: a scratch directory removed on exit, and
# failures counted so that every check runs before the script reports.
# Sourced after `set -u`; the script calls `finish NAME` at the end.

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
# exec and export keep their batches in the query history: in the scratch
# directory, never in the user's own store. Nor are the user's own keyword
# files read.
export XDG_DATA_HOME="$work/data"
export XDG_CONFIG_HOME="$work/config"

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# expect NAME EXPECTED ACTUAL
expect() {
    if [ "$2" != "$3" ]; then
        fail "$1"
        printf '  expected: %q\n  actual:   %q\n' "$2" "$3" >&2
    fi
}

# use_sqlite_dsn: BRINDLE_TEST_SQLITE_DSN as scripts/test sets it, or a data
# source of the script's own; exits 77 (skip) without the SQLite3 driver.
use_sqlite_dsn() {
    [ -n "${BRINDLE_TEST_SQLITE_DSN:-}" ] && return
    if ! odbcinst -q -d -n SQLite3 >/dev/null 2>&1; then
        echo "SKIP: the SQLite3 ODBC driver is not registered" >&2
        exit 77
    fi
    printf '[BrindleCliSQLite]\nDriver = SQLite3\nDatabase = %s\n' "$work/cli.sqlite" >"$work/odbc.ini"
    export ODBCINI="$work/odbc.ini"
    BRINDLE_TEST_SQLITE_DSN=BrindleCliSQLite
}

# finish WHAT: the summary and the exit status.
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "$1 checks passed"
}
