// Replacing or reshaping the chart takes nothing of the old one across: no
// bars of the previous chart, no label left in the box, no chord dialog still
// pointing at a bar.
#include "dialogs/chorddialog.h"
#include "dialogs/transposedialog.h"
#include "test_page_support.h"

#include <QPushButton>

namespace mavrel::test {
namespace {

class ChartChangeTest : public PageWindowTest {
protected:
    void open(const QString& file)
    {
        dialogs.openAnswer(file);
        menu("openAction");
    }
};

TEST_F(ChartChangeTest, BarsTheFileDoesNotHoldShowAsOnTheCommandLine)
{
    change([](Chart& c) {
        for (int i = 1; i <= MaxBars; ++i)
            c.bar(i).slot(1) = chord(5, "7");
    });
    saveThroughMenu("e7");
    // The same grid with no bar records at all.
    std::vector<char> bytes = savedBytes(chart(), "empty.bab");
    bytes.resize(HeaderSize);
    std::memset(bytes.data() + 8, 0, 4);
    QFile f(path("empty.bab"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), qint64(bytes.size()));
    f.close();

    open(path("e7.bab"));
    open(path("empty.bab"));
    ASSERT_TRUE(messages.isEmpty()) << messages.join(' ').toStdString();
    StandaloneChart alone;
    ASSERT_TRUE(loadChart(alone.chart(), QFile::encodeName(path("empty.bab")).toStdString()).ok);
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), pageOf(alone.chart())));
    ASSERT_TRUE(saveChart(alone.chart(), QFile::encodeName(path("alone.bab")).toStdString()).ok);
    EXPECT_EQ(saveThroughMenu("again"), fileBytes(path("alone.bab")));
}

TEST_F(ChartChangeTest, AReopenedLabelStaysWithTheChartItCameFrom)
{
    textTool();
    press({300, 60});
    QTest::keyClicks(edit, "Titre");
    QTest::keyClick(edit, Qt::Key_Return);
    saveThroughMenu("titled");
    Chart other = chart();
    other.info.labelCount = 0;
    savedBytes(other, "plain.bab");

    for (const char* action : {"newAction", "openAction"}) {
        SCOPED_TRACE(action);
        open(path("titled.bab"));
        textTool();
        press({302, 62});   // reopens the label
        ASSERT_EQ(edit->text(), "Titre");
        QTest::keyClicks(edit, " 2");
        if (std::string(action) == "openAction")
            open(path("plain.bab"));
        else
            menu(action);
        EXPECT_FALSE(edit->isVisible());
        EXPECT_TRUE(edit->text().isEmpty());
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(chart().info.labelCount, 0);
        EXPECT_EQ(questions.size(), 1) << "the box's change counts as unsaved";
        questions.clear();
    }
}

TEST_F(ChartChangeTest, TheChordDialogClosesWhenItsChartChanges)
{
    ChordDialog* dialog = window->editor()->chordDialog();
    saveThroughMenu("song");
    const std::function<void()> changes[] = {
        [&] { menu("newAction"); },
        [&] { open(path("song.bab")); },
        [&] { QTest::mouseClick(window->findChild<QWidget*>("columnsSpin")->findChild<QToolButton*>("up"),
                                Qt::LeftButton); },
        [&] { window->transposeDialog()->findChild<QPushButton*>("upButton")->click(); },
        [&] { menu("undoAction"); },
        [&] { menu("redoAction"); },
    };
    for (const auto& change : changes) {
        chordTool();
        press(centreOf(7));
        ASSERT_TRUE(dialog->isVisible());
        change();
        EXPECT_FALSE(dialog->isVisible());
    }
}

} // namespace
} // namespace mavrel::test
