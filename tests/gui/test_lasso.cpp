// The lasso on the page, the "Edition" menu's bar clipboard and the
// transpose dialog, through presses, drags and clicks.
#include "dialogs/transposedialog.h"
#include "test_page_support.h"

#include <QComboBox>
#include <QPushButton>

#include <cstring>
#include <memory>

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
        const Selection& s = window->selection();
        return {s.entries, s.entries + s.count};
    }

    // The page as the page view shows it, the lasso's band included.
    QImage shown() { return image->grab().toImage(); }

    // A bar with something in every field that "Supprimer" clears.
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
        change([&](Chart& c) {
            const int x = c.bar(i).x, y = c.bar(i).y;
            c.bar(i) = b;
            c.bar(i).x = x;
            c.bar(i).y = y;
        });
    }
    // Bar contents without the place the layout gives it.
    static bool sameContents(Bar a, Bar b)
    {
        a.x = b.x;
        a.y = b.y;
        return sameBytes(a, b);
    }
};

TEST_F(LassoTest, ADragSelectsTheBarsItEnclosesAndAClickTheBarUnderIt)
{
    // Centres: bar 2 (228, 186), 3 (333, 186), 6 (228, 257), 7 (333, 257).
    struct Row {
        QPoint from, to;
        std::vector<int> expected;
    };
    const Row rows[] = {
        {{200, 160}, {360, 280}, {2, 3, 6, 7}},
        {{228, 257}, {228, 257}, {6}},
        {{428, 457}, {228, 257}, {6}},   // up and left: the bar under the release
        {{10, 10}, {14, 12}, {}},        // a click beside the grid
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.from.x()) + "," + std::to_string(r.from.y()) + " to "
                     + std::to_string(r.to.x()) + "," + std::to_string(r.to.y()));
        drag(r.from, r.to);
        EXPECT_EQ(selected(), r.expected);
        EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage()));
    }
    drag({200, 160}, {360, 280});
    EXPECT_EQ(window->editor()->pageImage().pixel(178, 153) & 0xFFFFFF, 0x00FFFFu) << "bar 2 on cyan";
    EXPECT_EQ(window->editor()->pageImage().pixel(73, 153) & 0xFFFFFF, 0xFFFFFFu) << "bar 1 on white";
}

TEST_F(LassoTest, TheBandIsDrawnOverThePageAtEveryMoveAndGoneAtTheRelease)
{
    const QImage plain = window->editor()->pageImage().copy();
    QTest::mousePress(image, Qt::LeftButton, {}, {100, 100});
    QTest::mouseMove(image, {300, 250});
    const QImage banded = shown();
    ASSERT_EQ(banded.size(), plain.size());
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
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), plain)) << "never drawn into the page";

    // The next move draws the band afresh: no trace of the first.
    QTest::mouseMove(image, {150, 400});
    const QImage moved = shown();
    EXPECT_EQ(moved.pixel(299, 150) & 0xFFFFFF, plain.pixel(299, 150) & 0xFFFFFF);
    EXPECT_EQ(moved.pixel(299, 151) & 0xFFFFFF, plain.pixel(299, 151) & 0xFFFFFF);

    // Dragged up and to the left of the start, the band still shows.
    QTest::mouseMove(image, {40, 40});
    EXPECT_FALSE(sameImage(shown(), plain));

    QTest::mouseRelease(image, Qt::LeftButton, {}, {40, 40});
    EXPECT_TRUE(sameImage(shown(), window->editor()->pageImage()));

    // Moves without a lasso draw nothing.
    useTool("chordToolButton");
    QTest::mousePress(image, Qt::RightButton, {}, {10, 10});
    QTest::mouseMove(image, {200, 200});
    EXPECT_TRUE(sameImage(shown(), window->editor()->pageImage()));
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
    const QPoint outside = handle->mapFromGlobal(window->mapToGlobal(QPoint(5, 5)));
    ASSERT_EQ(window->childAt(QPoint(5, 5)) == image, false);
    QTest::mouseMove(handle, outside);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, outside);
    EXPECT_TRUE(sameImage(shown(), window->editor()->pageImage())) << "no band left";
    // The release lies up and to the left of the start: the bar under it, none.
    EXPECT_TRUE(selected().empty());

    QTest::mousePress(handle, Qt::RightButton, {}, inWindow({60, 130}));
    const QPoint belowRight = handle->mapFromGlobal(image->mapToGlobal(QPoint(200, 200)));
    QTest::mouseRelease(handle, Qt::RightButton, {}, belowRight);
    EXPECT_EQ(selected(), (std::vector<int>{1}));
}

TEST_F(LassoTest, CopyPasteAndSupprimerThroughTheMenu)
{
    putBar(5, fullBar(1));
    putBar(6, fullBar(5));
    const Bar five = chart().bar(5), six = chart().bar(6);

    drag({100, 240}, {300, 280});   // bars 5 and 6
    ASSERT_EQ(selected(), (std::vector<int>{5, 6}));
    menu("copyAction");
    EXPECT_TRUE(selected().empty());
    EXPECT_EQ(DocumentManager::instance()->clipboard().count, 2);

    drag(centreOf(9), centreOf(9));
    menu("pasteAction");
    EXPECT_TRUE(selected().empty());
    EXPECT_TRUE(sameContents(chart().bar(9), five));
    EXPECT_TRUE(sameContents(chart().bar(10), six));
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage()));

    drag({100, 240}, {300, 280});
    menu("deleteAction");
    EXPECT_TRUE(selected().empty());
    EXPECT_EQ(chart().bar(5).division, 1);
    EXPECT_EQ(chart().bar(6).slot(1).root, 0);
    EXPECT_TRUE(sameContents(chart().bar(9), five)) << "only the selected bars";
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage()));
}

TEST_F(LassoTest, SelectionAndClipboardSurviveOpeningAChart)
{
    putBar(5, fullBar(1));
    const Bar five = chart().bar(5);
    drag({100, 240}, {180, 280});
    menu("copyAction");

    // Another chart, saved with a landscape page.
    auto other = std::make_unique<Chart>(chart());
    other->bar(5) = blankBar();
    std::swap(other->info.pageWidth, other->info.pageHeight);
    layoutChart(*other);
    const QString otherPath = path("autre.bab");
    ASSERT_TRUE(saveChart(*other, QFile::encodeName(otherPath).toStdString()).ok);

    drag({200, 160}, {360, 200});
    ASSERT_EQ(selected(), (std::vector<int>{2, 3}));
    dialogs.openAnswer(otherPath);
    menu("openAction");
    ASSERT_TRUE(messages.isEmpty()) << messages.join(" ").toStdString();
    EXPECT_EQ(chart().info.pageWidth, 800);
    EXPECT_EQ(selected(), (std::vector<int>{2, 3}));
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage())) << "highlighted in the opened chart";
    EXPECT_EQ(DocumentManager::instance()->clipboard().count, 1);

    drag(centreOf(9), centreOf(9));
    menu("pasteAction");
    EXPECT_TRUE(sameContents(chart().bar(9), five));
}

// --- transpose dialog ---------------------------------------------------------------

using TransposeTest = PageWindowTest;

TEST_F(TransposeTest, EachPressOfTheDialogMovesTheChords)
{
    change([](Chart& c) {
        c.bar(1).slot(1) = chord(12, "7");   // "B7"
        c.bar(2).slot(1) = chord(1, "m");    // "Cm"
    });
    menu("transposeAction");
    TransposeDialog* dialog = window->transposeDialog();
    ASSERT_TRUE(dialog->isVisible());
    QTest::mouseClick(dialog->findChild<QPushButton*>("upButton"), Qt::LeftButton);
    EXPECT_EQ(chart().bar(1).slot(1).root, 1);
    EXPECT_EQ(chart().bar(2).slot(1).root, 2);
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage()));

    QTest::mouseClick(dialog->findChild<QPushButton*>("downButton"), Qt::LeftButton);
    QTest::mouseClick(dialog->findChild<QPushButton*>("downButton"), Qt::LeftButton);
    EXPECT_EQ(chart().bar(1).slot(1).root, 11);
    EXPECT_EQ(chart().bar(2).slot(1).root, 12);
    EXPECT_EQ(chart().bar(1).slot(1).quality.view(), "7");
    EXPECT_TRUE(dialog->isVisible()) << "open for more presses";

    // Spelled by the key heard in the chords (B minor, where Bb7 | Bm comes to
    // rest): A in sharps, then G# still in sharps.
    auto* spelling = dialog->findChild<QComboBox*>("spellingCombo");
    spelling->setCurrentIndex(spelling->findText("selon la tonalité"));
    auto name = [&](int bar) { return std::string(rootName(chart().bar(bar).slot(1).root, chart().bar(bar).slot(1).flat)); };
    QTest::mouseClick(dialog->findChild<QPushButton*>("downButton"), Qt::LeftButton);
    EXPECT_EQ(name(1) + " " + name(2), "A Bb");
    QTest::mouseClick(dialog->findChild<QPushButton*>("downButton"), Qt::LeftButton);
    EXPECT_EQ(name(1) + " " + name(2), "G# A");

    // A bass that would no longer fit its chord: nothing moves, and the
    // user is told which chord.
    change([](Chart& c) { c.bar(3).slot(1) = chord(1, "m7(b9,#11,b13)add9,no5/G"); });
    const auto before = std::make_unique<Chart>(chart());
    QTest::mouseClick(dialog->findChild<QPushButton*>("upButton"), Qt::LeftButton);
    EXPECT_EQ(std::memcmp(&chart(), before.get(), sizeof(Chart)), 0);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("mesure 3, « Cm7(b9,#11,b13)add9,no5/G »")) << messages[0].toStdString();
}

} // namespace
} // namespace mavrel::test
