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

inline QImage whiteImage(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(White);
    return img;
}

} // namespace mavrel::test
