// Chord symbols as they are drawn. A chord becomes runs of glyphs, each at
// its own size and height about the chord's baseline, and a few shapes; the
// page places the whole by its anchor and every surface draws the same runs,
// so the screen, pictures, PDF, SVG and paper agree glyph for glyph.
//
// "Classique" is the chord as plain text, root and quality in one font and
// size. "Jazz" is the chord as lead sheets print it: the root full size with
// real flat and sharp signs, the quality smaller and raised, alterations
// stacked or in parentheses, the bass after a slash or below a rule, and the
// repeat sign drawn as the one-bar simile mark.
#pragma once

#include "document/chart.h"
#include "document/song.h"

#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mavrel {

// How the Jazz style writes the qualities: the user's choice, not the chart's.
struct ChordSymbols {
    enum class Major : std::uint8_t { Triangle, Maj };             // "Δ7" or "maj7"
    enum class Minor : std::uint8_t { Dash, M };                   // "−7" or "m7"
    enum class HalfDiminished : std::uint8_t { Slashed, Spelled }; // "ø" or "m7♭5"
    enum class Diminished : std::uint8_t { Circle, Dim };          // "°7" or "dim7"
    enum class Augmented : std::uint8_t { Plus, Aug };             // "+" or "aug"
    enum class Alterations : std::uint8_t { Stacked, Parentheses };
    enum class Bass : std::uint8_t { Slash, Below };

    Major major = Major::Triangle;
    Minor minor = Minor::Dash;
    HalfDiminished halfDiminished = HalfDiminished::Slashed;
    Diminished diminished = Diminished::Circle;
    Augmented augmented = Augmented::Plus;
    Alterations alterations = Alterations::Stacked;
    Bass bass = Bass::Slash;

    bool operator==(const ChordSymbols&) const = default;
};

// The symbols every page is drawn with until the application says otherwise:
// a copy, as another thread may change them at any time.
ChordSymbols chordSymbols();
void setChordSymbols(const ChordSymbols& symbols);

// The command line's choice of style for every page it draws, whatever the
// charts say; nothing for each chart's own.
void setChordStyleOverride(std::optional<ChordStyle> style);
std::optional<ChordStyle> chordStyleOverride();

// A chord as the Jazz style spells it, in UTF-8, before any measuring.
struct JazzChord {
    bool repeat = false;              // "%": the simile mark
    std::string root;                 // "B", or "N.C."
    std::string accidental;           // "♭", "♯" or nothing
    std::string quality;              // small and raised: "−7", "Δ9", "ø", "°7", "7sus4"
    std::vector<std::string> alterations;   // "♭9", "♯11", in the order typed
    std::string bass;                 // "E", or nothing
    std::string bassAccidental;
};
JazzChord jazzChord(const Chord& chord, const ChordSymbols& symbols);

// One run of glyphs in DejaVu Sans, positions from the chord's origin, the
// left end of its baseline.
struct GlyphRun {
    int pixels = 0;
    bool bold = false;
    QString text;
    QList<quint32> indexes;
    QList<QPointF> positions;
    QPointF origin;                   // the run's pen position
};

struct TypesetChord {
    std::vector<GlyphRun> runs;
    // Filled outlines (the simile mark, the rule over a bass), each closed.
    std::vector<std::vector<QPointF>> shapes;
    // Where ink may fall, from the origin: the union of the glyphs' boxes.
    QRectF ink;
    // The root's capitals: from the baseline up to this height (negative).
    double capTop = 0;
};

// DejaVu Sans of `pixels` pixels, opened once a thread.
const QRawFont& rawPageFont(int pixels, bool bold);

// The chord at a root of `pixels` pixels. Classic is the chord's text in one
// run, as the plain page writes it.
std::shared_ptr<const TypesetChord> typesetChord(const Chord& chord, ChordStyle style, const ChordSymbols& symbols,
                                                int pixels, bool bold);

} // namespace mavrel
