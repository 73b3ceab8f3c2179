// The window from the keyboard alone: the menus' letters and F10, a key for
// each tool, the grid's size typed into its boxes and reached by Tab, and the
// list of every key.
#include "test_mainwindow_support.h"

#include "dialogs/shortcutsdialog.h"
#include "dialogs/transposedialog.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QUndoStack>

namespace mavrel::mainwindow_test {
namespace {

using KeyboardTest = MainWindowTest;

QMenu* openPopup() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

QChar mnemonic(const QString& caption)
{
    const qsizetype at = caption.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < caption.size() ? caption[at + 1].toLower() : QChar();
}

TEST_F(KeyboardTest, MenusOpenByTheirLettersAndF10)
{
    // Within the bar and within each menu, every caption has a letter of its
    // own: a letter shared by two would reach only the first.
    auto expectOwnLetters = [](const QList<QAction*>& actions, const QString& where) {
        QString seen;
        for (const QAction* a : actions) {
            // The "Mesure" menu's heading names the bars and does nothing.
            if (a->isSeparator() || a->objectName() == QLatin1String("barsAction"))
                continue;
            const QChar letter = mnemonic(a->text());
            EXPECT_FALSE(letter.isNull()) << where.toStdString() << ": " << a->text().toStdString();
            EXPECT_FALSE(seen.contains(letter)) << where.toStdString() << ": " << a->text().toStdString();
            seen += letter;
        }
    };
    expectOwnLetters(w->menuBar()->actions(), "bar");
    // Alt and a tool bar label's letter go to its box: no menu takes it.
    for (const QLabel* label : w->findChild<QToolBar*>("toolBar")->findChildren<QLabel*>()) {
        const QChar letter = mnemonic(label->text());
        for (const QAction* m : w->menuBar()->actions())
            EXPECT_TRUE(letter.isNull() || mnemonic(m->text()) != letter) << label->text().toStdString();
    }
    for (QAction* m : w->menuBar()->actions())
        expectOwnLetters(m->menu()->actions(), m->text());

    const struct {
        QKeySequence key;
        const char* menu;
    } rows[] = {
        {QKeySequence(Qt::ALT | Qt::Key_F), "fileMenu"},
        {QKeySequence(Qt::ALT | Qt::Key_A), "viewMenu"},
        {QKeySequence(Qt::ALT | Qt::Key_E), "helpMenu"},
        {QKeySequence(Qt::Key_F10), "fileMenu"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.key.toString().toStdString());
        QTest::keySequence(w.get(), r.key);
        QTRY_VERIFY(openPopup());
        EXPECT_EQ(openPopup()->objectName(), r.menu);
        QTest::keyClick(openPopup(), Qt::Key_Escape);
        if (openPopup())   // the bar keeps its highlight after a first Escape
            QTest::keyClick(openPopup(), Qt::Key_Escape);
        QTRY_VERIFY(!openPopup());
        QTest::keyClick(w->menuBar(), Qt::Key_Escape);
    }

    // A letter inside an open menu runs its item.
    QTest::keySequence(w.get(), QKeySequence(Qt::ALT | Qt::Key_O));
    QTRY_VERIFY(openPopup());
    QTest::keyClick(openPopup(), Qt::Key_T);
    QTRY_VERIFY(w->transposeDialog()->isVisible());
}

TEST_F(KeyboardTest, EachToolHasAKeyNamedInItsTooltip)
{
    const struct {
        Qt::Key key;
        const char* button;
        Tool tool;
    } rows[] = {
        {Qt::Key_L, "lassoToolButton", Tool::Lasso},   {Qt::Key_E, "eraserToolButton", Tool::Eraser},
        {Qt::Key_B, "barLineToolButton", Tool::BarLine}, {Qt::Key_T, "textToolButton", Tool::Text},
        {Qt::Key_A, "chordToolButton", Tool::Chord},
    };
    w->editor()->setFocus();
    for (const auto& r : rows) {
        SCOPED_TRACE(r.button);
        QTest::keyClick(QApplication::focusWidget(), r.key);
        EXPECT_EQ(w->editor()->tool(), r.tool);
        EXPECT_TRUE(button(r.button)->isChecked());
        EXPECT_TRUE(button(r.button)->toolTip().endsWith(
            QStringLiteral("(%1)").arg(QKeySequence(r.key).toString(QKeySequence::NativeText))));
    }

    // In the text box the same letters are text.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_T);
    QTest::mouseClick(child("pageView"), Qt::LeftButton, {}, QPoint(300, 60));
    ASSERT_TRUE(edit1()->isVisible());
    edit1()->setFocus();
    QTest::keyClicks(edit1(), "Label");
    EXPECT_EQ(edit1()->text(), "Label");
    EXPECT_EQ(w->editor()->tool(), Tool::Text);
}

TEST_F(KeyboardTest, TheGridSizeIsTypedIntoBoxesThatTabReaches)
{
    auto* columns = child<QLineEdit>("columnsBox");
    auto* rows = child<QLineEdit>("rowsBox");
    // Tab goes along the bar from the first control.
    child("turnButton")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), columns);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), rows);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), button("chordToolButton"));

    auto typeInto = [](QLineEdit* box, const char* text, Qt::Key end) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, end);
    };
    // Enter, or Tab out of the box, takes the number as the arrows would.
    typeInto(columns, "6", Qt::Key_Return);
    EXPECT_EQ(w->chart().info.columns, 6);
    typeInto(rows, "10", Qt::Key_Tab);
    EXPECT_EQ(w->chart().info.rows, 10);
    EXPECT_EQ(w->chart().info.count, 60);
    EXPECT_EQ(w->document().undoStack()->count(), 2);

    // More than a chart holds is refused and the box shows the chart again.
    typeInto(rows, "90", Qt::Key_Return);
    EXPECT_EQ(w->chart().info.rows, 10);
    EXPECT_EQ(rows->text(), "10");
    EXPECT_TRUE(status().contains("500")) << status().toStdString();

    // Nothing but a number from 1 to 100 is typed; a box left empty or at
    // 0 shows the chart's number again, and so does Escape.
    const struct {
        const char* typed;
        Qt::Key end;
    } refused[] = {{"x", Qt::Key_Return}, {"0", Qt::Key_Tab},  {"", Qt::Key_Tab},
                   {"101", Qt::Key_Return}, {"101", Qt::Key_Tab}, {"5", Qt::Key_Escape}};
    for (const auto& r : refused) {
        SCOPED_TRACE(r.typed);
        typeInto(columns, r.typed, r.end);
        if (r.end != Qt::Key_Return) {
            EXPECT_EQ(columns->text(), "6");
        }
        EXPECT_EQ(w->chart().info.columns, 6);
    }
    // The arrow keys step like the arrows.
    typeInto(columns, "6", Qt::Key_Up);
    EXPECT_EQ(w->chart().info.columns, 7);
    QTest::keyClick(columns, Qt::Key_Down);
    QTest::keyClick(columns, Qt::Key_Down);
    EXPECT_EQ(w->chart().info.columns, 5);
    EXPECT_EQ(columns->text(), "5");
}

TEST_F(KeyboardTest, TheShortcutListNamesEveryKeyOfTheWindow)
{
    action("shortcutsAction")->trigger();
    auto* dialog = w->findChild<ShortcutsDialog*>();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    QStringList listed;
    for (QTreeWidgetItemIterator it(dialog->list()); *it; ++it)
        listed += (*it)->text(1).split(QStringLiteral(" ou "));
    int keys = 0;
    // The window's own keys, and its menus'.
    QList<QAction*> actions = w->actions();
    for (const QAction* m : w->menuBar()->actions())
        actions += m->menu()->actions();
    for (const QAction* a : actions) {
        for (const QKeySequence& key : a->shortcuts()) {
            ++keys;
            EXPECT_TRUE(listed.contains(key.toString(QKeySequence::NativeText)))
                << a->objectName().toStdString() << ": " << key.toString().toStdString();
        }
    }
    EXPECT_GE(keys, 20);
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
}

} // namespace
} // namespace mavrel::mainwindow_test
