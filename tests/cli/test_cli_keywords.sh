#!/usr/bin/env bash
# Usage: test_cli_keywords.sh PATH_TO_BRINDLE_CLI
# Checks the csv, colour and arrange subcommands against their documented output.
set -u

cli=${1:?usage: test_cli_keywords.sh PATH_TO_BRINDLE_CLI}
# shellcheck source=check_lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/check_lib.sh"

# csv: one JSON array per line, CR LF or LF stripped.
out=$(printf 'a,,b\r\n"x,y",z\n"ab"cd,e\na,\n' | "$cli" csv)
expect "csv fields" '["a","","b"]
["x,y","z"]
["ab","d","e"]
["a"]' "$out"

# colour: the worked example with a table of its own.
printf 'KEYWORD,COLOR\r\nselect,1\r\nfrom,1\r\nwhere,1\r\nall,3\r\n' >"$work/kw.csv"
in='{\rtf1\ansi\f0 select name\par from t -- all\par \tab where id = 1\par }'
want='{{\colortbl ;\red0\green0\blue255;\red100\green100\blue100;\red255\green0\blue255;\red0\green150\blue0;}\rtf1\ansi\f0 \cf1 select\cf0  name\par \cf1 from\cf0  t \cf4 -- all\cf0 \par     \cf1 where\cf0  id = 1\par }'
out=$(printf '%s\r\n' "$in" | "$cli" colour --keywords "$work/kw.csv")
expect "colour worked example" "$want" "$out"
out=$(printf '%s' '{\rtf1 \tab x\par }' | "$cli" colour --keywords "$work/kw.csv" --tab 2)
expect "colour --tab" '{{\colortbl ;\red0\green0\blue255;\red100\green100\blue100;\red255\green0\blue255;\red0\green150\blue0;}\rtf1   x\par }' "$out"

# A missing table: the error box text on stderr, status 1.
err=$(printf 'x' | "$cli" colour --keywords "$work/none.csv" 2>&1 >/dev/null)
status=$?
expect "colour missing table status" 1 "$status"
case $err in 53:*) ;; *) fail "colour missing table message: $err" ;; esac

# arrange: the worked example.
printf 'caption\r\nSELECT,1,1\r\nFROM,1,1\r\nWHERE,1,1\r\nAND,1,1\r\n",",1,0\r\n' >"$work/ar.csv"
out=$(printf 'select a, b from t where x = 1 and y = 2' | "$cli" arrange --keywords "$work/ar.csv" | tr -d '\r')
expect "arrange worked example" 'select
    a,
    b
from
    t
where
    x = 1
and
    y = 2' "$out"
printf 'caption\r\n' >"$work/empty.csv"
printf 'select' | "$cli" arrange --keywords "$work/empty.csv" >/dev/null 2>&1
expect "arrange empty table status" 1 "$?"

# The shipped tables beside the executable are used by default.
printf '%s' '{\rtf1 select 1\par }' | "$cli" colour | grep -q 'cf1 select' || fail "colour default table"
printf 'select 1' | "$cli" arrange >/dev/null || fail "arrange default table"

# The user's own copies in $XDG_CONFIG_HOME/Brindle come first; a broken one
# is reported, not passed over; without them the shipped ones count again.
mkdir -p "$XDG_CONFIG_HOME/Brindle"
own_colour=$XDG_CONFIG_HOME/Brindle/KEYWORD_COLOR.CSV
own_arrange=$XDG_CONFIG_HOME/Brindle/KEYWORD_ARRANGE.CSV
printf 'caption\r\nfrom,3\r\n' >"$own_colour"
out=$(printf '%s' '{\rtf1 select 1 from t\par }' | "$cli" colour)
case $out in *'\cf3 from'*) ;; *) fail "colour: the user's table wins: $out" ;; esac
case $out in *'\cf1 select'*) fail "colour: the shipped table was used with the user's" ;; esac
printf 'caption\r\nFROM,1,1\r\n' >"$own_arrange"
out=$(printf 'select a from t' | "$cli" arrange | tr -d '\r')
expect "arrange: the user's table wins" 'select a
from
    t' "$out"
out=$(printf 'select a from t' | "$cli" arrange --keywords "$work/ar.csv" | head -n 1 | tr -d '\r')
expect "arrange: --keywords before the user's table" select "$out"
printf 'caption\r\nselect\r\n' >"$own_colour"
err=$(printf 'x' | "$cli" colour 2>&1 >/dev/null)
expect "colour: a broken user's table, status" 1 "$?"
case $err in 9:*) ;; *) fail "colour: a broken user's table, message: $err" ;; esac
printf 'caption\r\nFROM,1\r\n' >"$own_arrange"
err=$(printf 'select a' | "$cli" arrange 2>&1 >/dev/null)
expect "arrange: a broken user's table, status" 1 "$?"
case $err in 9:*) ;; *) fail "arrange: a broken user's table, message: $err" ;; esac
rm "$own_colour" "$own_arrange"
printf '%s' '{\rtf1 select 1\par }' | "$cli" colour | grep -q 'cf1 select' ||
    fail "colour: the shipped table once the user's is gone"
out=$(printf 'select a' | "$cli" arrange | head -n 1 | tr -d '\r')
expect "arrange: the shipped table once the user's is gone" select "$out"

"$cli" colour --tab >/dev/null 2>&1
expect "colour --tab without a value" 2 "$?"
"$cli" csv extra >/dev/null 2>&1
expect "csv with an argument" 2 "$?"

finish "cli keyword"
