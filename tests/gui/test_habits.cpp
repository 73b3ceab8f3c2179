// What the editor remembers from one run to the next and proposes: the recent
// files, the window's size and zoom, the name "Enregistrer sous" starts on.
#include "app/charteditor.h"
#include "app/documentmanager.h"
#include "app/mainwindow.h"
#include "document/chartfile.h"
#include "edit/chartdocument.h"
#include "scripteddialogs.h"
#include "support/chartbuilder.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <gtest/gtest.h>

namespace mavrel {
namespace {

class HabitsTest : public ::testing::Test {
protected:
    test::ScriptedDialogs dialogs;
    QTemporaryDir dir;
    DocumentManager& manager = *DocumentManager::instance();

    HabitsTest() { manager.settings().clear(); }
    ~HabitsTest() override { manager.settings().clear(); }

    QString writeChart(const QString& name)
    {
        const QString file = dir.filePath(name);
        const auto chart = test::ChartBuilder(2, 2).bars({"C", "G7"}).build();
        EXPECT_TRUE(saveChart(*chart, QFile::encodeName(file).toStdString()).ok);
        return file;
    }
};

TEST_F(HabitsTest, RecentFilesListTheLastTenThatStillExist)
{
    QPointer<MainWindow> w = new MainWindow;
    const QString a = writeChart("a.bab"), b = writeChart("b.bab");
    ASSERT_TRUE(w->openChart(a));
    dialogs.saveAnswer(b);
    w->findChild<QAction*>("saveAsAction")->trigger();
    EXPECT_EQ(manager.recentFiles(), (QStringList{b, a}));
    EXPECT_EQ(manager.lastFolder(), dir.path());

    // The menu lists them, the latest first, and opens the one chosen.
    auto* menu = w->findChild<QMenu*>("recentFilesMenu");
    ASSERT_TRUE(menu);
    emit menu->aboutToShow();
    const QList<QAction*> items = menu->actions();
    ASSERT_GE(items.size(), 2);
    EXPECT_EQ(items[0]->text(), "&1  " + QDir::toNativeSeparators(b));
    EXPECT_EQ(items[1]->text(), "&2  " + QDir::toNativeSeparators(a));
    items[1]->trigger();
    EXPECT_EQ(w->document().fileName(), QFile::encodeName(a));
    EXPECT_EQ(manager.recentFiles().first(), a);

    // A file gone is no longer offered; past ten, the oldest go.
    QFile::remove(b);
    EXPECT_EQ(manager.recentFiles(), QStringList{a});
    for (int i = 0; i < 12; ++i)
        manager.addRecentFile(writeChart(QString("c%1.bab").arg(i)));
    const QStringList recent = manager.recentFiles();
    ASSERT_EQ(recent.size(), DocumentManager::MaxRecentFiles);
    EXPECT_EQ(recent.first(), dir.filePath("c11.bab"));
    EXPECT_EQ(recent.last(), dir.filePath("c2.bab"));
    manager.clearRecentFiles();
    EXPECT_TRUE(manager.recentFiles().isEmpty());
    delete w.data();
}

TEST_F(HabitsTest, ANewWindowHasTheLastSizeAndZoom)
{
    auto* first = new MainWindow;
    first->resize(900, 640);
    first->editor()->setZoom(150);
    first->close();
    delete first;

    MainWindow second;
    EXPECT_EQ(second.size(), QSize(900, 640));
    EXPECT_EQ(second.editor()->zoom(), 150);
}

TEST_F(HabitsTest, SaveAsProposesTheChartsFileElseItsTitle)
{
    manager.setLastFolder(dir.path());
    struct Row {
        const char* what;
        std::function<void(test::ChartBuilder&)> make;
        bool saved;
        QString expected;   // in the folder
    };
    const Row rows[] = {
        {"the song's title", [](test::ChartBuilder& c) { setText(c.chart().song.title, "Autumn Leaves"); }, false,
         "Autumn Leaves.bab"},
        {"the largest label above the grid", [](test::ChartBuilder& c) { c.label("Blue: Bossa?", 200, 20, 24, true); },
         false, "Blue_ Bossa_.bab"},
        {"no title", [](test::ChartBuilder&) {}, false, ""},
        {"its own file", [](test::ChartBuilder& c) { setText(c.chart().song.title, "Other"); }, true, "own.bab"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        MainWindow w;
        test::ChartBuilder builder(4, 4);
        r.make(builder);
        w.document().setChart(*builder.build());
        if (r.saved) {
            ASSERT_TRUE(w.document().save(QFile::encodeName(dir.filePath("own.bab"))).ok);
        }
        QString proposed;
        dialogs.saveFile = [&](const UserDialogs::FileChoice& choice) {
            proposed = choice.proposedName;
            return QString();
        };
        w.findChild<QAction*>("saveAsAction")->trigger();
        EXPECT_EQ(proposed, r.expected.isEmpty() ? dir.path() : dir.filePath(r.expected));
    }
}

// Another program's change to an open chart is asked about, whether the chart
// was changed here too or not; the window's own saves are not.
TEST_F(HabitsTest, AChartChangedOnDiskIsAskedAboutBeforeEitherVersionIsLost)
{
    struct Row {
        const char* what;
        bool changedHere;
        QMessageBox::StandardButton answer;
        bool reloaded;
    };
    const Row rows[] = {
        {"unchanged here, reloaded", false, QMessageBox::Yes, true},
        {"unchanged here, kept", false, QMessageBox::No, false},
        {"changed in both, the editor's kept", true, QMessageBox::No, false},
        {"changed in both, reloaded", true, QMessageBox::Yes, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const QString file = writeChart("watched.bab");
        MainWindow w;
        ASSERT_TRUE(w.openChart(file));
        // Its own save: no question.
        w.document().cycleDivision(1);
        ASSERT_TRUE(w.findChild<QAction*>("saveAction")->isEnabled());
        w.findChild<QAction*>("saveAction")->trigger();
        QTest::qWait(600);
        EXPECT_TRUE(dialogs.questions.isEmpty());
        if (r.changedHere)
            w.document().cycleDivision(2);
        const QByteArray editorBytes = QByteArray::fromStdString(std::string(
            reinterpret_cast<const char*>(encodeChart(w.chart()).data()), encodeChart(w.chart()).size()));

        const auto other = test::ChartBuilder(3, 3).bars({"Dm7", "G7", "C"}).build();
        ASSERT_TRUE(saveChart(*other, QFile::encodeName(file).toStdString()).ok);
        dialogs.answer = r.answer;
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.questions.isEmpty(); }, 5000));
        EXPECT_EQ(dialogs.questions.size(), 1);
        EXPECT_EQ(dialogs.questions.first().contains("modifications non enregistrées"), r.changedHere);
        const std::vector<std::uint8_t> otherBytes = encodeChart(*other);
        const std::vector<std::uint8_t> shown = encodeChart(w.chart());
        EXPECT_EQ(shown == otherBytes, r.reloaded);
        if (!r.reloaded) {
            EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(shown.data()), qsizetype(shown.size())), editorBytes);
            EXPECT_TRUE(w.document().isModified()) << "the editor's version is not the file's";
        }
        EXPECT_EQ(w.document().isModified(), !r.reloaded);
        dialogs.questions.clear();
        w.document().undoStack()->setClean();
    }
}

// The Jazz symbols chosen in "Préférences…" come back at the next start; a
// value no choice has keeps the default.
TEST_F(HabitsTest, ChordSymbolsChosenAreKeptForTheNextStart)
{
    ChordSymbols chosen;
    chosen.major = ChordSymbols::Major::Maj;
    chosen.bass = ChordSymbols::Bass::Below;
    manager.saveChordSymbols(chosen);
    setChordSymbols({});
    manager.restoreChordSymbols();
    EXPECT_EQ(chordSymbols(), chosen);

    manager.settings().setValue(QStringLiteral("chordSymbols/minor"), 7);
    manager.restoreChordSymbols();
    EXPECT_EQ(chordSymbols().minor, ChordSymbols::Minor::Dash);
    setChordSymbols({});
}

} // namespace
} // namespace mavrel
