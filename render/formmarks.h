// The marks of the song's form over the bars of the page: a section's name
// in a box astride the bar's top-left corner, segno and coda beside it, the
// bracket of an ending along the bar's top with its number, the meter at the
// start and where it changes, a fermata over the bar's last chord, and a
// direction under the bar's right end. Everything is sized from the bars and
// the chords, so that big grids and small read alike, and placed where the
// bar-line signs and the chords leave room.
#pragma once

#include "chordplaces.h"

#include <QPointF>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace mavrel {

class PageSurface;
struct Chart;

class FormMarks {
public:
    // For a laid-out chart whose chords are drawn as `chords` says, on
    // `surface`, which measures the texts.
    FormMarks(PageSurface& surface, const Chart& chart, const PageChords& chords);

    // Nothing to draw: the page comes out exactly as a chart without a song.
    bool empty() const { return m_empty; }

    // The marks of shown bar `n`, at `column` of its row, drawn over it in
    // the brush it was drawn in. Before the next bar, so that what reaches
    // past its top and left edges lies over the bars drawn already. Leaves
    // the font regular and 8 points.
    void draw(int n, int column);

    // A sign's outlines around its origin, made once a page for its size:
    // each turned clockwise on the page, so that where two overlap they stay
    // ink, and a hole the other way.
    struct Shape {
        std::vector<QPointF> points;
        std::vector<int> sizes;
        void add(const std::vector<QPointF>& outline, bool hole = false);
    };

private:
    // Right end of the marks astride the corner, and the bottom of the bar's
    // top band they take; the bar's corner when there are none.
    struct Corner {
        int right;
        int bottom;
    };
    // Where a chord stands as the bar draws it: its columns, the top of its
    // capitals and its baseline.
    struct ChordBox {
        int left, right;
        int top, baseline;
    };
    // The top of the capitals and the lowest baseline of the chords that
    // stand between two columns; INT_MAX and INT_MIN for none.
    struct Ink {
        int top;
        int bottom;
    };

    void measureChords(int n);
    Ink chordInk(int left, int right) const;
    Corner drawCorner(int n, int column);
    // Returns the bottom of what it took of the bar's top band.
    int drawEnding(int n, Corner corner);
    void drawMeter(int n, int column);
    void drawFermata(int n, int top);
    void drawDirection(int n);
    void paint(const Shape& sign, QPointF at);
    void fillBlack(int x1, int y1, int x2, int y2);

    PageSurface& m_surface;
    const Chart& m_chart;
    PageChords m_pageChords;
    bool m_empty = true;
    // Sizes in page pixels, and in points for texts.
    int m_chordPoints = 0;
    int m_markPoints = 0;        // ending numbers and directions
    int m_sectionPoints = 0;
    int m_meterPoints = 0;       // the meter in the side margin
    int m_rowHeight = 0;         // the section box, and the signs beside it
    int m_bracketRow = 0;        // the ending's line, below the bar's top
    // The bar being drawn's chords.
    ChordBox m_chords[4] = {};
    int m_chordCount = 0;
    Shape m_segno;
    Shape m_coda;
    std::map<int, Shape> m_fermatas;   // by width in quarter pixels
    std::vector<QPointF> m_placed;
};

// A UTF-8 text of the song as the page's Windows-1252 draws it: what that
// cannot hold as "?", control characters dropped.
std::string pageText(std::string_view utf8);

} // namespace mavrel
