// Small pixel assertions over page images: whole areas of one colour, counts,
// and image equality that names the first differing pixel when it fails.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRgb>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace mavrel::test {

inline constexpr QRgb Black = 0xFF000000u;
inline constexpr QRgb White = 0xFFFFFFFFu;
inline constexpr QRgb Cyan = 0xFF00FFFFu;
inline constexpr QRgb Red = 0xFFFF0000u;

inline std::string colourName(QRgb c)
{
    switch (c | 0xFF000000u) {
    case Black: return "black";
    case White: return "white";
    case Cyan: return "cyan";
    case Red: return "red";
    default: break;
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%06X", c & 0xFFFFFFu);
    return buf;
}

inline QRgb at(const QImage& img, int x, int y) { return img.pixel(x, y) | 0xFF000000u; }

// Both corners included, as the tests read best: area(175, 221, 175, 292) is
// column 175 from row 221 to row 292.
inline QRect area(int x1, int y1, int x2, int y2) { return QRect(QPoint(x1, y1), QPoint(x2, y2)); }

inline int count(const QImage& img, QRect r, QRgb c)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += at(img, x, y) == (c | 0xFF000000u);
    return n;
}

inline ::testing::AssertionResult allAre(const QImage& img, QRect r, QRgb c)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (at(img, x, y) != (c | 0xFF000000u))
                return ::testing::AssertionFailure()
                    << "(" << x << ", " << y << ") is " << colourName(at(img, x, y)) << ", not "
                    << colourName(c);
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult noneAre(const QImage& img, QRect r, QRgb c)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (at(img, x, y) == (c | 0xFF000000u))
                return ::testing::AssertionFailure()
                    << "(" << x << ", " << y << ") is " << colourName(c);
    return ::testing::AssertionSuccess();
}

// Pixels of `r` equal in both images (or the whole images when r is null).
inline ::testing::AssertionResult sameImages(const QImage& a, const QImage& b, QRect r = {})
{
    if (r.isNull()) {
        if (a.size() != b.size())
            return ::testing::AssertionFailure() << "sizes differ";
        r = a.rect();
    }
    int differing = 0;
    QPoint first;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (at(a, x, y) != at(b, x, y) && differing++ == 0)
                first = {x, y};
    if (differing == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
        << differing << " pixels differ, first at (" << first.x() << ", " << first.y() << "): "
        << colourName(at(a, first.x(), first.y())) << " vs "
        << colourName(at(b, first.x(), first.y()));
}

// Dark pixels (grey under 128) of `page`, and of `drawn`, the same page drawn
// `scale` times larger by another rasteriser: each has a dark pixel of the
// other within one page pixel. An antialiased drawing agrees so with the
// canvas's pixels where an exact comparison cannot; one dark pixel in a
// thousand may go without, where hinting moves the edge of a glyph further
// (a missing chord or a line out of place costs many times more).
inline ::testing::AssertionResult inkAgrees(const QImage& page, const QImage& drawn, int scale = 1)
{
    if (drawn.size() != page.size() * scale)
        return ::testing::AssertionFailure() << "sizes differ";
    const auto dark = [](const QImage& img, int x, int y) {
        return x >= 0 && y >= 0 && x < img.width() && y < img.height() && qGray(img.pixel(x, y)) < 128;
    };
    const auto darkAround = [&](const QImage& img, int left, int top, int size) {
        for (int y = top; y < top + size; ++y)
            for (int x = left; x < left + size; ++x)
                if (dark(img, x, y))
                    return true;
        return false;
    };
    struct Side {
        int dark = 0, alone = 0;
        QPoint first;
        void add(bool isDark, bool partnered, int x, int y)
        {
            if (!isDark)
                return;
            ++dark;
            if (!partnered && alone++ == 0)
                first = {x, y};
        }
        bool fine() const { return alone * 1000 <= dark; }
    } onPage, onDrawing;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            onPage.add(dark(page, x, y), darkAround(drawn, (x - 1) * scale, (y - 1) * scale, 3 * scale), x, y);
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            onDrawing.add(dark(drawn, x, y), darkAround(page, x / scale - 1, y / scale - 1, 3), x, y);
    if (onPage.fine() && onDrawing.fine())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
        << onPage.alone << " of " << onPage.dark << " dark page pixels with no ink near them in the drawing (first at ("
        << onPage.first.x() << ", " << onPage.first.y() << ")), " << onDrawing.alone << " of " << onDrawing.dark
        << " dark drawn pixels with none near them on the page (first at (" << onDrawing.first.x() << ", "
        << onDrawing.first.y() << "))";
}

inline QImage whiteImage(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(White);
    return img;
}

} // namespace mavrel::test
