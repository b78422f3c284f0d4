#!/usr/bin/env bash
# Checks the sample database that scripts/run builds and registers.
#
#   test_sample_db.sh content [REPO]   build it with sqlite3 and check the data
#   test_sample_db.sh odbc [REPO]      register it in a private odbc.ini and
#                                      read it back through the SQLite3 driver
#
# Exits 77 (skipped) when sqlite3 or isql is missing.
set -euo pipefail

mode=${1:?usage: test_sample_db.sh content|odbc [REPO]}
repo=${2:-$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.." && pwd)}
samples=$repo/resources/sample
# shellcheck source=../../scripts/lib/sample-db.sh disable=SC1091
source "$repo/scripts/lib/sample-db.sh"
# shellcheck source=../../scripts/lib/user-dsn.sh disable=SC1091
source "$repo/scripts/lib/user-dsn.sh"

for tool in sqlite3 $([[ "$mode" == odbc ]] && echo isql odbcinst); do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

failures=0
# expect NAME EXPECTED ACTUAL
expect() {
    if [[ "$2" == "$3" ]]; then
        echo "ok   $1"
    else
        echo "FAIL $1"
        echo "     expected: $2"
        echo "     actual:   $3"
        failures=$((failures + 1))
    fi
}

db=$tmp/sample.db
sample_db_build "$samples" "$db"

query() { sqlite3 -batch -noheader -bail "$1" "$2"; }

check_content() {
    # name <TAB> SQL <TAB> expected result
    local name sql expected
    while IFS=$'\t' read -r name sql expected; do
        [[ -n "$name" ]] || continue
        expect "$name" "$expected" "$(query "$db" "$sql" 2>&1)"
    done <<'CHECKS'
tables	SELECT group_concat(name, ',') FROM (SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name)	customers,departments,employees,order_items,orders,products
views	SELECT group_concat(name, ',') FROM (SELECT name FROM sqlite_master WHERE type = 'view' ORDER BY name)	employee_directory,monthly_sales
at least 1000 orders	SELECT count(*) >= 1000 FROM orders	1
order lines for every order	SELECT count(*) FROM orders o WHERE NOT EXISTS (SELECT 1 FROM order_items i WHERE i.order_id = o.order_id)	0
Japanese text reads back	SELECT name FROM departments WHERE dept_code = '010'	営業部
Japanese text is UTF-8, encoded once	SELECT hex(name) FROM departments WHERE dept_code = '010'	E596B6E6A5ADE983A8
multi-line value kept	SELECT replace(note, char(10), '\n') FROM employees WHERE emp_no = '000023'	在宅勤務（火・木）\n2024年4月より週3日出社
leading-zero product code	SELECT product_code FROM products WHERE name_en = 'Stapler, medium'	007
codes are stored as text	SELECT count(*) FROM products WHERE typeof(product_code) <> 'text'	0
employee numbers keep their zeros	SELECT emp_no FROM employees WHERE emp_id = 1	000001
NULL e-mail	SELECT count(*) > 0 FROM employees WHERE email IS NULL	1
empty e-mail is not NULL	SELECT count(*) FROM employees WHERE email = ''	1
NULL budget	SELECT count(*) > 0 FROM departments WHERE budget IS NULL	1
NULL weight	SELECT count(*) > 0 FROM products WHERE weight_kg IS NULL	1
NULL ship time	SELECT count(*) > 0 FROM orders WHERE shipped_at IS NULL	1
NULL sales rep	SELECT count(*) > 0 FROM orders WHERE emp_id IS NULL	1
decimal amounts	SELECT count(*) > 0 FROM orders WHERE total_amount <> round(total_amount)	1
dates are YYYY-MM-DD	SELECT count(*) FROM orders WHERE date(order_date) IS NOT order_date	0
timestamps are YYYY-MM-DD HH:MM:SS	SELECT count(*) FROM orders WHERE datetime(created_at) IS NOT created_at OR datetime(shipped_at) IS NOT shipped_at	0
shipped after ordered	SELECT count(*) FROM orders WHERE shipped_at < created_at	0
foreign keys hold	SELECT count(*) FROM pragma_foreign_key_check	0
integrity	PRAGMA integrity_check	ok
CHECKS
    # Rebuilding must give the same data (no random() or now() in the scripts).
    sample_db_build "$samples" "$tmp/again.db"
    expect "rebuild is identical" "$(sqlite3 "$db" .dump | sha256sum)" \
        "$(sqlite3 "$tmp/again.db" .dump | sha256sum)"

    # A broken script must leave the existing database as it was.
    mkdir "$tmp/broken"
    echo "CREATE TABLE t (a INTEGER);" >"$tmp/broken/01_ok.sql"
    echo "INSERT INTO no_such_table VALUES (1);" >"$tmp/broken/02_bad.sql"
    cp "$db" "$tmp/kept.db"
    local status=0
    sample_db_build "$tmp/broken" "$tmp/kept.db" 2>/dev/null || status=$?
    expect "broken script fails the build" 1 "$((status != 0))"
    expect "broken script keeps the old database" "$(sha256sum <"$db")" "$(sha256sum <"$tmp/kept.db")"
    expect "broken script leaves no temp file" "kept.db" "$(cd "$tmp" && ls kept.db*)"

    # Staleness decides whether scripts/run rebuilds.
    cp -r "$samples" "$tmp/samples"
    stale() { sample_db_is_stale "$tmp/samples" "$1" && echo stale || echo fresh; }
    expect "missing database is stale" stale "$(stale "$tmp/missing.db")"
    sample_db_build "$tmp/samples" "$tmp/fresh.db"
    touch -d '1 hour ago' "$tmp"/samples/*.sql
    expect "newer database is fresh" fresh "$(stale "$tmp/fresh.db")"
    touch "$tmp/samples/02_data.sql"
    touch -d '1 minute ago' "$tmp/fresh.db"
    expect "edited script makes it stale" stale "$(stale "$tmp/fresh.db")"
}

check_odbc() {
    export ODBCINI=$tmp/odbc.ini
    # Another user's data source with a comment: registration must keep both.
    printf '; written by hand\n[Other]\nDriver = PostgreSQL Unicode\nServername = /nowhere\n' >"$ODBCINI"
    local other
    other=$(cat "$ODBCINI")

    user_dsn_register BrindleSampleCheck SQLite3 "$db" "sample check" >/dev/null
    local first
    first=$(sha256sum <"$ODBCINI")
    user_dsn_register BrindleSampleCheck SQLite3 "$db" "sample check" >/dev/null
    expect "registering twice changes nothing" "$first" "$(sha256sum <"$ODBCINI")"
    expect "other data source untouched" "$other" "$(head -n 4 "$ODBCINI")"
    expect "driver manager sees the DSN" "Database=$db" \
        "$(odbcinst -q -s -h -n BrindleSampleCheck | grep '^Database=')"

    isql_query() { echo "$1" | isql -b -d'|' BrindleSampleCheck 2>&1; }
    expect "leading zero through ODBC" "007|ホッチキス 中型" \
        "$(isql_query "SELECT product_code, name FROM products WHERE product_code = '007'")"
    expect "row count through ODBC" 1200 "$(isql_query "SELECT count(*) FROM orders")"
    expect "NULL through ODBC" "|000042" \
        "$(isql_query "SELECT email, emp_no FROM employees WHERE emp_no = '000042'")"
    expect "ASCII and Japanese mixed" "Global Trading Co., Ltd.|東京テクノ株式会社" \
        "$(isql_query "SELECT (SELECT name FROM customers WHERE customer_code = 'C0005'), (SELECT name FROM customers WHERE customer_code = 'C0004')")"

    # Moving the database is picked up by re-registering.
    mv "$db" "$tmp/moved.db"
    user_dsn_register BrindleSampleCheck SQLite3 "$tmp/moved.db" "sample check" >/dev/null
    expect "re-registered path" 20 "$(isql_query "SELECT count(*) FROM customers")"
    expect "still one section" 1 "$(grep -c '^\[BrindleSampleCheck\]' "$ODBCINI")"
}

case $mode in
content) check_content ;;
odbc) check_odbc ;;
*)
    echo "unknown mode: $mode" >&2
    exit 2
    ;;
esac

if ((failures > 0)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
