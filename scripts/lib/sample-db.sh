# shellcheck shell=bash
# Builds the sample SQLite database from resources/sample/*.sql, sourced by
# scripts/run and by the sample database test.

# The scripts in the order they must run (file name order, whatever the locale).
sample_db_scripts() {
    local dir=$1
    find "$dir" -maxdepth 1 -type f -name '*.sql' -print | LC_ALL=C sort
}

# sample_db_is_stale DIR DB: true when DB is missing or older than a script.
sample_db_is_stale() {
    local dir=$1 db=$2 script
    [[ -f "$db" ]] || return 0
    while IFS= read -r script; do
        [[ "$script" -nt "$db" ]] && return 0
    done < <(sample_db_scripts "$dir")
    return 1
}

# sample_db_build DIR DB: runs every script into a new file and only then
# replaces DB, so a failing script never leaves a half-built database behind.
sample_db_build() {
    local dir=$1 db=$2 script tmp
    local -a scripts=()
    while IFS= read -r script; do
        scripts+=("$script")
    done < <(sample_db_scripts "$dir")
    if ((${#scripts[@]} == 0)); then
        echo "sample-db: no *.sql files in $dir" >&2
        return 1
    fi
    mkdir -p "$(dirname "$db")" || return 1
    tmp=$(mktemp "$db.XXXXXX") || return 1
    for script in "${scripts[@]}"; do
        if ! sqlite3 -bail "$tmp" <"$script"; then
            echo "sample-db: $script failed" >&2
            rm -f "$tmp"
            return 1
        fi
    done
    mv -f "$tmp" "$db"
}
