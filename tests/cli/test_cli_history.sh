#!/usr/bin/env bash
# Usage: test_cli_history.sh PATH_TO_BRINDLE_CLI
# Checks that exec and export keep their batches in the query history and
# that history lists them, against the test data sources of scripts/test
# (SQLite always, PostgreSQL and MariaDB when configured; either is a failure
# when missing and CI=true). Also: --no-history, a store that cannot be written or
# is damaged (the run's output and status stay as they were), usage errors.
set -u

cli=${1:?usage: test_cli_history.sh PATH_TO_BRINDLE_CLI}
# shellcheck source=check_lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/check_lib.sh"

use_sqlite_dsn

# run SQL [exec options...]: stdout in $out, stderr in $err, status in $status.
run() {
    local sql=$1
    shift
    out=$(printf '%s' "$sql" | "$cli" exec "${conn[@]}" "$@" 2>"$work/err")
    status=$?
    err=$(cat "$work/err")
}

# history [options...]: the listing in $out, its status in $status.
history() {
    out=$("$cli" history "$@" 2>"$work/err")
    status=$?
    err=$(cat "$work/err")
}

# json PYTHON-EXPRESSION [history options...]: the expression over the JSON
# listing (`h`, newest first).
json() {
    local expression=$1
    shift
    "$cli" history --format json "$@" | /usr/bin/python3 -c \
        "import json, sys; h = json.load(sys.stdin); print(json.dumps($expression, ensure_ascii=False))"
}

# The same checks for each database: $1 is its name, the rest the connection
# options. Each keeps its history in a store of its own.
check_backend() {
    local name=$1
    shift
    conn=("$@")
    export XDG_DATA_HOME="$work/data-$name"
    local db="$XDG_DATA_HOME/Brindle/brindle.db"

    history
    expect "$name no store: status" 1 "$status"
    expect "$name no store: message" "brindle-cli: クエリ履歴はありません (ローカル ストア $db がありません)。" "$err"

    run "CREATE TEMPORARY TABLE h (k integer, s varchar(20))
GO
INSERT INTO h VALUES (1, 'a'), (2, 'b'), (3, 'c')
GO
UPDATE h SET s = 'z' WHERE k >= 2
GO
SELECT k, s AS \"名前	タブ\" FROM h ORDER BY k"
    expect "$name run: status" 0 "$status"
    expect "$name run: stderr" "" "$err"
    expect "$name run: result" "k	名前\\tタブ
1	a
2	z
3	z" "$out"

    history
    expect "$name list: status" 0 "$status"
    expect "$name list: one line per batch" 4 "$(printf '%s\n' "$out" | wc -l)"
    expect "$name list: seven fields a line" "" "$(printf '%s\n' "$out" | awk -F'\t' 'NF != 7')"
    expect "$name list: newest first, first lines (tab escaped)" \
        'SELECT k, s AS "名前\tタブ" FROM h ORDER BY k|UPDATE h SET s = '"'z'"' WHERE k >= 2|INSERT INTO h VALUES (1, '"'a'"'), (2, '"'b'"'), (3, '"'c'"')|CREATE TEMPORARY TABLE h (k integer, s varchar(20))' \
        "$(printf '%s\n' "$out" | cut -f7 | paste -sd'|')"
    expect "$name list: rows fetched, changed, inserted" "3 2 3" \
        "$(printf '%s\n' "$out" | head -3 | cut -f5 | paste -sd' ')"
    expect "$name list: outcomes" "completed completed completed completed" \
        "$(printf '%s\n' "$out" | cut -f6 | paste -sd' ')"
    expect "$name list: data source" "$2" "$(printf '%s\n' "$out" | cut -f3 | sort -u)"
    expect "$name list: ids descending" "$(printf '%s\n' "$out" | cut -f1 | sort -rn)" \
        "$(printf '%s\n' "$out" | cut -f1)"
    expect "$name list: local ISO times with milliseconds" "" \
        "$(printf '%s\n' "$out" | cut -f2 | grep -Ev '^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}')"
    expect "$name list: durations in ms" "" "$(printf '%s\n' "$out" | cut -f4 | grep -Ev '^[0-9]+$')"
    expect "$name json: rows changed" "[false, true, true]" "$(json '[e["rowsChanged"] for e in h[:3]]')"
    expect "$name json: caption and login" '["brindle-cli", "'"${4:-}"'"]' "$(json '[h[0]["caption"], h[0]["login"]]')"
    expect "$name json: the whole text" '"SELECT k, s AS \"名前\tタブ\" FROM h ORDER BY k"' \
        "$(json 'h[0]["text"].rstrip("\r\n")')"

    # A failing batch: kept with the driver's description; the one after it
    # does not run and is not kept.
    run "SELECT 1 AS a
GO
SELECT * FROM brindle_no_such_table
GO
SELECT 3 AS c"
    expect "$name failing: status" 1 "$status"
    local failure=$err
    history --limit 3
    expect "$name failing: kept up to the failure" "failed completed completed" \
        "$(printf '%s\n' "$out" | cut -f6 | paste -sd' ')"
    expect "$name failing: no rows known" "" "$(printf '%s\n' "$out" | head -1 | cut -f5)"
    case $(json 'h[0]["error"]') in
    *brindle_no_such_table*) ;;
    *) fail "$name failing: the driver's description: $(json 'h[0]')" ;;
    esac
    expect "$name failing: the same description as on stderr" "brindle-cli: $(json 'h[0]["error"]' | /usr/bin/python3 -c 'import json, sys; print(json.load(sys.stdin))')" "$failure"
    history --failed
    expect "$name --failed" "SELECT * FROM brindle_no_such_table" "$(printf '%s\n' "$out" | cut -f7)"
    history --search "brindle_NO_such"
    expect "$name --search any case" 1 "$(printf '%s\n' "$out" | wc -l)"
    history --search "名前"
    expect "$name --search Japanese" 'SELECT k, s AS "名前\tタブ" FROM h ORDER BY k' "$(printf '%s\n' "$out" | cut -f7)"
    history --search '"名前'
    expect "$name --search a quote is a quote" 1 "$(printf '%s\n' "$out" | wc -l)"
    history --search "%"
    expect "$name --search % is a percent sign" "" "$out"
    history --dsn no-such-source
    expect "$name --dsn another" "" "$out"
    history --limit 2
    expect "$name --limit" 2 "$(printf '%s\n' "$out" | wc -l)"
    history --limit 0
    expect "$name --limit 0" "" "$out"

    # --no-history: nothing kept, the result as ever.
    run "SELECT 42 AS n" --no-history
    expect "$name --no-history: result" "n
42" "$out"
    history --search "42 AS"
    expect "$name --no-history: not kept" "" "$out"

    # export keeps its batches too.
    out=$(printf 'SELECT 7 AS exported' | "$cli" export "${conn[@]}" --out "$work/$name.xlsx" 2>"$work/err")
    expect "$name export: status" 0 "$?"
    history --limit 1
    expect "$name export: kept" "SELECT 7 AS exported" "$(printf '%s\n' "$out" | cut -f7)"

    # Never the password; the sqlite3 shell reads the texts.
    if [ -n "${4:-}" ] && [ -n "${6:-}" ]; then
        if grep -qaF -- "$6" "$db"*; then fail "$name: the password is in the store"; fi
    fi
    if command -v sqlite3 >/dev/null; then
        expect "$name sqlite3 shell" "SELECT 7 AS exported" \
            "$(sqlite3 -readonly "$db" "SELECT text FROM history ORDER BY id DESC LIMIT 1" | tr -d '\r')"
    fi
}

check_backend SQLite --dsn "$BRINDLE_TEST_SQLITE_DSN"
if [ -n "${BRINDLE_TEST_PG_DSN:-}" ]; then
    check_backend PostgreSQL --dsn "$BRINDLE_TEST_PG_DSN" --uid "$BRINDLE_TEST_PG_UID" \
        --pwd "$BRINDLE_TEST_PG_PWD"
elif [ "${CI:-}" = true ]; then
    fail "PostgreSQL is not configured (BRINDLE_TEST_PG_DSN) and CI=true"
else
    echo "note: PostgreSQL is not configured; its checks were skipped" >&2
fi
if [ -n "${BRINDLE_TEST_MARIA_DSN:-}" ]; then
    check_backend MariaDB --dsn "$BRINDLE_TEST_MARIA_DSN" --uid "$BRINDLE_TEST_MARIA_UID" \
        --pwd "$BRINDLE_TEST_MARIA_PWD"
elif [ "${CI:-}" = true ]; then
    fail "MariaDB is not configured (BRINDLE_TEST_MARIA_DSN) and CI=true"
else
    echo "note: MariaDB is not configured; its checks were skipped" >&2
fi
conn=(--dsn "$BRINDLE_TEST_SQLITE_DSN")

# A store that cannot be made: the run's output and status as ever, one
# warning line.
printf 'x' >"$work/blocker"
export XDG_DATA_HOME="$work/blocker/data"
run "SELECT 5 AS n
GO
SELECT 6 AS m"
expect "unwritable: status" 0 "$status"
expect "unwritable: result" "m
6" "$out"
expect "unwritable: one warning" 1 "$(printf '%s\n' "$err" | grep -c '^brindle-cli: クエリ履歴を保存できません: ')"
expect "unwritable: nothing else" 1 "$(printf '%s\n' "$err" | wc -l)"
run "SELECT * FROM brindle_no_such_table"
expect "unwritable: a failure's status" 1 "$status"

# A damaged store is moved aside, once, and a fresh one made.
export XDG_DATA_HOME="$work/damaged"
mkdir -p "$XDG_DATA_HOME/Brindle"
printf 'not a database at all, just some text that is long enough' >"$XDG_DATA_HOME/Brindle/brindle.db"
run "SELECT 8 AS n"
expect "damaged: status" 0 "$status"
expect "damaged: result" "n
8" "$out"
case $err in
"brindle-cli: クエリ履歴の保存先が壊れていたため、別の名前で退避して新しく作り直しました: $XDG_DATA_HOME/Brindle/brindle.db.damaged-"*) ;;
*) fail "damaged: warning: $err" ;;
esac
history
expect "damaged: kept in the fresh store" "SELECT 8 AS n" "$(printf '%s\n' "$out" | cut -f7)"
expect "damaged: the damaged one kept" 1 "$(find "$XDG_DATA_HOME/Brindle" -name 'brindle.db.damaged-*' ! -name '*-wal' ! -name '*-shm' | wc -l)"

for args in "--limit" "--limit -1" "--limit x" "--format xml" "--search" "--bogus" "extra" "--failed 1"; do
    # shellcheck disable=SC2086 # the words are the arguments
    "$cli" history $args >/dev/null 2>"$work/err"
    expect "usage: history $args" 2 "$?"
    grep -q "brindle-cli --help" "$work/err" || fail "usage: history $args without a pointer to --help"
done
printf 'SELECT 1' | "$cli" exec --dsn "$BRINDLE_TEST_SQLITE_DSN" --no-history extra >/dev/null 2>&1
expect "usage: exec --no-history extra" 2 "$?"

finish "cli history"
