#!/usr/bin/env bash
# Starts the real brindle on a virtual X display with the xcb platform, as a
# user would meet it on a first run: the connection dialog comes up, the user
# fills in a data source, a login and a password and cancels; the main
# window then shows the document 無題1; the user leaves through
# ファイル(&F) → 終了(&X). Afterwards the settings file must hold the window
# placement and the remembered name and login, and the password nowhere.
#
#   test_window_smoke.sh [--wm] BRINDLE
#
# --wm runs it under a real window manager (openbox, in the test's own PID
# namespace), as users see the program.
#
# --files CLI also checks what the program finds outside itself, as an
# installed copy must: a keyword typed into the document turns blue (the
# colour table beside the program is read), F9 lays the query out (so is the
# arrange table; the text is read back from the local store with CLI, a
# brindle-cli), and the main window carries the program's icon.
#
# Exits 77 (skipped) when a tool it needs is missing (scripts/setup-deps
# installs them all) or, with --wm, no PID namespace can be made. Every wait
# is bounded; the program is killed on a time-out.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib/x_session.sh
source "$HERE/lib/x_session.sh"

inside=false
wm=false
cli=
while (($#)); do
    case $1 in
    --inside) inside=true ;;
    --wm) wm=true ;;
    --files)
        cli=${2:?--files needs the path of brindle-cli}
        shift
        ;;
    *) break ;;
    esac
    shift
done
brindle=${1:?usage: test_window_smoke.sh [--wm] [--files CLI] BRINDLE}

# Seconds each step may take before the test fails.
WINDOW_WAIT=20
EXIT_WAIT=20

# ---------------------------------------------------------------------------
# Outside the display: tools, a private home, the virtual display.
if ! $inside; then
    tools=(xvfb-run xdotool)
    [[ -n "$cli" ]] && tools+=(import xprop)
    for tool in "${tools[@]}"; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed"
            exit 77
        fi
    done
    on_display=(bash)
    flags=()
    [[ -n "$cli" ]] && flags+=(--files "$cli")
    if $wm; then
        flags+=(--wm)
        if missing=$(window_manager_missing); then
            echo "SKIP: $missing is not installed"
            exit 77
        fi
        if ! pid_namespace_usable; then
            echo "SKIP: this machine does not allow a PID namespace (unshare)"
            exit 77
        fi
        on_display=(bash -c "$(declare -f in_own_pid_namespace); in_own_pid_namespace \"\$@\"" _ bash)
    fi
    [[ -x "$brindle" ]] || fail "no program at $brindle"

    tmp=$(mktemp -d "${TMPDIR:-/tmp}/brindle-smoke.XXXXXX")
    trap 'rm -rf "$tmp"' EXIT
    mkdir -p "$tmp/home/config" "$tmp/home/cache" "$tmp/home/data" "$tmp/odbc"
    mkdir -m 0700 "$tmp/home/runtime"
    # One user data source and no system ones, so the list is the same on
    # every machine; nothing connects to it.
    {
        echo "[BrindleSmoke]"
        echo "Description = Brindle window smoke test"
        echo "Driver = SQLite3"
        echo "Database = $tmp/smoke.sqlite"
    } >"$tmp/odbc/odbc.ini"
    : >"$tmp/odbc/odbcinst.ini"

    rc=0
    timeout -k 5 $((WINDOW_WAIT * 3 + EXIT_WAIT + 30)) \
        xvfb-run -a -e "$tmp/xvfb.log" -s "-screen 0 1280x1024x24 -nolisten tcp" \
        "${on_display[@]}" "${BASH_SOURCE[0]}" --inside "${flags[@]}" "$brindle" "$tmp" || rc=$?
    if ((rc == 124 || rc == 137)); then
        echo "FAIL: the test did not finish in time" >&2
    fi
    if ((rc != 0)) && [[ -s "$tmp/xvfb.log" ]]; then
        echo "---- xvfb-run" >&2
        cat "$tmp/xvfb.log" >&2
    fi
    exit "$rc"
fi

# ---------------------------------------------------------------------------
# On the display.
tmp=${2:?}
if $wm; then
    start_window_manager "$tmp/openbox.log"
fi
settings=$tmp/home/config/Brindle/Brindle.ini
password=pw-$(od -An -N8 -tx1 /dev/urandom | tr -d ' \n')
dsn=BrindleSmoke
uid=smokeuser

pid=
finish() {
    local rc=$?
    trap - EXIT
    if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then
        echo "FAIL: brindle is still running; killing it" >&2
        kill "$pid" 2>/dev/null || true
        sleep 1
        kill -KILL "$pid" 2>/dev/null || true
        rc=1
    fi
    if ((rc != 0)); then
        echo "---- visible windows" >&2
        local window
        for window in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
            echo "$window: $(xdotool getwindowname "$window" 2>/dev/null)" >&2
        done
        echo "---- brindle output" >&2
        cat "$tmp/brindle.log" >&2 2>/dev/null || true
    fi
    exit "$rc"
}
trap finish EXIT
trap 'exit 143' TERM INT

launch_brindle "$brindle" "$tmp"
pid=$!

# window_named NAME: the visible window whose title is exactly NAME.
window_named() {
    local window
    for window in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
        if [[ "$(xdotool getwindowname "$window" 2>/dev/null)" == "$1" ]]; then
            echo "$window"
            return 0
        fi
    done
    return 1
}

# wait_for_window NAME: prints the window once it is shown.
wait_for_window() {
    local deadline=$((SECONDS + WINDOW_WAIT))
    while ((SECONDS < deadline)); do
        running || fail "brindle ended while waiting for the window \"$1\""
        window_named "$1" && return 0
        sleep 0.2
    done
    fail "no window \"$1\" within $WINDOW_WAIT s"
}

wait_until_gone() {
    local deadline=$((SECONDS + WINDOW_WAIT))
    while ((SECONDS < deadline)); do
        window_named "$1" >/dev/null || return 0
        sleep 0.2
    done
    fail "the window \"$1\" is still shown after $WINDOW_WAIT s"
}

echo "waiting for the connection dialog"
dialog=$(wait_for_window "データ ソース接続")
xdotool windowfocus --sync "$dialog"
# The data source field has the focus; Tab goes on to the login and the
# password, Esc is the cancel button.
xdotool type --delay 25 "$dsn"
xdotool key Tab
xdotool type --delay 25 "$uid"
xdotool key Tab
xdotool type --delay 25 "$password"
xdotool key Escape
wait_until_gone "データ ソース接続"
echo "ok   the connection dialog is cancelled"

main=$(wait_for_window "Brindle")
echo "ok   the main window \"Brindle\" is shown"

# The document's own title bar is drawn inside the frame, not an X window.
# Maximising the document (double-click on its title bar) puts its caption
# into the frame's title. The document is the frame's first child, at the
# top left of the document area, right under the main toolbar: go up from a
# third of the frame's height, over the document's editor (where a
# double-click only selects), until the double-click lands on its title bar
# (about 20 pixels high). Each step waits for the title, so that no click
# goes on past the title bar to the toolbar.
eval "$(xdotool getwindowgeometry --shell "$main")"
x=$((WIDTH * 3 / 8))
maximised=$(printf 'Brindle - [%s]' "無題1")
found=false
for ((y = HEIGHT / 3; y > 0; y -= 8)); do
    running || fail "brindle ended while the document was being maximised"
    xdotool mousemove --window "$main" --sync "$x" "$y" click --repeat 2 --delay 60 1
    for _ in 1 2 3 4 5; do
        if [[ "$(xdotool getwindowname "$main")" == "$maximised" ]]; then
            found=true
            break 2
        fi
        sleep 0.1
    done
done
$found || fail "the frame never showed the document \"無題1\" (title: $(xdotool getwindowname "$main"))"
echo "ok   the document \"無題1\" is shown (frame title \"$maximised\")"

if [[ -n "$cli" ]]; then
    # Pixels of the main window near pure blue, the colour of keyword class 1
    # (the toolbar's images have some too: only a growth counts).
    blue_pixels() {
        import -silent -window "$main" -depth 8 txt:- 2>/dev/null | awk '
            match($0, /\([0-9]+,[0-9]+,[0-9]+/) {
                split(substr($0, RSTART + 1, RLENGTH - 1), c, ",")
                if (c[1] <= 60 && c[2] <= 60 && c[3] >= 200) n++
            }
            END { print n + 0 }'
    }
    blue_grew() {
        (($(blue_pixels) > $1 + 20))
    }
    # The documents the store keeps open, each text after its id.
    stored_texts() {
        local id
        XDG_DATA_HOME="$tmp/home/data" "$cli" recovery list 2>/dev/null |
            awk -F'\t' '$2 == "open" { print $1 }' |
            while read -r id; do
                XDG_DATA_HOME="$tmp/home/data" "$cli" recovery show "$id" 2>/dev/null
                echo
            done
    }
    arranged_in_store() {
        [[ "$(stored_texts | tr -d '\r')" == *$'select\n    a\nfrom\n    t'* ]]
    }

    xdotool windowfocus --sync "$main"
    before=$(blue_pixels)
    xdotool type --delay 25 "select a from t"
    wait_until "select and from in blue" blue_grew "$before"
    echo "ok   keywords are coloured: the colour table is found"
    xdotool key F9
    wait_until "the query laid out by F9, in the store" arranged_in_store
    echo "ok   F9 lays the query out: the arrange table is found"

    sizes=$(xprop -id "$main" _NET_WM_ICON 2>/dev/null | grep -o 'Icon ([0-9]* x [0-9]*)' |
        sort -u | tr '\n' ' ')
    # Qt hands the window manager the sizes up to 128.
    for size in 32 48 128; do
        [[ "$sizes" == *"Icon ($size x $size)"* ]] ||
            fail "the window's icon has no ${size}x$size image (it has: ${sizes:-none})"
    done
    echo "ok   the window carries the program's icon: $sizes"
fi

# ファイル(&F), then 終了(&X), from the keyboard.
xdotool windowfocus --sync "$main"
xdotool key alt+f
deadline=$((SECONDS + WINDOW_WAIT))
# The opened menu is a second visible window of the program.
until (($(xdotool search --onlyvisible --pid "$pid" --name '' 2>/dev/null | wc -l) > 1)); do
    ((SECONDS < deadline)) || fail "the file menu did not open"
    running || fail "brindle ended while the file menu was opening"
    sleep 0.1
done
xdotool key x

deadline=$((SECONDS + EXIT_WAIT))
while running; do
    ((SECONDS < deadline)) || fail "brindle did not end within $EXIT_WAIT s of 終了"
    sleep 0.1
done
status=0
wait "$pid" || status=$?
pid=
((status == 0)) || fail "brindle ended with status $status"
echo "ok   brindle ended through 終了 with status 0"

# The settings it wrote.
[[ -f "$settings" ]] || fail "no settings file at $settings"
failures=0
expect_key() {
    local section=$1 key=$2 pattern=$3 value
    value=$(awk -v section="[$section]" -v key="$key" '
        /^\[/ { in_section = ($0 == section); next }
        in_section && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
    ' "$settings")
    if [[ "$value" =~ $pattern ]]; then
        echo "ok   $section/$key = $value"
    else
        echo "FAIL $section/$key = '$value', expected to match $pattern"
        failures=$((failures + 1))
    fi
}
number='^-?[0-9]+(\.[0-9]+)?$'
for key in TOP LEFT HEIGHT WIDTH; do
    expect_key FORM_MAIN "$key" "$number"
done
expect_key FORM_MAIN STATE '^0$'
expect_key QUERY TIMEOUT '^30$'
expect_key CONNECT DSN "^$dsn\$"
expect_key CONNECT UID "^$uid\$"
if grep -qiE '^(PWD|PASSWORD)[[:space:]]*=' "$settings"; then
    echo "FAIL the settings file has a password key"
    failures=$((failures + 1))
fi
# Nowhere in the private home, the settings or the program's output.
if grep -rqF -- "$password" "$tmp/home" "$tmp/brindle.log"; then
    echo "FAIL the password was written: $(grep -rlF -- "$password" "$tmp/home" "$tmp/brindle.log")"
    failures=$((failures + 1))
else
    echo "ok   the password is written nowhere"
fi
if ((failures > 0)); then
    echo "---- $settings" >&2
    cat "$settings" >&2
    exit 1
fi
echo "window smoke test passed"
