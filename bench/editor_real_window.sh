#!/usr/bin/env bash
# What the user feels in the real window: the brindle binary on a virtual X
# display (the xcb platform) under a real window manager, a generated script
# opened with Ctrl+O, then keystrokes, a pasted line, undo and redo, each
# measured as the CPU time the process spends until it is idle again, and
# the open as the time from Enter in the file dialog until the process's last
# busy 20 ms before it stays quiet (the window answers).
#
#   bench/editor_real_window.sh [BUILD_DIR] [LINES...]
#
# Defaults: build, and 500 10000 100000 400000 lines. Prints one table row per
# size. Run it on an idle machine; every figure is the median of its samples.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$here/build}
shift || true
sizes=("$@")
((${#sizes[@]})) || sizes=(500 10000 100000 400000)
source "$here/tests/scripts/lib/x_session.sh"

if [[ ${1:-} != --inside && -z ${BRINDLE_BENCH_INSIDE:-} ]]; then
    missing=$(window_manager_missing) && { echo "needs $missing" >&2; exit 2; }
    export BRINDLE_BENCH_INSIDE=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
        bash -c "$(declare -f in_own_pid_namespace); in_own_pid_namespace \"\$@\"" _ \
        bash "${BASH_SOURCE[0]}" "$build" "${sizes[@]}"
fi

tmp=$(mktemp -d)
trap '[[ -n ${pid:-} ]] && kill "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
WINDOW_WAIT=60
start_window_manager "$tmp/openbox.log"

# A script like the ones users open: statements, comments, Japanese.
generate() {
    /usr/bin/python3 - "$1" "$2" <<'EOF'
import sys
lines, path = int(sys.argv[1]), sys.argv[2]
parts = [  # about 45 bytes a line, as the scripts users open
    "SELECT c.id, c.name FROM customer c",
    "WHERE c.name LIKE '%田中%' -- 顧客の抽出",
    "INSERT INTO audit (id, note) VALUES (42, 'x')",
    "/* 集計 */ SELECT month, SUM(total) FROM sales",
    "GROUP BY month ORDER BY month DESC",
    "UPDATE stock SET qty = qty - 1 WHERE id = 7",
]
with open(path, "w", encoding="cp932", newline="\r\n") as f:
    for i in range(lines):
        f.write(parts[i % len(parts)] + "\n")
EOF
}

# CPU time of the whole process in microseconds, every thread.
cpu_us() {
    local total=0 t ns
    for t in /proc/"$pid"/task/*/schedstat; do
        { read -r ns _ <"$t"; } 2>/dev/null || continue
        total=$((total + ns / 1000))
    done
    echo "$total"
}

# Waits until the process has used less than 1 ms of CPU in 150 ms; prints
# the CPU used from $1 (microseconds) until then.
settle() {
    local from=$1 last now
    last=$(cpu_us)
    while true; do
        sleep 0.15
        now=$(cpu_us)
        ((now - last < 1000)) && break
        last=$now
    done
    echo $((last - from))
}

unmapped() {
    ! xwininfo -id "$1" 2>/dev/null | grep -q "IsViewable"
}

# CPU time of the process from /proc/PID/stat (10 ms ticks, but threads that
# have ended still count), in microseconds.
process_cpu_us() {
    local stat
    stat=$(<"/proc/$pid/stat")
    stat=${stat##*) }
    read -r -a f <<<"$stat"
    echo $(((f[11] + f[12]) * 1000000 / $(getconf CLK_TCK)))
}

# For the open: samples every 20 ms until 100 ms pass with less than 0.2 ms
# of CPU each; prints the CPU used from $1 and when the last busy sample
# ended (ns), so the time does not include the wait for quiet.
settle_open() {
    local from=$1 last now t busy quiet=0
    last=$(cpu_us)
    busy=$(date +%s%N)
    while ((quiet < 5)); do
        sleep 0.02
        now=$(cpu_us)
        t=$(date +%s%N)
        if ((now - last < 200)); then
            quiet=$((quiet + 1))
        else
            quiet=0
            busy=$t
        fi
        last=$now
    done
    echo "$((last - from)) $busy"
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

ms() { awk -v us="$1" 'BEGIN { printf "%.1f", us / 1000 }'; }

printf '%-8s %-10s %-10s %-10s %-10s %-10s %-10s %-10s %-10s\n' lines size "open (s)" "open CPU" "key (ms)" "paste" "undo" "redo" "page"
for lines in "${sizes[@]}"; do
    script="$tmp/script_$lines.sql"
    generate "$lines" "$script"
    run=$((${run:-0} + 1))
    dir="$tmp/run_${run}_$lines"
    mkdir -p "$dir/home/"{config,cache,data} "$dir/odbc"
    mkdir -m 0700 "$dir/home/runtime"
    : >"$dir/odbc/odbc.ini"
    : >"$dir/odbc/odbcinst.ini"
    launch_brindle "$build/src/brindle" "$dir"
    pid=$!
    wait_until "the connection dialog" managed_window "データ ソース接続"
    wmctrl -i -c "$(managed_window "データ ソース接続")"
    wait_until "the main window" managed_window "Brindle"
    main=$(managed_window "Brindle")
    wmctrl -i -a "$main"
    xdotool windowfocus --sync "$main"
    settle "$(cpu_us)" >/dev/null

    # Open: from Enter in the file dialog until the window is idle again.
    xdotool key ctrl+o
    wait_until "the open dialog" xdotool search --onlyvisible --pid "$pid" --name "開"
    sleep 0.3
    xdotool type --delay 0 "$script"
    dialog=
    for w in $(xdotool search --onlyvisible --pid "$pid" --name "開"); do
        [[ $(xdotool getwindowname "$w") == 開く ]] && dialog=$w
    done
    before=$(cpu_us)
    before_process=$(process_cpu_us)
    start=$(date +%s%N)
    xdotool key Return
    # The work starts once the dialog is gone; idle before that is not the end.
    wait_until "the open dialog closed" unmapped "$dialog"
    read -r _ end < <(settle_open "$before")
    open_cpu=$(($(process_cpu_us) - before_process))
    open_s=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", (b - a) / 1e9 }')

    [[ -n ${BRINDLE_BENCH_SHOT:-} ]] && import -window root "$BRINDLE_BENCH_SHOT.$lines.png"
    # Keystrokes in the middle of the script.
    xdotool key ctrl+Home
    for ((i = 0; i < lines / 2 && i < 200; i++)); do xdotool key --delay 0 Down; done
    xdotool key End
    settle "$(cpu_us)" >/dev/null
    keys=()
    for c in s e l e c t space x space f r o m space y; do
        before=$(cpu_us)
        xdotool key --delay 0 "$c"
        keys+=("$(settle "$before")")
    done
    # A line pasted (the clipboard holds one line), undo and redo.
    xdotool key Home shift+End ctrl+c End Return
    settle "$(cpu_us)" >/dev/null
    pages=()
    for _ in 1 2 3 4 5; do
        before=$(cpu_us); xdotool key Page_Down; pages+=("$(settle "$before")")
    done
    pastes=() undos=() redos=()
    for _ in 1 2 3 4 5; do
        before=$(cpu_us); xdotool key ctrl+v; pastes+=("$(settle "$before")")
        before=$(cpu_us); xdotool key ctrl+z; undos+=("$(settle "$before")")
        before=$(cpu_us); xdotool key ctrl+shift+z; redos+=("$(settle "$before")")
    done
    printf '%-8s %-10s %-10s %-10s %-10s %-10s %-10s %-10s %-10s\n' "$lines" \
        "$(du -h "$script" | cut -f1)" "$open_s" "$(awk -v us="$open_cpu" 'BEGIN { printf "%.2f", us / 1e6 }')" \
        "$(ms "$(printf '%s\n' "${keys[@]}" | median)")" \
        "$(ms "$(printf '%s\n' "${pastes[@]}" | median)")" \
        "$(ms "$(printf '%s\n' "${undos[@]}" | median)")" \
        "$(ms "$(printf '%s\n' "${redos[@]}" | median)")" \
        "$(ms "$(printf '%s\n' "${pages[@]}" | median)")"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
    [[ -n ${BRINDLE_BENCH_LOG:-} ]] && cat "$dir/brindle.log" >>"$BRINDLE_BENCH_LOG"
done
