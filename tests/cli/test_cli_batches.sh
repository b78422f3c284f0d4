#!/usr/bin/env bash
# Usage: test_cli_batches.sh PATH_TO_BRINDLE_CLI
# Checks the batches subcommand: how a query text is cut at GO lines.
set -u

cli=${1:?usage: test_cli_batches.sh PATH_TO_BRINDLE_CLI}
# shellcheck source=check_lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/check_lib.sh"

# batches NAME INPUT(printf format) EXPECTED_JSON
batches() {
    local out
    # shellcheck disable=SC2059 # the input is written as a printf format
    out=$(printf "$2" | "$cli" batches)
    expect "$1 (status)" 0 "$?"
    expect "$1" "$3" "$out"
}

batches "empty text" '' '[""]'
batches "CR LF: GO between two queries" 'SELECT 1\r\nGO\r\nSELECT 2' '["SELECT 1\r\r","\rSELECT 2\r"]'
batches "LF line ends" 'a\nGO\nb' '["a\r","b\r"]'
batches "any case, spaces around" 'a\n  gO \nb\nGo\nc' '["a\r","b\r","c\r"]'
batches "GO; is text" 'a\nGO;\nb' '["a\rGO;\rb\r"]'
batches "a tab before GO is text" 'a\n\tGO' '["a\r\tGO\r"]'
batches "trailing GO" 'a\r\nGO' '["a\r\r",""]'
batches "trailing GO and CR LF" 'a\r\nGO\r\n' '["a\r\r","\r\r"]'
batches "trailing GO and LF" 'a\nGO\n' '["a\r","\r"]'
batches "quotes and backslashes escaped" 'x = "\\"' '["x = \"\\\"\r"]'
batches "Japanese text" "SELECT '日本語'\nＧＯ" '["SELECT '"'"'日本語'"'"'\rＧＯ\r"]'

# 32768 pieces overflow: the description on stderr, nothing on stdout, status 1.
out=$(awk 'BEGIN { for (i = 0; i < 32767; i++) print "x" }' | "$cli" batches 2>"${TMPDIR:-/tmp}/batches-err.$$")
status=$?
err=$(cat "${TMPDIR:-/tmp}/batches-err.$$")
rm -f "${TMPDIR:-/tmp}/batches-err.$$"
expect "overflow status" 1 "$status"
expect "overflow output" "" "$out"
expect "overflow message" "brindle-cli: オーバーフローしました。" "$err"
out=$(awk 'BEGIN { for (i = 0; i < 32766; i++) print "x" }' | "$cli" batches | head -c 9)
expect "32767 pieces still split" '["x\rx\rx' "$out"

printf '\xff' | "$cli" batches >/dev/null 2>&1
expect "invalid UTF-8" 1 "$?"
"$cli" batches extra </dev/null >/dev/null 2>&1
expect "batches with an argument" 2 "$?"

finish "cli batches"
