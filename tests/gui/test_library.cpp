// "Bibliothèque": the charts of a folder read off the window's thread, every
// row before any thumbnail, their titles (an older chart's from its largest
// label), the filter that ignores accents and case, Enter opening a chart
// once, thumbnails drawn again for other chord symbols, and the rows
// following the folder as files come, change and go, also among 2,000 charts.
#include "app/documentmanager.h"
#include "app/librarymodel.h"
#include "app/librarywindow.h"
#include "app/mainwindow.h"
#include "document/chartfile.h"
#include "render/chordtype.h"
#include "support/chartbuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QSortFilterProxyModel>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace mavrel {
namespace {

QString cell(const QAbstractItemModel* model, int row, int column)
{
    return model->index(row, column).data().toString();
}

QImage thumbnail(const QAbstractItemModel* model, int row)
{
    return qvariant_cast<QIcon>(model->index(row, LibraryModel::Title).data(Qt::DecorationRole))
        .pixmap(LibraryModel::ThumbnailSize)
        .toImage();
}

// Charts written without a flush each: thousands are made in a moment.
void write(const QString& fileName, const Chart& chart)
{
    const std::vector<std::uint8_t> bytes = encodeChart(chart);
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())), qint64(bytes.size()));
}

TEST(Library, ListsFiltersAndOpensTheChartsOfAFolder)
{
    QTemporaryDir dir;
    auto save = [&](const char* name, const Chart& chart) {
        ASSERT_TRUE(saveChart(chart, QFile::encodeName(dir.filePath(QLatin1String(name))).toStdString()).ok);
    };
    // An older chart: no song title, its title the largest label above the grid.
    save("etoile.bab", *test::ChartBuilder(4, 2)
                            .bars({"Dm7 G7", "Cmaj7", "Dm7 G7", "C"})
                            .label("petit mot", 20, 30, 9)
                            .label("\xC9toile des neiges", 200, 20, 22, true)
                            .build());
    save("monk.bab", *test::ChartBuilder(4, 2)
                          .bars({"Bb7", "Eb7", "Bb7", "%", "Eb7", "%", "Bb7", "F7"})
                          .title("Blue Monk", "Thelonious Monk")
                          .style("Jazz", 120)
                          .build());
    QFile junk(dir.filePath(QStringLiteral("junk.bab")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a chart");
    junk.close();

    auto cached = [] { return QDir(LibraryModel::cacheFolder()).entryList(QDir::Files).size(); };
    const qsizetype cachedBefore = cached();
    DocumentManager& manager = *DocumentManager::instance();
    const QStringList before = manager.libraryFolders();
    manager.setLibraryFolders({dir.path()});
    QPointer<LibraryWindow> library = LibraryWindow::showLibrary();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(library));
    LibraryModel* model = library->model();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model->isLoading(); }, 10000));
    // The rows come first; the thumbnails are drawn after.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model->isDrawing(); }, 10000));

    // The file that is no chart is left out; the view sorts by title.
    QAbstractItemModel* shown = library->view()->model();
    ASSERT_EQ(shown->rowCount(), 2);
    const QStringList monk{"Blue Monk", "Thelonious Monk", "Bb", "Jazz", "120", "8"};
    for (int c = 0; c < monk.size(); ++c)
        EXPECT_EQ(cell(shown, 0, c), monk[c]) << c;
    EXPECT_EQ(cell(shown, 1, LibraryModel::Title), QStringLiteral("Étoile des neiges"));
    EXPECT_EQ(cell(shown, 1, LibraryModel::Key), QStringLiteral("C"));
    EXPECT_EQ(cell(shown, 1, LibraryModel::Tempo), QString());

    // The thumbnail is the page: white paper with the grid drawn on it.
    const QImage thumbnail = mavrel::thumbnail(shown, 0);
    ASSERT_FALSE(thumbnail.isNull());
    EXPECT_LE(thumbnail.width(), LibraryModel::ThumbnailSize.width());
    EXPECT_EQ(thumbnail.height(), LibraryModel::ThumbnailSize.height());
    int ink = 0;
    for (int y = 0; y < thumbnail.height(); ++y)
        for (int x = 0; x < thumbnail.width(); ++x)
            ink += qGray(thumbnail.pixel(x, y)) < 200;
    EXPECT_GT(ink, 100) << "a blank page";

    auto* search = library->findChild<QLineEdit*>(QStringLiteral("librarySearch"));
    ASSERT_TRUE(search);
    for (const char* typed : {"etoile", "ÉTOILE neig", "monk jazz"}) {
        search->setText(QString::fromUtf8(typed));
        EXPECT_EQ(shown->rowCount(), 1) << typed;
    }
    search->setText(QStringLiteral("etoile"));
    ASSERT_EQ(shown->rowCount(), 1);

    // Enter opens the chart; again, it brings the same window forward.
    const QByteArray file = QFile::encodeName(dir.filePath(QStringLiteral("etoile.bab")));
    const qsizetype windows = manager.windows().size();
    library->view()->setCurrentIndex(shown->index(0, 0));
    library->view()->setFocus();
    QTest::keyClick(library->view(), Qt::Key_Return);
    MainWindow* opened = manager.windowShowing(file);
    ASSERT_TRUE(opened);
    QTest::keyClick(library->view(), Qt::Key_Return);
    EXPECT_EQ(manager.windowShowing(file), opened);
    EXPECT_EQ(manager.windows().size(), windows + 1);

    // A second reading takes the rows from the cache, one entry per chart.
    LibraryModel again;
    again.setFolders({dir.path()});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !again.isLoading(); }, 10000));
    ASSERT_EQ(again.rowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        const QString name = again.index(row, 0).data(LibraryModel::FileNameRole).toString();
        const int first = model->index(0, 0).data(LibraryModel::FileNameRole).toString() == name ? 0 : 1;
        for (int c = 0; c < LibraryModel::ColumnCount; ++c)
            EXPECT_EQ(again.index(row, c).data(), model->index(first, c).data()) << row << c;
    }
    EXPECT_EQ(cached(), cachedBefore + 2);

    delete opened;
    delete library.data();
    manager.setLibraryFolders(before);
}

TEST(Library, DrawsThumbnailsAgainForOtherChordSymbols)
{
    QTemporaryDir dir;
    write(dir.filePath(QStringLiteral("jazz.bab")),
          *test::ChartBuilder(2, 1).bars({"Cmaj7", "Dm7b5"}).chords(ChordStyle::Jazz).build());
    const ChordSymbols before = chordSymbols();
    auto drawn = [&](LibraryModel& model) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !model.isLoading() && !model.isDrawing(); }, 10000));
        EXPECT_EQ(model.rowCount(), 1);
        return thumbnail(&model, 0);
    };
    LibraryModel shown;
    shown.setFolders({dir.path()});
    const QImage triangle = drawn(shown);
    ASSERT_FALSE(triangle.isNull());

    ChordSymbols spelled;
    spelled.major = ChordSymbols::Major::Maj;
    spelled.halfDiminished = ChordSymbols::HalfDiminished::Spelled;
    setChordSymbols(spelled);
    // A new reading finds the cached thumbnail drawn with other symbols, and
    // the model shown finds it out as the thumbnail is asked for again.
    LibraryModel again;
    again.setFolders({dir.path()});
    const QImage maj = drawn(again);
    EXPECT_NE(maj, triangle);
    thumbnail(&shown, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return thumbnail(&shown, 0) == maj; }, 10000));

    setChordSymbols(before);
    LibraryModel back;
    back.setFolders({dir.path()});
    EXPECT_EQ(drawn(back), triangle);
}

TEST(Library, FollowsTheFolderAndItsSubfoldersAsChartsComeChangeAndGo)
{
    QTemporaryDir dir;
    auto save = [&](const QString& name, const char* title) {
        ASSERT_TRUE(QDir(dir.path()).mkpath(QFileInfo(name).path()));
        const auto chart = test::ChartBuilder(4, 1).bars({"C"}).title(title).build();
        ASSERT_TRUE(saveChart(*chart, QFile::encodeName(dir.filePath(name)).toStdString()).ok);
    };
    save(QStringLiteral("a.bab"), "Autumn Leaves");
    save(QStringLiteral("standards/deep/s.bab"), "Stella");
    // A link back up must not make the reading loop, and a folder listed
    // inside another one gives its charts once.
    ASSERT_TRUE(QFile::link(dir.path(), dir.filePath(QStringLiteral("standards/up"))));
    LibraryModel model;
    model.setFolders({dir.path(), dir.filePath(QStringLiteral("standards"))});
    auto titles = [&] {
        QStringList t;
        for (int row = 0; row < model.rowCount(); ++row)
            t << cell(&model, row, LibraryModel::Title);
        t.sort();
        return t.join(QLatin1Char(','));
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model.isLoading() && titles() == QLatin1String("Autumn Leaves,Stella"); },
                                5000))
        << titles().toStdString();
    // Taking out a folder that another one holds keeps its charts.
    model.removeFolder(dir.filePath(QStringLiteral("standards")));
    EXPECT_EQ(model.folders(), QStringList{dir.path()});
    EXPECT_EQ(titles(), QStringLiteral("Autumn Leaves,Stella"));

    const struct {
        const char* what;
        std::function<void()> change;
        const char* titles;
    } steps[] = {
        {"added", [&] { save(QStringLiteral("b.bab"), "Blue Bossa"); }, "Autumn Leaves,Blue Bossa,Stella"},
        {"rewritten", [&] { save(QStringLiteral("a.bab"), "All the Things"); }, "All the Things,Blue Bossa,Stella"},
        {"renamed",
         [&] { ASSERT_TRUE(QFile::rename(dir.filePath(QStringLiteral("b.bab")), dir.filePath(QStringLiteral("c.bab")))); },
         "All the Things,Blue Bossa,Stella"},
        {"removed", [&] { ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("a.bab")))); }, "Blue Bossa,Stella"},
        {"added in a subfolder", [&] { save(QStringLiteral("standards/deep/t.bab"), "Take Five"); },
         "Blue Bossa,Stella,Take Five"},
        {"in a new subfolder", [&] { save(QStringLiteral("ballads/u.bab"), "Body and Soul"); },
         "Blue Bossa,Body and Soul,Stella,Take Five"},
        {"added in the new subfolder", [&] { save(QStringLiteral("ballads/v.bab"), "Misty"); },
         "Blue Bossa,Body and Soul,Misty,Stella,Take Five"},
        {"subfolder removed", [&] { ASSERT_TRUE(QDir(dir.filePath(QStringLiteral("standards"))).removeRecursively()); },
         "Blue Bossa,Body and Soul,Misty"},
    };
    for (const auto& step : steps) {
        // File times may be coarse: a rewrite must not share its first write's.
        QTest::qWait(20);
        step.change();
        EXPECT_TRUE(QTest::qWaitFor([&] { return titles() == QLatin1String(step.titles); }, 5000))
            << step.what << ": " << titles().toStdString();
    }
    EXPECT_EQ(model.match(model.index(0, 0), LibraryModel::FileNameRole, dir.filePath(QStringLiteral("c.bab")), -1,
                          Qt::MatchExactly)
                  .size(),
              1);
}

TEST(Library, RemovesAFolderAndOpensAgainAsItWasLeft)
{
    QTemporaryDir kept, removed;
    auto save = [](const QTemporaryDir& dir, const char* name, const char* title, const char* composer) {
        const auto chart = test::ChartBuilder(4, 1).bars({"C"}).title(title, composer).build();
        ASSERT_TRUE(saveChart(*chart, QFile::encodeName(dir.filePath(QLatin1String(name))).toStdString()).ok);
    };
    save(kept, "a.bab", "Autumn Leaves", "Kosma");
    save(kept, "b.bab", "Blue Bossa", "Dorham");
    save(removed, "c.bab", "Caravan", "Tizol");
    DocumentManager& manager = *DocumentManager::instance();
    const QStringList before = manager.libraryFolders();
    manager.setLibraryFolders({kept.path(), removed.path()});

    QPointer<LibraryWindow> library = LibraryWindow::showLibrary();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(library));
    auto* status = library->findChild<QLabel*>(QStringLiteral("libraryStatus"));
    ASSERT_TRUE(status);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !library->model()->isLoading(); }, 10000));
    EXPECT_EQ(status->text(), QStringLiteral("3 grilles"));
    library->findChild<QLineEdit*>(QStringLiteral("librarySearch"))->setText(QStringLiteral("blue"));
    EXPECT_EQ(status->text(), QStringLiteral("1 sur 3 grilles"));
    library->findChild<QLineEdit*>(QStringLiteral("librarySearch"))->clear();

    // "Dossiers" lists both folders; "Retirer" takes one out at once, for
    // good, and leaves its files alone.
    auto* menu = library->findChild<QMenu*>(QStringLiteral("foldersMenu"));
    ASSERT_TRUE(menu);
    emit menu->aboutToShow();
    QStringList listed;
    QAction* remove = nullptr;
    for (QAction* folder : menu->actions()) {
        listed << folder->text();
        if (folder->menu() && folder->text() == QDir::toNativeSeparators(removed.path()))
            remove = folder->menu()->actions().value(0);
    }
    EXPECT_EQ(listed, QStringList({QDir::toNativeSeparators(kept.path()), QDir::toNativeSeparators(removed.path())}));
    ASSERT_TRUE(remove);
    EXPECT_EQ(remove->text(), QStringLiteral("&Retirer"));
    remove->trigger();
    EXPECT_EQ(library->model()->rowCount(), 2);
    EXPECT_EQ(manager.libraryFolders(), QStringList{kept.path()});
    EXPECT_TRUE(QFile::exists(removed.filePath(QStringLiteral("c.bab"))));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !library->model()->isLoading(); }, 10000));
    EXPECT_EQ(library->model()->rowCount(), 2);
    EXPECT_EQ(status->text(), QStringLiteral("2 grilles"));

    // The window is left sorted by composer, downwards, with a wider column,
    // moved, and showing its thumbnails: a new one comes back so.
    QTableView* view = library->view();
    view->sortByColumn(LibraryModel::Composer, Qt::DescendingOrder);
    view->horizontalHeader()->resizeSection(LibraryModel::Style, 211);
    library->setGeometry(QRect(QPoint(40, 50), QSize(640, 420)));
    library->findChild<QPushButton*>(QStringLiteral("thumbnailsButton"))->click();
    ASSERT_TRUE(library->showsThumbnails());
    const QRect geometry = library->geometry();
    library->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return library.isNull(); }, 5000));

    library = LibraryWindow::showLibrary();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(library));
    view = library->view();
    EXPECT_EQ(library->geometry(), geometry);
    EXPECT_EQ(view->horizontalHeader()->sortIndicatorSection(), LibraryModel::Composer);
    EXPECT_EQ(view->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(view->horizontalHeader()->sectionSize(LibraryModel::Style), 211);
    EXPECT_TRUE(library->showsThumbnails());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !library->model()->isLoading() && view->model()->rowCount() == 2; }, 10000));
    EXPECT_EQ(cell(view->model(), 0, LibraryModel::Title), QStringLiteral("Autumn Leaves"));

    delete library.data();
    for (const char* key : {"library/geometry", "library/columns", "library/thumbnails"})
        manager.settings().remove(QLatin1String(key));
    manager.setLibraryFolders(before);
}

TEST(Library, ListsSortsFiltersAndFollowsTwoThousandCharts)
{
    constexpr int Charts = 2000;
    QTemporaryDir dir;
    auto name = [&](int n) { return dir.filePath(QStringLiteral("c%1.bab").arg(n)); };
    for (int n = 0; n < Charts; ++n) {
        // One in a hundred is an "Étoile"; one in seven has no tempo.
        const QString title = QStringLiteral("%1 %2").arg(n % 100 == 7 ? QStringLiteral("Étoile") : QStringLiteral("Song"))
                                  .arg(n, 4, 10, QLatin1Char('0'));
        write(name(n), *test::ChartBuilder(4, 1 + n % 3)
                            .bars({"Dm7 G7", "Cmaj7", "%", "N.C."})
                            .title(title.toStdString(), "Compositeur")
                            .style("Swing", n % 7 ? 40 + n % 200 : 0)
                            .build());
    }
    LibraryModel model;
    LibraryFilter filter;
    filter.setSourceModel(&model);
    model.setFolders({dir.path()});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model.isLoading(); }, 20000));
    ASSERT_EQ(model.rowCount(), Charts);

    const struct {
        int column;
        Qt::SortOrder order;
        const char* first;
    } sorts[] = {
        {LibraryModel::Title, Qt::AscendingOrder, "Song 0000"},
        {LibraryModel::Title, Qt::DescendingOrder, "\xC3\x89toile 1907"},
    };
    for (const auto& sort : sorts) {
        filter.sort(sort.column, sort.order);
        EXPECT_EQ(cell(&filter, 0, sort.column), QString::fromUtf8(sort.first)) << sort.column;
    }
    filter.sort(LibraryModel::Tempo, Qt::AscendingOrder);
    std::vector<int> tempos;
    for (int row = 0; row < filter.rowCount(); ++row) {
        if (const QVariant tempo = filter.index(row, LibraryModel::Tempo).data(); tempo.isValid())
            tempos.push_back(tempo.toInt());
    }
    // Tempos sort as numbers, not as texts: 40 first, 239 last.
    ASSERT_EQ(tempos.size(), std::size_t(Charts - (Charts + 6) / 7));
    EXPECT_TRUE(std::is_sorted(tempos.cbegin(), tempos.cend()));
    EXPECT_EQ(tempos.front(), 40);
    EXPECT_EQ(tempos.back(), 239);

    const struct {
        const char* typed;
        int rows;
    } searches[] = {{"etoile", 20}, {"\xC3\x89TOILE 1907", 1}, {"song 1999", 1}, {"SONG", Charts - 20}, {"rien", 0}};
    for (const auto& search : searches) {
        filter.setSearch(QString::fromUtf8(search.typed));
        EXPECT_EQ(filter.rowCount(), search.rows) << search.typed;
    }
    filter.setSearch({});

    // A chart renamed and one removed while shown.
    ASSERT_TRUE(QFile::rename(name(0), dir.filePath(QStringLiteral("renamed.bab"))));
    ASSERT_TRUE(QFile::remove(name(1)));
    auto rows = [&](const QString& file) {
        return model.match(model.index(0, 0), LibraryModel::FileNameRole, file, -1, Qt::MatchExactly).size();
    };
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return model.rowCount() == Charts - 1 && rows(dir.filePath(QStringLiteral("renamed.bab"))) == 1; }, 10000));
    EXPECT_EQ(rows(name(0)) + rows(name(1)), 0);
    filter.sort(LibraryModel::Title, Qt::AscendingOrder);
    EXPECT_EQ(cell(&filter, 0, LibraryModel::Title), QStringLiteral("Song 0000"));
    EXPECT_EQ(cell(&filter, 1, LibraryModel::Title), QStringLiteral("Song 0002"));
}

} // namespace
} // namespace mavrel
