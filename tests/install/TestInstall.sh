#!/usr/bin/env bash
# Installs the build into a staging folder the way the Debian package does, then checks what arrived: exactly
# the listed files with their modes, a stripped program without RPATH that runs from there on its built-in
# data, files that name each other consistently and agree on the version, and, when the validators are
# installed, a desktop entry and AppStream file they accept.
# Usage: TestInstall.sh CMAKE BUILD_DIR VERSION EXPECTED_LIST TEST_DATA_DIR BUILD_PROGRAM
set -euo pipefail
cmake_command=$1 build=$2 version=$3 expected=$4 data=$5 build_program=$6

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage=$work/stage
mkdir -p "$work/home"
export HOME=$work/home
unset XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

DESTDIR=$stage "$cmake_command" --install "$build" --prefix /usr --strip >/dev/null
share=$stage/usr/share
program=$stage/usr/bin/ventorix

# --- Exactly the listed files, with their modes: a forgotten or a stray file shows in the diff.
if ! diff -u --label expected --label installed <(grep -v '^#' "$expected" | LC_ALL=C sort) \
    <(cd "$stage" && find . ! -type d -printf '%m %P\n' | LC_ALL=C sort); then
    fail "installed files differ from $expected"
fi
[ -x "$program" ] || { echo "FAIL: $program was not installed, nothing more to check" >&2; exit 1; }

# --- The programs are stripped and carry no RPATH, as Debian wants.
for installed in "$program" "$program-report"; do
    readelf -S --wide "$installed" | grep -q '\.symtab' && fail "$installed keeps its symbol table"
    readelf -d "$installed" | grep -qE 'RPATH|RUNPATH' &&
        fail "$installed has an RPATH: $(readelf -d "$installed" | grep -E 'RPATH|RUNPATH')"
done
# --- The small report program finds the installed program beside it for what it does not answer itself,
# and loads no graphical library for what it does.
handed=$("$program-report" --version 2>&1) || fail "ventorix-report --version failed: $handed"
[ "$handed" = "$("$program" --version)" ] || fail "ventorix-report --version says '$handed'"
readelf -d "$program-report" | grep -qE 'Qt6(Gui|Widgets)' && fail "ventorix-report loads the graphical library"

# --- Each PNG has the size its hicolor folder claims.
for png in "$share"/icons/hicolor/*x*/apps/*.png; do
    folder=$(basename "$(dirname "$(dirname "$png")")")
    read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$png")
    actual=$(((w1 << 24 | w2 << 16 | w3 << 8 | w4)))x$(((h1 << 24 | h2 << 16 | h3 << 8 | h4)))
    [ "$actual" = "$folder" ] || fail "${png#"$stage"/} is $actual"
done

# --- The files name each other: the menu entry starts the installed command and shows an installed icon, the
# AppStream file launches the installed entry and provides the installed command.
desktop=$share/applications/fr.ventorix.Ventorix.desktop
metainfo=$share/metainfo/fr.ventorix.Ventorix.metainfo.xml
command=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
icon=$(sed -n 's/^Icon=//p' "$desktop")
launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
provided=$(sed -n 's|.*<binary>\(.*\)</binary>.*|\1|p' "$metainfo")
[ -n "$command" ] && [ -x "$stage/usr/bin/$command" ] || fail "Exec=$command is not an installed command"
[ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] && [ -f "$share/icons/hicolor/48x48/apps/$icon.png" ] \
    || fail "Icon=$icon is not an installed icon"
[ "$launchable" = "$(basename "$desktop")" ] || fail "the AppStream file launches '$launchable'"
[ -n "$provided" ] && [ -x "$stage/usr/bin/$provided" ] || fail "the AppStream file provides '$provided'"

# --- Program, AppStream release, changelog and manual page agree with the project's version.
[ "$("$program" --version)" = "Ventorix $version" ] || fail "--version says '$("$program" --version)'"
release=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1)
[ "$release" = "<release version=\"$version\"" ] || fail "newest AppStream release is $release"
changelog=$(gzip -dc "$share/doc/ventorix/changelog.gz" | head -n 1)
[[ $changelog == "ventorix ($version) "* ]] || fail "newest changelog entry is '$changelog'"
gzip -dc "$share/man/man1/ventorix.1.gz" | grep -q "^\.TH VENTORIX 1 .*\"Ventorix $version\"" \
    || fail "the manual page is not that of Ventorix $version"

# --- Run from the staging folder, far from the sources and the build, the program fetches and decodes a
# report on its built-in data exactly as the build's own program does.
server=$work/server
mkdir -p "$server/data/observations/metar/decoded"
cp "$data/metar/LFPG.TXT" "$server/data/observations/metar/decoded/LFPG.TXT"
report=(--report metar LFPG --format text --weather-base "file://$server" --now 2026-12-06T20:00)
status=0
installed_report=$(cd "$work" && "$program" "${report[@]}") || status=$?
[ "$status" = 0 ] || fail "the installed program's report ended with status $status"
grep -q 'LFPG 061930Z' <<<"$installed_report" || fail "the installed program's report lacks the METAR: $installed_report"
[ "$installed_report" = "$(cd "$work" && "$build_program" "${report[@]}")" ] \
    || fail "the installed and the built program print different reports"

# --- Validators, when installed (tools/setup.sh installs them).
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $(basename "$desktop")"
else
    echo "SKIP: desktop-file-validate is not installed"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --strict --no-net --no-color "$metainfo" || fail "appstreamcli rejects $(basename "$metainfo")"
else
    echo "SKIP: appstreamcli is not installed"
fi

[ "$failures" = 0 ] || exit 1
echo "Installed layout, program and metadata checked"
