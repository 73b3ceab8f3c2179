#!/usr/bin/env bash
# The exports read by the programs musicians use:
#
#   scripts/export-test.sh BUILD_DIR
#
# - a playlist page is imported into charts;
# - each chart (and the example chart) is exported as a LilyPond chord grid,
#   which `lilypond --png` renders without an error or a warning, and as
#   MusicXML, which MuseScore turns into a PDF whose text holds the chords;
# - each chart's iReal Pro link, imported again and exported again, is the
#   same link.
#
# Without LilyPond or MuseScore (`sh scripts/install-deps test` installs
# them) the test is skipped, with status 77.
set -euo pipefail

build=${1:?"usage: $0 BUILD_DIR"}
root=$(cd "$(dirname "$0")/.." && pwd)
mavrel="$build/mavrel"

for tool in lilypond mscore3 pdftotext; do
    command -v "$tool" >/dev/null || { echo "export-test: $tool missing; skipped"; exit 77; }
done

work=$(mktemp -d /tmp/mavrel-export.XXXXXX)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

fail() { echo "export-test: $*" >&2; exit 1; }

"$mavrel" import "$root/tests/data/ireal/jazz-combo.html" -o "$work/charts" >/dev/null 2>"$work/import.log" \
    || fail "import: $(cat "$work/import.log")"
cp "$root/docs/example.bab" "$work/charts/"

count=0
for chart in "$work"/charts/*.bab; do
    name=$(basename "$chart" .bab)
    out="$work/out/$name"
    mkdir -p "$out"

    "$mavrel" export "$chart" -o "$out/grid.ly" || fail "$name: LilyPond export"
    lilypond --png -o "$out/grid" "$out/grid.ly" >"$out/lilypond.log" 2>&1 \
        || fail "$name: lilypond: $(tail -5 "$out/lilypond.log")"
    ! grep -qiE "warning|error|avertissement|erreur" "$out/lilypond.log" \
        || fail "$name: lilypond: $(grep -iE "warning|error|avertissement|erreur" "$out/lilypond.log")"
    [ -s "$out/grid.png" ] || fail "$name: lilypond wrote no picture"

    "$mavrel" export "$chart" -o "$out/chart.musicxml" || fail "$name: MusicXML export"
    mscore3 -o "$out/chart.pdf" "$out/chart.musicxml" >"$out/mscore.log" 2>&1 \
        || fail "$name: MuseScore: $(tail -5 "$out/mscore.log")"
    [ -s "$out/chart.pdf" ] || fail "$name: MuseScore wrote no PDF"

    "$mavrel" export "$chart" -o "$out/link.txt" || fail "$name: iReal export"
    "$mavrel" import "$out/link.txt" -o "$out/again" >/dev/null 2>&1 || fail "$name: the link does not import"
    "$mavrel" export "$out"/again/*.bab -o "$out/link2.txt" || fail "$name: iReal export again"
    cmp -s "$out/link.txt" "$out/link2.txt" || fail "$name: the link changes through an import"
    count=$((count + 1))
done
[ "$count" -ge 7 ] || fail "only $count charts"

# The chords themselves reach MuseScore's page.
text=$(pdftotext "$work/out/example/chart.pdf" -)
for chord in Cm7 F7 Gm; do
    grep -q "$chord" <<<"$text" || fail "MuseScore's page of the example lacks $chord"
done
echo "export-test: $count charts read by LilyPond and MuseScore, links stable"
