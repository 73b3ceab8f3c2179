#!/usr/bin/env bash
# The exports read by the programs musicians use:
#
#   scripts/export-test.sh BUILD_DIR
#
# - a playlist page is imported into charts, and so are a real song and a
#   link that hold the marks of the form (meters, sections, endings, segno,
#   "To Coda" and coda, fermatas, "D.S. al Coda", "Fine") with a key and a
#   tempo; so is a link whose title holds control characters, and a chart
#   file is made whose labels and chord qualities hold every control
#   character, NUL included, beside "N.C." alone, beside a chord, repeated
#   and in a hidden bar;
# - each chart (and the example chart) is exported as a LilyPond chord grid,
#   which `lilypond --png` renders without an error or a warning, and as
#   MusicXML, which parses as XML and which MuseScore finds valid and turns
#   into a PDF whose text holds the chords; its page drawn as SVG parses as
#   XML; no export holds a control character but the line feeds that end its
#   lines;
# - MuseScore reads the form from the MusicXML as its own volta brackets,
#   segno and coda markers, jumps, key and time signatures;
# - each chart's iReal Pro link imports again, and for the charts of the
#   playlist and the example, exported again, is the same link.
#
# Without LilyPond, MuseScore or Python (`sh scripts/install-deps test`
# installs them) the test is skipped, with status 77.
set -euo pipefail

build=${1:?"usage: $0 BUILD_DIR"}
root=$(cd "$(dirname "$0")/.." && pwd)
mavrel="$build/mavrel"

for tool in lilypond mscore3 pdftotext python3; do
    command -v "$tool" >/dev/null || { echo "export-test: $tool missing; skipped"; exit 77; }
done

work=$(mktemp -d /tmp/mavrel-export.XXXXXX)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

fail() { echo "export-test: $*" >&2; exit 1; }

"$mavrel" import "$root/tests/data/ireal/jazz-combo.html" -o "$work/charts" >/dev/null 2>"$work/import.log" \
    || fail "import: $(cat "$work/import.log")"
cp "$root/docs/example.bab" "$work/charts/"
"$mavrel" import "$root/tests/data/ireal/still-the-one.html" -o "$work/charts" >/dev/null 2>"$work/import.log" \
    || fail "import: $(cat "$work/import.log")"

# A song holding every mark of the form, its music scrambled as iReal Pro's
# links have it.
form=$(python3 - <<'EOF'
import urllib.parse
music = list('{T34*AC   |SD   |N1E F |G   }|T44*BN2A   |QBb   ]|T12<D.S. al Coda>D-7,G7,fC |QE   |<Fine>f x  Z')
for block in range(0, len(music) - 51, 50):
    for i in range(24):
        if not 5 <= i < 10:
            music[block + i], music[block + 49 - i] = music[block + 49 - i], music[block + i]
song = 'Form, The=Davis Miles==Waltz=Bb-==1r34LbKcu7' + ''.join(music) + '==120=0'
print('irealb://' + urllib.parse.quote(song, safe=''))
EOF
)
"$mavrel" import "$form" -o "$work/charts" >/dev/null 2>"$work/import.log" || fail "form link: $(cat "$work/import.log")"

# Hostile charts: their links are checked to import, not to come back the same
# (a title loses its "=" and its control characters on the way).
mkdir -p "$work/hostile"
"$mavrel" import "irealb://A%01B=Com%07poser==Sw%1Bing=C==1r34LbKcu7[T44C7%20n%20|n%20%20%20|F%20%20%20Z==0=0" \
    -o "$work/hostile" >/dev/null 2>"$work/import.log" || fail "hostile link: $(cat "$work/import.log")"
"$mavrel" new -o "$work/new.bab" || fail "new chart"
python3 - "$work/new.bab" "$work/hostile/controls.bab" <<'EOF'
import struct, sys

chart = bytearray(open(sys.argv[1], 'rb').read())
count = struct.unpack_from('<i', chart, 8)[0]
controls = bytes(range(0x20)) + b'\x7f'

def bar(i):
    return 152 + 72 * (i - 1)

def chord(i, slot, root, quality):
    at = bar(i) + 12 * (slot - 1)
    chart[at:at + 10] = bytes([root, len(quality)]) + quality.ljust(8, b'\0')

def division(i, value, shown=1):
    chart[bar(i) + 48] = value
    chart[bar(i) + 68] = shown

# Dm7 beside N.C., N.C. alone, a hidden bar holding "N.C." (a bar of
# silence), a "%" of it, then qualities holding the control characters, seven
# to a quality; the other bars of the grid are hidden.
chord(1, 1, 3, b'm7\0\x01'); chord(1, 2, 0, b'N.C.'); division(1, 2)
chord(2, 1, 0, b'N.C.'); division(2, 1)
chord(3, 1, 0, b'N.C.'); division(3, 1, shown=0)
division(4, 1)
chord(5, 1, 1, b'7' + controls[:7]); chord(5, 2, 8, b'7' + controls[7:14]); division(5, 2)
chord(6, 1, 6, b'm' + controls[14:21]); chord(6, 2, 10, b'7' + controls[21:28]); division(6, 2)
chord(7, 1, 1, b'6' + controls[28:]); division(7, 1)
for i in range(8, count + 1):
    division(i, 1, shown=0)

x, y = struct.unpack_from('<ii', chart, bar(2) + 60)
labels = [
    (b'Ni\0ght & "Day" <1> \\ = \'x\'' + controls, 150, 40, 18, 1),
    (b'Com\x07poser', 400, 100, 10, 0),
    (b'Sw\x1bing', 70, 100, 10, 0),
    (b'A\x01', 30, y + 20, 12, 1),
    (b'[B] Fi\0ne' + controls, x + 4, y + 3, 7, 0),
]
del chart[bar(count + 1):]
for text, lx, ly, size, bold in labels:
    chart += bytes([len(text)]) + text.ljust(100, b'\0') + bytes(3) + struct.pack('<iiBb', lx, ly, bold, size) + bytes(2)
struct.pack_into('<i', chart, 36, len(labels))
open(sys.argv[2], 'wb').write(chart)
EOF

# Each file parses as XML when it ends in .musicxml or .svg, and holds no
# control character but line feeds (the SVG is Qt's, indented with spaces).
check_files() {
    python3 - "$@" <<'EOF'
import sys, xml.dom.minidom

for name in sys.argv[1:]:
    data = open(name, 'rb').read()
    if name.endswith(('.musicxml', '.svg')):
        try:
            xml.dom.minidom.parseString(data)
        except Exception as e:
            sys.exit(f'{name}: not XML: {e}')
    bad = sorted({b for b in data if (b < 0x20 and b != 0x0A) or b == 0x7F})
    if bad:
        sys.exit(f'{name}: control characters {", ".join(f"0x{b:02X}" for b in bad)}')
EOF
}

count=0
for chart in "$work"/charts/*.bab "$work"/hostile/*.bab; do
    name=$(basename "$chart" .bab)
    out="$work/out/$name"
    mkdir -p "$out"

    "$mavrel" export "$chart" -o "$out/grid.ly" || fail "$name: LilyPond export"
    lilypond --png -o "$out/grid" "$out/grid.ly" >"$out/lilypond.log" 2>&1 \
        || fail "$name: lilypond: $(tail -5 "$out/lilypond.log")"
    ! grep -qiE "warning|error|avertissement|erreur" "$out/lilypond.log" \
        || fail "$name: lilypond: $(grep -iE "warning|error|avertissement|erreur" "$out/lilypond.log")"
    # A long song takes pages, one picture each.
    [ -s "$out/grid.png" ] || [ -s "$out/grid-page1.png" ] || fail "$name: lilypond wrote no picture"

    "$mavrel" export "$chart" -o "$out/chart.musicxml" || fail "$name: MusicXML export"
    mscore3 -o "$out/chart.pdf" "$out/chart.musicxml" >"$out/mscore.log" 2>&1 \
        || fail "$name: MuseScore: $(tail -5 "$out/mscore.log")"
    ! grep -q "not a valid MusicXML file" "$out/mscore.log" \
        || fail "$name: MuseScore finds the MusicXML invalid"
    [ -s "$out/chart.pdf" ] || fail "$name: MuseScore wrote no PDF"

    "$mavrel" render "$chart" -o "$out/page.svg" || fail "$name: SVG"
    "$mavrel" export "$chart" -o "$out/link.txt" || fail "$name: iReal export"
    check_files "$out/grid.ly" "$out/chart.musicxml" "$out/page.svg" "$out/link.txt" || fail "$name: see above"

    "$mavrel" import "$out/link.txt" -o "$out/again" >/dev/null 2>&1 || fail "$name: the link does not import"
    if [ "$(dirname "$chart")" = "$work/charts" ]; then
        "$mavrel" export "$out"/again/*.bab -o "$out/link2.txt" || fail "$name: iReal export again"
        cmp -s "$out/link.txt" "$out/link2.txt" || fail "$name: the link changes through an import"
    fi
    count=$((count + 1))
done
[ "$count" -ge 11 ] || fail "only $count charts"

# MuseScore's own score of the form: the brackets of both endings, the segno,
# "To Coda" and the coda as markers, "D.S. al Coda" jumping to the segno and
# on to the coda, "Fine", Bb minor's five flats, the meters, a fermata; and
# of the real songs, Ipanema's endings and Moanin's jump to its segno.
mscore() {
    mscore3 -o "$work/score.mscx" "$work/out/$1/chart.musicxml" >"$work/mscore.log" 2>&1 \
        || fail "$1: MuseScore: $(tail -5 "$work/mscore.log")"
    shift
    for element in "$@"; do
        grep -qF "$element" "$work/score.mscx" || fail "MuseScore's score lacks $element"
    done
}
mscore "The Form" '<endings>1</endings>' '<endings>2</endings>' '<label>segno</label>' '<label>coda</label>' \
    '<label>codab</label>' '<jumpTo>segno</jumpTo>' '<playUntil>coda</playUntil>' '<label>fine</label>' \
    '<accidental>-5</accidental>' '<sigN>3</sigN>' '<sigN>12</sigN>' '<Fermata>'
mscore "The Girl From Ipanema" '<endings>1</endings>' '<endings>2</endings>'
mscore "Moanin'" '<label>segno</label>' '<jumpTo>segno</jumpTo>' '<label>fine</label>'

# The chords themselves reach MuseScore's page, and "N.C." alone.
text=$(pdftotext "$work/out/example/chart.pdf" -)
for chord in Cm7 F7 Gm; do
    grep -q "$chord" <<<"$text" || fail "MuseScore's page of the example lacks $chord"
done
text=$(pdftotext "$work/out/controls/chart.pdf" -)
grep -qF 'Night & "Day" <1> \ = '"'x'" <<<"$text" || fail "MuseScore's page lacks the title: $text"
[ "$(grep -o "N\.C\." <<<"$text" | wc -l)" -eq 4 ] || fail "MuseScore's page lacks an N.C.: $text"
! grep -q "[A-G]N\.C\." <<<"$text" || fail "MuseScore shows N.C. with a root: $text"
echo "export-test: $count charts read by LilyPond and MuseScore, links stable"
