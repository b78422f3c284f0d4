#!/usr/bin/env bash
# Usage: test_cli_exec.sh PATH_TO_BRINDLE_CLI
# Checks the dsns and exec subcommands against the test data sources that
# scripts/test registers (BRINDLE_TEST_SQLITE_DSN, BRINDLE_TEST_PG_*,
# BRINDLE_TEST_MARIA_*). Without them SQLite runs through a data source of its
# own; PostgreSQL and MariaDB are skipped unless CI=true, where that is a
# failure.
set -u

cli=${1:?usage: test_cli_exec.sh PATH_TO_BRINDLE_CLI}
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

# The same checks for each database; $1 is its name, the rest the connection
# options, and $text/$bin/$dec/$ts the SQL that differs between them; $blank
# is what a batch of blank lines gives (error: the run ends there).
check_backend() {
    local name=$1
    shift
    conn=("$@")
    local table="CREATE TEMPORARY TABLE t (k integer, s varchar(50), i bigint, d double precision,
 dt date, ts $ts, b $bin, n $dec)
GO
INSERT INTO t VALUES (1, $text, 9007199254740993, 0.1, '2024-02-29',
 '2024-02-29 13:45:10.250', $hex, 12345678901234.5678)
  go
INSERT INTO t VALUES (2, NULL, NULL, NULL, NULL, '2024-02-29 13:45:10', NULL, NULL)
GO
SELECT s AS 名前, i, d, dt, ts, b FROM t ORDER BY k"

    run "$table"
    expect "$name tsv status" 0 "$status"
    expect "$name tsv" "名前	i	d	dt	ts	b
a\\tb\\nc\\\\d\\r 日本語	9007199254740993	0.1	2024-02-29	2024-02-29 13:45:10.250	00ff10
				2024-02-29 13:45:10	" "$out"

    run "$table" --format json
    expect "$name json status" 0 "$status"
    expect "$name json" '{"columns":["名前","i","d","dt","ts","b"],"rows":[["a\tb\nc\\d\r 日本語",9007199254740993,0.1,"2024-02-29","2024-02-29 13:45:10.250","00ff10"],[null,null,null,null,"2024-02-29 13:45:10",null]]}' "$out"

    run "$table" --format count
    expect "$name count" "2" "$out"

    # RFC 4180 with CR LF; the field holding tab, LF and CR is quoted whole.
    run "$table" --format csv
    expect "$name csv status" 0 "$status"
    expect "$name csv" "$(printf '名前,i,d,dt,ts,b\r\n"a\tb\nc\\d\r 日本語",9007199254740993,0.1,2024-02-29,2024-02-29 13:45:10.250,0x00FF10\r\n,,,,2024-02-29 13:45:10,\r\n')" "$out"

    run "CREATE TEMPORARY TABLE f (d double precision)
GO
INSERT INTO f VALUES (1e300)
GO
INSERT INTO f VALUES (-2.5)
GO
INSERT INTO f VALUES (3.0)
GO
SELECT d FROM f ORDER BY d" --format json
    expect "$name doubles shortest" '{"columns":["d"],"rows":[[-2.5],[3],[1e+300]]}' "$out"

    run "SELECT 1 AS a WHERE 1 = 0"
    expect "$name empty result tsv" "a" "$out"
    run "SELECT 1 AS a WHERE 1 = 0" --format json
    expect "$name empty result json" '{"columns":["a"],"rows":[]}' "$out"
    run "SELECT 1 AS a WHERE 1 = 0" --format count
    expect "$name empty result count" "0" "$out"

    run "CREATE TEMPORARY TABLE x (n integer)"
    expect "$name no rows status" 0 "$status"
    expect "$name no rows output" "" "$out"
    run "SELECT 1 AS a
GO"
    expect "$name trailing GO status" 0 "$status"
    expect "$name trailing GO output" "" "$out"
    run ""
    expect "$name empty text status" 0 "$status"
    expect "$name empty text output" "" "$out"
    run "SELECT 1 AS a
GO
SELECT 2 AS b"
    expect "$name last batch wins" "b
2" "$out"

    # The second of three fails: its description, status 1, the third never
    # runs (its rows would be on stdout).
    run "SELECT 1 AS a
GO
SELECT * FROM brindle_no_such_table
GO
SELECT 3 AS c"
    expect "$name failing batch status" 1 "$status"
    expect "$name failing batch output" "" "$out"
    case $err in *brindle_no_such_table*) ;; *) fail "$name failing batch message: $err" ;; esac
    run "SELEC 1"
    expect "$name syntax error status" 1 "$status"
    case $err in "brindle-cli: ["*) ;; *) fail "$name syntax error message: $err" ;; esac

    # --results all: every outcome a JSON line, the fourth batch's rows with
    # a quote and Japanese, the blank batch as the driver answers it ($blank),
    # the failure last, and the batch after it never run.
    run "CREATE TEMPORARY TABLE r (k integer)
GO

GO
INSERT INTO r VALUES (1)
GO
SELECT k, 'a\"b' AS 名前 FROM r
GO
SELECT k FROM r WHERE k < 0
GO
SELECT * FROM brindle_no_such_table
GO
SELECT 9 AS z" --results all
    expect "$name results all status" 1 "$status"
    if [ "$blank" = error ]; then
        expect "$name results all" "1:1:updated=0
2:3:error" "$(outcomes <<<"$out")"
    else
        expect "$name results all" "1:1:updated=0
2:3:$blank
3:5:updated=1
4:7:rows=[[\"k\", \"名前\"], [[1, \"a\\\"b\"]]]
5:9:rows=[[\"k\"], []]
6:11:error" "$(outcomes <<<"$out")"
        case $err in *brindle_no_such_table*) ;; *) fail "$name results all stderr: $err" ;; esac
        case $out in *brindle_no_such_table*) ;; *) fail "$name results all error line: $out" ;; esac
    fi

    local before
    before=$(history_count)
    run "SELECT 1 AS a
GO
SELECT 2 AS b" --results last
    expect "$name results last" "b
2" "$out"
    run "SELECT 1 AS a
GO
SELECT 2 AS b" --results all
    expect "$name results all done status" 0 "$status"
    expect "$name results all done" "1:1:rows=[[\"a\"], [[1]]]
2:3:rows=[[\"b\"], [[2]]]" "$(outcomes <<<"$out")"
    expect "$name results all kept in the history" $((before + 4)) "$(history_count)"
}

# outcomes: the JSON lines on stdin, one "batch:line:what" each (a message
# without its SQLSTATE); a line that is no JSON object of the right keys
# prints BAD.
outcomes() {
    /usr/bin/python3 -c '
import json, re, sys
data = sys.stdin.buffer.read().decode("utf-8")
if data and not data.endswith("\n"):
    print("BAD: no LF at the end")
for text in data.splitlines():
    o = json.loads(text)
    rest = set(o) - {"batch", "line", "ms"}
    if len(o) - len(rest) != 3 or not all(isinstance(o[k], int) for k in ("batch", "line", "ms")) or o["ms"] < 0:
        print("BAD:", text)
        continue
    where = "%d:%d:" % (o["batch"], o["line"])
    if rest == {"columns", "rows"}:
        print(where + "rows=" + json.dumps([o["columns"], o["rows"]], ensure_ascii=False))
    elif rest == {"updated"}:
        print(where + "updated=%d" % o["updated"])
    elif rest == {"done"} and o["done"] is True:
        print(where + "done")
    elif rest == {"message"}:
        print(where + "message=" + re.sub(r"^\[\w{5}\] ", "", o["message"]))
    elif rest == {"error"} and o["error"]:
        print(where + "error")
    else:
        print("BAD:", text)
'
}

# history_count: the batches the query history holds.
history_count() {
    "$cli" history --limit 100000 --format json | /usr/bin/python3 -c 'import json, sys; print(len(json.load(sys.stdin)))'
}

text="'a' || char(9) || 'b' || char(10) || 'c\\d' || char(13) || ' 日本語'"
bin=blob hex="x'00ff10'" dec="varchar(30)" ts=timestamp
# The SQLite driver counts rows for a statement of blank lines: those of the
# last statement that changed any (none here).
blank=updated=0
check_backend SQLite --dsn "$BRINDLE_TEST_SQLITE_DSN"

"$cli" dsns >"$work/dsns"
expect "dsns status" 0 "$?"
grep -qx "$BRINDLE_TEST_SQLITE_DSN" "$work/dsns" || fail "dsns lists $BRINDLE_TEST_SQLITE_DSN"

if [ -n "${BRINDLE_TEST_PG_DSN:-}" ]; then
    text="'a' || chr(9) || 'b' || chr(10) || 'c\\d' || chr(13) || ' 日本語'"
    bin=bytea hex="decode('00ff10', 'hex')" dec="numeric(20,4)"
    blank=done
    pg=(--dsn "$BRINDLE_TEST_PG_DSN" --uid "$BRINDLE_TEST_PG_UID" --pwd "$BRINDLE_TEST_PG_PWD")
    check_backend PostgreSQL "${pg[@]}"
    grep -qx "$BRINDLE_TEST_PG_DSN" "$work/dsns" || fail "dsns lists $BRINDLE_TEST_PG_DSN"

    # Decimals keep their exact digits and are numbers in JSON.
    run "SELECT 12345678901234.5678::numeric(20,4) AS n, -0.5::numeric AS m,
 'NaN'::numeric AS nan, 'Infinity'::float8 AS inf" --format json
    expect "decimals json" '{"columns":["n","m","nan","inf"],"rows":[[12345678901234.5678,-0.5,"NaN","Infinity"]]}' "$out"
    run "SELECT 12345678901234.5678::numeric(20,4) AS n"
    expect "decimals tsv" "n
12345678901234.5678" "$out"

    start=$SECONDS
    run "SELECT pg_sleep(3)" --timeout 1
    expect "time-out status" 1 "$status"
    [ $((SECONDS - start)) -lt 3 ] || fail "time-out took $((SECONDS - start)) s"
    [ -n "$err" ] || fail "time-out without a message"
    run "SELECT 7 AS n" --timeout 0
    expect "no time-out" "n
7" "$out"

    # Several results of one batch, in order; a notice as a message.
    run "select 1 as a; select 'x' as b; create temp table u (n integer);
insert into u values (1), (2); update u set n = 3
GO
DO \$\$ BEGIN RAISE NOTICE 'こんにちは'; END \$\$" --results all
    expect "results all of one batch status" 0 "$status"
    expect "results all of one batch" "1:1:rows=[[\"a\"], [[1]]]
1:1:rows=[[\"b\"], [[\"x\"]]]
1:1:updated=0
1:1:updated=2
1:1:updated=2
2:4:message=NOTICE: こんにちは
2:4:done" "$(outcomes <<<"$out")"

    conn=(--dsn "$BRINDLE_TEST_PG_DSN" --uid "$BRINDLE_TEST_PG_UID" --pwd not-the-password)
    out=$(printf 'SELECT 1' | "$cli" exec "${conn[@]}" 2>"$work/err")
    expect "wrong password status" 1 "$?"
    [ -s "$work/err" ] || fail "wrong password without a message"
elif [ "${CI:-}" = true ]; then
    fail "PostgreSQL is not configured (BRINDLE_TEST_PG_DSN) and CI=true"
else
    echo "note: PostgreSQL is not configured; its checks were skipped" >&2
fi

if [ -n "${BRINDLE_TEST_MARIA_DSN:-}" ]; then
    # CHAR() gives bytes unless told the character set; a backslash escapes.
    text="concat('a', char(9 using utf8mb4), 'b', char(10 using utf8mb4), 'c\\\\d',
 char(13 using utf8mb4), ' 日本語')"
    bin=longblob hex="x'00ff10'" dec="decimal(20,4)" ts="datetime(3)"
    # The driver refuses a statement of blank lines.
    blank=error
    maria=(--dsn "$BRINDLE_TEST_MARIA_DSN" --uid "$BRINDLE_TEST_MARIA_UID"
        --pwd "$BRINDLE_TEST_MARIA_PWD")
    check_backend MariaDB "${maria[@]}"
    grep -qx "$BRINDLE_TEST_MARIA_DSN" "$work/dsns" || fail "dsns lists $BRINDLE_TEST_MARIA_DSN"

    # The driver keeps no time-out; the program's own watch stops the query,
    # far short of its 30 s however busy the machine.
    start=$SECONDS
    run "SELECT sleep(30)" --timeout 1
    expect "MariaDB time-out status" 1 "$status"
    [ $((SECONDS - start)) -lt 20 ] || fail "MariaDB time-out took $((SECONDS - start)) s"
    case $err in *HYT00*) ;; *) fail "MariaDB time-out message: $err" ;; esac

    # Several results of one batch, in order (the data source allows them).
    run "select 1 as a; select 'x' as b; create temporary table u (n integer);
insert into u values (1), (2); update u set n = 3" --results all
    expect "MariaDB results all of one batch status" 0 "$status"
    expect "MariaDB results all of one batch" "1:1:rows=[[\"a\"], [[1]]]
1:1:rows=[[\"b\"], [[\"x\"]]]
1:1:updated=0
1:1:updated=2
1:1:updated=2" "$(outcomes <<<"$out")"

    conn=(--dsn "$BRINDLE_TEST_MARIA_DSN" --uid "$BRINDLE_TEST_MARIA_UID" --pwd not-the-password)
    out=$(printf 'SELECT 1' | "$cli" exec "${conn[@]}" 2>"$work/err")
    expect "MariaDB wrong password status" 1 "$?"
    grep -q "Access denied" "$work/err" || fail "MariaDB wrong password message: $(cat "$work/err")"
elif [ "${CI:-}" = true ]; then
    fail "MariaDB is not configured (BRINDLE_TEST_MARIA_DSN) and CI=true"
else
    echo "note: MariaDB is not configured; its checks were skipped" >&2
fi

# Before any database: an unknown data source, bad input, usage mistakes.
printf 'SELECT 1' | "$cli" exec --dsn BrindleNoSuchSource >/dev/null 2>"$work/err"
expect "unknown data source status" 1 "$?"
[ -s "$work/err" ] || fail "unknown data source without a message"
printf '\xff' | "$cli" exec --dsn "$BRINDLE_TEST_SQLITE_DSN" >/dev/null 2>&1
expect "invalid UTF-8" 1 "$?"
awk 'BEGIN { for (i = 0; i < 32767; i++) print "SELECT 1" }' |
    "$cli" exec --dsn "$BRINDLE_TEST_SQLITE_DSN" >/dev/null 2>"$work/err"
expect "overflow status" 1 "$?"
expect "overflow message" "brindle-cli: オーバーフローしました。" "$(cat "$work/err")"

for args in "" "--dsn" "--dsn x --format xml" "--dsn x --timeout -1" "--dsn x --timeout abc" \
    "--dsn x --bogus 1" "--uid u" "--dsn x extra" "--dsn x --results some" \
    "--dsn x --results all --format json" "--dsn x --results"; do
    # shellcheck disable=SC2086 # the words are the arguments
    "$cli" exec $args </dev/null >/dev/null 2>"$work/err"
    expect "usage: exec $args" 2 "$?"
    grep -q "brindle-cli --help" "$work/err" || fail "usage: exec $args without a pointer to --help"
done
"$cli" dsns extra >/dev/null 2>&1
expect "dsns with an argument" 2 "$?"

finish "cli exec"
