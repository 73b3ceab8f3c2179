// The page at other zooms: the keys, the box and the wheel that change it, a
// page drawn at the zoom, and presses that hit what they hit at 100 %.
#include "test_page_support.h"

#include <QComboBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

namespace mavrel::test {
namespace {

class ZoomTest : public PageWindowTest {
protected:
    QComboBox* zoomBox() { return window->findChild<QComboBox*>("zoomCombo"); }
    // A page point as the widget shows it at the zoom.
    QPoint onScreen(QPoint page) const { return page * window->editor()->zoom() / 100; }
    void pressAtZoom(QPoint page, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(image, button, {}, onScreen(page));
        QTest::mouseRelease(image, button, {}, onScreen(page));
    }
};

TEST_F(ZoomTest, KeysAndTheBoxChooseTheZoomAndThePageIsDrawnAtIt)
{
    EXPECT_EQ(zoomBox()->currentText(), "100 %");
    QTest::keyClick(window.get(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(window->editor()->zoom(), 125);
    EXPECT_EQ(zoomBox()->currentText(), "125 %");
    // Ctrl+= is the same key without Shift.
    QTest::keyClick(window.get(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(window->editor()->zoom(), 150);
    zoomBox()->setCurrentIndex(zoomBox()->findText("200 %"));
    emit zoomBox()->activated(zoomBox()->currentIndex());
    EXPECT_EQ(window->editor()->zoom(), 200);
    EXPECT_EQ(image->size(), QSize(1130, 1600));
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(window.get(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(window->editor()->zoom(), 50);   // no further
    QTest::keyClick(window.get(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(window->editor()->zoom(), 100);
    EXPECT_EQ(image->size(), QSize(565, 800));
}

TEST_F(ZoomTest, PressesAtTwoHundredPercentHitTheSameRegions)
{
    window->editor()->setZoom(200);
    barLineTool();
    pressAtZoom(leftOf(6));
    pressAtZoom(rightOf(6));
    pressAtZoom(rightOf(6));
    pressAtZoom(topOf(7));
    EXPECT_EQ(chart().bar(6).left, 1);
    EXPECT_EQ(chart().bar(6).right, 2);
    EXPECT_EQ(chart().bar(7).top, 1);
    // The shared border between bars 5 and 6 belongs to bar 5, at any zoom:
    // its screen pixels at 200 % are x = 350 and 351.
    chordTool();
    QTest::mouseClick(image, Qt::RightButton, {}, QPoint(351, 500));
    EXPECT_EQ(chart().bar(5).division, 2);
    EXPECT_EQ(chart().bar(6).division, 1);
}

TEST_F(ZoomTest, ALabelPlacedAtThreeHundredPercentIsStoredUnderTheCursor)
{
    window->editor()->setZoom(300);
    textTool();
    const QPoint screen(913, 1360);   // page point (304, 453)
    QTest::mouseClick(image, Qt::LeftButton, {}, screen);
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->pos() - image->pos(), QPoint(912, 1359));
    QTest::keyClicks(edit, "Coda");
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(chart().info.labelCount, 1);
    EXPECT_EQ(QPoint(chart().label(1).x, chart().label(1).y), QPoint(304, 453));

    // Reopened at that zoom, the box comes back over it, its font three times.
    QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(916, 1363));
    EXPECT_EQ(edit->text(), "Coda");
    EXPECT_EQ(edit->font().pixelSize(), pointsToPixels(8) * 3);
    window->editor()->setZoom(100);
    EXPECT_EQ(edit->pos() - image->pos(), QPoint(304, 453));
}

TEST_F(ZoomTest, TheWheelWithControlZoomsAroundTheCursor)
{
    auto* scroll = window->findChild<QScrollArea*>("scrollArea");
    window->editor()->setZoom(200);
    const QPoint page(280, 400);
    const QPoint at = onScreen(page);
    scroll->ensureVisible(image->x() + at.x(), image->y() + at.y());
    const QPoint before = image->mapTo(scroll->viewport(), at);
    QWheelEvent wheel(QPointF(at), image->mapToGlobal(QPointF(at)), {}, {0, 120}, Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(image, &wheel);
    EXPECT_EQ(window->editor()->zoom(), 300);
    EXPECT_EQ(image->mapTo(scroll->viewport(), onScreen(page)), before);
}

} // namespace
} // namespace mavrel::test
