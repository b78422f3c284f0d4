#!/usr/bin/env bash
# The real program killed with SIGKILL while a user types into it, round after
# round, under a real window manager on a virtual display:
#   - after each kill, the store holds the document as it was no more than a
#     second before the kill (read back with brindle-cli recovery);
#   - the next start offers it in "クエリの復元", and restoring it gives that
#     text back: the next round types on at its end, and its own check covers
#     the restored text too;
#   - at the end a normal 終了 keeps it as one closed query, none twice.
# Prints, for each round, the seconds of typing the kill took away.
#
#   test_kill_recovery.sh BRINDLE BRINDLE_CLI [ROUNDS]
#
# Exits 77 (skipped) when a tool is missing or no PID namespace can be made.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib/x_session.sh
source "$HERE/lib/x_session.sh"

WINDOW_WAIT=30

if [[ "${1:-}" != --inside ]]; then
    brindle=${1:?usage: test_kill_recovery.sh BRINDLE BRINDLE_CLI [ROUNDS]}
    cli=${2:?usage: test_kill_recovery.sh BRINDLE BRINDLE_CLI [ROUNDS]}
    rounds=${3:-10}
    if missing=$(window_manager_missing); then
        echo "SKIP: $missing is not installed"
        exit 77
    fi
    if ! pid_namespace_usable; then
        echo "SKIP: this machine does not allow a PID namespace (unshare)"
        exit 77
    fi
    [[ -x "$brindle" && -x "$cli" ]] || fail "no program at $brindle or $cli"
    tmp=$(mktemp -d "${TMPDIR:-/tmp}/brindle-kill.XXXXXX")
    trap 'rm -rf "$tmp"' EXIT
    mkdir -p "$tmp/home/config" "$tmp/home/cache" "$tmp/home/data" "$tmp/odbc"
    mkdir -m 0700 "$tmp/home/runtime"
    : >"$tmp/odbc/odbc.ini"
    : >"$tmp/odbc/odbcinst.ini"
    rc=0
    timeout -k 5 1200 xvfb-run -a -e "$tmp/xvfb.log" -s "-screen 0 1280x1024x24 -nolisten tcp" \
        bash -c "$(declare -f in_own_pid_namespace); in_own_pid_namespace \"\$@\"" _ \
        bash "${BASH_SOURCE[0]}" --inside "$brindle" "$cli" "$rounds" "$tmp" || rc=$?
    ((rc == 124 || rc == 137)) && echo "FAIL: the test did not finish in time" >&2
    exit "$rc"
fi

# ---------------------------------------------------------------------------
# On the display, in the namespace.
brindle=$2
cli=$3
rounds=$4
tmp=$5
start_window_manager "$tmp/openbox.log"

pid=
typist=
finish() {
    local rc=$?
    trap - EXIT
    [[ -n "$typist" ]] && kill "$typist" 2>/dev/null
    if ((rc != 0)); then
        echo "---- brindle output" >&2
        cat "$tmp/brindle.log" >&2 2>/dev/null || true
        echo "---- kept documents" >&2
        store_cli recovery list >&2 || true
    fi
    exit "$rc"
}
trap finish EXIT

store_cli() {
    XDG_DATA_HOME="$tmp/home/data" "$cli" "$@"
}

now() {
    date +%s.%N
}

# The text typed so far, as the journal keeps it, and when each character
# was typed: one line per character in $tmp/typed.log ("time<TAB>char").
expected=
: >"$tmp/typed.log"

# type_for_a_while: types characters one by one into the focused editor until
# killed; every character goes to typed.log with its time just before xdotool
# sends it, so that a character the program may have kept is always in the
# log, however late a busy machine runs the typist after the kill.
type_for_a_while() {
    local words=(select from where order by group join left inner union
        having count sum min max as on and or not null values insert update)
    local i=0 word c
    while true; do
        word=${words[$((RANDOM % ${#words[@]}))]}
        for ((c = 0; c < ${#word}; c++)); do
            printf '%s\t%s\n' "$(now)" "${word:c:1}" >>"$tmp/typed.log"
            xdotool type --delay 0 "${word:c:1}"
        done
        i=$((i + 1))
        if ((i % 6 == 0)); then
            printf '%s\t\\n\n' "$(now)" >>"$tmp/typed.log"
            xdotool key --delay 0 Return
        else
            printf '%s\t \n' "$(now)" >>"$tmp/typed.log"
            xdotool key --delay 0 space
        fi
    done
}

# The longest open document of the store: the one that was typed into.
open_document() {
    store_cli recovery list | awk -F'\t' '$2 == "open" { print $1 }' |
        while read -r id; do
            printf '%s\t%s\n' "$(store_cli recovery show "$id" | wc -c)" "$id"
        done | sort -n | tail -n1 | cut -f2
}

start() {
    launch_brindle "$brindle" "$tmp"
    pid=$!
    wait_until "the connection dialog" managed_window "データ ソース接続"
    wmctrl -i -c "$(managed_window "データ ソース接続")"
}

# Enter in "クエリの復元" is 復元, with every query checked.
restore_all() {
    wait_until "the restore dialog" managed_window "クエリの復元"
    local dialog
    dialog=$(managed_window "クエリの復元")
    wmctrl -i -a "$dialog"
    xdotool windowfocus --sync "$dialog"
    xdotool key Return
    wait_until "the restore dialog to close" eval '! managed_window "クエリの復元"'
}

focus_main() {
    wait_until "the main window" managed_window "Brindle"
    local main
    main=$(managed_window "Brindle")
    wmctrl -i -a "$main"
    xdotool windowfocus --sync "$main"
}

total_lost=0
for ((round = 1; round <= rounds; round++)); do
    start
    if ((round > 1)); then
        restore_all
    fi
    focus_main
    # The restored document is the active one; type on at its end.
    xdotool key --delay 50 ctrl+End
    sleep 0.3

    : >"$tmp/typed.log"
    type_for_a_while &
    typist=$!
    # Killed somewhere between one and four seconds into the typing.
    sleep "$((1 + RANDOM % 3)).$((RANDOM % 10))"
    killed_at=$(now)
    kill -KILL "$pid"
    kill "$typist" 2>/dev/null || true
    wait "$typist" 2>/dev/null || true
    typist=
    wait "$pid" 2>/dev/null || true
    pid=

    # Everything the typist set out to type: what was kept must begin it.
    round_text=$(awk -F'\t' '{ printf "%s", ($2 == "\\n" ? "\n" : $2) }
        END { printf "x" }' "$tmp/typed.log")
    typed="$expected${round_text%x}"
    id=$(open_document)
    [[ -n "$id" ]] || fail "round $round: no open document kept after the kill"
    kept=$(store_cli recovery show "$id"; printf x)
    kept=${kept%x}
    [[ "$typed" == "$kept"* ]] ||
        fail "round $round: the kept text is not what was typed (kept ${#kept}, typed ${#typed} characters)"
    # Everything typed more than a second before the kill must be there: a
    # character was sent once the typist has logged the next one.
    must=$(awk -F'\t' -v k="$killed_at" '$1 <= k - 1.0 { n++ } END { print (n > 1 ? n - 1 : 0) }' "$tmp/typed.log")
    have=$((${#kept} - ${#expected}))
    ((have >= must)) ||
        fail "round $round: $have characters kept, $must were typed more than a second before the kill"
    # The seconds lost: from the first character not kept to the kill.
    lost=$(awk -F'\t' -v k="$killed_at" -v have="$have" '
        $1 <= k { n++; if (n == have + 1) first = $1 }
        END { if (first == "") print "0.00"; else printf "%.2f", k - first }' "$tmp/typed.log")
    echo "ok   round $round: $have of $(grep -c '' "$tmp/typed.log") characters kept, ${lost} s of typing lost"
    total_lost=$(awk -v a="$total_lost" -v b="$lost" 'BEGIN { printf "%.2f", a + b }')
    expected=$kept
done

# A last start restores it and closes normally: one closed query, that text.
start
restore_all
focus_main
xdotool key alt+f
wait_until "the file menu" eval \
    '(($(xdotool search --onlyvisible --pid "$pid" --name "" 2>/dev/null | wc -l) > 1))'
xdotool key x
deadline=$((SECONDS + WINDOW_WAIT))
while running; do
    ((SECONDS < deadline)) || fail "brindle did not end after 終了"
    sleep 0.1
done
pid=
list=$(store_cli recovery list)
open=$(awk -F'\t' '$2 == "open"' <<<"$list" | wc -l)
((open == 0)) || fail "$open documents still open after 終了"
same=0
while read -r id; do
    text=$(store_cli recovery show "$id"; printf x)
    [[ "${text%x}" == "$expected" ]] && same=$((same + 1))
done < <(awk -F'\t' '$2 == "closed" { print $1 }' <<<"$list")
((same == 1)) || fail "the typed query is kept $same times among the closed ones, not once"
echo "ok   after 終了 the query is one closed query, as typed"
echo "kill recovery test passed: $rounds rounds, $total_lost s of typing lost in all"
