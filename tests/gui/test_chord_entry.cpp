// Chords typed from the keyboard: a chart entered bar after bar through the
// real typing box, refusals, the keys that move it, and undo.
#include "dialogs/chorddialog.h"
#include "test_page_support.h"

#include <QStatusBar>
#include <QUndoStack>

namespace mavrel::test {
namespace {

class ChordEntryTest : public PageWindowTest {
protected:
    QLineEdit* box() { return window->centralWidget()->findChild<QLineEdit*>("chordTypingBox"); }
    void type(const QString& text)
    {
        box()->selectAll();
        QTest::keyClicks(box(), text);
    }
    std::string bar(int b)
    {
        const Bar& x = chart().bar(b);
        std::string s = std::to_string(x.division) + ":";
        for (int k = 1; k <= 4; ++k)
            s += std::string(" ") + rootName(x.slot(k).root, x.slot(k).flat) + x.slot(k).quality.str();
        return s;
    }
};

TEST_F(ChordEntryTest, ASixteenBarChartIsTypedInOnePass)
{
    press(centreOf(3));   // the bar last pressed is where typing starts
    QTest::keyClick(window.get(), Qt::Key_E, Qt::ControlModifier);
    ASSERT_TRUE(box()->isVisible());
    EXPECT_EQ(box()->text(), "%");
    EXPECT_TRUE(window->statusBar()->currentMessage().contains("Mesure 3"));
    QTest::keyClick(box(), Qt::Key_Backtab, Qt::ShiftModifier);   // back to bar 2, storing "%" unchanged
    QTest::keyClick(box(), Qt::Key_Backtab, Qt::ShiftModifier);
    const QStringList bars = {"Cmaj7", "Dm7 G7", "Em7. A7 Dm7", "Dm7 G7 C7", "C Dm Em F", "%",
                              "Bbsus4", "C/E", "F#\xC3\xB8 B7", "Ebdim", "Db7", "C#m7", "Gh", "Ao7", "Bb^", "C"};
    for (const QString& b : bars) {
        type(b);
        QTest::keyClick(box(), Qt::Key_Tab);
    }
    EXPECT_EQ(bar(1), "1: CM7 % % %");
    EXPECT_EQ(bar(2), "2: Dm7 G7 % %");
    EXPECT_EQ(bar(3), "5: Em7 A7 Dm7 %");
    EXPECT_EQ(bar(4), "4: Dm7 G7 C7 %");
    EXPECT_EQ(bar(5), "3: C Dm Em F");
    EXPECT_EQ(bar(6), "1: % % % %");
    EXPECT_EQ(bar(7), "1: Bbsus4 % % %");
    EXPECT_EQ(bar(8), "1: C/E % % %");
    EXPECT_EQ(bar(9), "2: F#\xF8 B7 % %");
    EXPECT_EQ(bar(10), "1: Ebdim % % %");
    EXPECT_EQ(bar(11), "1: Db7 % % %");
    EXPECT_EQ(bar(12), "1: C#m7 % % %");
    EXPECT_EQ(bar(13), "1: G\xF8 % % %");
    EXPECT_EQ(bar(15), "1: BbM7 % % %");
    EXPECT_EQ(window->document().undoStack()->undoText().toStdString(), "la saisie de la mesure");
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage()));

    // A refusal stores nothing and keeps the box on its bar with the text.
    const std::string before = bar(17);
    type("H7 C");
    QTest::keyClick(box(), Qt::Key_Return);
    EXPECT_EQ(bar(17), before);
    EXPECT_EQ(box()->text(), "H7 C");
    EXPECT_TRUE(window->statusBar()->currentMessage().contains("de A à G"));
    type("C D E F G");
    QTest::keyClick(box(), Qt::Key_Return);
    EXPECT_EQ(bar(17), before);

    // Undo takes back the last bar stored, and closes the box.
    window->findChild<QAction*>("undoAction")->trigger();
    EXPECT_FALSE(box()->isVisible());
    EXPECT_EQ(bar(16), "1: % % % %");
    EXPECT_EQ(bar(15), "1: BbM7 % % %");
}

TEST_F(ChordEntryTest, AltArrowsAndPressesMoveTheBoxWithoutStoring)
{
    menu("chordEntryAction");
    type("G7");
    QTest::keyClick(box(), Qt::Key_Down, Qt::AltModifier);   // bar 5, bar 1 not stored
    EXPECT_EQ(box()->geometry().topLeft().x() - image->x(), chart().bar(5).x);
    QTest::keyClick(box(), Qt::Key_Right, Qt::AltModifier);
    QTest::keyClick(box(), Qt::Key_Left, Qt::AltModifier);
    QTest::keyClick(box(), Qt::Key_Left, Qt::AltModifier);   // bar 4
    type("A7");
    QTest::keyClick(box(), Qt::Key_Return);
    EXPECT_EQ(bar(1), "1: % % % %");
    EXPECT_EQ(bar(4), "1: A7 % % %");

    // With the box open a press with the chord tool takes it there, no dialog.
    press(centreOf(10));
    EXPECT_FALSE(window->editor()->chordDialog()->isVisible());
    type("Fm");
    QTest::keyClick(box(), Qt::Key_Tab);
    EXPECT_EQ(bar(10), "1: Fm % % %");
}

// A root the chart writes otherwise is stored and the status bar says so; a
// pasted control character stores nothing.
TEST_F(ChordEntryTest, WhatIsNotStoredAsTypedIsSaid)
{
    menu("chordEntryAction");
    type("Fb7 C/Fb");
    QTest::keyClick(box(), Qt::Key_Tab);
    EXPECT_EQ(bar(1), "2: E7 C/Fb % %");
    EXPECT_EQ(window->statusBar()->currentMessage(), "Noté « E7 » pour « Fb7 » : une grille n'écrit pas Fb.");

    box()->setText(QStringLiteral("Dm7\u001BG7"));
    QTest::keyClick(box(), Qt::Key_Return);
    EXPECT_EQ(bar(2), "1: % % % %");
    EXPECT_TRUE(window->statusBar()->currentMessage().contains("contrôle"));
}

// Escape stores the bar typed, then leaves; an untouched box, or a second
// Escape after a text the bar cannot take, leaves without storing.
TEST_F(ChordEntryTest, EscapeStoresTheBarTypedThenLeaves)
{
    struct Row {
        const char* what;
        const char* typed;   // null: the box as it opened
        bool refused;
        const char* stored;
    };
    const Row rows[] = {
        {"untouched", nullptr, false, "1: % % % %"},
        {"typed", "Dm7 G7", false, "2: Dm7 G7 % %"},
        {"refused", "H7 C", true, "1: % % % %"},
    };
    QUndoStack* history = window->document().undoStack();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        menu("chordEntryAction");
        ASSERT_TRUE(box()->isVisible());
        if (r.typed)
            type(r.typed);
        const int steps = history->count();
        QTest::keyClick(box(), Qt::Key_Escape);
        if (r.refused) {
            EXPECT_TRUE(box()->isVisible());
            EXPECT_EQ(box()->text(), r.typed);
            const QString status = window->statusBar()->currentMessage();
            EXPECT_TRUE(status.contains("de A à G") && status.contains("Échap de nouveau")) << status.toStdString();
            QTest::keyClick(box(), Qt::Key_Escape);
        }
        EXPECT_FALSE(box()->isVisible());
        EXPECT_EQ(bar(1), r.stored);
        EXPECT_EQ(history->count(), steps + (r.refused || !r.typed ? 0 : 1));
        if (history->count() > steps)
            history->undo();
    }
}

} // namespace
} // namespace mavrel::test
