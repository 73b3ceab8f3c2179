#include "chordplaces.h"

#include "document/editing.h"
#include "document/win1252.h"

#include <utility>

namespace mavrel {

namespace {
// Every fractional quantity of the page is truncated toward zero.
int trunc(double v) { return static_cast<int>(v); }
} // namespace

ChordPlaces chordPlaces(const Bar& bar, int W, int H, int size)
{
    const int x = bar.x, y = bar.y;
    const int cx = trunc(x + W / 2.0), cy = trunc(y + H / 2.0);
    struct Anchor { int x, y; };
    const Anchor centre{cx, cy};
    const Anchor left{trunc(x + W / 5.0), cy};
    const Anchor right{trunc((x + W) - W / 5.0), cy};
    const Anchor top{cx, trunc(y + H / 5.0)};
    const Anchor bottom{cx, trunc((y + H) - H / 5.0)};
    const Anchor upperLeft{trunc(x + W / 4.0), trunc(y + H / 4.0)};
    const Anchor lowerRight{trunc((x + W) - W / 4.0), trunc((y + H) - H / 4.0)};

    ChordPlaces p;
    auto place = [&](int slot, Anchor a) {
        // One byte is one character in Windows-1252, "ø" included.
        // Control characters have no glyph: a damaged file may hold some.
        std::string text = win1252::withoutControls(chordText(bar.slot(slot)));
        const long n = static_cast<long>(text.size());
        p.places[p.count++] = {slot, trunc(a.x - n * size / 2.0), trunc(a.y - 2.0 * size / 3.0), std::move(text)};
    };
    switch (bar.division) {
    case 1:
        place(1, centre);
        break;
    case 2:
        place(1, upperLeft);
        place(2, lowerRight);
        break;
    case 3:
        place(1, left);
        place(2, top);
        place(3, bottom);
        place(4, right);
        break;
    case 4:
        place(1, left);
        place(2, top);
        place(3, lowerRight);
        break;
    case 5:
        place(1, upperLeft);
        place(2, bottom);
        place(3, right);
        break;
    default:
        break;
    }
    return p;
}

} // namespace mavrel
