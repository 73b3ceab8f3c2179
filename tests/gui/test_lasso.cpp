// The lasso on the page, the "Edition" menu's bar clipboard and the
// transpose dialog, through presses, drags and clicks.
#include "dialogs/transposedialog.h"
#include "render/canvas.h"
#include "test_page_support.h"

#include <QPushButton>

namespace mavrel::test {
namespace {

class LassoTest : public PageWindowTest {
protected:
    void SetUp() override
    {
        PageWindowTest::SetUp();
        lasso();
    }

    std::vector<int> selected() const
    {
        const Selection& s = window->selectionList();
        return {s.entries, s.entries + s.count};
    }
    int anchor() const { return window->selectionList().anchor(); }

    // A bar with something in every field that "Suprimer" clears.
    static Bar fullBar(int root)
    {
        Bar b{};
        b.division = 3;
        for (int s = 1; s <= 4; ++s)
            b.slot(s) = chord(root + s - 1, "m7", s % 2 == 0);
        b.left = 2;
        b.right = 1;
        b.top = 1;
        b.bottom = 1;
        b.shown = 1;
        return b;
    }
    void putBar(int i, const Bar& b)
    {
        const int x = chart().bar(i).x, y = chart().bar(i).y;
        chart().bar(i) = b;
        chart().bar(i).x = x;
        chart().bar(i).y = y;
    }
    // Bar contents without the place the layout gives it.
    static bool sameContents(Bar a, Bar b)
    {
        a.x = b.x;
        a.y = b.y;
        return sameBytes(a, b);
    }
};

TEST_F(LassoTest, ReleasesUnderTenPixelsSelectTheBarUnderTheRelease)
{
    // Bar 6 spans 175..281 x 221..293; its centre is (228, 257).
    struct Row {
        QPoint from, to;
        std::vector<int> expected;
    };
    const Row rows[] = {
        {{228, 257}, {228, 257}, {6}},
        {{220, 250}, {229, 259}, {6}},              // 9 right, 9 down: one bar
        {{270, 250}, {279, 250}, {6}},
        {{270, 250}, {280, 250}, {}},               // 10 right, 0 down: a flat rectangle
        {{228, 240}, {228, 250}, {}},               // 0 right, 10 down
        {{270, 280}, {279, 289}, {6}},
        {{278, 257}, {285, 257}, {7}},              // the release decides, not the press
        {{428, 457}, {228, 257}, {6}},              // 200 up and left: the release point
        {{20, 300}, {220, 250}, {}},                // 200 right and 50 up
        {{10, 10}, {14, 12}, {}},                   // a click beside the grid
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.from.x()) + "," + std::to_string(r.from.y()) + " to "
                     + std::to_string(r.to.x()) + "," + std::to_string(r.to.y()));
        drag(r.from, r.to);
        EXPECT_FALSE(window->lassoActive());
        EXPECT_EQ(selected(), r.expected);
        EXPECT_TRUE(sameImage(window->pageImage(), expectedPage()));
    }
}

TEST_F(LassoTest, ARectangleTakesTheBarsWhoseCentresLieStrictlyInside)
{
    // Centres: bar 2 (228, 186), 3 (333, 186), 6 (228, 257), 7 (333, 257).
    drag({200, 160}, {360, 280});
    EXPECT_EQ(selected(), (std::vector<int>{2, 3, 6, 7}));
    const QImage& page = window->pageImage();
    EXPECT_EQ(page.pixel(178, 153) & 0xFFFFFF, 0x00FFFFu) << "bar 2 on cyan";
    EXPECT_EQ(page.pixel(73, 153) & 0xFFFFFF, 0xFFFFFFu) << "bar 1 on white";
    EXPECT_TRUE(sameImage(page, expectedPage()));

    // A centre on the rectangle's edge stays out.
    drag({228, 160}, {334, 257});
    EXPECT_EQ(selected(), (std::vector<int>{3}));
    // Hidden bars are taken like shown ones, in index order.
    chart().bar(10).shown = 0;
    drag({100, 160}, {340, 330});
    EXPECT_EQ(selected(), (std::vector<int>{1, 2, 3, 5, 6, 7, 9, 10, 11}));
}

TEST_F(LassoTest, TheBandIsDrawnAtEveryMoveAndGoneAtTheRelease)
{
    QTest::mousePress(image, Qt::LeftButton, {}, {100, 100});
    EXPECT_TRUE(window->lassoActive());
    QTest::mouseMove(image, {300, 250});
    const QImage banded = window->pageImage().copy();
    const QImage plain = expectedPage();
    int changed = 0;
    for (int y = 0; y < banded.height(); ++y)
        for (int x = 0; x < banded.width(); ++x)
            if ((banded.pixel(x, y) & 0xFFFFFF) != (plain.pixel(x, y) & 0xFFFFFF)) {
                ++changed;
                const bool onOutline = ((x == 100 || x == 299) && y >= 100 && y < 250)
                                       || ((y == 100 || y == 249) && x >= 100 && x < 300);
                ASSERT_TRUE(onOutline) << x << "," << y;
                EXPECT_EQ(banded.pixel(x, y) & 0xFFFFFF, ~plain.pixel(x, y) & 0xFFFFFF)
                    << "inverted at " << x << "," << y;
            }
    EXPECT_GT(changed, 200) << "a dotted outline round the rectangle";

    // The next move draws the band afresh on a new page: no trace of the first.
    QTest::mouseMove(image, {150, 400});
    const QImage moved = window->pageImage();
    EXPECT_EQ(moved.pixel(299, 150), plain.pixel(299, 150));
    EXPECT_EQ(moved.pixel(299, 151), plain.pixel(299, 151));

    // Dragged up and to the left of the start, the band still shows.
    QTest::mouseMove(image, {40, 40});
    EXPECT_FALSE(sameImage(window->pageImage(), plain));

    QTest::mouseRelease(image, Qt::LeftButton, {}, {40, 40});
    EXPECT_FALSE(window->lassoActive());
    EXPECT_TRUE(sameImage(window->pageImage(), expectedPage()));

    // Moves without a lasso draw nothing.
    useTool("chordToolButton");
    QTest::mousePress(image, Qt::RightButton, {}, {10, 10});
    QTest::mouseMove(image, {200, 200});
    EXPECT_TRUE(sameImage(window->pageImage(), expectedPage()));
    QTest::mouseRelease(image, Qt::RightButton, {}, {200, 200});
}

TEST_F(LassoTest, AReleaseOutsideThePageStillEndsTheLasso)
{
    // Through the window, as the window system delivers them: the page keeps
    // the mouse from the press to the release.
    QWindow* handle = window->windowHandle();
    ASSERT_TRUE(handle);
    auto inWindow = [&](QPoint page) { return handle->mapFromGlobal(image->mapToGlobal(page)); };
    QTest::mousePress(handle, Qt::LeftButton, {}, inWindow({200, 160}));
    ASSERT_TRUE(window->lassoActive());
    const QPoint outside = handle->mapFromGlobal(window->mapToGlobal(QPoint(5, 5)));
    ASSERT_EQ(window->childAt(QPoint(5, 5)) == image, false);
    QTest::mouseMove(handle, outside);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, outside);
    EXPECT_FALSE(window->lassoActive());
    // The release lies up and to the left of the start: the bar under it, none.
    EXPECT_TRUE(selected().empty());

    QTest::mousePress(handle, Qt::RightButton, {}, inWindow({60, 130}));
    const QPoint belowRight = handle->mapFromGlobal(image->mapToGlobal(QPoint(200, 200)));
    QTest::mouseRelease(handle, Qt::RightButton, {}, belowRight);
    EXPECT_FALSE(window->lassoActive());
    EXPECT_EQ(selected(), (std::vector<int>{1}));
}

TEST_F(LassoTest, SwitchingToolsEmptiesTheSelectionButTheLassoKeepsIt)
{
    drag({200, 160}, {360, 280});
    ASSERT_EQ(selected().size(), 4u);
    lasso();
    EXPECT_EQ(selected().size(), 4u);
    EXPECT_EQ(window->pageImage().pixel(178, 153) & 0xFFFFFF, 0x00FFFFu);

    for (const char* tool : {"chordToolButton", "eraserToolButton", "barLineToolButton", "textToolButton"}) {
        SCOPED_TRACE(tool);
        lasso();
        drag({200, 160}, {360, 280});
        useTool(tool);
        EXPECT_TRUE(selected().empty());
        EXPECT_EQ(anchor(), 2) << "emptied, the anchor stays";
        EXPECT_EQ(window->pageImage().pixel(178, 153) & 0xFFFFFF, 0xFFFFFFu);
    }
}

TEST_F(LassoTest, CopyAndPasteWriteConsecutiveBarsFromTheAnchor)
{
    putBar(5, fullBar(1));
    putBar(6, fullBar(5));
    chart().bar(6).shown = 0;
    window->redrawPage();
    const Bar five = chart().bar(5), six = chart().bar(6);

    drag({100, 240}, {300, 280});   // bars 5 and 6
    ASSERT_EQ(selected(), (std::vector<int>{5, 6}));
    menu("copyAction");
    EXPECT_TRUE(selected().empty());
    EXPECT_EQ(window->clipboard().count, 2);

    drag(centreOf(9), centreOf(9));
    ASSERT_EQ(selected(), (std::vector<int>{9}));
    const int target = 9;
    menu("pasteAction");
    EXPECT_TRUE(selected().empty());
    EXPECT_TRUE(sameContents(chart().bar(target), five));
    EXPECT_TRUE(sameContents(chart().bar(target + 1), six));
    EXPECT_EQ(chart().bar(target + 1).shown, 0);
    EXPECT_EQ(chart().bar(target).x, chart().bar(1).x) << "the layout placed it again";
    EXPECT_TRUE(sameImage(window->pageImage(), expectedPage()));

    // Again, without a new selection: the same bars are written again.
    chart().bar(target).division = 1;
    chart().bar(target + 1).left = 0;
    menu("pasteAction");
    EXPECT_TRUE(sameContents(chart().bar(target), five));
    EXPECT_TRUE(sameContents(chart().bar(target + 1), six));
    EXPECT_EQ(window->clipboard().count, 2);

    // A click beside the grid removes the anchor: pasting then writes nothing.
    drag({20, 20}, {20, 20});
    const std::array<Bar, MaxBars> before = chart().bars;
    menu("pasteAction");
    EXPECT_EQ(std::memcmp(chart().bars.data(), before.data(), sizeof before), 0);
    // And copying an empty selection empties the clipboard.
    menu("copyAction");
    EXPECT_EQ(window->clipboard().count, 0);
}

TEST_F(LassoTest, PastingCopiedBarsWithoutANewSelectionWritesThemOntoThemselves)
{
    putBar(5, fullBar(1));
    putBar(6, fullBar(5));
    window->redrawPage();
    const std::array<Bar, MaxBars> before = chart().bars;
    drag({100, 240}, {300, 280});
    menu("copyAction");
    menu("pasteAction");
    EXPECT_EQ(std::memcmp(chart().bars.data(), before.data(), sizeof before), 0);
}

TEST_F(LassoTest, ABlockIsPastedAsConsecutiveBarsAndNothingPastTheLastBar)
{
    for (int i = 1; i <= 32; ++i)
        chart().bar(i).slot(1) = chord(1 + i % 12);
    window->redrawPage();
    drag({200, 160}, {360, 280});   // 2, 3, 6, 7: a 2 x 2 block
    menu("copyAction");
    drag(centreOf(21), centreOf(21));
    ASSERT_EQ(selected(), (std::vector<int>{21}));
    const Bar b20 = chart().bar(20), b25 = chart().bar(25);
    menu("pasteAction");
    const int copied[] = {2, 3, 6, 7};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(chart().bar(21 + k).slot(1).root, 1 + copied[k] % 12);
    EXPECT_TRUE(sameBytes(chart().bar(20), b20));
    EXPECT_TRUE(sameBytes(chart().bar(25), b25));

    // Eight bars pasted at bar 497: 497..500 written, the other four dropped.
    drag({60, 140}, {500, 300});    // bars 1..8
    ASSERT_EQ(selected().size(), 8u);
    menu("copyAction");
    // The grid grows to 500 bars so that bar 497 can be clicked.
    chart().info.columns = 20;
    chart().info.rows = 25;
    window->redrawPage();
    const Bar b496 = chart().bar(496);
    drag(centreOf(497), centreOf(497));
    ASSERT_EQ(selected(), (std::vector<int>{497}));
    menu("pasteAction");
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(chart().bar(497 + k).slot(1).root, window->clipboard().bars[k].slot(1).root);
    EXPECT_TRUE(sameBytes(chart().bar(496), b496));
    EXPECT_EQ(window->clipboard().count, 8);
}

TEST_F(LassoTest, SuprimerClearsBarsAndKeepsThemHiddenOrShown)
{
    putBar(2, fullBar(3));
    putBar(3, fullBar(7));
    chart().bar(3).shown = 0;
    window->redrawPage();
    const Bar before2 = chart().bar(2), before3 = chart().bar(3);
    drag({200, 160}, {360, 200});
    ASSERT_EQ(selected(), (std::vector<int>{2, 3}));
    menu("deleteAction");
    EXPECT_TRUE(selected().empty());
    for (const auto& [i, before] : {std::pair{2, before2}, std::pair{3, before3}}) {
        SCOPED_TRACE("bar " + std::to_string(i));
        Bar expected = before;
        for (Chord& a : expected.chords) {
            a.root = 0;
            a.quality.len = 0;   // the characters past the length stay
        }
        expected.division = 1;
        expected.left = expected.right = expected.top = expected.bottom = 0;
        EXPECT_TRUE(sameBytes(chart().bar(i), expected));
    }
    EXPECT_EQ(chart().bar(3).shown, 0);
    EXPECT_TRUE(sameImage(window->pageImage(), expectedPage()));
}

TEST_F(LassoTest, SelectionAndClipboardSurviveOpeningAChart)
{
    putBar(5, fullBar(1));
    window->redrawPage();
    const Bar five = chart().bar(5);
    drag({100, 240}, {180, 280});
    menu("copyAction");

    // Another chart, saved with a landscape page.
    Chart other = chart();
    other.bar(5) = Bar{};
    other.bar(5).division = 1;
    other.bar(5).shown = 1;
    std::swap(other.info.pageWidth, other.info.pageHeight);
    layoutChart(other);
    const QString otherPath = path("autre.bab");
    ASSERT_TRUE(saveChart(other, QFile::encodeName(otherPath).toStdString()).ok);

    drag({200, 160}, {360, 200});
    ASSERT_EQ(selected(), (std::vector<int>{2, 3}));
    window->setOpenChooser([otherPath] { return otherPath; });
    menu("openAction");
    ASSERT_TRUE(messages.isEmpty()) << messages.join(" ").toStdString();
    EXPECT_EQ(chart().info.pageWidth, 800);
    EXPECT_EQ(selected(), (std::vector<int>{2, 3}));
    EXPECT_TRUE(sameImage(window->pageImage(), expectedPage())) << "highlighted in the opened chart";
    EXPECT_EQ(window->clipboard().count, 1);

    drag(centreOf(9), centreOf(9));
    menu("pasteAction");
    EXPECT_TRUE(sameContents(chart().bar(9), five));
}

TEST_F(LassoTest, TheMenuShortcutsActOnBarsEvenFromTheTextBox)
{
    putBar(5, fullBar(1));
    window->redrawPage();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    textTool();
    press({300, 60});
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, "abc", Qt::NoModifier);
    edit->selectAll();
    lasso();
    drag({100, 240}, {180, 280});
    ASSERT_EQ(selected(), (std::vector<int>{5}));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(window->clipboard().count, 1);
    EXPECT_TRUE(selected().empty());

    drag(centreOf(9), centreOf(9));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(sameContents(chart().bar(9), chart().bar(5)));

    drag(centreOf(9), centreOf(9));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(chart().bar(9).division, 1);
    EXPECT_EQ(chart().bar(9).left, 0);
    EXPECT_EQ(edit->text(), "abc") << "the box's text is untouched";
}

// --- transpose dialog ---------------------------------------------------------------

class TransposeDialogTest : public PageWindowTest {
protected:
    QPushButton* up() { return window->transposeDialog()->findChild<QPushButton*>("upButton"); }
    QPushButton* down() { return window->transposeDialog()->findChild<QPushButton*>("downButton"); }
    void open()
    {
        menu("transposeAction");
        ASSERT_TRUE(window->transposeDialog()->isVisible());
    }
};

TEST_F(TransposeDialogTest, EachPressMovesTheLaidOutRootsAndWrapsAtTheEnds)
{
    Bar& b1 = chart().bar(1);
    b1.division = 3;
    b1.slot(1) = chord(12, "7");          // "B7"
    b1.slot(2) = chord(1, "m");           // "Cm"
    b1.slot(3) = chord(10, "m7", true);   // "Am7", spelled flat once moved
    b1.slot(4) = chord(0);                // "%"
    chart().bar(6).slot(4) = chord(5);    // a slot its division does not show
    chart().bar(7).slot(1) = chord(3);
    chart().bar(7).shown = 0;
    chart().bar(40).slot(1) = chord(3);   // past the laid-out bars
    window->redrawPage();
    open();

    QTest::mouseClick(up(), Qt::LeftButton);
    EXPECT_EQ(b1.slot(1).root, 1);
    EXPECT_EQ(b1.slot(2).root, 2);
    EXPECT_EQ(b1.slot(3).root, 11);
    EXPECT_EQ(b1.slot(3).quality.view(), "m7");
    EXPECT_EQ(b1.slot(3).flat, 1);
    EXPECT_EQ(b1.slot(4).root, 0);
    EXPECT_EQ(chart().bar(6).slot(4).root, 6);
    EXPECT_EQ(chart().bar(7).slot(1).root, 4) << "hidden bars move too";
    EXPECT_EQ(chart().bar(40).slot(1).root, 3);
    EXPECT_EQ(chart().bar(2).slot(1).root, 0);
    EXPECT_TRUE(sameImage(window->pageImage(), expectedPage()));

    QTest::mouseClick(down(), Qt::LeftButton);
    QTest::mouseClick(down(), Qt::LeftButton);
    EXPECT_EQ(b1.slot(1).root, 11);
    EXPECT_EQ(b1.slot(2).root, 12) << "C goes down to B";
    EXPECT_EQ(b1.slot(3).root, 9);
    EXPECT_EQ(chart().bar(40).slot(1).root, 3);
    EXPECT_TRUE(window->transposeDialog()->isVisible()) << "open for more presses";
}

TEST_F(TransposeDialogTest, TwelvePressesGiveBackTheChartByteForByte)
{
    for (int i = 1; i <= 32; ++i)
        for (int s = 1; s <= 4; ++s)
            chart().bar(i).slot(s) = chord((i * 5 + s) % 13, s == 2 ? "m" : "", i % 3 == 0);
    chart().info.rows = 6;   // bars 25..32 kept but not laid out
    window->redrawPage();
    const std::vector<char> before = saveThroughMenu("avant");
    ASSERT_FALSE(before.empty());
    const std::array<Bar, MaxBars> bars = chart().bars;
    open();
    for (int k = 0; k < 12; ++k)
        QTest::mouseClick(up(), Qt::LeftButton);
    EXPECT_TRUE(saveThroughMenu("apres") == before);
    QTest::mouseClick(up(), Qt::LeftButton);
    QTest::mouseClick(down(), Qt::LeftButton);
    EXPECT_EQ(std::memcmp(chart().bars.data(), bars.data(), sizeof bars), 0);
}

} // namespace
} // namespace mavrel::test
