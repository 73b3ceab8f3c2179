// The editor in the desktop: its id and icon, the help document found where
// the program is, and one window per chart given on the command line.
#include "app/cli.h"
#include "app/desktop.h"
#include "app/mainwindow.h"
#include "document/chartfile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace mavrel {
namespace {

TEST(Desktop, TheIdNamesTheDesktopEntryAndTheIconHasEverySize)
{
    setUpApplication();
    const QString entry = QGuiApplication::desktopFileName() + ".desktop";
    EXPECT_TRUE(QFile::exists(MAVREL_SOURCE_DIR "/desktop/" + entry)) << entry.toStdString();
    const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    EXPECT_EQ(sizes, (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {128, 128}, {256, 256}}));
}

TEST(Desktop, HelpDocumentInTheLanguageBesideTheProgramElseInstalled)
{
    struct Row {
        const char* name;
        const char* language;
        bool beside, installed;
        const char* expected;
    };
    const Row rows[] = {
        {"build folder", "fr", true, false, "bin/Help.doc"},
        {"installed", "fr", false, true, "share/mavrel/Help.doc"},
        {"both", "fr", true, true, "bin/Help.doc"},
        {"neither", "fr", false, false, "share/mavrel/Help.doc"},
        {"English, build folder", "en", true, false, "bin/Help_en.doc"},
        {"English, installed", "en", false, true, "share/mavrel/Help_en.doc"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QTemporaryDir prefix;
        const QDir root(prefix.path());
        ASSERT_TRUE(root.mkpath("bin") && root.mkpath("share/mavrel"));
        for (const char* name : {"Help.doc", "Help_en.doc"}) {
            for (auto [wanted, folder] : {std::pair{r.beside, "bin/"}, {r.installed, "share/mavrel/"}}) {
                QFile f(root.filePath(QLatin1String(folder) + QLatin1String(name)));
                ASSERT_TRUE(!wanted || f.open(QIODevice::WriteOnly));
            }
        }
        EXPECT_EQ(helpDocumentPath(root.filePath("bin"), r.language).toStdString(),
                  root.filePath(r.expected).toStdString());
    }
}

TEST(Desktop, EachChartOpensInAWindowOfItsOwn)
{
    QTemporaryDir dir;
    QStringList files;
    for (int rows : {9, 3}) {
        MainWindow source;
        source.document().setGrid(4, rows);
        files << dir.filePath(QStringLiteral("%1.bab").arg(rows));
        ASSERT_TRUE(source.document().save(QFile::encodeName(files.last())).ok);
    }

    QByteArrayList names;
    for (const QString& f : files)
        names << QFile::encodeName(f);
    const Command command = parseCommandLine(names);
    ASSERT_EQ(command.kind, Command::Editor);
    const QList<MainWindow*> windows = openEditorWindows(command.charts);
    ASSERT_EQ(windows.size(), 2);
    EXPECT_EQ(windows[0]->chart().info.rows, 9);
    EXPECT_EQ(windows[1]->chart().info.rows, 3);
    EXPECT_EQ(QFile::decodeName(windows[1]->document().fileName()), files[1]);
    EXPECT_NE(windows[0]->pos(), windows[1]->pos());

    // Closing one window leaves the other, and frees the closed one.
    QPointer<MainWindow> first = windows[0];
    for (MainWindow* w : windows)
        EXPECT_TRUE(w->isVisible());
    first->close();
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(windows[1]->isVisible());
    windows[1]->close();

    // Without a chart, one window on a new chart.
    const QList<MainWindow*> fresh = openEditorWindows({});
    ASSERT_EQ(fresh.size(), 1);
    EXPECT_EQ(fresh[0]->chart().info.rows, 8);
    fresh[0]->close();
}

} // namespace
} // namespace mavrel
