// Chord symbols as drawn: the Jazz spelling of every kind of quality, the
// glyphs a PDF gets, the plain page left as it was, and chords sized to fill
// their places without crossing their lines.
#include "support/chartbuilder.h"
#include "render/canvas.h"
#include "render/chordplaces.h"
#include "render/chordtype.h"
#include "render/page.h"

#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mavrel {
namespace {

using namespace test;

Chord typed(std::string_view text)
{
    const TypedChord t = readChord(text);
    EXPECT_TRUE(t.error.empty()) << text;
    return t.chord;
}

// "B♭^7[♭9,♯11]/A♭": root, "^" and the raised quality, the alterations,
// the bass.
std::string spelled(const JazzChord& j)
{
    if (j.repeat)
        return "%";
    std::string s = j.root + j.accidental;
    if (!j.quality.empty())
        s += "^" + j.quality;
    if (!j.alterations.empty()) {
        s += "[";
        for (std::size_t k = 0; k < j.alterations.size(); ++k)
            s += (k ? "," : "") + j.alterations[k];
        s += "]";
    }
    if (!j.bass.empty())
        s += "/" + j.bass + j.bassAccidental;
    return s;
}

TEST(Typography, QualitiesAsLeadSheetsWriteThem)
{
    ChordSymbols spelledOut;
    spelledOut.major = ChordSymbols::Major::Maj;
    spelledOut.minor = ChordSymbols::Minor::M;
    spelledOut.halfDiminished = ChordSymbols::HalfDiminished::Spelled;
    spelledOut.diminished = ChordSymbols::Diminished::Dim;
    spelledOut.augmented = ChordSymbols::Augmented::Aug;
    struct Row {
        const char* typed;
        const char* symbols;      // with the default symbols
        const char* words;        // with every choice spelled out
    };
    const Row rows[] = {
        {"C", "C", "C"},
        {"Cm", "C^−", "C^m"},
        {"C7", "C^7", "C^7"},
        {"Cmaj7", "C^Δ7", "C^maj7"},
        {"CΔ", "C^Δ7", "C^maj7"},
        {"C^9", "C^Δ9", "C^maj9"},
        {"Dm7", "D^−7", "D^m7"},
        {"CmM7", "C^−Δ7", "C^mmaj7"},
        {"Bbm7b5", "B♭^ø", "B♭^m7♭5"},
        {"F#ø", "F♯^ø", "F♯^m7♭5"},
        {"Ebdim7", "E♭^°7", "E♭^dim7"},
        {"C+", "C^+", "C^aug"},
        {"G7b9", "G^7[♭9]", "G^7[♭9]"},
        {"G7b9#11", "G^7[♭9,♯11]", "G^7[♭9,♯11]"},
        {"G7(b9,#5)", "G^7[♭9,♯5]", "G^7[♭9,♯5]"},
        {"G7alt", "G^7alt", "G^7alt"},
        {"C7sus4", "C^7sus4", "C^7sus4"},
        {"Cadd9", "C[add9]", "C[add9]"},
        {"C6/9", "C^6/9", "C^6/9"},
        {"C/E", "C/E", "C/E"},
        {"Bb7/Ab", "B♭^7/A♭", "B♭^7/A♭"},
        {"N.C.", "N.C.", "N.C."},
        {"%", "%", "%"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.typed);
        const Chord c = typed(r.typed);
        EXPECT_EQ(spelled(jazzChord(c, ChordSymbols{})), r.symbols);
        EXPECT_EQ(spelled(jazzChord(c, spelledOut)), r.words);
    }
}

// The glyphs a PDF holds for a chart's chords: each character with its font
// size and baseline, in the order drawn.
struct PdfChar {
    QString c;
    double size;
    double x, baseline;
};

std::vector<PdfChar> pdfChars(const Chart& chart)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("page.pdf"));
    {
        QPdfWriter writer(file);
        writer.setResolution(96);
        QPainter painter(&writer);
        paintPage(painter, chart, Selection{}, false);
    }
    QProcess mutool;
    mutool.start(QStringLiteral("mutool"), {QStringLiteral("draw"), QStringLiteral("-F"), QStringLiteral("stext"),
                                            QStringLiteral("-o"), QStringLiteral("-"), file});
    EXPECT_TRUE(mutool.waitForFinished(30000)) << "mutool (mupdf-tools) is needed";
    const QString xml = QString::fromUtf8(mutool.readAllStandardOutput());
    std::vector<PdfChar> chars;
    double size = 0;
    static const QRegularExpression tag(
        QStringLiteral(R"re(<font [^>]*size="([0-9.]+)"|<char [^>]*x="([-0-9.]+)" y="([-0-9.]+)"[^>]* c="([^"]*)")re"));
    for (auto m = tag.globalMatch(xml); m.hasNext();) {
        const QRegularExpressionMatch t = m.next();
        if (!t.captured(1).isEmpty()) {
            size = t.captured(1).toDouble();
            continue;
        }
        QString c = t.captured(4);
        if (c.startsWith(QStringLiteral("&#x")))
            c = QString(QChar(c.mid(3, c.size() - 4).toUInt(nullptr, 16)));
        else if (c == QStringLiteral("&amp;"))
            c = QStringLiteral("&");
        chars.push_back({c, size, t.captured(2).toDouble(), t.captured(3).toDouble()});
    }
    return chars;
}

QString textOf(const std::vector<PdfChar>& chars)
{
    QString s;
    for (const PdfChar& c : chars)
        s += c.c;
    return s;
}

// Flats and sharps are the music signs in Jazz, letters in Classique; the
// quality's glyphs are smaller than the root's and stand higher.
TEST(Typography, PdfHoldsRealSignsAndRaisedQualities)
{
    auto classic = ChartBuilder(2, 2).bars({"Bb7", "F#m7", "Ebmaj7", "C/E"}).build();
    EXPECT_EQ(textOf(pdfChars(*classic)), QStringLiteral("Bb7F#m7EbM7C/E"));

    auto jazz = ChartBuilder(2, 2).bars({"Bb7", "F#m7", "Ebmaj7", "C/E"}).chords(ChordStyle::Jazz).build();
    const std::vector<PdfChar> chars = pdfChars(*jazz);
    EXPECT_EQ(textOf(chars), QStringLiteral("B♭7F♯−7E♭Δ7C/E"));
    ASSERT_EQ(chars.size(), 14u);
    for (int root : {0, 3, 7}) {
        SCOPED_TRACE(chars[std::size_t(root)].c.toStdString());
        const PdfChar& r = chars[std::size_t(root)];
        const PdfChar& sign = chars[std::size_t(root) + 1];
        const PdfChar& quality = chars[std::size_t(root) + 2];
        EXPECT_LT(sign.size, r.size);
        EXPECT_LT(quality.size, 0.8 * r.size);
        EXPECT_LT(quality.baseline, r.baseline - 0.2 * r.size) << "raised";
        EXPECT_GT(quality.x, sign.x);
    }
    // The bass sits on the root's baseline.
    EXPECT_EQ(chars[13].baseline, chars[11].baseline);
}

// The plain page is what it always was, whatever the Jazz symbols are.
TEST(Typography, ClassicPageIgnoresTheSymbols)
{
    auto chart = ChartBuilder(4, 3).bars({"Bb7", "F#m7 B7", "Ebmaj7 Dm7 G7 C", "Dm7. G7 C7", "C/E"}).build();
    Page page;
    page.draw(*chart, Selection{}, false);
    const QImage before = page.image().copy();
    ChordSymbols other;
    other.major = ChordSymbols::Major::Maj;
    other.bass = ChordSymbols::Bass::Below;
    setChordSymbols(other);
    page.draw(*chart, Selection{}, false);
    setChordSymbols(ChordSymbols{});
    EXPECT_TRUE(page.image() == before);
}

// Where a chord's ink may go: its room, less a pixel of smoothing.
struct Overflow {
    int pixels = 0;
    std::string where;
};

Overflow inkOutsideRooms(const Chart& chart)
{
    const GridInfo& g = chart.info;
    const PageChords chords = pageChords(chart);
    QImage image(pageSize(chart), QImage::Format_RGB32);
    Overflow out;
    for (int i = 1; i <= g.count; ++i) {
        const Bar& bar = chart.bar(i);
        const ChordPlaces places = chordPlaces(bar, g.barWidth, g.barHeight, chords);
        for (int k = 0; k < places.count; ++k) {
            const ChordPlace& p = places.places[k];
            image.fill(Qt::white);
            Canvas canvas;   // the chord alone
            canvas.setImage(&image);
            for (const GlyphRun& run : p.typeset->runs)
                canvas.glyphRun(p.origin + run.origin, run);
            const ChordRoom room = chordRoom(bar, g.barWidth, g.barHeight, p.slot);
            // Ink strays no further than a bar away.
            const QRect near = QRect(bar.x - g.barWidth, bar.y - g.barHeight, 3 * g.barWidth, 3 * g.barHeight)
                & image.rect();
            for (int y = near.top(); y <= near.bottom(); ++y)
                for (int x = near.left(); x <= near.right(); ++x)
                    if (qGray(image.pixel(x, y)) < 160 && !room.contains(QPointF(x + 0.5, y + 0.5), 1.5)) {
                        if (out.pixels++ == 0)
                            out.where = "bar " + std::to_string(i) + " slot " + std::to_string(p.slot) + " at "
                                + std::to_string(x) + "," + std::to_string(y);
                    }
        }
    }
    return out;
}

TEST(Typography, AutoSizeFillsPlacesWithoutCrossingTheirLines)
{
    struct Row {
        int columns, rows;
        bool landscape;
        ChordStyle style;
    };
    const Row rows[] = {
        {4, 8, false, ChordStyle::Jazz},
        {2, 3, false, ChordStyle::Jazz},
        {8, 12, true, ChordStyle::Jazz},
        {4, 8, false, ChordStyle::Classic},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.columns) + "x" + std::to_string(r.rows));
        ChartBuilder b(r.columns, r.rows);
        if (r.landscape)
            b.landscape();
        b.bars({"Ebmaj7#11", "Dm7 G7b9#11", "C#m7 F#7 Bm7 E7", "Dm7. G7 C7/E", "Bbm7b5 Eb7 AbM7", "%", "N.C.", "G7alt/B"})
            .signs(1, 1, 1, 1, 1)
            .signs(3, 2, 2);
        auto fitted = b.chords(r.style, true).build();
        const Overflow o = inkOutsideRooms(*fitted);
        EXPECT_EQ(o.pixels, 0) << o.where;
    }
    // Bars of one or two chords leave room for more than the chart's own size.
    auto roomy = ChartBuilder(4, 8).bars({"Dm7 G7b9", "Cmaj7", "A7alt", "C/E"}).chords(ChordStyle::Jazz, true).build();
    EXPECT_GT(pageChords(*roomy).pixels, 3 * pointsToPixels(chordPoints(*roomy)) / 2);
    EXPECT_EQ(inkOutsideRooms(*roomy).pixels, 0);
}

} // namespace
} // namespace mavrel
