#!/usr/bin/env bash
# Installs Mavrel as a user or a distribution would, and checks what the
# desktop sees of it:
#
#   scripts/desktop-test.sh BUILD_DIR VERSION
#
# - `cmake --install` into a temporary prefix: the installed mavrel prints its
#   version, draws a page, and makes a thumbnail through the thumbnailer entry;
# - the desktop entry and the metainfo pass their validators;
# - the chart and set list types, registered in a temporary XDG_DATA_HOME,
#   are known by their extensions and, without one, by their content; the
#   desktop entry opens them;
# - the Debian package that cpack builds holds those files, depends on Qt
#   and on the font, runs once unpacked, and lintian finds no error in it.
#
# Everything lives in a temporary folder: nothing is installed on the
# machine. Without the tools (`sh scripts/install-deps test` installs them)
# the test is skipped, with status 77.
set -euo pipefail

build=${1:?"usage: $0 BUILD_DIR VERSION"}
version=${2:?"usage: $0 BUILD_DIR VERSION"}
root=$(cd "$(dirname "$0")/.." && pwd)
app=io.github.mavrel.Mavrel
chart_type=application/x-mavrel-chart
setlist_type=application/x-mavrel-setlist

missing=""
for tool in cpack dpkg-deb dpkg-shlibdeps file desktop-file-validate update-desktop-database \
            appstreamcli update-mime-database xdg-mime mimetype lintian; do
    command -v "$tool" >/dev/null || missing="$missing $tool"
done
if [ -n "$missing" ]; then
    echo "desktop-test: missing$missing; skipped"
    exit 77
fi

work=$(mktemp -d /tmp/mavrel-desktop.XXXXXX)
# shellcheck disable=SC2317  # run by the trap
cleanup() {
    if [ "${KEEP_DESKTOP_WORK:-}" = 1 ]; then echo "desktop-test: work folder kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

failures=0
pass() { echo "ok: $1"; }
fail() { echo "FAILED: $1" >&2; failures=$((failures + 1)); }
# check WHAT COMMAND...: the command succeeds.
check() {
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
# expect WHAT GOT EXPECTED
expect() {
    if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: got '$2', expected '$3'"; fi
}
# The size of a PNG, as "W x H".
png_size() { file -b "$1" | sed -n 's/^PNG image data, \([0-9]* x [0-9]*\),.*/\1/p'; }

echo "== cmake --install"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; exit 1; }
for size in 16 32 48 128 256; do
    for icon in apps/$app mimetypes/application-x-mavrel-chart mimetypes/application-x-mavrel-setlist; do
        png="share/icons/hicolor/${size}x$size/$icon.png"
        expect "$png" "$(png_size "$prefix/$png")" "$size x $size"
    done
done

echo "== the installed program"
mavrel="$prefix/bin/mavrel"
expect "mavrel --version" "$("$mavrel" --version)" "mavrel $version"
check "mavrel new" "$mavrel" new -o "$work/new.bab"
check "mavrel render" "$mavrel" render "$root/docs/example.bab" -o "$work/page.png"
expect "the rendered page" "$(png_size "$work/page.png")" "565 x 800"
# The thumbnailer's command line, filled in as a file manager does.
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/thumbnailers/mavrel.thumbnailer")
command_line=${exec_line//%s/128}
command_line=${command_line//%i/$root/docs/example.bab}
command_line=${command_line//%o/$work/thumbnail.png}
# shellcheck disable=SC2086  # the command line is split into words as the file manager does
check "the thumbnailer's command" env PATH="$prefix/bin:$PATH" $command_line
expect "the thumbnail" "$(png_size "$work/thumbnail.png")" "90 x 128"

echo "== validators"
check "desktop-file-validate" desktop-file-validate "$prefix/share/applications/$app.desktop"
check "appstreamcli validate" appstreamcli validate --no-net "$prefix/share/metainfo/$app.metainfo.xml"
check "the metainfo lists this version" grep -q "<release version=\"$version\"" "$prefix/share/metainfo/$app.metainfo.xml"
expect "the changelog's newest entry" "$(zcat "$prefix/share/doc/mavrel/changelog.gz" | head -1 | cut -d' ' -f1-2)" \
    "mavrel ($version)"

echo "== the chart and set list types"
cp "$root/docs/example.bab" "$work/example.bab"
cp "$work/new.bab" "$work/grille"
head -c 152 /dev/zero >"$work/zeros"
printf '# Mavrel set list 1\nName: Vendredi\nexample.bab\n' >"$work/friday.setlist"
cp "$work/friday.setlist" "$work/liste"
printf '\xef\xbb\xbf# Mavrel set list 1\r\nName: Samedi\r\n' >"$work/samedi"
# The desktop of this test only: no system data, no session's own tools.
in_desktop=(env -u XDG_CURRENT_DESKTOP -u XDG_SESSION_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION
            -u GNOME_DESKTOP_SESSION_ID HOME="$work/home" XDG_DATA_HOME="$prefix/share"
            XDG_DATA_DIRS="$work/none" XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS="$work/none")
"${in_desktop[@]}" update-mime-database "$prefix/share/mime"
"${in_desktop[@]}" update-desktop-database "$prefix/share/applications"
expect "a .bab file" "$("${in_desktop[@]}" xdg-mime query filetype "$work/example.bab")" "$chart_type"
expect "a chart without extension" "$("${in_desktop[@]}" xdg-mime query filetype "$work/grille")" "$chart_type"
expect "other bytes without extension" "$("${in_desktop[@]}" xdg-mime query filetype "$work/zeros")" \
    "application/octet-stream"
expect "the default application" "$("${in_desktop[@]}" xdg-mime query default "$chart_type")" "$app.desktop"
expect "a .setlist file" "$("${in_desktop[@]}" xdg-mime query filetype "$work/friday.setlist")" "$setlist_type"
expect "a set list without extension" "$("${in_desktop[@]}" xdg-mime query filetype "$work/liste")" "$setlist_type"
expect "a set list with a byte-order mark" "$("${in_desktop[@]}" xdg-mime query filetype "$work/samedi")" \
    "$setlist_type"
expect "the set lists' application" "$("${in_desktop[@]}" xdg-mime query default "$setlist_type")" "$app.desktop"

echo "== the Debian package"
(cd "$build" && cpack -G DEB -B "$work/deb") >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
deb="$work/deb/mavrel_${version}_$(dpkg --print-architecture).deb"
if [ ! -f "$deb" ]; then
    fail "package file $(basename "$deb")"
    ls "$work/deb" >&2
else
    pass "package file $(basename "$deb")"
    dpkg-deb -I "$deb"
    depends=$(dpkg-deb -f "$deb" Depends)
    check "depends on the font" grep -q "fonts-dejavu-core" <<<"$depends"
    check "depends on Qt, as dpkg-shlibdeps found" grep -q "libqt6widgets6 (>=" <<<"$depends"
    contents=$(dpkg-deb -c "$deb")
    for f in usr/bin/mavrel \
             usr/share/applications/$app.desktop \
             usr/share/mime/packages/$app.xml usr/share/thumbnailers/mavrel.thumbnailer \
             usr/share/icons/hicolor/scalable/apps/$app.svg usr/share/icons/hicolor/48x48/apps/$app.png \
             usr/share/icons/hicolor/scalable/mimetypes/application-x-mavrel-chart.svg \
             usr/share/icons/hicolor/scalable/mimetypes/application-x-mavrel-setlist.svg usr/share/metainfo/$app.metainfo.xml \
             usr/share/man/man1/mavrel.1.gz usr/share/doc/mavrel/copyright; do
        check "the package holds /$f" grep -q " \./$f\$" <<<"$contents"
    done
    dpkg-deb -x "$deb" "$work/unpacked"
    expect "the packaged mavrel" "$("$work/unpacked/usr/bin/mavrel" --version)" "mavrel $version"
    # Warnings and notes are shown; an error fails the test.
    check "lintian finds no error" lintian --fail-on error --display-info "$deb"
fi

if [ "$failures" -eq 0 ]; then echo "desktop-test: passed"; else echo "desktop-test: $failures FAILED" >&2; fi
[ "$failures" -eq 0 ]
