#include "librarywindow.h"

#include "documentmanager.h"
#include "librarymodel.h"
#include "mainwindow.h"
#include "setlistmodel.h"
#include "setlistwindow.h"
#include "songbookdialog.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMenu>
#include <QStackedWidget>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace mavrel {

namespace {
const QString GeometryKey = QStringLiteral("library/geometry");
const QString ColumnsKey = QStringLiteral("library/columns");
const QString ThumbnailsKey = QStringLiteral("library/thumbnails");
} // namespace

LibraryWindow::LibraryWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), m_model(new LibraryModel(this)), m_filter(new LibraryFilter(this)),
      m_search(new QLineEdit(this)), m_view(new QTableView(this)), m_thumbnails(new QListView(this)),
      m_views(new QStackedWidget(this)), m_foldersMenu(new QMenu(this)), m_status(new QLabel(this))
{
    setWindowTitle(tr("Bibliothèque"));
    setObjectName(QStringLiteral("libraryWindow"));

    m_search->setObjectName(QStringLiteral("librarySearch"));
    m_search->setPlaceholderText(tr("Rechercher un titre, un compositeur, un style…"));
    m_search->setClearButtonEnabled(true);
    connect(m_search, &QLineEdit::textChanged, m_filter, &LibraryFilter::setSearch);

    auto* add = new QPushButton(tr("&Ajouter un dossier…"), this);
    add->setObjectName(QStringLiteral("addFolderButton"));
    connect(add, &QPushButton::clicked, this, &LibraryWindow::addFolder);

    auto* folders = new QPushButton(tr("&Dossiers"), this);
    folders->setObjectName(QStringLiteral("foldersButton"));
    m_foldersMenu->setObjectName(QStringLiteral("foldersMenu"));
    folders->setMenu(m_foldersMenu);
    connect(m_foldersMenu, &QMenu::aboutToShow, this, &LibraryWindow::fillFoldersMenu);

    m_filter->setSourceModel(m_model);
    m_filter->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_filter->setSortLocaleAware(true);
    m_view->setObjectName(QStringLiteral("libraryView"));
    m_view->setModel(m_filter);
    m_view->setSortingEnabled(true);
    m_view->sortByColumn(LibraryModel::Title, Qt::AscendingOrder);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setDragEnabled(true);
    m_view->setDragDropMode(QAbstractItemView::DragOnly);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setAlternatingRowColors(true);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setSectionResizeMode(LibraryModel::Title, QHeaderView::Stretch);
    connect(m_view, &QAbstractItemView::activated, this, &LibraryWindow::openChart);

    m_thumbnails->setObjectName(QStringLiteral("libraryThumbnails"));
    m_thumbnails->setModel(m_filter);
    m_thumbnails->setModelColumn(LibraryModel::Title);
    m_thumbnails->setViewMode(QListView::IconMode);
    m_thumbnails->setIconSize(LibraryModel::ThumbnailSize);
    m_thumbnails->setResizeMode(QListView::Adjust);
    m_thumbnails->setMovement(QListView::Static);
    m_thumbnails->setUniformItemSizes(true);
    m_thumbnails->setWordWrap(true);
    m_thumbnails->setSpacing(8);
    m_thumbnails->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_thumbnails->setSelectionModel(m_view->selectionModel());
    m_thumbnails->setDragEnabled(true);
    m_thumbnails->setDragDropMode(QAbstractItemView::DragOnly);
    m_thumbnails->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(m_thumbnails, &QAbstractItemView::activated, this, &LibraryWindow::openChart);
    m_views->addWidget(m_view);
    m_views->addWidget(m_thumbnails);

    m_showThumbnails = new QPushButton(tr("&Vignettes"), this);
    m_showThumbnails->setObjectName(QStringLiteral("thumbnailsButton"));
    m_showThumbnails->setCheckable(true);
    connect(m_showThumbnails, &QPushButton::toggled, this,
            [this](bool on) { m_views->setCurrentWidget(on ? static_cast<QWidget*>(m_thumbnails) : m_view); });

    auto* top = new QHBoxLayout;
    top->addWidget(m_search, 1);
    top->addWidget(m_showThumbnails);
    top->addWidget(add);
    top->addWidget(folders);
    m_status->setObjectName(QStringLiteral("libraryStatus"));

    auto* newSetList = new QPushButton(tr("&Nouvelle liste"), this);
    newSetList->setObjectName(QStringLiteral("newSetListButton"));
    newSetList->setToolTip(tr("Une liste de morceaux des grilles choisies, à compléter en y faisant glisser d'autres grilles"));
    connect(newSetList, &QPushButton::clicked, this, &LibraryWindow::newSetListOfSelection);
    auto* songbook = new QPushButton(tr("&Recueil…"), this);
    songbook->setObjectName(QStringLiteral("songbookButton"));
    songbook->setToolTip(tr("Imprime ou enregistre en PDF un recueil des grilles choisies, ou de toutes celles montrées"));
    connect(songbook, &QPushButton::clicked, this, &LibraryWindow::showSongbook);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(newSetList);
    bottom->addWidget(songbook);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_views);
    layout->addLayout(bottom);
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_filter, signal, this, &LibraryWindow::updateStatus);
    connect(m_filter, &QAbstractItemModel::modelReset, this, &LibraryWindow::updateStatus);
    connect(m_model, &LibraryModel::loadingChanged, this, &LibraryWindow::updateStatus);
    resize(800, 500);
    restoreHabits();

    m_model->setFolders(DocumentManager::instance()->libraryFolders());
    updateStatus();
}

LibraryWindow* LibraryWindow::showLibrary()
{
    static QPointer<LibraryWindow> library;
    if (!library) {
        library = new LibraryWindow;
        library->setAttribute(Qt::WA_DeleteOnClose);
    }
    library->show();
    library->raise();
    library->activateWindow();
    return library;
}

QStringList LibraryWindow::selectedCharts(bool orShown) const
{
    QModelIndexList rows = m_view->selectionModel()->selectedRows();
    if (rows.isEmpty() && orShown) {
        for (int r = 0; r < m_filter->rowCount(); ++r)
            rows << m_filter->index(r, 0);
    }
    // In the order the list shows them, not the order they were picked.
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList files;
    for (const QModelIndex& i : rows)
        files << i.data(LibraryModel::FileNameRole).toString();
    return files;
}

void LibraryWindow::newSetListOfSelection()
{
    SetListWindow* window = SetListWindow::newSetList();
    window->model()->insertCharts(-1, selectedCharts(false));
}

void LibraryWindow::showSongbook()
{
    const QStringList charts = selectedCharts(true);
    if (charts.isEmpty()) {
        DocumentManager::instance()->dialogs().tell(this, tr("La bibliothèque ne montre aucune grille."));
        return;
    }
    SongbookDialog dialog(this);
    dialog.setCharts(charts);
    dialog.exec();
}

bool LibraryWindow::showsThumbnails() const { return m_views->currentWidget() == m_thumbnails; }

void LibraryWindow::closeEvent(QCloseEvent* event)
{
    rememberHabits();
    QWidget::closeEvent(event);
}

void LibraryWindow::restoreHabits()
{
    QSettings& settings = DocumentManager::instance()->settings();
    restoreGeometry(settings.value(GeometryKey).toByteArray());
    QHeaderView* header = m_view->horizontalHeader();
    if (header->restoreState(settings.value(ColumnsKey).toByteArray()))
        m_view->sortByColumn(header->sortIndicatorSection(), header->sortIndicatorOrder());
    m_showThumbnails->setChecked(settings.value(ThumbnailsKey, false).toBool());
}

void LibraryWindow::rememberHabits()
{
    QSettings& settings = DocumentManager::instance()->settings();
    settings.setValue(GeometryKey, saveGeometry());
    settings.setValue(ColumnsKey, m_view->horizontalHeader()->saveState());
    settings.setValue(ThumbnailsKey, showsThumbnails());
}

void LibraryWindow::addFolder()
{
    DocumentManager* manager = DocumentManager::instance();
    const QString folder = manager->dialogs().folderName(this, tr("Ajouter un dossier à la bibliothèque"));
    if (folder.isEmpty())
        return;
    QStringList folders = manager->libraryFolders();
    const QString path = QDir(folder).absolutePath();
    if (folders.contains(path))
        return;
    folders << path;
    manager->setLibraryFolders(folders);
    m_model->setFolders(folders);
}

void LibraryWindow::removeFolder(const QString& folder)
{
    DocumentManager* manager = DocumentManager::instance();
    QStringList folders = manager->libraryFolders();
    folders.removeAll(folder);
    manager->setLibraryFolders(folders);
    m_model->removeFolder(folder);
}

void LibraryWindow::fillFoldersMenu()
{
    m_foldersMenu->clear();
    const QStringList folders = DocumentManager::instance()->libraryFolders();
    if (folders.isEmpty()) {
        m_foldersMenu->addAction(tr("Aucun dossier"))->setEnabled(false);
        return;
    }
    for (const QString& folder : folders) {
        QMenu* menu = m_foldersMenu->addMenu(QDir::toNativeSeparators(folder));
        // A folder's name may hold "&": it is no shortcut.
        menu->setTitle(menu->title().replace(QLatin1Char('&'), QLatin1String("&&")));
        menu->addAction(tr("&Retirer"), this, [this, folder] { removeFolder(folder); });
    }
}

void LibraryWindow::updateStatus()
{
    const int total = m_model->rowCount();
    const int shown = m_filter->rowCount();
    const QLocale locale;
    QString text = total == 1 ? tr("1 grille") : tr("%1 grilles").arg(locale.toString(total));
    if (shown != total)
        text = tr("%1 sur %2").arg(locale.toString(shown), text);
    if (m_model->isLoading())
        text = tr("Lecture… %1").arg(text);
    m_status->setText(text);
}

void LibraryWindow::openChart(const QModelIndex& index)
{
    const QString fileName = index.data(LibraryModel::FileNameRole).toString();
    if (!fileName.isEmpty())
        DocumentManager::instance()->openWindows({QFile::encodeName(fileName)});
}

} // namespace mavrel
