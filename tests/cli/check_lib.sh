# shellcheck shell=bash
# Shared by the brindle-cli checks: a scratch directory removed on exit, and
# failures counted so that every check runs before the script reports.
# Sourced after `set -u`; the script calls `finish NAME` at the end.

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

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

# finish WHAT: the summary and the exit status.
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "$1 checks passed"
}
