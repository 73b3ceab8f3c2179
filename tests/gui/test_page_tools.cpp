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
    ChordDialog* dialog() { return window->editor()->chordDialog(); }
    QListWidget* roots() { return dialog()->findChild<QListWidget*>("rootList"); }
    QListWidget* qualities() { return dialog()->findChild<QListWidget*>("qualityList"); }
    QCheckBox* flat() { return dialog()->findChild<QCheckBox*>("flatCheck"); }
    void ok() { QTest::mouseClick(dialog()->findChild<QPushButton*>("okButton"), Qt::LeftButton); }
    void cancel() { QTest::mouseClick(dialog()->findChild<QPushButton*>("cancelButton"), Qt::LeftButton); }

    // Right presses with the chord tool until bar `b` has division `d`.
    void divide(int b, int d)
    {
        chordTool();
        while (chart().bar(b).division != d)
            press(centreOf(b), Qt::RightButton);
    }
};

// Presses that hit no bar, or with a button the tool does not use, change
// nothing: no step in the history, no dialog.
TEST_F(PageToolsTest, PressesThatHitNothingChangeNothing)
{
    struct Press {
        const char* tool;
        Qt::MouseButton button;
        QPoint at;
    };
    // The page margin, and just past the grid's right-hand frame.
    const Press presses[] = {
        {"chordToolButton", Qt::LeftButton, {10, 10}},    {"chordToolButton", Qt::RightButton, {491, 400}},
        {"eraserToolButton", Qt::LeftButton, {10, 10}},   {"barLineToolButton", Qt::LeftButton, {491, 400}},
        {"barLineToolButton", Qt::RightButton, {10, 10}}, {"chordToolButton", Qt::MiddleButton, {228, 257}},
    };
    const QByteArray before = chartBytes(*window);
    for (const Press& p : presses) {
        SCOPED_TRACE(std::string(p.tool) + " at " + std::to_string(p.at.x()) + "," + std::to_string(p.at.y()));
        useTool(p.tool);
        press(p.at, p.button);
        EXPECT_TRUE(chartBytes(*window) == before);
        EXPECT_FALSE(window->findChild<QAction*>("undoAction")->isEnabled());
        EXPECT_FALSE(dialog()->isVisible());
    }
}

TEST_F(PageToolsTest, BarLineToolChangesTheSignOfThePressedEdge)
{
    barLineTool();
    struct Row {
        QPoint at;
        std::int16_t Bar::*field;
        Qt::MouseButton button;
    };
    const Row rows[] = {
        {leftOf(6), &Bar::left, Qt::LeftButton},     {topOf(6), &Bar::top, Qt::RightButton},
        {bottomOf(6), &Bar::bottom, Qt::LeftButton}, {rightOf(6), &Bar::right, Qt::RightButton},
    };
    Bar expected = chart().bar(6);
    for (const Row& r : rows) {
        press(r.at, r.button);
        expected.*r.field = 1;
        EXPECT_TRUE(sameBytes(chart().bar(6), expected));
    }
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage()));
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
    change([](Chart& c) { c.bar(6).slot(2) = chord(5, "m"); });
    const Bar before = chart().bar(6);
    chordTool();
    press(rightOf(6), Qt::RightButton);
    press(leftOf(6), Qt::RightButton);
    Bar expected = before;
    expected.division = 3;
    EXPECT_TRUE(sameBytes(chart().bar(6), expected));
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage()));
    EXPECT_FALSE(dialog()->isVisible());
}

TEST_F(PageToolsTest, EraserHidesTheBarAndShowsItAgain)
{
    change([](Chart& c) {
        c.bar(6).division = 3;
        c.bar(6).slot(4) = chord(8, "7");
    });
    const Bar before = chart().bar(6);
    const QImage pageBefore = window->editor()->pageImage().copy();

    eraser();
    press(bottomOf(6));
    EXPECT_EQ(chart().bar(6).shown, 0);
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage()));
    press(topOf(6), Qt::RightButton);
    EXPECT_TRUE(sameBytes(chart().bar(6), before));
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), pageBefore));
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

TEST_F(PageToolsTest, OkStoresTheChordInThePressedSlotAndCancelNothing)
{
    divide(10, 3);
    press(bottomOf(10));
    ASSERT_TRUE(dialog()->isVisible());
    clickRow(roots(), 8);        // "G"
    clickRow(qualities(), 2);    // "7"
    ok();
    EXPECT_FALSE(dialog()->isVisible());
    EXPECT_EQ(chart().bar(10).slot(3).root, 8);
    EXPECT_EQ(chart().bar(10).slot(3).quality.view(), "7");
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage()));

    const QByteArray before = chartBytes(*window);
    press(rightOf(10));
    clickRow(roots(), 12);
    cancel();
    EXPECT_FALSE(dialog()->isVisible());
    EXPECT_TRUE(chartBytes(*window) == before);
    EXPECT_EQ(window->findChild<QAction*>("undoAction")->text(), "&Annuler la saisie de l'accord");
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

    EXPECT_TRUE(sameImage(window->editor()->pageImage(), pageOf(expected)));
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
