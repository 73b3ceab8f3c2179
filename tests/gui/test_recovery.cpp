// Autosave and recovery: an editor killed with unsaved changes leaves a copy
// that the next start offers back, under the chart's own name and without
// touching the user's file; a running editor's copies are never offered, and
// copies go once the chart is saved, reverted or closed.
#include "app/documentmanager.h"
#include "app/mainwindow.h"
#include "app/recovery.h"
#include "document/chartfile.h"
#include "edit/chartdocument.h"
#include "scripteddialogs.h"
#include "support/chartbuilder.h"

#include <QDirIterator>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <csignal>

namespace mavrel {
namespace {

QByteArray bytesOf(const Chart& chart)
{
    const std::vector<std::uint8_t> bytes = encodeChart(chart);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

QStringList copiesIn(const QString& folder)
{
    QStringList copies;
    QDirIterator it(folder, {QStringLiteral("*.recovery")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        copies << it.next();
    return copies;
}

class RecoveryTest : public ::testing::Test {
protected:
    test::ScriptedDialogs dialogs;
    QTemporaryDir dir;
    QString folder = dir.filePath(QStringLiteral("recovery"));
    DocumentManager& manager = *DocumentManager::instance();

    ~RecoveryTest() override { manager.stopAutosave(); }

    QString writeChart(const QString& name)
    {
        const QString file = dir.filePath(name);
        const auto chart = test::ChartBuilder(4, 2).bars({"Dm7 G7", "Cmaj7", "%", "N.C."}).build();
        EXPECT_TRUE(saveChart(*chart, QFile::encodeName(file).toStdString()).ok);
        return file;
    }
};

TEST_F(RecoveryTest, KilledEditorsChartIsOfferedBack)
{
    const QString file = writeChart(QStringLiteral("song.bab"));
    QFile original(file);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray before = original.readAll();

    QProcess child;
    child.start(QStringLiteral(MAVREL_AUTOSAVE_CHILD), {folder, file});
    ASSERT_TRUE(child.waitForStarted());
    QStringList copies;
    for (int waited = 0; waited < 30000 && copies.isEmpty(); waited += 100) {
        QTest::qWait(100);
        copies = copiesIn(folder);
    }
    ASSERT_EQ(copies.size(), 1) << child.readAllStandardError().constData();
    QTest::qWait(300);   // the second edit's copy
    ::kill(pid_t(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished());

    // What the editor held: the chart with both edits.
    QFile copyFile(copies.first());
    ASSERT_TRUE(copyFile.open(QIODevice::ReadOnly));
    auto held = std::make_unique<Chart>();
    resetChart(*held);
    QByteArray heldName;
    ASSERT_TRUE(Recovery::decode(copyFile.readAll(), *held, heldName));
    EXPECT_EQ(heldName, QFile::encodeName(file));

    // A new start: the question names the chart; "Récupérer" opens it changed,
    // under its own name, and the file on disk is what it was.
    dialogs.answer = QMessageBox::Open;
    manager.startAutosave(folder);
    const QList<MainWindow*> windows = manager.recoverCharts();
    ASSERT_EQ(windows.size(), 1);
    QPointer<MainWindow> window = windows.first();
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions.first().contains(file));
    EXPECT_EQ(window->document().fileName(), QFile::encodeName(file));
    EXPECT_TRUE(window->document().isModified());
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(bytesOf(window->chart()), bytesOf(*held));
    EXPECT_NE(bytesOf(window->chart()), before);
    ASSERT_TRUE(original.seek(0));
    EXPECT_EQ(original.readAll(), before);

    // Offered once: the old copy is gone, the chart is this editor's to keep.
    EXPECT_FALSE(QFile::exists(copies.first()));
    EXPECT_TRUE(manager.recoverCharts().isEmpty());
    EXPECT_EQ(dialogs.questions.size(), 1);
    delete window.data();
}

TEST_F(RecoveryTest, CopiesFollowTheChartAndLiveEditorsKeepTheirs)
{
    const QString file = writeChart(QStringLiteral("live.bab"));
    manager.startAutosave(folder);
    manager.recovery()->setDelays(10, 60000);
    auto* window = new MainWindow;
    ASSERT_TRUE(window->openLocalChart(QFile::encodeName(file)));
    ChartDocument& document = window->document();
    auto copy = [&] {
        QTest::qWait(50);
        return manager.recovery()->copyOf(&document);
    };

    EXPECT_TRUE(copy().isEmpty()) << "an unchanged chart has no copy";
    document.cycleDivision(1);
    const QString written = copy();
    ASSERT_FALSE(written.isEmpty());
    EXPECT_TRUE(QFile::exists(written));

    // Another editor starting meanwhile does not offer this one's chart.
    {
        Recovery other(folder);
        EXPECT_TRUE(other.orphans().empty());
    }

    // Undone back to the file, saved, closed without saving: the copy goes.
    document.undoStack()->undo();
    EXPECT_TRUE(copy().isEmpty());
    EXPECT_FALSE(QFile::exists(written));
    document.cycleDivision(1);
    ASSERT_FALSE(copy().isEmpty());
    ASSERT_TRUE(document.save(QFile::encodeName(file)).ok);
    EXPECT_TRUE(copy().isEmpty());
    document.cycleDivision(2);
    const QString last = copy();
    ASSERT_FALSE(last.isEmpty());
    dialogs.answer = QMessageBox::Discard;
    window->close();
    delete window;
    EXPECT_FALSE(QFile::exists(last));
    EXPECT_TRUE(copiesIn(folder).isEmpty());
}

TEST_F(RecoveryTest, IgnoredCopyIsRemovedAndDamagedOneLeft)
{
    // A session left by an editor that ended: a readable copy and a damaged one.
    const QString session = folder + QStringLiteral("/ended");
    QDir().mkpath(session);
    const auto chart = test::ChartBuilder(2, 2).bars({"C", "G7"}).build();
    QFile good(session + QStringLiteral("/1.recovery"));
    ASSERT_TRUE(good.open(QIODevice::WriteOnly));
    good.write(Recovery::encode(*chart, QByteArray()));
    good.close();
    QFile damaged(session + QStringLiteral("/2.recovery"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("Mavrel recovery 1\n\nnot a chart");
    damaged.close();

    dialogs.answer = QMessageBox::Ignore;
    manager.startAutosave(folder);
    EXPECT_TRUE(manager.recoverCharts().isEmpty());
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions.first().contains(QStringLiteral("Sans titre")));
    EXPECT_FALSE(good.exists());
    EXPECT_TRUE(damaged.exists());
}

} // namespace
} // namespace mavrel
