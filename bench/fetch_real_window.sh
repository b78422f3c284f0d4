#!/usr/bin/env bash
# F5 of a large query in the real window, as the user feels it: the brindle
# binary on a virtual X display under a real window manager, connected to a
# data source, the query typed into the new document, then F5, timed from the
# key until the process stays quiet (100 ms under 0.2 ms of CPU a 20 ms
# sample), and its CPU time and peak memory. Before each F5 the yardstick
# command, when given, runs once with the query on stdin, so the two are
# taken in turn and their ratio read run by run.
#
#   bench/fetch_real_window.sh BUILD_DIR RUNS DSN [UID PWD]
#
# The data source comes from $ODBCINI, its driver from /etc/odbcinst.ini;
# the query is in $FETCH_QUERY (default: the fetch benchmark's); the
# yardstick command in $FETCH_YARDSTICK. Run it on an idle machine.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$here/tests/scripts/lib/x_session.sh"

if [[ -z ${BRINDLE_BENCH_INSIDE:-} ]]; then
    missing=$(window_manager_missing) && { echo "needs $missing" >&2; exit 2; }
    export BRINDLE_BENCH_INSIDE=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
        bash -c "$(declare -f in_own_pid_namespace); in_own_pid_namespace \"\$@\"" _ \
        bash "${BASH_SOURCE[0]}" "$@"
fi

build=$1 runs=$2 dsn=$3 uid=${4:-} pwd=${5:-}
query=${FETCH_QUERY:-SELECT id, name, amount, day, note FROM t}
tmp=$(mktemp -d)
trap '[[ -n ${pid:-} ]] && kill "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
WINDOW_WAIT=60
start_window_manager "$tmp/openbox.log"
mkdir -p "$tmp/odbc"
driver=$(sed -n "/^\[$dsn\]/,/^\[/s/^Driver *= *//p" "$ODBCINI" | head -1)
sed -n "/^\[$dsn\]/,/^\$/p" "$ODBCINI" >"$tmp/odbc/odbc.ini"
sed -n "/^\[$driver\]/,/^\$/p" /etc/odbcinst.ini >"$tmp/odbc/odbcinst.ini"
printf '%s\n' "$query" >"$tmp/query.sql"

# CPU of every live thread in microseconds (from schedstat, fine-grained).
threads_us() {
    local total=0 t ns
    for t in /proc/"$pid"/task/*/schedstat; do
        { read -r ns _ <"$t"; } 2>/dev/null || continue
        total=$((total + ns / 1000))
    done
    echo "$total"
}
# CPU of the process, ended threads included, in microseconds.
process_us() {
    local stat
    stat=$(<"/proc/$pid/stat")
    stat=${stat##*) }
    read -r -a f <<<"$stat"
    echo $(((f[11] + f[12]) * 1000000 / $(getconf CLK_TCK)))
}

printf '%-4s %-10s %-10s %-10s %-12s %-8s\n' run "F5 (s)" "CPU (s)" "peak MiB" "yardstick" ratio
for ((r = 1; r <= runs; r++)); do
    dir="$tmp/run$r"
    mkdir -p "$dir/home/"{config,cache,data}
    mkdir -m 0700 "$dir/home/runtime"
    cp -r "$tmp/odbc" "$dir/odbc"
    launch_brindle "$build/src/brindle" "$dir"
    pid=$!
    wait_until "the connection dialog" managed_window "データ ソース接続"
    sleep 0.5
    xdotool type "$dsn"
    if [[ -n $uid ]]; then
        xdotool key Tab
        xdotool type "$uid"
        xdotool key Tab
        xdotool type "$pwd"
    fi
    xdotool key Return
    wait_until "the main window" managed_window "Brindle"
    sleep 1.5
    main=$(managed_window "Brindle")
    wmctrl -i -r "$main" -e 0,0,0,1100,750
    sleep 0.5
    xdotool mousemove 450 120 click 1
    sleep 0.3
    xdotool type --delay 20 "$query"
    yard=- ratio=-
    if [[ -n ${FETCH_YARDSTICK:-} ]]; then
        /usr/bin/time -f '%e' -o "$tmp/yard.t" bash -c "$FETCH_YARDSTICK" <"$tmp/query.sql" >/dev/null
        yard=$(<"$tmp/yard.t")
    fi
    sleep 1
    cpu0=$(process_us)
    last=$(threads_us)
    start=$(date +%s%N)
    busy=$start quiet=0 seen=0
    xdotool key F5
    while ((quiet < 5 || seen == 0)); do
        sleep 0.02
        now=$(threads_us)
        t=$(date +%s%N)
        if ((now - last >= 0 && now - last < 200)); then
            quiet=$((quiet + 1))
        else
            quiet=0 busy=$t seen=1
        fi
        last=$now
    done
    f5=$(awk -v a="$start" -v b="$busy" 'BEGIN { printf "%.2f", (b - a) / 1e9 }')
    cpu=$(awk -v a="$cpu0" -v b="$(process_us)" 'BEGIN { printf "%.2f", (b - a) / 1e6 }')
    peak=$(($(awk '/VmHWM/ { print $2 }' "/proc/$pid/status") / 1024))
    [[ $yard != - ]] && ratio=$(awk -v a="$f5" -v b="$yard" 'BEGIN { printf "%.2f", a / b }')
    [[ -n ${BRINDLE_BENCH_SHOT:-} ]] && import -window root "$BRINDLE_BENCH_SHOT.$r.png"
    printf '%-4s %-10s %-10s %-10s %-12s %-8s\n' "$r" "$f5" "$cpu" "$peak" "$yard" "$ratio"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
done
