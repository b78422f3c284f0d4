# shellcheck shell=bash
# Registers an SQLite data source in the user's odbc.ini, sourced by
# scripts/run and by the sample database test.

# user_dsn_register NAME DRIVER DATABASE DESCRIPTION
#
# Adds or updates the NAME section of ${ODBCINI:-~/.odbc.ini} and leaves every
# other line alone (odbcinst would rewrite the whole file and drop comments).
# Writes nothing when the section is already as wanted.
user_dsn_register() {
    local name=$1 driver=$2 database=$3 description=$4
    local ini=${ODBCINI:-$HOME/.odbc.ini}
    if ! odbcinst -q -d -n "$driver" >/dev/null 2>&1; then
        echo "user-dsn: the ODBC driver \"$driver\" is not registered; run scripts/setup-deps" >&2
        return 1
    fi

    # Write through a symlink (dotfile managers) to the real file.
    local target
    mkdir -p "$(dirname "$ini")" || return 1
    target=$(readlink -f "$ini") || return 1
    mkdir -p "$(dirname "$target")" || return 1
    if [[ ! -e "$target" ]]; then
        : >"$target" || return 1
    fi

    local new
    new=$(mktemp "$target.XXXXXX") || return 1
    if ! SECTION=$(printf '[%s]\nDescription = %s\nDriver = %s\nDatabase = %s\n' \
        "$name" "$description" "$driver" "$database") DSN="$name" awk '
        function section_name(line) {
            sub(/^[ \t]*\[[ \t]*/, "", line)
            sub(/[ \t]*\][ \t\r]*$/, "", line)
            return tolower(line)
        }
        /^[ \t]*\[.*\][ \t\r]*$/ {
            if (section_name($0) == tolower(ENVIRON["DSN"])) {
                if (!written) { print ENVIRON["SECTION"]; written = 1; gap = 1 }
                skipping = 1
                next
            }
            skipping = 0
        }
        !skipping {
            if (gap) { print ""; gap = 0 }
            print
            last = $0
        }
        END {
            if (!written) {
                if (NR > 0 && last !~ /^[ \t\r]*$/) print ""
                print ENVIRON["SECTION"]
            }
        }' "$target" >"$new"; then
        rm -f "$new"
        return 1
    fi

    if cmp -s "$new" "$target"; then
        rm -f "$new"
        return 0
    fi
    if ! chmod --reference="$target" "$new" || ! mv -f "$new" "$target"; then
        rm -f "$new"
        return 1
    fi
    echo "user-dsn: registered the data source $name in $ini"
}
