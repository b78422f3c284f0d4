#!/usr/bin/env bash
# Usage: test_cli_export.sh PATH_TO_BRINDLE_CLI PATH_TO_READ_XLSX
# Checks the export subcommand against the test data sources of scripts/test
# (SQLite always, PostgreSQL and MariaDB when configured), reading every workbook back
# through openpyxl. Without scripts/test, SQLite runs through a data source of
# its own.
set -u

cli=${1:?usage: test_cli_export.sh PATH_TO_BRINDLE_CLI PATH_TO_READ_XLSX}
reader=${2:?usage: test_cli_export.sh PATH_TO_BRINDLE_CLI PATH_TO_READ_XLSX}
# shellcheck source=check_lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/check_lib.sh"

if ! /usr/bin/python3 -c 'import openpyxl' 2>/dev/null; then
    echo "SKIP: python3-openpyxl is not installed" >&2
    exit 77
fi
use_sqlite_dsn

# export SQL FILE [options...]: stdout in $out, stderr in $err, status in $status.
export_to() {
    local sql=$1 file=$2
    shift 2
    out=$(printf '%s' "$sql" | "$cli" export "${conn[@]}" --out "$file" "$@" 2>"$work/err")
    status=$?
    err=$(cat "$work/err")
}

# cells FILE PYTHON-EXPRESSION: the expression over the sheet's JSON (`s`).
cells() {
    /usr/bin/python3 "$reader" "$1" | /usr/bin/python3 -c \
        "import json, sys; s = json.load(sys.stdin); print(json.dumps($2, ensure_ascii=False))"
}

check_backend() {
    local name=$1
    shift
    conn=("$@")
    local book="$work/$name.xlsx"

    export_to "SELECT '007' AS code, NULL AS nul, '日本語' AS j
GO
SELECT '007' AS code, NULL AS nul, '日本語' AS j, $rows" "$book"
    expect "$name status" 0 "$status"
    expect "$name count" 250 "$out"
    expect "$name header and first row" '[["code", "nul", "j", "i"], ["007", null, "日本語", "1"]]' \
        "$(cells "$book" 's["rows"][:2]')"
    expect "$name rows" 251 "$(cells "$book" 's["max_row"]')"
    expect "$name text columns" '["@", "@", "@", "@"]' "$(cells "$book" 'list(s["column_formats"].values())')"

    # A failing query leaves the file there untouched.
    cp "$book" "$work/before.xlsx"
    export_to "SELECT * FROM brindle_no_such_table" "$book"
    expect "$name failing query status" 1 "$status"
    cmp -s "$book" "$work/before.xlsx" || fail "$name failing query changed the file"

    export_to "SELECT 1 AS a WHERE 1 = 0" "$work/empty.xlsx"
    expect "$name empty count" 0 "$out"
    expect "$name empty sheet" '[["a"]]' "$(cells "$work/empty.xlsx" 's["rows"]')"
}

rows="i FROM (WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 250)
 SELECT i FROM n) AS numbers ORDER BY i"
check_backend SQLite --dsn "$BRINDLE_TEST_SQLITE_DSN"
if [ -n "${BRINDLE_TEST_PG_DSN:-}" ]; then
    check_backend PostgreSQL --dsn "$BRINDLE_TEST_PG_DSN" --uid "$BRINDLE_TEST_PG_UID" \
        --pwd "$BRINDLE_TEST_PG_PWD"
elif [ "${CI:-}" = true ]; then
    fail "PostgreSQL is not configured (CI=true)"
fi
if [ -n "${BRINDLE_TEST_MARIA_DSN:-}" ]; then
    check_backend MariaDB --dsn "$BRINDLE_TEST_MARIA_DSN" --uid "$BRINDLE_TEST_MARIA_UID" \
        --pwd "$BRINDLE_TEST_MARIA_PWD"
elif [ "${CI:-}" = true ]; then
    fail "MariaDB is not configured (CI=true)"
fi

conn=(--dsn "$BRINDLE_TEST_SQLITE_DSN")
export_to "SELECT 1 AS a" "$work/no/such/dir/x.xlsx"
expect "missing directory status" 1 "$status"
case $err in "brindle-cli: ブックを作成できません。"*) ;; *) fail "missing directory message: $err" ;; esac
[ -z "$(ls -A "$work/no" 2>/dev/null)" ] || fail "missing directory left files"

out=$(printf 'SELECT 1' | "$cli" export --dsn "$BRINDLE_TEST_SQLITE_DSN" 2>&1)
expect "no --out status" 2 "$?"

finish export
