#!/usr/bin/env bash
# Usage: test_cli_rtf.sh PATH_TO_BRINDLE_CLI
# Checks the rtf and text subcommands, --help and the usage exit codes.
set -u

cli=${1:?usage: test_cli_rtf.sh PATH_TO_BRINDLE_CLI}
# shellcheck source=check_lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/check_lib.sh"

# expect_bytes NAME EXPECTED_FILE ACTUAL_FILE
expect_bytes() {
    if ! cmp -s "$2" "$3"; then
        fail "$1"
        echo "  expected: $(od -An -c "$2" | head -5)" >&2
        echo "  actual:   $(od -An -c "$3" | head -5)" >&2
    fi
}

# expect_status NAME EXPECTED ACTUAL
expect_status() {
    if [ "$2" != "$3" ]; then
        fail "$1: exit status $3, expected $2"
    fi
}

header='{\rtf1\ansi\deff0{\fonttbl{\f0 ＭＳ ゴシック;}}\f0\fs20 '

# rtf: exact output for a small script.
printf 'select *\r\nfrom t\t{x}\\\r\n' >"$work/in.txt"
printf '%s%s' "$header" 'select *\par from t\tab \{x\}\\\par \par }' >"$work/expected.rtf"
"$cli" rtf <"$work/in.txt" >"$work/out.rtf"
expect_status "rtf exit status" 0 $?
expect_bytes "rtf output" "$work/expected.rtf" "$work/out.rtf"

# rtf on empty input is one empty paragraph.
: >"$work/empty.txt"
printf '%s%s' "$header" '\par }' >"$work/expected.rtf"
"$cli" rtf <"$work/empty.txt" >"$work/out.rtf"
expect_bytes "rtf of empty input" "$work/expected.rtf" "$work/out.rtf"

# text: reads RTF, colour table and code page bytes included, CR LF line ends.
printf '%s' '{{\colortbl ;\red0\green0\blue255;}\rtf1\ansi\f0 \cf1 select\cf0  \'"'"'82\'"'"'a0\par x\par }' \
    >"$work/in.rtf"
printf 'select あ\r\nx' >"$work/expected.txt"
"$cli" text <"$work/in.rtf" >"$work/out.txt"
expect_status "text exit status" 0 $?
expect_bytes "text output" "$work/expected.txt" "$work/out.txt"

# Round trip: CR LF text survives rtf then text unchanged.
printf '選択\u3000文字\r\n\r\n\tタブ {括弧} \\ 円\r\n最後' >"$work/jp.txt"
"$cli" rtf <"$work/jp.txt" | "$cli" text >"$work/back.txt"
expect_bytes "round trip of Japanese text" "$work/jp.txt" "$work/back.txt"

# Invalid UTF-8 is refused rather than silently replaced.
printf 'a\377b' | "$cli" rtf >"$work/out.rtf" 2>"$work/err.txt"
expect_status "invalid UTF-8 exit status" 1 $?
grep -q 'UTF-8' "$work/err.txt" || fail "invalid UTF-8 message"
[ -s "$work/out.rtf" ] && fail "invalid UTF-8 wrote output"

# --help lists every subcommand.
"$cli" --help >"$work/help.txt"
expect_status "--help exit status" 0 $?
for command in rtf text; do
    grep -Eq "^  $command " "$work/help.txt" || fail "--help does not list $command"
done

# Usage errors: a message on stderr and exit status 2.
check_usage() {
    "$cli" "$@" </dev/null >"$work/out.txt" 2>"$work/err.txt"
    expect_status "brindle-cli $*" 2 $?
    [ -s "$work/err.txt" ] || fail "brindle-cli $*: no message on stderr"
    [ -s "$work/out.txt" ] && fail "brindle-cli $*: wrote to stdout"
}
check_usage
check_usage frobnicate
check_usage rtf extra
check_usage text --verbose
check_usage --help extra
check_usage --bogus

finish "brindle-cli rtf and text"
