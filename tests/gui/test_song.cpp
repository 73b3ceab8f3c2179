// The song in the editor: the "Morceau…" dialog, the "Mesure" menu from the
// menu bar, the lasso and the menu key, and marks typed with the chords. Each
// wiring once, checked on the chart and the history; the cases of the typed
// text are the document's tests.
#include "app/barmarksmenu.h"
#include "dialogs/songdialog.h"
#include "support/chartbuilder.h"
#include "test_page_support.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QUndoStack>

namespace mavrel::test {
namespace {

class SongTest : public PageWindowTest {
protected:
    void SetUp() override
    {
        PageWindowTest::SetUp();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    QUndoStack* history() { return window->document().undoStack(); }
    const BarMarks& marks(int bar) { return chart().song.bar(bar); }
    QLineEdit* typingBox() { return window->centralWidget()->findChild<QLineEdit*>("chordTypingBox"); }

    // The item of the "Mesure" menu (or of one of its submenus) so captioned,
    // its mnemonic aside.
    QAction* barMenuItem(const QString& caption, const char* submenu = nullptr)
    {
        QWidget* menu = submenu ? window->barMenu()->findChild<QMenu*>(submenu) : window->barMenu();
        for (QAction* a : menu->actions())
            if (QString(a->text()).remove(QLatin1Char('&')) == caption)
                return a;
        ADD_FAILURE() << "no item " << caption.toStdString();
        return nullptr;
    }
    // Chooses an item as the user does: the menu shown, then the item.
    void choose(const QString& caption, const char* submenu = nullptr)
    {
        emit window->barMenu()->aboutToShow();
        if (QAction* a = barMenuItem(caption, submenu))
            a->trigger();
    }
};

TEST_F(SongTest, TheSongDialogChangesTheSongInOneStep)
{
    change([](Chart& c) { c = *ChartBuilder().bars({"Cm7", "F7", "BbM7", "EbM7", "Am7b5", "D7", "Gm", "%"}).build(); });
    menu("songAction");
    auto* dialog = window->songDialog();
    ASSERT_TRUE(dialog->isVisible());
    QApplication::setActiveWindow(dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    EXPECT_EQ(QApplication::focusWidget(), dialog->findChild<QLineEdit*>("titleBox"));
    auto* tonic = dialog->findChild<QComboBox*>("tonicCombo");
    auto* mode = dialog->findChild<QComboBox*>("modeCombo");
    EXPECT_EQ(tonic->currentText(), "non précisée (détectée : Sol mineur)");
    EXPECT_FALSE(mode->isEnabled());

    // Every control has a label whose mnemonic reaches it; the keys go in the
    // order the controls are shown.
    for (QLabel* label : dialog->findChildren<QLabel*>())
        EXPECT_TRUE(label->buddy() && label->text().contains('&')) << label->objectName().toStdString();
    QTest::keyClicks(QApplication::focusWidget(), "Autumn Leaves");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), "Joseph Kosma");
    QTest::keyClick(dialog, Qt::Key_Y, Qt::AltModifier);
    QTest::keyClicks(QApplication::focusWidget(), "Ballade");
    QTest::keyClick(dialog, Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), tonic);
    tonic->setCurrentIndex(tonic->findText("Si♭"));
    EXPECT_TRUE(mode->isEnabled());
    mode->setCurrentIndex(0);
    QTest::keyClick(dialog, Qt::Key_M, Qt::AltModifier);
    QTest::keyClicks(QApplication::focusWidget(), "96");
    auto* time = dialog->findChild<QComboBox*>("timeCombo");
    time->setCurrentIndex(time->findText("3/4"));

    const int steps = history()->count();
    const QByteArray before = chartBytes(*window);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    const SongInfo& song = chart().song;
    EXPECT_EQ(song.title.view(), "Autumn Leaves");
    EXPECT_EQ(song.composer.view(), "Joseph Kosma");
    EXPECT_EQ(song.style.view(), "Ballade");
    EXPECT_EQ(song.key, (Key{11, 1, 0}));
    EXPECT_EQ(song.tempo, 96);
    EXPECT_EQ(song.time, (TimeSignature{3, 4}));
    EXPECT_EQ(history()->count(), steps + 1);
    EXPECT_EQ(window->findChild<QAction*>("undoAction")->text(), "&Annuler la modification du morceau");

    // Opened again and closed with "OK": nothing changed, no step.
    menu("songAction");
    EXPECT_EQ(tonic->currentText(), "Si♭");
    dialog->findChild<QPushButton*>("okButton")->click();
    EXPECT_EQ(history()->count(), steps + 1);

    menu("undoAction");
    EXPECT_EQ(chartBytes(*window), before);
}

// Bars chosen with the lasso, then their marks from its right click; the
// menu key and the menu bar act on the bar last pressed.
TEST_F(SongTest, TheBarMenuMarksTheSelectedBarsOrTheBarPressed)
{
    lasso();
    drag(inBar(2, 5, 5), inBar(3, barW() - 5, barH() - 5));
    press(centreOf(3), Qt::RightButton);
    ASSERT_TRUE(window->barMenu()->isVisible());
    EXPECT_EQ(barMenuItem("2 mesures")->isEnabled(), false);
    window->barMenu()->hide();
    const int steps = history()->count();
    choose("B", "sectionMenu");
    choose("2.", "endingMenu");
    choose("Fin de reprise :|", "rightBarLineMenu");
    choose("Point d'orgue");
    for (int bar : {2, 3}) {
        EXPECT_EQ(marks(bar).section.view(), "B");
        EXPECT_EQ(marks(bar).ending, 2);
        EXPECT_EQ(marks(bar).flags, FermataFlag);
        EXPECT_EQ(chart().bar(bar).right, 1);
    }
    EXPECT_TRUE(marks(1).empty() && marks(4).empty());
    EXPECT_EQ(history()->count(), steps + 4);
    EXPECT_EQ(history()->undoText(), "le point d'orgue");
    // Checked: shared by both bars. Chosen again, taken from both.
    emit window->barMenu()->aboutToShow();
    EXPECT_TRUE(barMenuItem("Point d'orgue")->isChecked());
    EXPECT_TRUE(barMenuItem("2.", "endingMenu")->isChecked());
    choose("Point d'orgue");
    EXPECT_EQ(marks(2).flags | marks(3).flags, 0);

    // A name of one's own, asked for.
    dialogs.section = [](const QString& current) {
        EXPECT_EQ(current, "B");
        return std::optional<QString>("Pont 2");
    };
    choose("Autre…", "sectionMenu");
    EXPECT_EQ(marks(3).section.view(), "Pont 2");
    EXPECT_EQ(history()->undoText(), "la section");

    // Another tool: the bar pressed last, through the menu key.
    chordTool();
    press(centreOf(6), Qt::MiddleButton);
    QTest::keyClick(window.get(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(window->barMenu()->isVisible());
    window->barMenu()->hide();
    choose("D.S. al Coda", "directionMenu");
    choose("3/4", "meterMenu");
    EXPECT_EQ(marks(6).direction, Direction::DalSegnoAlCoda);
    EXPECT_EQ(marks(6).time, (TimeSignature{3, 4}));
    EXPECT_EQ(history()->undoText(), "le chiffrage");
    EXPECT_EQ(marks(2).direction, Direction::None);
}

// Chords and marks typed in "Saisie au clavier": one step per bar, shown
// again as typed; long qualities and N.C. go in as they are.
TEST_F(SongTest, MarksAreTypedWithTheChords)
{
    menu("chordEntryAction");
    QLineEdit* box = typingBox();
    ASSERT_TRUE(box->isVisible());
    for (const char* typed : {"[A] |: A7sus4(b9) C7b9#11b13", "1. N.C. f :| <D.S. al Coda>"}) {
        box->selectAll();
        QTest::keyClicks(box, QString::fromUtf8(typed));
        QTest::keyClick(box, Qt::Key_Tab);
    }
    const Bar& first = chart().bar(1);
    EXPECT_EQ(first.division, 2);
    EXPECT_EQ(first.slot(1).quality.view(), "7sus4(b9)");
    EXPECT_EQ(first.slot(2).quality.view(), "7b9#11b13");
    EXPECT_EQ(first.left, 1);
    EXPECT_EQ(marks(1).section.view(), "A");
    EXPECT_TRUE(isNoChord(chart().bar(2).slot(1)));
    EXPECT_EQ(chart().bar(2).right, 1);
    EXPECT_EQ(marks(2).ending, 1);
    EXPECT_EQ(marks(2).flags, FermataFlag);
    EXPECT_EQ(marks(2).direction, Direction::DalSegnoAlCoda);
    EXPECT_EQ(history()->undoText(), "la saisie de la mesure");

    // The bar being typed takes the menu's marks, what the box held first.
    box->selectAll();
    QTest::keyClicks(box, "Dm7");
    choose("Segno");
    EXPECT_EQ(chart().bar(3).slot(1).root, 3);
    EXPECT_EQ(marks(3).flags, SegnoFlag);
    EXPECT_EQ(box->text(), "S Dm7");

    QTest::keyClick(box, Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(box, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(box->text(), "[A] |: A7sus4(b9) C7b9#11b13");
    QTest::keyClick(box, Qt::Key_Escape);

    // One undo takes back a whole typed bar: its chord and its marks.
    const Bar second = chart().bar(2);
    menu("undoAction");   // the segno
    menu("undoAction");   // bar 3
    menu("undoAction");   // bar 2
    EXPECT_TRUE(marks(2).empty());
    EXPECT_EQ(chart().bar(2).right, 0);
    EXPECT_FALSE(sameBytes(chart().bar(2), second));
    EXPECT_EQ(marks(1).section.view(), "A");
}

} // namespace
} // namespace mavrel::test
