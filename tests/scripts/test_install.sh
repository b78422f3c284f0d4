#!/usr/bin/env bash
# The installed program, as users get it: installs BUILD_DIR into a
# temporary prefix and builds the Debian package from it, then checks
#
# - that exactly the expected files are installed, the links in bin/ are
#   relative, the binaries point nowhere into the build tree (no RPATH), the
#   icons have the sizes their directories say and the manual pages render;
# - the desktop entry (desktop-file-validate) and the AppStream metainfo
#   (appstreamcli validate --no-net, and against the installed tree);
# - the installed brindle-cli from a directory outside the source tree:
#   --help, colour and arrange with the installed keyword files, and the
#   user's own copies in $XDG_CONFIG_HOME/Brindle first;
# - the window smoke test against the program the desktop entry's Exec line
#   starts: it finds its keyword files and carries its icon;
# - the package: `dpkg-deb --contents` lists the same files under /usr,
#   `dpkg-deb --info` the dependencies.
#
#   test_install.sh BUILD_DIR
set -euo pipefail

ROOT=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.." && pwd)
build=$(cd "${1:?usage: test_install.sh BUILD_DIR}" && pwd)

failures=0
fail() {
    echo "FAIL $*" >&2
    failures=$((failures + 1))
}
ok() {
    echo "ok   $*"
}

for tool in desktop-file-validate appstreamcli dpkg-deb dpkg-shlibdeps readelf file groff \
    xvfb-run xdotool import xprop; do
    if ! command -v "$tool" >/dev/null; then
        echo "FAIL: $tool is not installed (scripts/setup-deps installs it)" >&2
        exit 1
    fi
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/brindle-install.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix

# Every file of an installation, relative to its prefix.
expected_files() {
    cat <<'LIST'
bin/brindle
bin/brindle-cli
libexec/brindle/KEYWORD_ARRANGE.CSV
libexec/brindle/KEYWORD_COLOR.CSV
libexec/brindle/brindle
libexec/brindle/brindle-cli
share/applications/brindle.desktop
share/icons/hicolor/128x128/apps/brindle.png
share/icons/hicolor/256x256/apps/brindle.png
share/icons/hicolor/32x32/apps/brindle.png
share/icons/hicolor/48x48/apps/brindle.png
share/man/man1/brindle-cli.1.gz
share/man/man1/brindle.1.gz
share/metainfo/io.github.brindle.Brindle.metainfo.xml
LIST
}

# same_list WHAT EXPECTED ACTUAL: the two sorted lists are equal.
same_list() {
    if [[ "$2" == "$3" ]]; then
        ok "$1"
    else
        fail "$1:"
        diff <(echo "$2") <(echo "$3") | sed -n 's/^[<>]/  &/p' >&2
    fi
}

# --------------------------------------------------------------------------
echo "== cmake --install into a temporary prefix"
if ! cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
    cat "$tmp/install.log" >&2
    echo "FAIL: cmake --install" >&2
    exit 1
fi
same_list "the installed files" "$(expected_files | sort)" \
    "$(cd "$prefix" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)"

for program in brindle brindle-cli; do
    link=$(readlink "$prefix/bin/$program" || true)
    if [[ "$link" == "../libexec/brindle/$program" && -x "$prefix/bin/$program" ]]; then
        ok "bin/$program -> $link"
    else
        fail "bin/$program is not a relative link to the program: '$link'"
    fi
    if readelf -d "$prefix/libexec/brindle/$program" | grep -qE 'RPATH|RUNPATH'; then
        fail "libexec/brindle/$program has an RPATH: $(readelf -d "$prefix/libexec/brindle/$program" | grep -E 'RPATH|RUNPATH')"
    else
        ok "libexec/brindle/$program has no RPATH"
    fi
done
for table in KEYWORD_COLOR.CSV KEYWORD_ARRANGE.CSV; do
    cmp -s "$ROOT/resources/$table" "$prefix/libexec/brindle/$table" ||
        fail "libexec/brindle/$table differs from resources/$table"
done
for size in 32 48 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x$size/apps/brindle.png
    [[ "$(file -b "$icon")" == "PNG image data, $size x $size,"* ]] ||
        fail "$icon is not a ${size}x$size PNG: $(file -b "$icon")"
done
ok "the icons have the sizes of their directories"

# The manual pages render without a warning, and brindle-cli's tells of every
# subcommand and option that its --help lists.
for page in brindle brindle-cli; do
    warnings=$(zcat "$prefix/share/man/man1/$page.1.gz" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1)
    [[ -z "$warnings" ]] || fail "$page.1 renders with warnings: $warnings"
done
help=$("$prefix/bin/brindle-cli" --help)
page=$(zcat "$prefix/share/man/man1/brindle-cli.1.gz")
while read -r name; do
    grep -q "^\.B $name\b" <<<"$page" || fail "brindle-cli.1 has no entry for the subcommand $name"
done < <(sed -n '/^Subcommands:/,/^$/s/^  \([a-z]\{1,\}\) .*/\1/p' <<<"$help")
while read -r option; do
    grep -qF -- "${option//-/\\-}" <<<"$page" || fail "brindle-cli.1 does not tell of $option"
done < <(grep -o -- '--[a-z-]*' <<<"$help" | sort -u)
ok "the manual pages render, and brindle-cli.1 tells of everything --help lists"

# --------------------------------------------------------------------------
echo "== the desktop entry and the metainfo"
desktop=$prefix/share/applications/brindle.desktop
if out=$(desktop-file-validate "$desktop" 2>&1) && [[ -z "$out" ]]; then
    ok "desktop-file-validate"
else
    fail "desktop-file-validate: $out"
fi
if out=$(appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml 2>&1) &&
    out=$(appstreamcli validate-tree --no-net "$prefix" 2>&1); then
    ok "appstreamcli validate --no-net, alone and in the installed tree"
else
    fail "appstreamcli: $out"
fi
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
[[ -f "$prefix/share/icons/hicolor/48x48/apps/$icon_name.png" ]] ||
    fail "the desktop entry's icon \"$icon_name\" is not in the hicolor theme"

# --------------------------------------------------------------------------
echo "== the installed brindle-cli, from outside the source tree"
mkdir -p "$tmp/elsewhere" "$tmp/config" "$tmp/data"
cd "$tmp/elsewhere"
cli() {
    XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" "$prefix/bin/brindle-cli" "$@"
}
if [[ "$(cli --help | head -n 1)" == "Usage: brindle-cli <subcommand> [arguments]" ]]; then
    ok "brindle-cli --help"
else
    fail "brindle-cli --help"
fi
coloured() {
    printf '%s' '{\rtf1 select a from t\par }' | cli colour 2>&1
}
arranged_first_line() {
    printf 'select a from t' | cli arrange 2>&1 | head -n 1 | tr -d '\r'
}
[[ "$(coloured)" == *'\cf1 select\cf0  a \cf1 from'* ]] || fail "colour with the installed table: $(coloured)"
[[ "$(arranged_first_line)" == select ]] || fail "arrange with the installed table: $(arranged_first_line)"
ok "colour and arrange read the installed keyword files"

mkdir -p "$tmp/config/Brindle"
printf 'caption\r\nfrom,3\r\n' >"$tmp/config/Brindle/KEYWORD_COLOR.CSV"
printf 'caption\r\nFROM,1,1\r\n' >"$tmp/config/Brindle/KEYWORD_ARRANGE.CSV"
[[ "$(coloured)" == *'select a \cf3 from'* ]] || fail "colour with the user's table: $(coloured)"
[[ "$(arranged_first_line)" == "select a" ]] || fail "arrange with the user's table: $(arranged_first_line)"
printf 'caption\r\nfrom\r\n' >"$tmp/config/Brindle/KEYWORD_COLOR.CSV"
if err=$(printf 'x' | cli colour 2>&1 >/dev/null); then
    fail "colour with a broken user's table succeeded"
elif [[ "$err" != 9:* ]]; then
    fail "colour with a broken user's table: $err"
fi
rm "$tmp/config/Brindle/KEYWORD_COLOR.CSV" "$tmp/config/Brindle/KEYWORD_ARRANGE.CSV"
[[ "$(coloured)" == *'\cf1 select'* ]] || fail "colour once the user's table is gone: $(coloured)"
ok "the user's own tables come first, a broken one is reported, without them the installed ones"

# --------------------------------------------------------------------------
echo "== the window smoke test, started as the menu entry starts it"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
read -r -a exec_words <<<"$exec_line"
program=$(PATH="$prefix/bin:$PATH" command -v "${exec_words[0]}" || true)
if [[ "$program" != "$prefix/bin/"* ]]; then
    fail "the desktop entry's Exec line \"$exec_line\" does not start the installed program"
else
    if ((${#exec_words[@]} > 1)); then
        fail "the desktop entry's Exec line has arguments the smoke test does not pass: $exec_line"
    fi
    if bash "$ROOT/tests/scripts/test_window_smoke.sh" --files "$prefix/bin/brindle-cli" \
        "$program" >"$tmp/smoke.log" 2>&1; then
        ok "the window smoke test with $exec_line ($program)"
    else
        sed 's/^/  /' "$tmp/smoke.log" >&2
        fail "the window smoke test with $exec_line"
    fi
fi
cd "$ROOT"

# --------------------------------------------------------------------------
echo "== the Debian package"
if ! "$ROOT/scripts/package" --build-dir "$build" --out "$tmp/package" >"$tmp/package.log" 2>&1; then
    cat "$tmp/package.log" >&2
    echo "FAIL: scripts/package" >&2
    exit 1
fi
deb=$(echo "$tmp"/package/brindle_*.deb)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[[ "${deb##*/}" == "brindle_${version}_$(dpkg --print-architecture).deb" ]] ||
    fail "the package is named ${deb##*/}"
contents=$(dpkg-deb --contents "$deb")
same_list "dpkg-deb --contents lists the installed files under /usr" \
    "$(expected_files | sed 's|^|usr/|' | sort)" \
    "$(awk '$1 !~ /^d/ { print $6 }' <<<"$contents" | sed 's|^\./||' | LC_ALL=C sort)"
for program in brindle brindle-cli; do
    grep -qF "./usr/bin/$program -> ../libexec/brindle/$program" <<<"$contents" ||
        fail "the package's /usr/bin/$program is not the relative link"
done
depends=$(dpkg-deb --field "$deb" Depends)
recommends=$(dpkg-deb --field "$deb" Recommends)
# The package names, without versions and alternatives.
names() {
    tr ',|' '\n' <<<"$1" | sed 's/(.*)//; s/ //g' | sed '/^$/d' | sort -u
}
for package in unixodbc libodbc2 libqt6core6 libqt6gui6 libqt6widgets6 libsqlite3-0 libc6; do
    names "$depends" | grep -qx "$package" || fail "Depends lacks $package: $depends"
done
names "$recommends" | grep -qx libsqliteodbc || fail "Recommends lacks libsqliteodbc: $recommends"
ok "dpkg-deb --info: Depends: $depends"
ok "dpkg-deb --info: Recommends: $recommends"

if ((failures > 0)); then
    echo "$failures install check(s) failed" >&2
    exit 1
fi
echo "install checks passed"
