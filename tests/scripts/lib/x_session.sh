# Sourced by the window tests: the program started on the test's virtual
# display with a private home, and a real window manager there, in the test's
# own PID namespace, so that it and whatever it starts end with the test.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# launch_brindle BRINDLE DIR: starts the program in the background on the xcb
# platform, its home, settings, caches and ODBC files under DIR (home/,
# odbc/), its output in DIR/brindle.log; its process id is left in $!.
launch_brindle() {
    local brindle=$1 dir=$2
    env -u QT_QPA_PLATFORMTHEME -u SESSION_MANAGER \
        QT_QPA_PLATFORM=xcb \
        HOME="$dir/home" \
        XDG_CONFIG_HOME="$dir/home/config" \
        XDG_CACHE_HOME="$dir/home/cache" \
        XDG_DATA_HOME="$dir/home/data" \
        XDG_RUNTIME_DIR="$dir/home/runtime" \
        ODBCINI="$dir/odbc/odbc.ini" \
        ODBCSYSINI="$dir/odbc" \
        DBUS_SESSION_BUS_ADDRESS=disabled: \
        NO_AT_BRIDGE=1 \
        "$brindle" >"$dir/brindle.log" 2>&1 &
}

# window_manager_missing: prints the first tool these tests need that is not
# installed (scripts/setup-deps installs them all).
window_manager_missing() {
    local tool
    for tool in xvfb-run xdotool openbox wmctrl xprop xwininfo unshare; do
        if ! command -v "$tool" >/dev/null; then
            echo "$tool"
            return 0
        fi
    done
    return 1
}

# in_own_pid_namespace CMD...: runs CMD as the first process of a new PID
# namespace, where its end ends everything started inside; a user who is not
# root maps itself to root in a new user namespace to be allowed to.
in_own_pid_namespace() {
    if ((EUID == 0)); then
        unshare --fork --pid --mount-proc "$@"
    else
        unshare --map-root-user --fork --pid --mount-proc "$@"
    fi
}

# pid_namespace_usable: whether this machine lets us make one.
pid_namespace_usable() {
    in_own_pid_namespace true >/dev/null 2>&1
}

# start_window_manager LOG: starts openbox on $DISPLAY and waits until it
# manages windows (it then answers wmctrl -m).
start_window_manager() {
    local log=$1
    openbox --sm-disable >"$log" 2>&1 &
    local deadline=$((SECONDS + 20))
    until wmctrl -m >/dev/null 2>&1; do
        if ((SECONDS >= deadline)); then
            echo "FAIL: the window manager did not start within 20 s" >&2
            cat "$log" >&2
            return 1
        fi
        sleep 0.1
    done
}

# The helpers below use the sourcing script's $pid (the program's process),
# $WINDOW_WAIT and its fail().

running() {
    [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null
}

# managed_window NAME: the program's window titled NAME that the window
# manager has taken on (shown or minimised), not Qt's hidden helpers.
managed_window() {
    local window
    for window in $(xdotool search --pid "$pid" --name "$1" 2>/dev/null); do
        if [[ "$(xdotool getwindowname "$window" 2>/dev/null)" == "$1" ]] &&
            xprop -id "$window" WM_STATE 2>/dev/null | grep -q 'window state'; then
            echo "$window"
            return 0
        fi
    done
    return 1
}

# wait_until DESCRIPTION CMD...: polls CMD for up to WINDOW_WAIT seconds.
wait_until() {
    local what=$1 deadline=$((SECONDS + WINDOW_WAIT))
    shift
    until "$@" >/dev/null; do
        ((SECONDS < deadline)) || fail "$what: not within $WINDOW_WAIT s"
        running || fail "$what: brindle ended"
        sleep 0.1
    done
}
