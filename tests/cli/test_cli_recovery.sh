#!/usr/bin/env bash
# Usage: test_cli_recovery.sh PATH_TO_BRINDLE_CLI PATH_TO_JOURNAL_CHILD
# Checks recovery list and show on a store the query journal wrote (the
# journal's test child writes it, as a crashed instance leaves it).
set -u

cli=${1:?usage: test_cli_recovery.sh PATH_TO_BRINDLE_CLI PATH_TO_JOURNAL_CHILD}
child=${2:?usage: test_cli_recovery.sh PATH_TO_BRINDLE_CLI PATH_TO_JOURNAL_CHILD}
# shellcheck source=check_lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/check_lib.sh"

export XDG_DATA_HOME="$work/data"
store="$XDG_DATA_HOME/Brindle"
db="$store/brindle.db"

# No store: a message, status 1, and nothing made.
out=$("$cli" recovery list 2>"$work/err")
expect "no store: status" 1 "$?"
expect "no store: output" "" "$out"
expect "no store: message" "brindle-cli: 保存されたクエリはありません (ローカル ストア $db がありません)。" "$(cat "$work/err")"
[ ! -e "$store" ] || fail "no store: the directory was made"

mkdir "$work/expected"
"$child" "$store" populate "$work/expected" || fail "the journal child could not write the store"

"$cli" recovery list >"$work/list"
expect "list: status" 0 "$?"
expect "list: one line per kept document" 4 "$(wc -l <"$work/list")"
expect "list: five fields a line" "" "$(awk -F'\t' 'NF != 5' "$work/list")"
expect "list: the closed one" "closed" "$(awk -F'\t' '$4 == "無題3" { print $2 }' "$work/list")"
expect "list: open ones" "open open open" \
    "$(awk -F'\t' '$4 != "無題3" { printf "%s%s", sep, $2; sep = " " }' "$work/list")"
expect "list: first line" "SELECT id, 名前 FROM 社員" "$(awk -F'\t' '$4 == "無題1" { print $5 }' "$work/list")"
expect "list: a file's path as caption" "1" "$(awk -F'\t' '$4 == "/tmp/クエリ/report.sql"' "$work/list" | wc -l)"
expect "list: local time" "" "$(cut -f3 "$work/list" | grep -Ev '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$')"

# show: every text exactly, the large one rebuilt from its edits too.
for file in "$work"/expected/*.txt; do
    id=$(basename "$file" .txt)
    "$cli" recovery show "$id" >"$work/shown"
    expect "show $id: status" 0 "$?"
    cmp -s "$file" "$work/shown" || fail "show $id: the text differs"
done

# Without the program: the sqlite3 shell gives the text back.
if command -v sqlite3 >/dev/null; then
    id=$(awk -F'\t' '$4 == "無題1" { print $1 }' "$work/list")
    expect "sqlite3 shell" "$(cat "$work/expected/$id.txt")" \
        "$(sqlite3 -readonly "$db" "SELECT text FROM documents WHERE id = $id")"
fi

out=$("$cli" recovery show 999999 2>"$work/err")
expect "unknown id: status" 1 "$?"
expect "unknown id: output" "" "$out"
expect "unknown id: message" "brindle-cli: ID 999999 のクエリは保存されていません。" "$(cat "$work/err")"

for args in "recovery" "recovery show" "recovery show abc" "recovery show 0" "recovery list extra" "recovery drop 1"; do
    # shellcheck disable=SC2086 # the arguments are split on purpose
    "$cli" $args >/dev/null 2>&1
    expect "$args: usage" 2 "$?"
done

# A damaged store: status 1 with SQLite's words, and the file left as it was.
rm -f "$db-wal" "$db-shm"
printf 'not a database at all, just some text that is long enough' >"$db"
cp "$db" "$work/damaged"
out=$("$cli" recovery list 2>"$work/err")
expect "damaged: status" 1 "$?"
expect "damaged: output" "" "$out"
grep -q '^brindle-cli: ローカル ストアを開けません: ' "$work/err" || fail "damaged: message: $(cat "$work/err")"
cmp -s "$db" "$work/damaged" || fail "damaged: the store was changed"

finish "cli recovery"
