#!/usr/bin/env bash
# The main window's placement under a real window manager (openbox on a
# virtual X display, in the test's own PID namespace), as users see it: the
# frame with its title bar and borders. Each start cancels the connection
# dialog and each close goes through ファイル(&F) → 終了(&X) (or the window
# manager's close for a minimised window). Checks:
#   - the first start with an empty store puts the whole frame at 0, 0;
#   - five starts and closes write the same TOP, LEFT, HEIGHT and WIDTH;
#   - a placement the user chose comes back exactly, decorations included;
#   - maximised and minimised closes keep the last normal placement, write
#     their state, and the next start opens so and later restores it exactly;
#   - a stored placement with the title bar off the screen is brought back.
#
#   test_window_placement.sh BRINDLE
#
# Exits 77 (skipped) when a tool is missing or no PID namespace can be made.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib/x_session.sh
source "$HERE/lib/x_session.sh"

WINDOW_WAIT=30

if [[ "${1:-}" != --inside ]]; then
    brindle=${1:?usage: test_window_placement.sh BRINDLE}
    if missing=$(window_manager_missing); then
        echo "SKIP: $missing is not installed"
        exit 77
    fi
    if ! pid_namespace_usable; then
        echo "SKIP: this machine does not allow a PID namespace (unshare)"
        exit 77
    fi
    [[ -x "$brindle" ]] || fail "no program at $brindle"
    tmp=$(mktemp -d "${TMPDIR:-/tmp}/brindle-placement.XXXXXX")
    trap 'rm -rf "$tmp"' EXIT
    mkdir -p "$tmp/home/config" "$tmp/home/cache" "$tmp/home/data" "$tmp/odbc"
    mkdir -m 0700 "$tmp/home/runtime"
    : >"$tmp/odbc/odbc.ini"
    : >"$tmp/odbc/odbcinst.ini"
    rc=0
    timeout -k 5 600 xvfb-run -a -e "$tmp/xvfb.log" -s "-screen 0 1280x1024x24 -nolisten tcp" \
        bash -c "$(declare -f in_own_pid_namespace); in_own_pid_namespace \"\$@\"" _ \
        bash "${BASH_SOURCE[0]}" --inside "$brindle" "$tmp" || rc=$?
    ((rc == 124 || rc == 137)) && echo "FAIL: the test did not finish in time" >&2
    exit "$rc"
fi

# ---------------------------------------------------------------------------
# On the display, in the namespace.
brindle=$2
tmp=$3
settings=$tmp/home/config/Brindle/Brindle.ini
start_window_manager "$tmp/openbox.log"

pid=
finish() {
    local rc=$?
    trap - EXIT
    if ((rc != 0)); then
        echo "---- brindle output" >&2
        cat "$tmp/brindle.log" >&2 2>/dev/null || true
        echo "---- $settings" >&2
        cat "$settings" >&2 2>/dev/null || true
    fi
    exit "$rc"
}
trap finish EXIT

# window_named NAME [--onlyvisible]: the program's window titled exactly NAME.
window_named() {
    local window
    for window in $(xdotool search "${@:2}" --pid "$pid" --name "$1" 2>/dev/null); do
        if [[ "$(xdotool getwindowname "$window" 2>/dev/null)" == "$1" ]]; then
            echo "$window"
            return 0
        fi
    done
    return 1
}

net_state() {
    xprop -id "$1" _NET_WM_STATE 2>/dev/null
}
has_state() {
    net_state "$1" | grep -q "$2"
}
lacks_state() {
    ! has_state "$@"
}

# placement: the four stored values and the state, on one line.
placement() {
    awk '/^\[/ { in_section = ($0 == "[FORM_MAIN]"); next }
         in_section && /^(TOP|LEFT|HEIGHT|WIDTH|STATE)=/ { print }' "$settings" |
        sort | paste -sd ' '
}
value_of() {
    placement | tr ' ' '\n' | sed -n "s/^$1=//p"
}
# The four placement keys only, without the state.
where() {
    placement | tr ' ' '\n' | grep -v '^STATE=' | tr '\n' ' '
}

# start: the program up to its main window, the connection dialog cancelled.
main=
start() {
    launch_brindle "$brindle" "$tmp"
    pid=$!
    local dialog
    wait_until "the connection dialog" window_named "データ ソース接続"
    dialog=$(window_named "データ ソース接続")
    # The window manager's close: the dialog may have been minimised with
    # its frame, where no key reaches it.
    wmctrl -i -c "$dialog"
    wait_until "the connection dialog to close" eval '! window_named "データ ソース接続" --onlyvisible >/dev/null'
    wait_until "the main window" managed_window "Brindle"
    main=$(managed_window "Brindle")
    # Until the window manager has framed it.
    wait_until "the frame's extents" eval 'xprop -id "$main" _NET_FRAME_EXTENTS | grep -q "= "'
}

# quit [menu|wm]: 終了 from the file menu, or the window manager's close.
quit() {
    if [[ "${1:-menu}" == menu ]]; then
        wmctrl -i -a "$main"
        xdotool windowfocus --sync "$main"
        xdotool key alt+f
        wait_until "the file menu" eval \
            '(($(xdotool search --onlyvisible --pid "$pid" --name "" 2>/dev/null | wc -l) > 1))'
        xdotool key x
    else
        wmctrl -i -c "$main"
    fi
    local deadline=$((SECONDS + WINDOW_WAIT))
    while running; do
        ((SECONDS < deadline)) || fail "brindle did not end within $WINDOW_WAIT s"
        sleep 0.1
    done
    local status=0
    wait "$pid" || status=$?
    pid=
    ((status == 0)) || fail "brindle ended with status $status"
}

# The frame's top left and size on screen, from the client and the extents
# (xwininfo: xdotool counts a reparented window's offset twice).
frame_on_screen() {
    local info x y w h left right top bottom
    info=$(xwininfo -id "$main")
    x=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$info")
    y=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$info")
    w=$(sed -n 's/^ *Width: *//p' <<<"$info")
    h=$(sed -n 's/^ *Height: *//p' <<<"$info")
    read -r left right top bottom <<<"$(xprop -id "$main" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')"
    echo "$((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))"
}

echo "1. the first start with an empty store"
start
read -r fx fy fw fh <<<"$(frame_on_screen)"
((fx == 0 && fy == 0)) || fail "the frame is at $fx, $fy, not at 0, 0 (title bar included)"
echo "ok   the frame, title bar included, is at 0, 0 (${fw}x$fh)"
quit
first=$(where)
echo "ok   closed: $(placement)"
[[ "$(value_of TOP)" == 0 && "$(value_of LEFT)" == 0 ]] || fail "TOP and LEFT are not 0"
[[ "$(value_of HEIGHT)" == $((fh * 15)) && "$(value_of WIDTH)" == $((fw * 15)) ]] ||
    fail "HEIGHT and WIDTH are not the frame's ${fw}x$fh pixels in twips"

echo "2. four more starts and closes without touching the window"
for run in 2 3 4 5; do
    start
    read -r fx fy _ _ <<<"$(frame_on_screen)"
    ((fy >= 0 && fx >= 0)) || fail "start $run: the frame's top left is off the screen ($fx, $fy)"
    quit
    [[ "$(where)" == "$first" ]] || fail "start $run wrote $(where), the first wrote $first"
    echo "ok   start $run: $(placement)"
done

echo "3. a placement the user chose"
start
wmctrl -i -r "$main" -e 0,140,90,700,500
wait_until "the move" eval '[[ "$(frame_on_screen)" != "0 0 "* ]]'
sleep 0.5
chosen_frame=$(frame_on_screen)
quit
chosen=$(where)
echo "ok   the frame at $chosen_frame was written as $chosen"
start
[[ "$(frame_on_screen)" == "$chosen_frame" ]] ||
    fail "the frame came back at $(frame_on_screen), it was closed at $chosen_frame"
quit
[[ "$(where)" == "$chosen" ]] || fail "the next close wrote $(where), not $chosen"
echo "ok   it comes back exactly and is written the same"

echo "4. a maximised close"
start
wmctrl -i -r "$main" -b add,maximized_vert,maximized_horz
wait_until "the maximised state" has_state "$main" _NET_WM_STATE_MAXIMIZED_VERT
quit
[[ "$(value_of STATE)" == 2 ]] || fail "STATE is $(value_of STATE), not 2"
[[ "$(where)" == "$chosen" ]] || fail "a maximised close changed the placement to $(where)"
echo "ok   STATE=2, the placement kept"
start
wait_until "a maximised start" has_state "$main" _NET_WM_STATE_MAXIMIZED_VERT
wmctrl -i -r "$main" -b remove,maximized_vert,maximized_horz
wait_until "the normal state" lacks_state "$main" _NET_WM_STATE_MAXIMIZED_VERT
wait_until "the normal placement" eval '[[ "$(frame_on_screen)" == "$chosen_frame" ]]'
quit
[[ "$(value_of STATE)" == 0 && "$(where)" == "$chosen" ]] ||
    fail "after a maximised start and a restore: $(placement)"
echo "ok   the next start opens maximised and restores the placement exactly"

echo "5. a minimised close"
start
xdotool windowminimize "$main"
wait_until "the minimised state" has_state "$main" _NET_WM_STATE_HIDDEN
quit wm
[[ "$(value_of STATE)" == 1 ]] || fail "STATE is $(value_of STATE), not 1"
[[ "$(where)" == "$chosen" ]] || fail "a minimised close changed the placement to $(where)"
echo "ok   STATE=1, the placement kept"
start
wait_until "a minimised start" has_state "$main" _NET_WM_STATE_HIDDEN
wmctrl -i -a "$main"
wait_until "the restored window" lacks_state "$main" _NET_WM_STATE_HIDDEN
wait_until "the normal placement" eval '[[ "$(frame_on_screen)" == "$chosen_frame" ]]'
quit
[[ "$(value_of STATE)" == 0 && "$(where)" == "$chosen" ]] ||
    fail "after a minimised start and a restore: $(placement)"
echo "ok   the next start opens minimised and restores the placement exactly"
echo "6. a placement whose title bar is off the screen"
# As an older version left it after a few starts, or a monitor now gone.
sed -i 's/^TOP=.*/TOP=-900/; s/^LEFT=.*/LEFT=-30000/' "$settings"
start
read -r fx fy fw _ <<<"$(frame_on_screen)"
((fy >= 0 && fx + fw >= 48)) || fail "the title bar is off the screen: frame at $fx, $fy"
quit
echo "ok   the frame is brought back: $(placement)"
echo "window placement test passed"
