// The open charts and what their windows share: one window for each chart of
// the command line, a chart already open brought forward rather than opened
// twice, and the bar clipboard from one window to another.
#include "app/documentmanager.h"
#include "app/mainwindow.h"
#include "document/chartfile.h"
#include "edit/chartdocument.h"
#include "scripteddialogs.h"
#include "support/chartbuilder.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace mavrel {
namespace {

class DocumentManagerTest : public ::testing::Test {
protected:
    test::ScriptedDialogs dialogs;
    QTemporaryDir dir;
    DocumentManager& manager = *DocumentManager::instance();
    QList<QPointer<MainWindow>> made;

    ~DocumentManagerTest() override
    {
        for (const QPointer<MainWindow>& w : made)
            delete w.data();
    }

    QString write(const QString& name, const Chart& chart)
    {
        const QString file = dir.filePath(name);
        EXPECT_TRUE(saveChart(chart, QFile::encodeName(file).toStdString()).ok);
        return file;
    }
    QList<MainWindow*> open(const QStringList& files)
    {
        QByteArrayList names;
        for (const QString& f : files)
            names << QFile::encodeName(f);
        const QList<MainWindow*> windows = manager.openWindows(names);
        for (MainWindow* w : windows) {
            made << w;
            EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
        }
        return windows;
    }
    static void activate(MainWindow* w)
    {
        w->bringToFront();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    }
    static void trigger(MainWindow* w, const char* action) { w->findChild<QAction*>(action)->trigger(); }
    // The lasso from inside one bar's top-left corner to inside another's
    // bottom-right one: those bars and the bars between.
    static void lasso(MainWindow* w, int from, int to)
    {
        QTest::mouseClick(w->findChild<QToolButton*>("lassoToolButton"), Qt::LeftButton);
        QWidget* page = w->centralWidget()->findChild<QWidget*>("pageView");
        const GridInfo& g = w->chart().info;
        const QPoint start(w->chart().bar(from).x + 5, w->chart().bar(from).y + 5);
        const QPoint end(w->chart().bar(to).x + g.barWidth - 5, w->chart().bar(to).y + g.barHeight - 5);
        QTest::mousePress(page, Qt::LeftButton, {}, start);
        QTest::mouseMove(page, end);
        QTest::mouseRelease(page, Qt::LeftButton, {}, end);
    }
};

TEST_F(DocumentManagerTest, EachChartOfTheCommandLineOpensInAWindowOfItsOwnAndOnlyOnce)
{
    const QString nine = write("9.bab", *test::ChartBuilder(4, 9).build());
    const QString three = write("3.bab", *test::ChartBuilder(4, 3).build());
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));

    // The same chart named again, by another path: no second window.
    const QList<MainWindow*> windows = open({nine, three, dir.filePath("sub/../9.bab")});
    ASSERT_EQ(windows.size(), 2);
    EXPECT_EQ(windows[0]->chart().info.rows, 9);
    EXPECT_EQ(windows[1]->chart().info.rows, 3);
    EXPECT_EQ(QFile::decodeName(windows[1]->document().fileName()), three);
    EXPECT_NE(windows[0]->pos(), windows[1]->pos());
    EXPECT_EQ(manager.windows().size(), 2);

    // Named again later, it comes forward.
    activate(windows[1]);
    EXPECT_TRUE(open({nine}).isEmpty());
    EXPECT_TRUE(QTest::qWaitForWindowActive(windows[0]));

    // Closing one window leaves the other, and frees the closed one with its chart.
    QPointer<MainWindow> first = windows[0];
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(manager.windows(), QList<MainWindow*>{windows[1]});
    EXPECT_EQ(manager.windowShowing(QFile::encodeName(nine)), nullptr);

    // Without a chart, one window on a new chart.
    const QList<MainWindow*> fresh = open({});
    ASSERT_EQ(fresh.size(), 1);
    EXPECT_EQ(fresh[0]->chart().info.rows, 8);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join(' ').toStdString();
}

TEST_F(DocumentManagerTest, BarsCopiedInOneWindowArePastedInAnother)
{
    const QString a = write("a.bab", *test::ChartBuilder().bars({"Dm7 G7", "Cmaj7"}).section(1, "A").build());
    const QString b = write("b.bab", *test::ChartBuilder().build());
    const QList<MainWindow*> windows = open({a, b});
    ASSERT_EQ(windows.size(), 2);

    activate(windows[0]);
    lasso(windows[0], 1, 2);
    ASSERT_EQ(windows[0]->selection().count, 2);
    QTest::keyClick(windows[0], Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(manager.clipboard().count, 2);
    activate(windows[1]);
    lasso(windows[1], 5, 5);
    ASSERT_EQ(windows[1]->selection().count, 1);
    QTest::keyClick(windows[1], Qt::Key_V, Qt::ControlModifier);

    const Chart& pasted = windows[1]->chart();
    EXPECT_EQ(barText(pasted.bar(5)), "Dm7 G7");
    EXPECT_EQ(barText(pasted.bar(6)), "CM7");
    EXPECT_EQ(pasted.song.bar(5).section.view(), "A") << "the marks go with the bars";
    EXPECT_TRUE(windows[1]->isWindowModified());
    EXPECT_FALSE(windows[0]->isWindowModified());
}

TEST_F(DocumentManagerTest, AChartOpenInOneWindowIsNeitherOpenedNorSavedInAnother)
{
    const QString a = write("a.bab", *test::ChartBuilder(4, 5).build());
    const QList<MainWindow*> windows = open({a});
    ASSERT_EQ(windows.size(), 1);
    MainWindow* other = open({}).value(0);
    ASSERT_TRUE(other);
    activate(other);

    // "Ouvrir" on the chart shown in the first window brings that one forward.
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    dialogs.openAnswer(dir.filePath("sub/../a.bab"));
    trigger(other, "openAction");
    EXPECT_TRUE(QTest::qWaitForWindowActive(windows[0]));
    EXPECT_TRUE(other->document().fileName().isEmpty());
    EXPECT_EQ(other->chart().info.rows, 8);

    // Saving another chart over it would lose one window's work: refused.
    other->document().setGrid(4, 7);
    QFile file(a);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    dialogs.saveAnswer(a);
    trigger(other, "saveAsAction");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains("déjà ouvert dans une autre fenêtre")) << dialogs.messages[0].toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_TRUE(other->document().fileName().isEmpty());
}

} // namespace
} // namespace mavrel
