// Text labels typed on the page: the text tool's presses, the floating box,
// Enter, and the faults that could lose a label.
#include "render/canvas.h"
#include "print/printpreview.h"
#include "test_page_support.h"

#include <QClipboard>
#include <QFile>
#include <QStatusBar>

#include <QScrollArea>
#include <QScrollBar>

#include <functional>
#include <utility>

namespace mavrel::test {
namespace {

class LabelsTest : public PageWindowTest {
protected:
    void SetUp() override
    {
        PageWindowTest::SetUp();
        textTool();
    }

    void type(const QString& text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    void enter() { QTest::keyClick(edit, Qt::Key_Return); }

    // A label typed at a free point of the page and committed with Enter.
    void addLabel(QPoint at, const QString& text)
    {
        press(at);
        ASSERT_TRUE(edit->isVisible());
        ASSERT_TRUE(edit->text().isEmpty());
        type(text);
        enter();
    }

    // The box's top-left corner in page pixels.
    QPoint boxOnPage() const { return edit->pos() - image->pos(); }

    int labelCount() { return chart().info.labelCount; }
    std::string labelText(int j) { return chart().label(j).text.str(); }
    QPoint anchor(int j) { return {chart().label(j).x, chart().label(j).y}; }

    QToolButton* boldButton() { return button("boldButton"); }

    void fillWithLabels()
    {
        change([](Chart& c) {
            for (int i = 0; i < MaxLabels; ++i)
                ASSERT_TRUE(commitLabel(c, "plein", 20 + 5 * i, 20, 8, false));
        });
    }

    using Labels = std::vector<std::pair<std::string, QPoint>>;
    Labels liveLabels()
    {
        Labels all;
        for (int j = 1; j <= labelCount(); ++j)
            all.emplace_back(labelText(j), anchor(j));
        return all;
    }
};

TEST_F(LabelsTest, PressOnAFreePointShowsTheBoxThereWhateverTheScroll)
{
    press({300, 60});
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(boxOnPage(), QPoint(300, 60));
    EXPECT_EQ(edit->mapToGlobal(QPoint(0, 0)), image->mapToGlobal(QPoint(300, 60)));

    // Text, size, weight and width go along to the next free point.
    chooseSize("14");
    QTest::mouseClick(boldButton(), Qt::LeftButton);
    type("abc");
    const int width = edit->width();
    auto* scroll = window->findChild<QScrollArea*>("scrollArea");
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    scroll->horizontalScrollBar()->setValue(scroll->horizontalScrollBar()->maximum());
    ASSERT_GT(scroll->verticalScrollBar()->value(), 0);
    press({400, 700});
    EXPECT_EQ(boxOnPage(), QPoint(400, 700));
    EXPECT_EQ(edit->mapToGlobal(QPoint(0, 0)), image->mapToGlobal(QPoint(400, 700)));
    EXPECT_EQ(edit->text(), "abc");
    EXPECT_EQ(edit->width(), width);
    EXPECT_EQ(window->editor()->labels()->fontSize(), 14);
    EXPECT_TRUE(edit->font().bold());
    EXPECT_EQ(labelCount(), 0);
    enter();
    ASSERT_EQ(labelCount(), 1);
    EXPECT_EQ(anchor(1), QPoint(400, 700));
}

TEST_F(LabelsTest, EnterCommitsTheBoxAsTheLastLabel)
{
    chooseSize("10");
    press({200, 60});
    type("a");
    EXPECT_EQ(edit->width(), 20);
    type("b");
    EXPECT_EQ(edit->width(), 30);
    type("  c");
    enter();
    ASSERT_EQ(labelCount(), 1);
    EXPECT_EQ(labelText(1), "ab  c");
    EXPECT_EQ(anchor(1), QPoint(200, 60));
    EXPECT_EQ(chart().label(1).size, 10);
    EXPECT_EQ(chart().label(1).bold, 0);
    EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(edit->width(), 20) << "twice the size right after a commit";
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage()));

    // Enter on an empty box commits nothing; the box stays.
    chooseSize("12");
    press({200, 100});
    type("x");
    QTest::keyClick(edit, Qt::Key_Backspace);
    ASSERT_TRUE(edit->text().isEmpty());
    enter();
    EXPECT_EQ(labelCount(), 1);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->width(), 24);

    // Spaces alone are a text; the keypad's Enter commits as well.
    type("   ");
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(labelCount(), 2);
    EXPECT_EQ(labelText(2), "   ");
    EXPECT_EQ(anchor(2), QPoint(200, 100));
}

TEST_F(LabelsTest, TheBoxIsTallEnoughForTheTextTypedInIt)
{
    press({100, 100});
    for (const char* size : {"8", "24", "72"}) {
        SCOPED_TRACE(size);
        chooseSize(size);
        QTest::mouseClick(boldButton(), Qt::LeftButton);
        EXPECT_GE(edit->height(), edit->minimumSizeHint().height());
    }
    EXPECT_GT(edit->height(), 96) << "72 points are 96 pixels";
    chooseSize("8");
    EXPECT_LT(edit->height(), 30) << "and shrinks back";
    chooseSize("72");
    type("Coda");
    enter();
    chooseSize("8");
    press({101, 101});
    ASSERT_EQ(edit->text(), "Coda");
    EXPECT_GE(edit->height(), edit->minimumSizeHint().height()) << "a label opened in its own size";
}

TEST_F(LabelsTest, EachLabelKeepsItsOwnSizeAndWeight)
{
    chooseSize("24");
    QTest::mouseClick(boldButton(), Qt::LeftButton);
    addLabel({80, 30}, "Titre");
    QTest::mouseClick(boldButton(), Qt::LeftButton);
    chooseSize("10");
    addLabel({80, 90}, "remarque");
    chooseSize("36");   // the size box never changes a label on the page

    ASSERT_EQ(labelCount(), 2);
    EXPECT_EQ(chart().label(1).size, 24);
    EXPECT_EQ(chart().label(1).bold, 1);
    EXPECT_EQ(chart().label(2).size, 10);
    EXPECT_EQ(chart().label(2).bold, 0);
    EXPECT_EQ(chart().info.fontSize, 10) << "the chords keep their size";
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage()));
    // Bold at 24 points is blacker than the regular 10-point remark.
    const QImage& page = window->editor()->pageImage();
    auto ink = [&](QRect r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += (page.pixel(x, y) & 0xFFFFFF) == 0;
        return n;
    };
    EXPECT_GT(ink({80, 30, 100, 40}), 2 * ink({80, 90, 100, 20}));
}

TEST_F(LabelsTest, AReopenedLabelComesBackAtItsAnchorInItsSizeAndWeight)
{
    chooseSize("18");
    QTest::mouseClick(boldButton(), Qt::LeftButton);
    addLabel({150, 40}, "Intro");
    chooseSize("8");
    QTest::mouseClick(boldButton(), Qt::LeftButton);
    ASSERT_FALSE(boldButton()->isChecked());

    press({151, 41});
    EXPECT_EQ(labelCount(), 1) << "kept in the chart while the box holds it";
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(boxOnPage(), QPoint(150, 40));
    EXPECT_EQ(edit->text(), "Intro");
    EXPECT_EQ(window->editor()->labels()->fontSize(), 18);
    EXPECT_TRUE(edit->font().bold());
    EXPECT_EQ(sizeBox()->currentText(), "18");
    EXPECT_TRUE(boldButton()->isChecked());
    EXPECT_EQ(edit->width(), 18 * 6);
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage(1))) << "gone from the page";

    enter();
    ASSERT_EQ(labelCount(), 1);
    EXPECT_EQ(anchor(1), QPoint(150, 40));
    EXPECT_EQ(labelText(1), "Intro");
    EXPECT_EQ(chart().label(1).size, 18);
    EXPECT_EQ(chart().label(1).bold, 1);
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage()));
}

TEST_F(LabelsTest, CommittingLabelOneOfThreeMovesTheLastIntoItsPlace)
{
    addLabel({100, 50}, "un");
    addLabel({100, 80}, "deux");
    addLabel({100, 110}, "trois");
    press({101, 51});
    EXPECT_EQ(edit->text(), "un");
    EXPECT_EQ(liveLabels(), (Labels{{"un", {100, 50}}, {"deux", {100, 80}}, {"trois", {100, 110}}}));
    enter();
    EXPECT_EQ(liveLabels(), (Labels{{"trois", {100, 110}}, {"deux", {100, 80}}, {"un", {100, 50}}}))
        << "an edited label goes to the end";

    // Emptied, it goes.
    press({101, 51});
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    enter();
    EXPECT_EQ(liveLabels(), (Labels{{"trois", {100, 110}}, {"deux", {100, 80}}}));
    EXPECT_FALSE(edit->isVisible());
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage()));
}

TEST_F(LabelsTest, OtherToolsHideTheBoxAndKeepItsText)
{
    press({300, 60});
    type("garde");
    for (const char* tool : {"chordToolButton", "eraserToolButton", "barLineToolButton"}) {
        SCOPED_TRACE(tool);
        textTool();
        press({300, 60});
        ASSERT_TRUE(edit->isVisible());
        useTool(tool);
        press({10, 10}, Qt::RightButton);
        EXPECT_FALSE(edit->isVisible());
        EXPECT_EQ(edit->text(), "garde");
    }
    // The lasso leaves the box as it is.
    textTool();
    press({300, 60});
    lasso();
    press({10, 10});
    EXPECT_TRUE(edit->isVisible());

    textTool();
    press({50, 740});
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(boxOnPage(), QPoint(50, 740));
    EXPECT_EQ(edit->text(), "garde");
    EXPECT_EQ(labelCount(), 0);
    enter();
    EXPECT_EQ(labelCount(), 1);
    EXPECT_EQ(anchor(1), QPoint(50, 740));
}

TEST_F(LabelsTest, ALabelOfAnUnlistedSizeLeavesTheSizeBoxEmpty)
{
    // Sizes outside the list come from files, 0 and negative ones too: they
    // are opened and committed again as they are.
    for (const int size : {13, 0, -3}) {
        SCOPED_TRACE(size);
        change([&](Chart& c) { ASSERT_TRUE(commitLabel(c, "treize", 200, 40, size, false)); });
        press({201, 41});
        EXPECT_EQ(edit->text(), "treize");
        EXPECT_EQ(window->editor()->labels()->fontSize(), size);
        EXPECT_EQ(sizeBox()->currentIndex(), -1);
        EXPECT_TRUE(sizeBox()->currentText().isEmpty());
        EXPECT_EQ(edit->width(), effectivePoints(size) * 7);
        enter();
        ASSERT_EQ(labelCount(), 1);
        EXPECT_EQ(chart().label(1).size, size);
        change([](Chart& c) { c.info.labelCount = 0; });
    }
}

// --- faults that lost labels -----------------------------------------------------

TEST_F(LabelsTest, OpeningALabelFirstCommitsTheTextInTheBox)
{
    addLabel({100, 50}, "A");
    addLabel({100, 200}, "C");

    // Text typed and not committed becomes the last label; the label opened
    // stays in its place, hidden from the page, until the box is committed.
    press({300, 60});
    type("B");
    press({101, 51});
    EXPECT_EQ(edit->text(), "A");
    EXPECT_EQ(boxOnPage(), QPoint(100, 50));
    EXPECT_EQ(liveLabels(), (Labels{{"A", {100, 50}}, {"C", {100, 200}}, {"B", {300, 60}}}));
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage(1)));

    // Opening another commits the first: it goes to the end, the last label
    // moving into its place.
    press({101, 201});
    EXPECT_EQ(edit->text(), "C");
    EXPECT_EQ(liveLabels(), (Labels{{"B", {300, 60}}, {"C", {100, 200}}, {"A", {100, 50}}}));
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage(2)));

    // Even when another tool has hidden the box meanwhile.
    chordTool();
    press({10, 10});
    ASSERT_FALSE(edit->isVisible());
    textTool();
    press({301, 61});
    EXPECT_EQ(edit->text(), "B");
    EXPECT_EQ(liveLabels(), (Labels{{"B", {300, 60}}, {"A", {100, 50}}, {"C", {100, 200}}}));
    enter();
    EXPECT_EQ(liveLabels(), (Labels{{"C", {100, 200}}, {"A", {100, 50}}, {"B", {300, 60}}}));
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage()));
}

TEST_F(LabelsTest, SavingAndPrintingFirstCommitTheBox)
{
    press({200, 60});
    type("titre");
    const std::vector<char> saved = saveThroughMenu("avec");
    ASSERT_EQ(labelCount(), 1);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_TRUE(edit->text().isEmpty());
    ASSERT_EQ(saved.size(), 2456u + 116u);
    EXPECT_TRUE(saved == savedBytes(chart(), "expected.bab"));
    EXPECT_EQ(std::string(&saved[2456 + 1], 5), "titre");

    // A label open in the box is saved with what the box holds.
    press({201, 61});
    type("!");
    EXPECT_EQ(saveThroughMenu("encore").size(), 2456u + 116u);
    EXPECT_EQ(labelText(1), "titre!");
    EXPECT_FALSE(edit->isVisible());

    press({201, 61});
    type(" 2");
    menu("printAction");
    ASSERT_EQ(labelCount(), 1);
    EXPECT_EQ(labelText(1), "titre! 2");
    EXPECT_EQ(anchor(1), QPoint(200, 60));
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage()));
    if (QWidget* preview = window->findChild<QWidget*>("PrintPreview"))
        preview->hide();

    // An empty box adds nothing.
    textTool();
    press({400, 400});
    saveThroughMenu("vide");
    EXPECT_EQ(labelCount(), 1);
}

TEST_F(LabelsTest, TheBoxTakesAHundredCharactersAndNothingIsCut)
{
    press({30, 700});
    const QString text = QString(60, QLatin1Char('x')) + QString(60, QLatin1Char('y'));
    type(text);
    EXPECT_EQ(edit->text(), text.left(100));
    enter();
    ASSERT_EQ(labelCount(), 1);
    EXPECT_EQ(labelText(1), text.left(100).toStdString());
}

TEST_F(LabelsTest, TheBoxTakesOnlyWhatAChartFileCanHold)
{
    press({30, 700});
    type(QStringLiteral("é€Ωa\u0142ñ\U0001F3B5ø"));
    EXPECT_EQ(edit->text(), QStringLiteral("é€añø"));
    enter();
    ASSERT_EQ(labelCount(), 1);
    EXPECT_EQ(labelText(1), "\xE9\x80" "a\xF1\xF8");

    // And it comes back as it was typed.
    press({31, 701});
    EXPECT_EQ(edit->text(), QStringLiteral("é€añø"));
}

// A control character pasted into the text box or the typing box is refused
// with a message, the box as it was; a clean text goes in.
TEST_F(LabelsTest, PastedControlCharactersAreRefusedWithAMessage)
{
    auto* typingBox = window->centralWidget()->findChild<QLineEdit*>("chordTypingBox");
    struct Row {
        const char* what;
        std::function<QLineEdit*()> open;
    };
    const Row rows[] = {
        {"text box", [&] { press({30, 700}); return edit; }},
        {"typing box", [&] { menu("chordEntryAction"); return typingBox; }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        QLineEdit* box = r.open();
        ASSERT_TRUE(box->isVisible());
        box->setText("Am");
        box->setCursorPosition(2);
        for (const QString& pasted : {QString("7\tb"), QString("7\n"), QString("\x1b[31m"), QString("7\u0085")}) {
            window->statusBar()->clearMessage();
            QApplication::clipboard()->setText(pasted);
            box->paste();
            EXPECT_EQ(box->text(), "Am");
            EXPECT_TRUE(window->statusBar()->currentMessage().contains("caractères de commande"))
                << window->statusBar()->currentMessage().toStdString();
        }
        QApplication::clipboard()->setText("7");
        box->paste();
        EXPECT_EQ(box->text(), "Am7");
    }
}

TEST_F(LabelsTest, AHundredAndFirstLabelStaysInTheBoxWithAMessage)
{
    fillWithLabels();

    press({300, 760});
    type("encore");
    enter();
    EXPECT_EQ(labelCount(), MaxLabels);
    EXPECT_EQ(edit->text(), "encore");
    EXPECT_TRUE(edit->isVisible());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().contains("100")) << messages.first().toStdString();
    EXPECT_TRUE(messages.first().contains("textes")) << messages.first().toStdString();

    // Opening a label now would have to drop the box's text: nothing happens.
    press({21, 21});
    EXPECT_EQ(labelCount(), MaxLabels);
    EXPECT_EQ(edit->text(), "encore");
    EXPECT_EQ(labelText(1), "plein");

    // Once a label is gone, Enter goes through.
    change([](Chart& c) { c.info.labelCount = MaxLabels - 1; });
    enter();
    EXPECT_EQ(labelCount(), MaxLabels);
    EXPECT_EQ(labelText(MaxLabels), "encore");
}

TEST_F(LabelsTest, AFullChartHoldsBackSavingAndPrintingAndSaysSo)
{
    fillWithLabels();
    press({300, 760});
    type("encore");

    const QString path = dir.filePath("plein.bab");
    dialogs.saveAnswer(path);
    menu("saveAsAction");
    EXPECT_FALSE(QFile::exists(path));
    menu("printAction");
    EXPECT_FALSE(window->printPreview()->isVisible());
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages.at(0).contains("pas été enregistrée")) << messages.at(0).toStdString();
    EXPECT_TRUE(messages.at(1).contains("pas été ouvert")) << messages.at(1).toStdString();
    EXPECT_EQ(edit->text(), "encore");
}

} // namespace
} // namespace mavrel::test
