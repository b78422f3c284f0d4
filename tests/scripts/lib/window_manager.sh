# Sourced by the window tests: a real window manager on the test's own
# virtual display, in the test's own PID namespace, so that it and whatever it
# starts end with the test.

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
