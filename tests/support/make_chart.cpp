// Writes a chart for the scripts that play charts through other programs:
//
//     make_chart OUTPUT.bab TITLE STYLE TEMPO BEATS "{ C7 | F7 | 1:G7 } | 2:C"
//
// Bars are parted by "|" and typed as in the chord box; "{" opens a repeat
// at its bar, "}" closes one, "N:" puts the bar under ending N. The style
// text, the tempo and the meter (BEATS/4) are the song's.
#include "document/chartfile.h"
#include "support/chartbuilder.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 7) {
        std::fprintf(stderr, "usage: make_chart OUTPUT.bab TITLE STYLE TEMPO BEATS FORM\n");
        return 2;
    }
    std::vector<std::string> bars;
    std::string form = argv[6];
    for (std::size_t at = 0; at <= form.size();) {
        const std::size_t bar = std::min(form.find('|', at), form.size());
        bars.push_back(form.substr(at, bar - at));
        at = bar + 1;
    }
    const int rows = static_cast<int>((bars.size() + 3) / 4);
    mavrel::test::ChartBuilder b(4, rows);
    b.style(argv[3], std::stoi(argv[4])).meter(0, std::stoi(argv[5]), 4);
    mavrel::setText(b.chart().song.title, argv[2]);
    for (int i = 1; i <= 4 * rows; ++i) {
        if (i > static_cast<int>(bars.size())) {
            b.hidden(i);
            continue;
        }
        std::string text = bars[static_cast<std::size_t>(i - 1)];
        const bool open = text.find('{') != std::string::npos, close = text.find('}') != std::string::npos;
        std::erase(text, '{');
        std::erase(text, '}');
        // "2:" is typed as the chord box types an ending: "2." before the chords.
        if (const std::size_t colon = text.find(':'); colon != std::string::npos)
            text = std::to_string(std::stoi(text.substr(0, colon))) + ". " + text.substr(colon + 1);
        if (const mavrel::TypedBar typed = mavrel::readBar(text); !typed.error.empty()) {
            std::fprintf(stderr, "make_chart: \"%s\": %s\n", text.c_str(), typed.error.text().c_str());
            return 2;
        }
        b.bar(i, text).signs(i, open ? 1 : 0, close ? 1 : 0);
    }
    const auto chart = b.build();
    const mavrel::FileResult r = mavrel::saveChart(*chart, argv[1]);
    if (!r.ok) {
        std::fprintf(stderr, "make_chart: %s: %s\n", argv[1], r.message.text().c_str());
        return 1;
    }
    return 0;
}
