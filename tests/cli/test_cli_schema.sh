#!/usr/bin/env bash
# Usage: test_cli_schema.sh PATH_TO_BRINDLE_CLI
# Checks brindle-cli schema: the tables, views and columns of a database of
# its own (SQLite always; PostgreSQL in a schema of its own when configured),
# as TSV and JSON, narrowed by --table, and its usage and connection errors.
set -u

cli=${1:?usage: test_cli_schema.sh PATH_TO_BRINDLE_CLI}
# shellcheck source=check_lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/check_lib.sh"

if ! odbcinst -q -d -n SQLite3 >/dev/null 2>&1; then
    echo "SKIP: the SQLite3 ODBC driver is not registered" >&2
    exit 77
fi
# A data source of this test's own beside those scripts/test registered.
{
    [ -n "${ODBCINI:-}" ] && cat "$ODBCINI"
    printf '\n[CliSchema]\nDriver = SQLite3\nDatabase = %s\n' "$work/schema.sqlite"
} >"$work/odbc.ini"
export ODBCINI="$work/odbc.ini"
sqlite3 "$work/schema.sqlite" 'CREATE TABLE "My Tab" (id integer PRIMARY KEY, 名前 text NOT NULL);
    CREATE TABLE other (x real); CREATE VIEW v AS SELECT 名前 FROM "My Tab";'

out=$("$cli" schema --dsn CliSchema 2>"$work/err")
expect "tsv status" 0 "$?"
expect "tsv header" "schema	table	kind	column	type	size	nullable	key" "$(head -n 1 <<<"$out")"
expect "tsv key column" "	My Tab	TABLE	id	INTEGER" "$(grep -P '\tid\t' <<<"$out" | cut -f1-5)"
expect "tsv not null" "NO" "$(grep -P '\t名前\t' <<<"$out" | head -n 1 | cut -f7)"
expect "tsv rows" 4 "$(($(wc -l <<<"$out") - 1))"

json=$("$cli" schema --dsn CliSchema --table 'My%' --format json |
    /usr/bin/python3 -c 'import json, sys
rows = json.load(sys.stdin)
print(sorted((r["table"], r["column"], r["key"], r["nullable"]) for r in rows))')
expect "json narrowed" "[('My Tab', 'id', True, True), ('My Tab', '名前', False, False)]" "$json"

"$cli" schema >/dev/null 2>&1
expect "no --dsn" 2 "$?"
"$cli" schema --dsn CliSchema --format xml >/dev/null 2>&1
expect "bad format" 2 "$?"
"$cli" schema --dsn NoSuchSource >/dev/null 2>"$work/err"
expect "unknown source" 1 "$?"
[ -s "$work/err" ] || fail "unknown source: says why on stderr"

if [ -n "${BRINDLE_TEST_PG_DSN:-}" ]; then
    pg=(--dsn "$BRINDLE_TEST_PG_DSN" --uid "$BRINDLE_TEST_PG_UID" --pwd "$BRINDLE_TEST_PG_PWD")
    schema="cli_schema_$$"
    printf 'CREATE SCHEMA %s; CREATE TABLE %s."Order" (id serial PRIMARY KEY, "select" int);' \
        "$schema" "$schema" | "$cli" exec "${pg[@]}" --no-history >/dev/null ||
        fail "PostgreSQL: the schema was made"
    out=$("$cli" schema "${pg[@]}" --table Order)
    expect "PostgreSQL rows" "$schema	Order	TABLE	id	int4	10	NO	PK
$schema	Order	TABLE	select	int4	10	YES	" "$(grep "^$schema" <<<"$out")"
    printf 'DROP SCHEMA %s CASCADE' "$schema" | "$cli" exec "${pg[@]}" --no-history >/dev/null
elif [ "${CI:-}" = true ]; then
    fail "PostgreSQL is not configured (BRINDLE_TEST_PG_DSN) and CI=true"
fi

finish cli_schema
