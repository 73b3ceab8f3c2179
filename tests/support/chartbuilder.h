// Charts for tests, typed the way a musician types them in "Saisie au
// clavier":
//
//     auto chart = ChartBuilder(4, 2)
//                      .bars({"Dm7 G7", "Cmaj7", "%", "N.C."})
//                      .signs(1, 1, 0)
//                      .label("Titre", 200, 40, 18, true)
//                      .build();
//
// Every test that needs a chart with content starts here rather than filling
// records by hand.
#pragma once

#include "document/chart.h"
#include "document/chordtext.h"
#include "document/editing.h"
#include "document/layout.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace mavrel::test {

class ChartBuilder {
public:
    // A new chart ("%" in every bar, no labels) with the grid given, laid out.
    explicit ChartBuilder(int columns = 4, int rows = 8) : m_chart(std::make_unique<Chart>())
    {
        resetChart(*m_chart);
        m_chart->info.columns = columns;
        m_chart->info.rows = rows;
        layoutChart(*m_chart);
    }

    // Bar `i` (1-based) as typed, with its signs and marks: "Dm7 G7",
    // "Dm7. G7 C7", "%", "N.C.", "[A] |: Cmaj7 :| <D.C.>". A text the typing
    // box would refuse fails the test.
    ChartBuilder& bar(int i, std::string_view typed)
    {
        const TypedBar t = readBar(typed);
        if (!t.error.empty()) {
            ADD_FAILURE() << "ChartBuilder: \"" << typed << "\": " << t.error.text();
            return *this;
        }
        storeTypedBar(m_chart->bar(i), m_chart->song.bar(i), t);
        return *this;
    }
    // Bars `first`, `first` + 1... as typed.
    ChartBuilder& bars(std::initializer_list<std::string_view> typed, int first = 1)
    {
        for (std::string_view t : typed)
            bar(first++, t);
        return *this;
    }
    // Bar-line signs: left 0 none, 1 start repeat, 2 double bar; right 0, 1 end
    // repeat, 2 double bar; top and bottom 1 for a second line.
    ChartBuilder& signs(int i, int left, int right, int top = 0, int bottom = 0)
    {
        Bar& b = m_chart->bar(i);
        b.left = static_cast<std::int16_t>(left);
        b.right = static_cast<std::int16_t>(right);
        b.top = static_cast<std::int16_t>(top);
        b.bottom = static_cast<std::int16_t>(bottom);
        return *this;
    }
    ChartBuilder& hidden(int i)
    {
        m_chart->bar(i).shown = 0;
        return *this;
    }
    // The marks of bar `i`'s place in the form.
    ChartBuilder& section(int i, std::string_view name)
    {
        setText(m_chart->song.bar(i).section, name);
        return *this;
    }
    ChartBuilder& ending(int i, int n)
    {
        m_chart->song.bar(i).ending = static_cast<std::uint8_t>(n);
        return *this;
    }
    // SegnoFlag, CodaFlag, FermataFlag.
    ChartBuilder& flags(int i, int flags)
    {
        m_chart->song.bar(i).flags = static_cast<std::uint8_t>(flags);
        return *this;
    }
    ChartBuilder& direction(int i, Direction direction)
    {
        m_chart->song.bar(i).direction = direction;
        return *this;
    }
    // The meter from bar `i` on; from the first bar when `i` is 0.
    ChartBuilder& meter(int i, int beats, int unit)
    {
        const TimeSignature t{static_cast<std::uint8_t>(beats), static_cast<std::uint8_t>(unit)};
        (i == 0 ? m_chart->song.time : m_chart->song.bar(i).time) = t;
        return *this;
    }
    // The song's style text (UTF-8) and tempo (0: none).
    ChartBuilder& style(std::string_view text, int tempo = 0)
    {
        setText(m_chart->song.style, text);
        m_chart->song.tempo = static_cast<std::uint16_t>(tempo);
        return *this;
    }
    // The song's title and composer (UTF-8).
    ChartBuilder& title(std::string_view title, std::string_view composer = {})
    {
        setText(m_chart->song.title, title);
        setText(m_chart->song.composer, composer);
        return *this;
    }
    // A label, its text in Windows-1252.
    ChartBuilder& label(std::string_view text, int x, int y, int size = 10, bool bold = false)
    {
        EXPECT_TRUE(commitLabel(*m_chart, text, x, y, size, bold)) << "ChartBuilder: too many labels";
        return *this;
    }
    ChartBuilder& flag(int i, BarFlag flag)
    {
        m_chart->song.bar(i).flags |= flag;
        return *this;
    }
    // Bars `first` to `last` under the bracket of ending `number`.
    ChartBuilder& ending(int first, int last, int number)
    {
        for (int i = first; i <= last; ++i)
            ending(i, number);
        return *this;
    }
    // How the chords are drawn, and whether they fill their places.
    ChartBuilder& chords(ChordStyle style, bool autoSize = false)
    {
        m_chart->song.chordStyle = style;
        m_chart->song.autoSize = autoSize ? 1 : 0;
        return *this;
    }
    ChartBuilder& landscape()
    {
        std::swap(m_chart->info.pageWidth, m_chart->info.pageHeight);
        layoutChart(*m_chart);
        return *this;
    }
    // For what the builder does not say: change the chart, then build().
    Chart& chart() { return *m_chart; }

    std::unique_ptr<Chart> build()
    {
        layoutChart(*m_chart);
        return std::move(m_chart);
    }

private:
    std::unique_ptr<Chart> m_chart;
};

} // namespace mavrel::test
