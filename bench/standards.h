// The tunes the book's benchmarks are made of: charts of four columns, one to
// four chords a bar, titles with accents, some with a composer, a style and a
// tempo, some without, each in its key.
#pragma once

#include "document/chart.h"
#include "document/editing.h"
#include "document/layout.h"

#include <memory>
#include <string>

namespace mavrel::bench {

// Tune `n` on `rows` rows of four bars.
inline std::unique_ptr<Chart> standard(int n, int rows)
{
    auto c = std::make_unique<Chart>();
    resetChart(*c);
    c->info.columns = 4;
    c->info.rows = std::uint8_t(rows);
    for (int i = 1; i <= c->info.columns * c->info.rows; ++i) {
        Bar& b = c->bar(i);
        b.division = std::uint8_t(1 + (i + n) % 4);
        b.left = std::int16_t(i % 8 == 1);
        for (int s = 1; s <= 4; ++s) {
            b.slot(s).root = std::uint8_t(1 + (i * 5 + s + n) % 12);
            b.slot(s).flat = std::uint8_t(s % 2);
            b.slot(s).quality.assign(s == 2 ? "m7" : (n + s) % 3 ? "7" : "maj7");
        }
    }
    setText(c->song.title, (n % 3 ? "\xC3\x89toile n\xC2\xB0 " : "Standard ") + std::to_string(n));
    if (n % 4)
        setText(c->song.composer, "Compositeur " + std::to_string(n % 17));
    if (n % 5)
        setText(c->song.style, n % 2 ? "Bossa Nova" : "Medium Swing");
    c->song.tempo = std::uint16_t(n % 7 ? 60 + n % 180 : 0);
    c->song.key = {std::uint8_t(1 + n % 12), std::uint8_t(n % 2), 0};
    layoutChart(*c);
    return c;
}

} // namespace mavrel::bench
