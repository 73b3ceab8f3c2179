// Writes a few valid charts into a folder, as the starting corpus of the
// fuzz target: fresh, landscape with labels, the largest chart with odd
// values in every record, the smallest grid, and charts that cost the most
// to draw: 500-point chords of 2,000 different qualities, the largest page,
// labels of 100 characters at 127 points, and labels at the ends of the int
// range.
#include "document/chartfile.h"
#include "document/layout.h"

#include <cstdio>
#include <limits>
#include <memory>
#include <random>
#include <string>

using namespace mavrel;

namespace {

bool save(const Chart& chart, const std::string& folder, const char* name)
{
    const FileResult r = saveChart(chart, folder + "/" + name);
    if (!r.ok)
        std::fprintf(stderr, "%s: %s\n", name, r.message.text().c_str());
    return r.ok;
}

void addLabels(Chart& chart, int count)
{
    for (int j = 1; j <= count; ++j) {
        TextLabel& t = chart.label(j);
        t.text.assign("Label " + std::to_string(j));
        t.x = 20 * j;
        t.y = 10 + j;
        t.bold = static_cast<std::uint8_t>(j % 2);
        t.size = static_cast<std::int8_t>(8 + j % 20);
    }
    chart.info.labelCount = count;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    auto chart = std::make_unique<Chart>();
    bool ok = true;

    resetChart(*chart);
    ok &= save(*chart, folder, "fresh.bab");

    chart->info.pageWidth = 800;
    chart->info.pageHeight = 565;
    chart->info.columns = 6;
    chart->info.rows = 4;
    chart->bar(3).division = 3;
    chart->bar(3).slot(2).root = 5;
    chart->bar(3).slot(2).quality.assign("m7");
    chart->bar(4).left = 1;
    chart->bar(4).right = 2;
    addLabels(*chart, 3);
    layoutChart(*chart);
    ok &= save(*chart, folder, "landscape.bab");

    std::mt19937 random(1);
    for (Bar& bar : chart->bars)
        for (std::size_t i = 0; i < sizeof bar; ++i)
            reinterpret_cast<unsigned char*>(&bar)[i] = static_cast<unsigned char>(random());
    chart->info.columns = 5;
    chart->info.rows = 100;
    addLabels(*chart, MaxLabels);
    chart->label(7).size = -3;
    chart->label(8).text.len = 255;
    layoutChart(*chart);
    ok &= save(*chart, folder, "full.bab");

    resetChart(*chart);
    chart->info.columns = 1;
    chart->info.rows = 1;
    chart->info.topMargin = chart->info.bottomMargin = chart->info.sideMargin = 0;
    layoutChart(*chart);
    ok &= save(*chart, folder, "single.bab");

    resetChart(*chart);
    chart->info.fontSize = 500;
    chart->info.columns = 20;
    chart->info.rows = 25;
    layoutChart(*chart);
    int quality = 0;
    for (Bar& bar : chart->bars) {
        bar.division = 3;
        for (int s = 1; s <= 4; ++s, ++quality) {
            char name[16];
            std::snprintf(name, sizeof name, "q%07d", quality);
            bar.slot(s).root = static_cast<std::uint8_t>(1 + quality % 12);
            bar.slot(s).quality.assign(name);
        }
    }
    ok &= save(*chart, folder, "huge-chords.bab");

    resetChart(*chart);
    chart->info.pageWidth = 10000;
    chart->info.pageHeight = 10000;
    layoutChart(*chart);
    ok &= save(*chart, folder, "huge-page.bab");

    resetChart(*chart);
    for (int j = 1; j <= MaxLabels; ++j) {
        TextLabel& t = chart->label(j);
        std::string text;
        for (int k = 0; k < 100; ++k)
            text += static_cast<char>('A' + (j + k) % 26);
        t.text.assign(text);
        t.x = j;
        t.y = 7 * j;
        t.bold = static_cast<std::uint8_t>(j % 2);
        t.size = 127;
    }
    chart->info.labelCount = MaxLabels;
    ok &= save(*chart, folder, "huge-labels.bab");

    resetChart(*chart);
    addLabels(*chart, 4);
    constexpr int Min = std::numeric_limits<int>::min(), Max = std::numeric_limits<int>::max();
    const int far[4][2] = {{Max, Max}, {Min, Min}, {Max, 100}, {100, Min}};
    for (int j = 1; j <= 4; ++j) {
        chart->label(j).x = far[j - 1][0];
        chart->label(j).y = far[j - 1][1];
    }
    ok &= save(*chart, folder, "far-labels.bab");
    return ok ? 0 : 1;
}
