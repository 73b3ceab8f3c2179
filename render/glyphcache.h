// Texts laid out once and drawn from the black runs of their glyphs, exactly
// as QPainter::drawText draws them in the non-antialiased face. A glyph drawn
// from Qt's bitmaps (up to 48 points) or larger than 72 points is rasterised
// once per size and weight, and the texts share it; so the cost of a chart's
// texts grows with the glyphs it uses rather than with its distinct texts.
// Outlines in between are shared by the texts that place them alike.
#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRawFont>
#include <QRect>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mavrel {

// DejaVu Sans of `pixels` pixels, as every surface draws the page's texts:
// that font alone, and one glyph a character. Shaping would join "fi" or
// "ff" into one ligature glyph, which a PDF then gives back as a character of
// its own ("ﬁne" for "fine") that no search finds.
QFont pageFont(int pixels, bool bold);

class GlyphCache {
public:
    // The black pixels of one glyph as horizontal runs, relative to its pen
    // position on the baseline (rounded down), and the box holding them.
    struct Glyph {
        struct Run {
            std::int16_t y, x1, x2;   // x1 included, x2 excluded
        };
        std::vector<Run> runs;
        int left = 0, top = 0, right = 0, bottom = 0;   // right and bottom excluded
    };

    // One glyph of a laid-out text: its pen position from the cell's
    // top-left corner, and its pixels once something asked for them.
    struct Placed {
        int x = 0;
        int y = 0;
        double exactX = 0;            // x with the fraction of a pixel Qt placed it at
        std::uint32_t index = 0;
        const Glyph* glyph = nullptr;
    };

    struct Text {
        int width = 0;
        int height = 0;
        int ascent = 0;               // the baseline, from the cell's top
        int pixels = 0;
        std::uint32_t face = 0;
        std::vector<Placed> glyphs;
    };

    GlyphCache();
    ~GlyphCache();
    GlyphCache(const GlyphCache&) = delete;
    GlyphCache& operator=(const GlyphCache&) = delete;

    // The layout of a Windows-1252 text in DejaVu Sans of `pixels` pixels.
    // Stays valid until the next call.
    Text& text(int pixels, bool bold, std::string_view win1252);
    // The pixels of a placed glyph of `text`, rasterised on first use: ink
    // further than `pixels` outside the text's cell is not kept. Throws
    // std::bad_alloc when a scratch image cannot be had.
    const Glyph& glyph(const Text& text, Placed& placed);

private:
    struct Face {
        QFont font;
        QRawFont raw;
        int ascent = 0;
        // Sizes that Qt draws as filled outlines rather than from bitmaps.
        bool outlines = false;
    };
    // A glyph of a face, drawn where it is in a text or anywhere.
    struct GlyphKey {
        std::uint32_t face = 0;
        std::uint32_t index = 0;
        std::int64_t x = -1;          // pen position in 64ths of a pixel, -1 for anywhere
        std::int32_t y = 0;
        bool operator==(const GlyphKey&) const = default;
    };
    struct GlyphKeyHash {
        std::size_t operator()(const GlyphKey& k) const;
    };

    Face& face(std::uint32_t key, int pixels, bool bold);
    void rasterise(const Face& face, std::uint32_t index, QPointF pen, QPoint origin, QRect limit,
                   Glyph& g);
    void clear();

    std::unordered_map<std::uint32_t, std::unique_ptr<Face>> m_faces;
    std::unordered_map<std::string, std::unique_ptr<Text>> m_texts;
    std::unordered_map<GlyphKey, std::unique_ptr<Glyph>, GlyphKeyHash> m_glyphs;
    std::size_t m_runs = 0;           // runs held by the cached glyphs
    QImage m_scratch;
};

} // namespace mavrel
