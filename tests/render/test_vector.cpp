// The page drawn as vectors on a painter: ink where the canvas puts it, at
// any scale; nothing outside the page, whatever the chart holds; and a sheet
// whose pages lie where the composed bitmap has them.
#include "pixels.h"
#include "support/chartbuilder.h"
#include "document/editing.h"
#include "document/layout.h"
#include "render/page.h"
#include "render/paintersurface.h"
#include "render/sheet.h"
#include "support/chartbuilder.h"

#include <QPainter>
#include <QPicture>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <vector>

namespace mavrel {
namespace {

using namespace test;

// Every division with chords, every sign, a hidden bar, sharps, flats, "ø",
// and labels in both weights, one over the grid.
std::unique_ptr<Chart> craftedChart(bool landscape = false)
{
    auto c = std::make_unique<Chart>();
    resetChart(*c);
    c->info.columns = 5;
    if (landscape)
        std::swap(c->info.pageWidth, c->info.pageHeight);
    for (int i = 1; i <= 40; ++i) {
        Bar& b = c->bar(i);
        b.division = std::uint8_t(1 + i % 5);
        b.left = std::int16_t(i % 3);
        b.right = std::int16_t(i / 3 % 3);
        b.top = std::int16_t(i % 2);
        b.bottom = std::int16_t(i / 2 % 2);
        for (int s = 1; s <= 4; ++s) {
            b.slot(s).root = std::uint8_t((i + s) % 13);
            b.slot(s).flat = std::uint8_t(s % 2);
            b.slot(s).quality.assign(s == 2 ? "m7\xF8" : "7");
        }
    }
    c->bar(9).shown = 0;
    commitLabel(*c, "Autumn Leaves", 120, 40, 24, true);
    commitLabel(*c, "\xE9t\xE9 \xE0 Paris", 90, 200, 10, false);
    layoutChart(*c);
    return c;
}

QImage painted(const Chart& chart, const Selection& selection, bool guides, int scale)
{
    QImage img(pageSize(chart) * scale, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    Page page;
    page.paint(painter, chart, selection, guides);
    return img;
}

// The page recorded as a printer or a PDF writer gets it, shapes outlined
// with a pen, then played back on an image.
QImage recorded(const Chart& chart, const Selection& selection, int scale)
{
    QPicture picture;
    {
        QPainter painter(&picture);
        Page page;
        page.paint(painter, chart, selection, false);
    }
    QImage img(pageSize(chart) * scale, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    painter.drawPicture(0, 0, picture);
    return img;
}

TEST(VectorPage, InkWhereTheCanvasPutsIt)
{
    const auto chart = craftedChart();
    Selection selection;
    selection.entries[selection.count++] = 7;
    struct Row {
        int scale;
        bool editing;   // with the selection and the guides
    };
    for (const Row row : {Row{1, false}, Row{2, true}}) {
        SCOPED_TRACE(testing::Message() << "scale " << row.scale << (row.editing ? ", editing" : ""));
        const Selection shown = row.editing ? selection : Selection{};
        Page canvas;
        canvas.draw(*chart, shown, row.editing);
        const QImage vectors = painted(*chart, shown, row.editing, row.scale);
        EXPECT_TRUE(inkAgrees(canvas.image(), vectors, row.scale));
        // The selected bar's background, a little right of its frame.
        const Bar& bar = chart->bar(7);
        const QRgb background = at(vectors, (bar.x + 3) * row.scale, (bar.y + 10) * row.scale);
        EXPECT_EQ(colourName(background), colourName(row.editing ? Cyan : White));
    }
}

// The dots of the repeat signs are discs of ink at every scale, not rings
// with the bar's colour inside, a selected bar's included.
TEST(VectorPage, RepeatDotsAreFilled)
{
    const auto chart = ChartBuilder(3, 2).signs(1, 1, 1).signs(2, 1, 1).build();
    Selection selection;
    selection.entries[selection.count++] = 2;
    struct Row {
        const char* device;
        int scale;
    };
    for (const Row row : {Row{"image", 1}, Row{"image", 4}, Row{"image", 12}, Row{"recording", 12}}) {
        SCOPED_TRACE(testing::Message() << row.device << ", scale " << row.scale);
        const QImage img = row.device == std::string_view("image") ? painted(*chart, selection, false, row.scale)
                                                                    : recorded(*chart, selection, row.scale);
        const int W = chart->info.barWidth, H = chart->info.barHeight;
        for (const int b : {1, 2}) {
            const Bar& bar = chart->bar(b);
            const double cy = bar.y + H / 2;
            // The middles of the four dots' 3 x 3 boxes, and points a page
            // pixel from them.
            for (const QPointF middle : {QPointF(bar.x + 7.5, cy + 4.5), QPointF(bar.x + 7.5, cy - 4.5),
                                         QPointF(bar.x + W - 7.5, cy + 4.5), QPointF(bar.x + W - 7.5, cy - 4.5)}) {
                for (const QPointF step : {QPointF(0, 0), QPointF(0.7, 0), QPointF(-0.7, 0), QPointF(0, 0.7),
                                           QPointF(0, -0.7)}) {
                    const QPointF in = (middle + step) * row.scale;
                    const QPoint p(int(std::floor(in.x())), int(std::floor(in.y())));
                    EXPECT_LT(qGray(at(img, p.x(), p.y())), 128)
                        << "bar " << b << ", (" << p.x() << ", " << p.y() << ") is " << colourName(at(img, p.x(), p.y()));
                }
            }
        }
    }
}

// Every mark of the song's form, on grids of everyday size, big and dense.
TEST(VectorPage, MarksWhereTheCanvasPutsThem)
{
    auto marked = [](int columns, int rows, int points) {
        ChartBuilder b(columns, rows);
        b.bars({"Dm7 G7", "Cmaj7", "Dm7 G7 C A7", "N.C.", "Em7b5 A7", "Dm7. G7 C7", "G7", "C"});
        b.chart().info.fontSize = points;
        b.meter(0, 3, 4).section(1, "A").flag(1, SegnoFlag).flag(1, CodaFlag).flag(2, FermataFlag);
        b.ending(3, 3, 1).meter(3, 5, 4).ending(4, 4, 2).direction(4, Direction::DalSegnoAlCoda);
        b.flag(5, FermataFlag).flag(6, FermataFlag).section(7, "Verse \xE2\x82\xAC").meter(8, 12, 8);
        b.direction(8, Direction::Fine).signs(3, 1, 1, 1, 1);
        return b.build();
    };
    struct Row {
        int columns, rows, points, scale;
    };
    for (const Row row : {Row{4, 8, 10, 2}, Row{2, 4, 24, 1}, Row{8, 16, 10, 1}}) {
        SCOPED_TRACE(testing::Message() << row.columns << " x " << row.rows << ", " << row.points
                                        << " points, scale " << row.scale);
        const auto chart = marked(row.columns, row.rows, row.points);
        Page canvas;
        canvas.draw(*chart, Selection{}, false);
        EXPECT_TRUE(inkAgrees(canvas.image(), painted(*chart, Selection{}, false, row.scale), row.scale));
    }
}

// Coordinates far past the page, bars of negative size, the largest fonts:
// all of it is cut to the page, and the painter is handed nothing a
// rasteriser could overflow on.
TEST(VectorPage, NothingOutsideThePage)
{
    auto chart = std::make_unique<Chart>();
    resetChart(*chart);
    chart->info.pageWidth = 300;
    chart->info.pageHeight = 200;
    chart->info.sideMargin = 10000;
    chart->info.topMargin = 150;
    chart->info.columns = 100;
    chart->info.rows = 5;
    chart->info.fontSize = 500;
    for (Bar& b : chart->bars) {
        b.division = 3;
        b.left = b.right = 1;
    }

    commitLabel(*chart, "loin", INT_MAX - 10, INT_MAX - 10, 127, true);
    commitLabel(*chart, "avant", INT_MIN, INT_MIN, 127, false);
    commitLabel(*chart, "Un texte qui d\xE9passe la page", 200, 100, 127, true);
    layoutChart(*chart);

    QImage img(900, 600, QImage::Format_RGB32);
    img.fill(Red);
    {
        QPainter painter(&img);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(300, 200);
        paintPage(painter, *chart, Selection{}, true);
    }
    const QRect page(300, 200, 300, 200);
    EXPECT_EQ(count(img, img.rect(), Red), 900 * 600 - 300 * 200);
    EXPECT_EQ(count(img, page, Red), 0);
    EXPECT_GT(count(img, page, Black), 0);
}

// Shapes given far past the page are cut to it before the painter sees them.
TEST(VectorPage, PolygonsAreCutToThePage)
{
    QImage img(90, 60, QImage::Format_RGB32);
    img.fill(Red);
    {
        QPainter painter(&img);
        painter.translate(30, 20);
        PainterSurface surface;
        surface.begin(painter, QSize(30, 20));
        const std::vector<QPointF> everywhere{{-1e9, -1e9}, {1e9, -1e9}, {1e9, 1e9}, {-1e9, 1e9}};
        surface.polygon(everywhere, {});
        surface.end();
    }
    EXPECT_TRUE(allAre(img, QRect(30, 20, 30, 20), Black));
    EXPECT_EQ(count(img, img.rect(), Red), 90 * 60 - 30 * 20);
}

// Each page turned and stretched into its position as Sheet::compose puts
// its bitmap: upright for 1 and 4 a sheet, on their side for 2 and 8, a
// blank page where there is no chart.
TEST(VectorSheet, PagesLieWhereTheComposedSheetHasThem)
{
    const auto portrait = craftedChart();
    const auto landscape = craftedChart(true);
    struct Row {
        int layout;
        const Chart* first;
        const Chart* second;
    };
    for (const Row row : {Row{0, landscape.get(), nullptr}, Row{1, portrait.get(), landscape.get()},
                          Row{3, landscape.get(), portrait.get()}}) {
        SCOPED_TRACE(testing::Message() << "layout " << row.layout);
        Sheet bitmaps;
        SheetCharts charts;
        charts.layout = row.layout;
        int position = 0;
        for (const Chart* chart : {row.first, row.second}) {
            charts.charts[std::size_t(position++)] = chart;
            if (!chart)
                continue;
            Page page;
            page.draw(*chart, Selection{}, false);
            bitmaps.copyPage(position, page.image());
        }
        ASSERT_TRUE(bitmaps.compose(row.layout));

        const QSize size = sheetSize(row.layout);
        QImage vectors(size, QImage::Format_RGB32);
        vectors.fill(Qt::white);
        {
            QPainter painter(&vectors);
            painter.setRenderHint(QPainter::Antialiasing);
            paintSheet(painter, QRectF(QPointF(0, 0), size), charts);
        }
        EXPECT_TRUE(inkAgrees(bitmaps.composed().convertToFormat(QImage::Format_RGB32), vectors));
    }
}

} // namespace
} // namespace mavrel
