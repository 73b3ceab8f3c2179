// A chart that holds every mark of the form, and every field of its song
// but how its chords are drawn: what the exporters write and links carry.
#pragma once

#include "support/chartbuilder.h"

namespace mavrel::test {

// Ten bars on three rows in 3/4, 4/4 from bar 5, 12/8 from bar 7, in Bb
// minor: a repeat with two endings, sections A, Intro and Solo, a segno, a
// "To Coda" and its coda, "D.S. al Coda", "Fine", and fermatas on a chord
// and on a "%" bar.
inline std::unique_ptr<Chart> formChart()
{
    ChartBuilder b(4, 3);
    b.bars({"C", "D", "E F", "G", "A", "Bb", "C", "Dm7 G7 C", "E", "%"})
        .signs(1, 1, 0)
        .signs(4, 0, 1)
        .signs(6, 0, 2)
        .signs(10, 0, 2)
        .section(1, "A")
        .section(5, "Intro")
        .section(7, "Solo")
        .ending(3, 4, 1)
        .ending(5, 6, 2)
        .flag(2, SegnoFlag)
        .flag(9, CodaFlag)
        .flag(8, FermataFlag)
        .flag(10, FermataFlag)
        .direction(6, Direction::ToCoda)
        .direction(8, Direction::DalSegnoAlCoda)
        .direction(10, Direction::Fine)
        .meter(0, 3, 4)
        .meter(5, 4, 4)
        .meter(7, 12, 8)
        .style("Waltz", 120);
    Chart& c = b.chart();
    setText(c.song.title, "The Form");
    setText(c.song.composer, "Miles Davis");
    c.song.key = Key{11, 1, 1};
    for (int i = 11; i <= 12; ++i)
        b.hidden(i);
    return b.build();
}

} // namespace mavrel::test
