// The set list window: built by dragging charts from the library, reordered
// by dragging its own rows and from the keyboard, saved with paths relative to
// its folder, opened again from "Fichiers récents" and the command line, with
// a chart gone from disk shown as missing rather than dropped.
#include "app/documentmanager.h"
#include "app/librarymodel.h"
#include "app/librarywindow.h"
#include "app/mainwindow.h"
#include "app/setlistmodel.h"
#include "app/setlistwindow.h"
#include "document/chartfile.h"
#include "document/setlist.h"
#include "scripteddialogs.h"
#include "support/chartbuilder.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace mavrel {
namespace {

// What a user's drag delivers: entering the view, moving over it, dropping.
void dropOn(QAbstractItemView* view, const QMimeData* data, QPoint at)
{
    QWidget* viewport = view->viewport();
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
}

// Just inside the top of a row: a drop there goes before it.
QPoint topOf(QTableView* view, int row)
{
    return view->visualRect(view->model()->index(row, SetListModel::Title)).topLeft() + QPoint(10, 2);
}

QStringList titles(const SetListModel* model)
{
    QStringList shown;
    for (int r = 0; r < model->rowCount(); ++r)
        shown << model->index(r, SetListModel::Title).data().toString();
    return shown;
}

TEST(SetListWindow, BuiltFromTheLibraryReorderedSavedAndOpenedAgain)
{
    test::ScriptedDialogs dialogs;
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("charts")));
    for (const char* title : {"Autumn Leaves", "Blue Monk", "Solar"}) {
        const std::string file = QFile::encodeName(dir.filePath(QStringLiteral("charts/%1.bab").arg(title))).toStdString();
        ASSERT_TRUE(saveChart(*test::ChartBuilder(4, 2).bars({"Dm7 G7", "Cmaj7"}).title(title, "").build(), file).ok);
    }
    DocumentManager& manager = *DocumentManager::instance();
    const QStringList foldersBefore = manager.libraryFolders();
    manager.setLibraryFolders({dir.filePath(QStringLiteral("charts"))});
    QPointer<LibraryWindow> library = LibraryWindow::showLibrary();
    ASSERT_TRUE(QTest::qWaitFor([&] { return library->view()->model()->rowCount() == 3; }, 10000));
    QAbstractItemModel* shelf = library->view()->model();   // sorted by title

    // "Nouvelle liste" starts a list of the charts chosen, in the library's order.
    library->view()->selectionModel()->select(shelf->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    library->view()->selectionModel()->select(shelf->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::mouseClick(library->findChild<QPushButton*>(QStringLiteral("newSetListButton")), Qt::LeftButton);
    ASSERT_EQ(SetListWindow::windows().size(), 1);
    QPointer<SetListWindow> chosen = SetListWindow::windows().first();
    EXPECT_EQ(titles(chosen->model()), (QStringList{"Autumn Leaves", "Solar"}));
    chosen->close();   // unsaved: the scripted answer discards it
    QTRY_VERIFY(chosen.isNull());
    dialogs.questions.clear();

    QPointer<SetListWindow> window = SetListWindow::newSetList();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QTableView* view = window->view();
    SetListModel* model = window->model();

    // Two charts dragged together land at the end, in the library's order;
    // one dropped on the top of the first song goes before it.
    std::unique_ptr<QMimeData> two(shelf->mimeData({shelf->index(0, 0), shelf->index(0, 2), shelf->index(2, 0)}));
    dropOn(view, two.get(), view->viewport()->rect().center() + QPoint(0, 100));
    EXPECT_EQ(titles(model), (QStringList{"Autumn Leaves", "Solar"}));
    std::unique_ptr<QMimeData> monk(shelf->mimeData({shelf->index(1, 0)}));
    dropOn(view, monk.get(), topOf(view, 0));
    EXPECT_EQ(titles(model), (QStringList{"Blue Monk", "Autumn Leaves", "Solar"}));
    EXPECT_TRUE(window->isWindowModified());

    // A row dragged within the list moves: it is not copied.
    std::unique_ptr<QMimeData> solar(model->mimeData({model->index(2, 0)}));
    dropOn(view, solar.get(), topOf(view, 1));
    EXPECT_EQ(titles(model), (QStringList{"Blue Monk", "Solar", "Autumn Leaves"}));
    // Ctrl+Down moves the selected song one place down.
    view->selectRow(0);
    QTest::keyClick(view, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(titles(model), (QStringList{"Solar", "Blue Monk", "Autumn Leaves"}));
    EXPECT_EQ(view->currentIndex().row(), 1);

    // The key and the part to play it in; a key no one writes is refused.
    EXPECT_TRUE(model->setData(model->index(1, SetListModel::Key), "Eb", SetListModel::ValueRole));
    EXPECT_TRUE(model->setData(model->index(1, SetListModel::Part), "Bb", SetListModel::ValueRole));
    EXPECT_FALSE(model->setData(model->index(1, SetListModel::Key), "H", SetListModel::ValueRole));
    EXPECT_EQ(model->index(1, SetListModel::Part).data().toString(), QStringLiteral("Si♭"));
    QTest::keyClicks(window->nameEdit(), QStringLiteral("Vendredi"));

    // Saved with paths relative to the set list's folder.
    const QString listFile = dir.filePath(QStringLiteral("vendredi.setlist"));
    dialogs.saveAnswer(listFile);
    ASSERT_TRUE(window->save());
    EXPECT_FALSE(window->isWindowModified());
    QFile saved(listFile);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const SetListReading read = readSetListText(saved.readAll().toStdString());
    ASSERT_EQ(read.list.songs.size(), 3u);
    EXPECT_EQ(read.list.name, "Vendredi");
    EXPECT_EQ(read.list.songs[1].path, "charts/Blue Monk.bab");
    EXPECT_EQ(keyName(read.list.songs[1].key), "Eb");
    EXPECT_EQ(read.list.songs[1].part, Instrument::BFlat);
    window->close();
    QTRY_VERIFY(window.isNull());

    // A chart gone from disk: "Fichiers récents" opens the list with the song
    // still in its place, shown as missing.
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("charts/Solar.bab"))));
    auto* main = new MainWindow;
    main->setAttribute(Qt::WA_DeleteOnClose);
    main->show();
    QMenu* recent = main->findChild<QMenu*>(QStringLiteral("recentFilesMenu"));
    ASSERT_TRUE(recent);
    emit recent->aboutToShow();
    QAction* entry = nullptr;
    for (QAction* a : recent->actions())
        if (a->text().contains(QStringLiteral("vendredi.setlist")))
            entry = a;
    ASSERT_TRUE(entry);
    entry->trigger();
    ASSERT_EQ(SetListWindow::windows().size(), 1);
    window = SetListWindow::windows().first();
    EXPECT_EQ(titles(window->model()),
              (QStringList{"Solar (introuvable)", "Blue Monk", "Autumn Leaves"}));
    EXPECT_TRUE(window->statusBar()->currentMessage().contains(QLatin1String("1 introuvable")));
    // Named on the command line again, it is the same window.
    manager.openWindows({QFile::encodeName(listFile)});
    EXPECT_EQ(SetListWindow::windows().size(), 1);

    // Removing songs is one step of the history, undone and redone; a change
    // not saved is asked about on closing.
    window->view()->selectRow(0);
    window->view()->selectionModel()->select(window->model()->index(2, 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    window->findChild<QAction*>(QStringLiteral("removeSongsAction"))->trigger();
    EXPECT_EQ(titles(window->model()), QStringList{"Blue Monk"});
    window->findChild<QAction*>(QStringLiteral("undoSetListAction"))->trigger();
    EXPECT_EQ(titles(window->model()), (QStringList{"Solar (introuvable)", "Blue Monk", "Autumn Leaves"}));
    EXPECT_FALSE(window->isWindowModified());
    window->findChild<QAction*>(QStringLiteral("redoSetListAction"))->trigger();
    EXPECT_EQ(window->model()->rowCount(), 1);
    EXPECT_TRUE(window->isWindowModified());
    dialogs.answer = QMessageBox::Discard;
    window->close();
    EXPECT_EQ(dialogs.questions.size(), 1);
    QTRY_VERIFY(window.isNull());

    main->close();
    library->close();
    manager.setLibraryFolders(foldersBefore);
}

} // namespace
} // namespace mavrel
