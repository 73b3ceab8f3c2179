// Presses on the page with the chord tool, the eraser and the bar-line tool,
// and the chord dialog they open, all through the real widgets.
#include "dialogs/chorddialog.h"
#include "test_page_support.h"

#include <QCheckBox>
#include <QPushButton>

namespace mavrel::test {
namespace {

class PageToolsTest : public PageWindowTest {
protected:
    ChordDialog* dialog() { return window->chordDialog(); }
    QListWidget* roots() { return dialog()->findChild<QListWidget*>("rootList"); }
    QListWidget* qualities() { return dialog()->findChild<QListWidget*>("qualityList"); }
    QCheckBox* flat() { return dialog()->findChild<QCheckBox*>("flatCheck"); }
    QCheckBox* other() { return dialog()->findChild<QCheckBox*>("otherCheck"); }
    QLineEdit* freeText() { return dialog()->findChild<QLineEdit*>("freeTextEdit"); }
    void ok() { QTest::mouseClick(dialog()->findChild<QPushButton*>("okButton"), Qt::LeftButton); }
    void cancel() { QTest::mouseClick(dialog()->findChild<QPushButton*>("cancelButton"), Qt::LeftButton); }

    static int selectedRow(const QListWidget* list)
    {
        const auto items = list->selectedItems();
        return items.isEmpty() ? -1 : list->row(items.first());
    }

    // Right presses with the chord tool until bar `b` has division `d`.
    void divide(int b, int d)
    {
        chordTool();
        while (chart().bar(b).division != d)
            press(centreOf(b), Qt::RightButton);
    }
};

TEST_F(PageToolsTest, PressesOutsideEveryBarChangeNothingButRedraw)
{
    struct Press {
        const char* tool;
        Qt::MouseButton button;
    };
    const Press presses[] = {
        {"chordToolButton", Qt::LeftButton}, {"chordToolButton", Qt::RightButton},
        {"eraserToolButton", Qt::LeftButton}, {"barLineToolButton", Qt::LeftButton},
        {"barLineToolButton", Qt::RightButton},
    };
    // The page margin, bar 1's own left and top frames, and just past the
    // grid's bottom and right frames (which still belong to their bars).
    const QPoint misses[] = {{10, 10}, {70, 186}, {123, 150}, {300, 719}, {491, 400}};
    for (const Press& p : presses) {
        useTool(p.tool);
        for (const QPoint& at : misses) {
            SCOPED_TRACE(std::string(p.tool) + " at " + std::to_string(at.x()) + ","
                         + std::to_string(at.y()));
            const std::array<Bar, MaxBars> before = chart().bars;
            hideBehindTheWindow(3);
            press(at, p.button);
            // Bar 3 hidden behind the window's back shows only after a redraw.
            EXPECT_TRUE(sameImage(window->pageImage(), expectedPage()));
            EXPECT_EQ(chart().bar(3).shown, 0);
            EXPECT_FALSE(dialog()->isVisible());
            chart().bar(3).shown = 1;
            EXPECT_EQ(std::memcmp(chart().bars.data(), before.data(), sizeof before), 0);
        }
    }
}

TEST_F(PageToolsTest, BarLineToolCyclesTheSignOfThePressedRegion)
{
    barLineTool();
    struct Row {
        QPoint offset;           // from the bar's top-left corner
        std::int16_t Bar::*field;
        int cycle;               // values before it comes back to 0
    };
    // The centre lies on both diagonals and counts as above them: the top.
    // One pixel off the centre the diagonals decide among the other three.
    const Row rows[] = {
        {{53, 36}, &Bar::top, 2},   {{53, 37}, &Bar::bottom, 2},
        {{52, 36}, &Bar::left, 3},  {{54, 36}, &Bar::right, 3},
        {{10, 36}, &Bar::left, 3},  {{53, 5}, &Bar::top, 2},
        {{53, 66}, &Bar::bottom, 2}, {{100, 36}, &Bar::right, 3},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("offset " + std::to_string(r.offset.x()) + "," + std::to_string(r.offset.y()));
        const Bar before = chart().bar(6);
        for (int k = 1; k <= r.cycle; ++k) {
            press(inBar(6, r.offset.x(), r.offset.y()), k % 2 ? Qt::LeftButton : Qt::RightButton);
            Bar expected = before;
            expected.*r.field = static_cast<std::int16_t>(k % r.cycle);
            ASSERT_TRUE(sameBytes(chart().bar(6), expected)) << "after press " << k;
        }
    }
    EXPECT_TRUE(sameImage(window->pageImage(), expectedPage()));
}

TEST_F(PageToolsTest, TheSecondPressOfADoubleClickCountsAsAPress)
{
    // The window system turns a quick second press into a double click.
    barLineTool();
    const QPoint at = leftOf(6);
    QTest::mousePress(image, Qt::LeftButton, {}, at);
    QTest::mouseRelease(image, Qt::LeftButton, {}, at);
    QTest::mouseDClick(image, Qt::LeftButton, {}, at);
    QTest::mouseRelease(image, Qt::LeftButton, {}, at);
    EXPECT_EQ(chart().bar(6).left, 2);
}

TEST_F(PageToolsTest, RightPressCyclesTheDivisionAndKeepsTheChords)
{
    chordTool();
    Bar& bar = chart().bar(6);
    bar.slot(2) = chord(5, "m");
    const Chord slotsBefore[4] = {bar.chords[0], bar.chords[1], bar.chords[2], bar.chords[3]};

    for (int expected : {2, 3, 4, 5, 1, 2}) {
        press(rightOf(6), Qt::RightButton);
        EXPECT_EQ(bar.division, expected);
    }
    EXPECT_EQ(std::memcmp(bar.chords, slotsBefore, sizeof slotsBefore), 0);

    // Values from a file move up like any other; only 6 wraps.
    bar.division = 0;
    press(leftOf(6), Qt::RightButton);
    EXPECT_EQ(bar.division, 1);
    bar.division = 200;
    press(leftOf(6), Qt::RightButton);
    EXPECT_EQ(bar.division, 201);
    EXPECT_TRUE(sameImage(window->pageImage(), expectedPage()));
    EXPECT_FALSE(dialog()->isVisible());
}

TEST_F(PageToolsTest, MiddlePressWithTheChordToolOnlyRedraws)
{
    chordTool();
    const std::array<Bar, MaxBars> before = chart().bars;
    hideBehindTheWindow(6);
    press(centreOf(6), Qt::MiddleButton);
    chart().bar(6).shown = 1;
    EXPECT_EQ(std::memcmp(chart().bars.data(), before.data(), sizeof before), 0);
    EXPECT_FALSE(dialog()->isVisible());
    chart().bar(6).shown = 0;
    EXPECT_TRUE(sameImage(window->pageImage(), expectedPage()));
}

TEST_F(PageToolsTest, EraserTwiceRestoresTheBarAndItsPixels)
{
    Bar& bar = chart().bar(6);
    bar.division = 3;
    bar.slot(4) = chord(8, "7");
    bar.left = 1;
    window->redrawPage();
    const Bar before = bar;
    const QImage pageBefore = window->pageImage().copy();

    eraser();
    press(bottomOf(6));
    EXPECT_EQ(bar.shown, 0);
    // A hidden bar is blank; its neighbours keep the frame they share with it.
    const QImage hidden = window->pageImage();
    for (int y = bar.y + 1; y < bar.y + 71; ++y)
        for (int x = bar.x + 1; x < bar.x + 105; ++x)
            ASSERT_EQ(hidden.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu) << x << "," << y;

    press(topOf(6), Qt::RightButton);
    EXPECT_TRUE(sameBytes(bar, before));
    EXPECT_TRUE(sameImage(window->pageImage(), pageBefore));
}

TEST_F(PageToolsTest, HiddenBarsAreHitLikeShownOnes)
{
    eraser();
    press(centreOf(6));
    ASSERT_EQ(chart().bar(6).shown, 0);

    chordTool();
    press(centreOf(6), Qt::RightButton);
    EXPECT_EQ(chart().bar(6).division, 2);
    barLineTool();
    press(leftOf(6));
    EXPECT_EQ(chart().bar(6).left, 1);
    chordTool();
    press(bottomOf(6));
    EXPECT_TRUE(dialog()->isVisible());
    EXPECT_EQ(dialog()->currentBar(), 6);
    EXPECT_EQ(dialog()->chosenSlot(), 2);
    cancel();
    EXPECT_EQ(chart().bar(6).shown, 0);
}

TEST_F(PageToolsTest, DialogOpensBelowTheCursorUnlessItIsLowerThanTheWindowAllows)
{
    chordTool();
    // Put the threshold (the main window's outer height less the dialog's)
    // on row 1 of the page, so that presses can fall on either side of it.
    const int offset = image->mapToGlobal(QPoint(0, 0)).y() - window->frameGeometry().y();
    const int outerMain = window->frameGeometry().height();
    dialog()->show();   // its outer height counts the frame only once it is shown
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog()));
    const int outerDialog = dialog()->frameGeometry().height();
    dialog()->hide();
    const int threshold = outerMain - outerDialog;   // in screen y
    window->move(window->x(), threshold - offset - 186);
    ASSERT_EQ(image->mapToGlobal(QPoint(0, 186)).y(), threshold);

    struct Row {
        QPoint page;
        bool above;
    };
    const Row rows[] = {
        {{123, 186}, false},   // exactly on the threshold: below
        {{123, 187}, true},    // one lower: above
        {{228, 160}, false},
        {{440, 300}, true},
        {{123, 186}, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("page " + std::to_string(r.page.x()) + "," + std::to_string(r.page.y()));
        const QPoint cursor = image->mapToGlobal(r.page);
        press(r.page);
        ASSERT_TRUE(dialog()->isVisible());
        const QRect outer = dialog()->frameGeometry();
        EXPECT_EQ(outer.left(), cursor.x());
        if (r.above)
            EXPECT_EQ(outer.top() + outer.height(), cursor.y()) << "its bottom edge at the cursor";
        else
            EXPECT_EQ(outer.top(), cursor.y()) << "its top edge at the cursor";
    }
}

TEST_F(PageToolsTest, DialogOpenedFirstLowOnTheScreenEndsAtTheCursor)
{
    // Low on the page, so the first press opens the dialog above the cursor,
    // before the window system ever told the dialog how tall its frame is.
    chordTool();
    const QPoint page = centreOf(30);
    const QPoint cursor = image->mapToGlobal(page);
    ASSERT_GT(cursor.y(), window->frameGeometry().height() - dialog()->height());
    press(page);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog()));
    const QRect outer = dialog()->frameGeometry();
    EXPECT_EQ(outer.top() + outer.height(), cursor.y());
    EXPECT_EQ(outer.left(), cursor.x());
}

TEST_F(PageToolsTest, PressedRegionChoosesTheSlotForEveryDivision)
{
    const int expected[5][4] = {
        {1, 1, 1, 1}, {1, 1, 2, 2}, {1, 2, 3, 4}, {1, 2, 3, 3}, {1, 1, 2, 3},
    };
    Bar& bar = chart().bar(7);
    for (int s = 1; s <= 4; ++s)
        bar.slot(s) = chord(2 * s + 1);   // the root list shows which slot was read
    for (int d = 1; d <= 5; ++d) {
        divide(7, d);
        for (int r = 1; r <= 4; ++r) {
            SCOPED_TRACE("division " + std::to_string(d) + " region " + std::to_string(r));
            press(regionPoint(7, r));
            ASSERT_TRUE(dialog()->isVisible());
            EXPECT_EQ(dialog()->currentBar(), 7);
            EXPECT_EQ(dialog()->chosenSlot(), expected[d - 1][r - 1]);
            EXPECT_EQ(selectedRow(roots()), 2 * expected[d - 1][r - 1] + 1);
            cancel();
            EXPECT_FALSE(dialog()->isVisible());
        }
    }
}

TEST_F(PageToolsTest, DivisionOutOfRangeKeepsTheSlotOfThePreviousPress)
{
    divide(2, 3);
    press(rightOf(2));
    ASSERT_EQ(dialog()->chosenSlot(), 4);
    cancel();
    const Bar bar2 = chart().bar(2);

    chart().bar(9).division = 0;   // as a file may hold
    chart().bar(9).slot(4) = chord(3);
    press(leftOf(9));
    EXPECT_EQ(dialog()->currentBar(), 9);
    EXPECT_EQ(dialog()->chosenSlot(), 4);
    EXPECT_EQ(selectedRow(roots()), 3);
    clickRow(roots(), 6);
    ok();
    EXPECT_EQ(chart().bar(9).slot(4).root, 6);
    EXPECT_EQ(chart().bar(9).slot(1).root, 0);
    EXPECT_TRUE(sameBytes(chart().bar(2), bar2));
}

TEST_F(PageToolsTest, OkCancelAndTheQualityRulesReachThePressedSlot)
{
    divide(10, 3);

    // "%" drops a quality chosen from the list.
    press(topOf(10));
    clickRow(roots(), 0);
    clickRow(qualities(), 4);   // "m7"
    ok();
    EXPECT_FALSE(dialog()->isVisible());
    EXPECT_EQ(chart().bar(10).slot(2).root, 0);
    EXPECT_EQ(chart().bar(10).slot(2).quality.size(), 0u);

    // "Autre" with an empty free text stores no quality, whatever the list shows.
    press(bottomOf(10));
    clickRow(roots(), 8);        // "G"
    clickRow(qualities(), 2);    // "7"
    QTest::mouseClick(other(), Qt::LeftButton);
    ASSERT_TRUE(other()->isChecked());
    freeText()->clear();
    ok();
    EXPECT_EQ(chart().bar(10).slot(3).root, 8);
    EXPECT_EQ(chart().bar(10).slot(3).quality.size(), 0u);

    // "Autre" with a free text typed in.
    press(leftOf(10));
    clickRow(roots(), 3);
    QTest::mouseClick(other(), Qt::LeftButton);
    QTest::keyClicks(freeText(), "sus4");
    ok();
    EXPECT_EQ(chart().bar(10).slot(1).root, 3);
    EXPECT_EQ(chart().bar(10).slot(1).quality.view(), "sus4");

    // "Cancel" stores nothing and leaves the page as it was.
    const Bar before = chart().bar(10);
    press(rightOf(10));
    clickRow(roots(), 12);
    const QImage pageBefore = window->pageImage().copy();
    cancel();
    EXPECT_FALSE(dialog()->isVisible());
    EXPECT_TRUE(sameBytes(chart().bar(10), before));
    EXPECT_TRUE(sameImage(window->pageImage(), pageBefore));
}

TEST_F(PageToolsTest, ASecondPressMovesAndRetargetsTheOpenDialog)
{
    divide(2, 3);
    divide(7, 3);
    press(leftOf(2));
    ASSERT_TRUE(dialog()->isVisible());
    const QPoint first = dialog()->pos();
    clickRow(roots(), 5);

    const QPoint second = bottomOf(7);
    press(second);
    EXPECT_TRUE(dialog()->isVisible());
    EXPECT_NE(dialog()->pos(), first);
    EXPECT_EQ(dialog()->frameGeometry().left(), image->mapToGlobal(second).x());
    EXPECT_EQ(dialog()->currentBar(), 7);
    EXPECT_EQ(dialog()->chosenSlot(), 3);
    EXPECT_EQ(selectedRow(roots()), 0) << "fresh presets from the new slot";

    const Bar bar2 = chart().bar(2);
    clickRow(roots(), 9);
    ok();
    EXPECT_EQ(chart().bar(7).slot(3).root, 9);
    EXPECT_TRUE(sameBytes(chart().bar(2), bar2));
}

TEST_F(PageToolsTest, ReopeningAChordAndPressingOkKeepsIt)
{
    Bar& bar = chart().bar(5);
    bar.division = 2;
    bar.slot(1) = chord(11, "7", true);   // "Bb7"
    bar.slot(2) = chord(0);               // "%"
    Bar& sharp = chart().bar(8);
    sharp.slot(1) = chord(2, "m");        // "C#m"
    Bar& odd = chart().bar(12);
    odd.slot(1) = chord(4, "add9", true); // a free text
    window->redrawPage();
    const Bar before = bar;
    chordTool();

    press(leftOf(5));
    EXPECT_EQ(selectedRow(roots()), 11);
    EXPECT_EQ(roots()->currentItem()->text(), "A#/Bb");
    EXPECT_EQ(selectedRow(qualities()), 2);
    EXPECT_TRUE(flat()->isChecked());
    EXPECT_FALSE(other()->isChecked());
    ok();
    EXPECT_TRUE(sameBytes(bar, before));

    // "%" has no spelling: the box keeps the flat one for the next chord.
    press(rightOf(5));
    EXPECT_EQ(selectedRow(roots()), 0);
    EXPECT_TRUE(flat()->isChecked());
    clickRow(roots(), 7);
    ok();
    EXPECT_EQ(bar.slot(2).root, 7);
    EXPECT_NE(bar.slot(2).flat, 0) << "drawn \"Gb\"";

    press(topOf(8));
    EXPECT_FALSE(flat()->isChecked());
    EXPECT_EQ(selectedRow(qualities()), 1);
    ok();
    EXPECT_EQ(sharp.slot(1).root, 2);
    EXPECT_EQ(sharp.slot(1).flat, 0);
    EXPECT_EQ(sharp.slot(1).quality.view(), "m");

    const Bar oddBefore = odd;
    press(bottomOf(12));
    EXPECT_TRUE(other()->isChecked());
    EXPECT_EQ(freeText()->text(), "add9");
    ok();
    EXPECT_TRUE(sameBytes(odd, oddBefore));
    EXPECT_TRUE(sameImage(window->pageImage(), expectedPage()));
}

TEST_F(PageToolsTest, AChartBuiltOnScreenIsDrawnAndSavedByteForByte)
{
    Chart expected = chart();

    // Bar 6: four chords; "Bbm7" at the top. Bar 7: a start-repeat sign and a
    // second line; bar 8 hidden; bar 9 three chords with "F#" at the right.
    divide(6, 3);
    press(topOf(6));
    clickRow(roots(), 11);
    clickRow(qualities(), 4);
    if (!flat()->isChecked())
        QTest::mouseClick(flat(), Qt::LeftButton);
    ok();
    divide(9, 5);
    press(rightOf(9));
    clickRow(roots(), 7);
    QTest::mouseClick(flat(), Qt::LeftButton);
    ASSERT_FALSE(flat()->isChecked());
    clickRow(qualities(), 0);
    ok();
    barLineTool();
    press(leftOf(7));
    press(bottomOf(7));
    eraser();
    press(centreOf(8));
    chordTool();

    expected.bar(6).division = 3;
    Chord& bbm7 = expected.bar(6).slot(2);
    bbm7.root = 11;
    bbm7.quality.assign("m7");
    bbm7.flat = 1;
    expected.bar(9).division = 5;
    Chord& fSharp = expected.bar(9).slot(3);
    fSharp.root = 7;
    fSharp.flat = 0;
    expected.bar(7).left = 1;
    expected.bar(7).bottom = 1;
    expected.bar(8).shown = 0;

    EXPECT_TRUE(sameImage(window->pageImage(), pageOf(expected)));
    const std::vector<char> saved = saveThroughMenu("built");
    ASSERT_EQ(saved.size(), 2456u);
    EXPECT_TRUE(saved == savedBytes(expected, "expected.bab"));
    // Bar 6's slot 2 in the file: root, quality length and text, spelling.
    const std::size_t at = HeaderSize + 5 * BarRecordSize + 12;
    EXPECT_EQ(saved[at], 11);
    EXPECT_EQ(saved[at + 1], 2);
    EXPECT_EQ(std::string(&saved[at + 2], 2), "m7");
    EXPECT_EQ(saved[at + 10], 1);
    EXPECT_EQ(saved[HeaderSize + 8 * BarRecordSize - 4], 0) << "bar 8 hidden";
}

} // namespace
} // namespace mavrel::test
