// The main window as a user drives it: clicks on the tool bar, the spinners'
// arrows, the size list, menu items and keys, with the file dialogs answered
// by choosers and the message boxes collected.
#pragma once

#include "app/charteditor.h"
#include "app/labeleditor.h"
#include "app/mainwindow.h"
#include "app/spinarrows.h"
#include "scripteddialogs.h"
#include "test_page_support.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>

// Readable failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << '{' << l.join("\", \"").toStdString() << '}';
}

namespace mavrel::mainwindow_test {

class MainWindowTest : public ::testing::Test {
protected:
    test::ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> w = std::make_unique<MainWindow>();
    QStringList& messages = dialogs.messages;
    QStringList& questions = dialogs.questions;   // asked before unsaved changes would be lost
    QMessageBox::StandardButton& answer = dialogs.answer;
    QString openAnswer;    // what the open dialog answers; empty: cancelled
    QString saveAnswer;

    void SetUp() override
    {
        dialogs.openFile = [this](const UserDialogs::FileChoice&) { return openAnswer; };
        dialogs.saveFile = [this](const UserDialogs::FileChoice&) { return saveAnswer; };
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }

    template <class T = QWidget>
    T* child(const char* name)
    {
        T* c = w->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QToolButton* button(const char* name) { return child<QToolButton>(name); }
    QComboBox* combo() { return child<QComboBox>("sizeCombo"); }
    QLineEdit* edit1() { return child<QLineEdit>("textBox"); }
    QSlider* track(const char* name) { return child<QSlider>(name); }
    SpinArrows* spinner(const char* name) { return child<SpinArrows>(name); }
    QAction* action(const char* name) { return child<QAction>(name); }

    void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    void click(const char* name) { click(child<QAbstractButton>(name)); }

    // One click on a spinner's arrow.
    void step(const char* spinnerName, bool up)
    {
        QTest::mouseClick(spinner(spinnerName)->findChild<QToolButton*>(up ? "up" : "down"),
                          Qt::LeftButton);
    }

    // Picks a size from the drop-down list with the mouse.
    void chooseSize(const QString& text)
    {
        QComboBox* c = combo();
        const int row = c->findText(text);
        ASSERT_GE(row, 0) << text.toStdString();
        c->showPopup();
        QAbstractItemView* view = c->view();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
        const QModelIndex index = view->model()->index(row, 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        QTRY_VERIFY(!view->isVisible());
    }

    // Types a size into the combo box and confirms it with Enter. The keys go
    // to the combo box, which has the focus and hands them to its text.
    void typeSize(const QString& text)
    {
        QComboBox* c = combo();
        c->setFocus();
        c->lineEdit()->selectAll();
        if (text.isEmpty())
            QTest::keyClick(c, Qt::Key_Backspace);
        QTest::keyClicks(c, text);
        QTest::keyClick(c, Qt::Key_Return);
    }

    // A press, a drag and a release with the lasso, in page pixels.
    void lasso(QPoint from, QPoint to)
    {
        QWidget* image = child("pageView");
        QTest::mousePress(image, Qt::LeftButton, {}, from);
        QTest::mouseMove(image, to);
        QTest::mouseRelease(image, Qt::LeftButton, {}, to);
    }

    // A pixel of the page no drawing leaves in this colour: it tells whether
    // the page has been drawn again since it was marked.
    static constexpr QRgb Mark = 0xFF123456u;
    void markPage() { const_cast<QImage&>(w->editor()->pageImage()).setPixel(3, 3, Mark); }
    bool redrawnSinceMark() const { return w->editor()->pageImage().pixel(3, 3) != Mark; }

    QByteArray chartBytes() { return test::chartBytes(*w); }
    template <class Change>
    void change(Change c) { test::setChart(*w, c); }

    QString status() { return w->statusBar()->currentMessage(); }
};

} // namespace mavrel::mainwindow_test
