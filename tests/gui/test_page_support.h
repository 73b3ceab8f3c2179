// The main window under test, driven as a user drives it: presses, drags and
// releases on the page image, clicks on tool buttons and menu items, keys typed
// into the text box. Page points are page pixels, as the handlers see them.
#pragma once

#include "app/charteditor.h"
#include "app/labeleditor.h"
#include "app/mainwindow.h"
#include "document/chartfile.h"
#include "edit/chartdocument.h"
#include "render/page.h"
#include "scripteddialogs.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace mavrel::test {

inline bool sameBytes(const Bar& a, const Bar& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

inline Chord chord(int root, const char* quality = "", bool flat = false)
{
    Chord a{};
    a.root = static_cast<std::uint8_t>(root);
    a.quality.assign(quality);
    a.flat = flat ? 1 : 0;
    return a;
}

inline std::vector<char> fileBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray b = f.readAll();
    return {b.begin(), b.end()};
}

// The window's chart as bytes: every byte a file or an undo gives back.
inline QByteArray chartBytes(const MainWindow& window)
{
    return QByteArray(reinterpret_cast<const char*>(&window.chart()), sizeof(Chart));
}

// Gives the window a copy of its chart changed by `change`, as an imported
// chart comes in: a new history, the chart counted as unsaved.
template <class Change>
void setChart(MainWindow& window, Change change)
{
    auto chart = std::make_unique<Chart>(window.chart());
    change(*chart);
    window.document().setChart(*chart);
}

// Where the first pixel of two images of one size differs, or nothing.
inline ::testing::AssertionResult sameImage(const QImage& actual, const QImage& expected)
{
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height()
                                             << ", expected " << expected.width() << "x"
                                             << expected.height();
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if ((actual.pixel(x, y) & 0xFFFFFF) != (expected.pixel(x, y) & 0xFFFFFF))
                return ::testing::AssertionFailure() << "first difference at (" << x << ", " << y << ")";
    return ::testing::AssertionSuccess();
}

class PageWindowTest : public ::testing::Test {
protected:
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>();
    QWidget* image = nullptr;
    QLineEdit* edit = nullptr;
    QStringList& messages = dialogs.messages;
    QStringList& questions = dialogs.questions;   // asked before unsaved changes would be lost
    QMessageBox::StandardButton& answer = dialogs.answer;
    QTemporaryDir dir;

    void SetUp() override
    {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        // Looked up in the main window's own area: the secondary windows
        // reuse some of these names.
        image = window->centralWidget()->findChild<QWidget*>("pageView");
        ASSERT_TRUE(image);
        edit = findTextBox();
        ASSERT_TRUE(edit);
        ASSERT_TRUE(dir.isValid());
    }

    // The text box of the page, not the chord dialog's box of the same name.
    QLineEdit* findTextBox()
    {
        for (QLineEdit* e : window->centralWidget()->findChildren<QLineEdit*>("textBox"))
            if (e->parentWidget() == image->parentWidget())
                return e;
        return nullptr;
    }

    const Chart& chart() { return window->chart(); }
    template <class Change>
    void change(Change c) { setChart(*window, c); }

    // A point of bar `b` as laid out, `dx`, `dy` from its top-left corner.
    QPoint inBar(int b, int dx, int dy) const
    {
        const Bar& c = window->chart().bar(b);
        return {c.x + dx, c.y + dy};
    }
    // Points well inside each triangle of a bar, and its centre (on both
    // diagonals). With the default 106 x 72 bars: (10, 36), (53, 10), ...
    int barW() const { return window->chart().info.barWidth; }
    int barH() const { return window->chart().info.barHeight; }
    QPoint leftOf(int b) const { return inBar(b, 10, barH() / 2); }
    QPoint topOf(int b) const { return inBar(b, barW() / 2, 10); }
    QPoint bottomOf(int b) const { return inBar(b, barW() / 2, barH() - 10); }
    QPoint rightOf(int b) const { return inBar(b, barW() - 10, barH() / 2); }
    QPoint centreOf(int b) const { return inBar(b, barW() / 2, barH() / 2); }

    void press(QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(image, button, {}, p);
        QTest::mouseRelease(image, button, {}, p);
    }

    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(image, button, {}, from);
        QTest::mouseMove(image, (from + to) / 2);
        QTest::mouseMove(image, to);
        QTest::mouseRelease(image, button, {}, to);
    }

    QToolButton* button(const char* name) { return window->findChild<QToolButton*>(name); }
    void useTool(const char* speedButton) { QTest::mouseClick(button(speedButton), Qt::LeftButton); }
    void chordTool() { useTool("chordToolButton"); }
    void eraser() { useTool("eraserToolButton"); }
    void barLineTool() { useTool("barLineToolButton"); }
    void textTool() { useTool("textToolButton"); }
    void lasso() { useTool("lassoToolButton"); }

    void menu(const char* action)
    {
        QAction* a = window->findChild<QAction*>(action);
        ASSERT_TRUE(a) << action;
        a->trigger();
    }

    QComboBox* sizeBox() { return window->findChild<QComboBox*>("sizeCombo"); }
    void chooseSize(const QString& size)
    {
        QComboBox* c = sizeBox();
        const int i = c->findText(size);
        ASSERT_GE(i, 0) << size.toStdString();
        c->setCurrentIndex(i);
        emit c->activated(i);
    }

    void clickRow(QListWidget* list, int row)
    {
        QListWidgetItem* item = list->item(row);
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    }

    // The page the window should show for `expected`, drawn apart; a label
    // open in the text box is not drawn.
    static QImage pageOf(const Chart& expected, const Selection& selection = {}, int hiddenLabel = 0)
    {
        Page page;
        QImage shown;
        page.paintScreen(shown, expected, selection, false, hiddenLabel, 1.0);
        return shown;
    }
    // The current chart, as it would be drawn now.
    QImage expectedPage(int hiddenLabel = 0) { return pageOf(chart(), window->selection(), hiddenLabel); }

    QString path(const QString& name) const { return dir.filePath(name); }

    // "Enregistrer Sous.." into the temporary folder.
    std::vector<char> saveThroughMenu(const QString& name)
    {
        const QString chosen = path(name);
        dialogs.saveAnswer(chosen);
        menu("saveAsAction");
        dialogs.saveAnswer(QString());
        return fileBytes(chosen + ".bab");
    }

    std::vector<char> savedBytes(const Chart& c, const QString& name)
    {
        const QString p = path(name);
        const FileResult r = saveChart(c, QFile::encodeName(p).toStdString());
        EXPECT_TRUE(r.ok) << r.message.text();
        return fileBytes(p);
    }
};

} // namespace mavrel::test
