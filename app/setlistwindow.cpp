#include "setlistwindow.h"

#include "documentmanager.h"
#include "librarywindow.h"
#include "setlistmodel.h"
#include "songbookdialog.h"

#include "document/setlist.h"
#include "files/localfile.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QUndoStack>
#include <QVBoxLayout>

#include <utility>

namespace mavrel {

namespace {

QList<QPointer<SetListWindow>>& openWindows()
{
    static QList<QPointer<SetListWindow>> windows;
    windows.removeAll(nullptr);
    return windows;
}

// The key and the part are chosen from a list rather than typed.
class ChoiceDelegate : public QStyledItemDelegate {
public:
    // Each choice's text, with the value the model takes for it.
    ChoiceDelegate(QList<std::pair<QString, QString>> choices, QObject* parent)
        : QStyledItemDelegate(parent), m_choices(std::move(choices))
    {
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* box = new QComboBox(parent);
        for (const auto& [text, value] : m_choices)
            box->addItem(text, value);
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* box = static_cast<QComboBox*>(editor);
        box->setCurrentIndex(std::max(0, box->findData(index.data(SetListModel::ValueRole))));
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        model->setData(index, static_cast<QComboBox*>(editor)->currentData(), SetListModel::ValueRole);
    }

private:
    QList<std::pair<QString, QString>> m_choices;
};

// A step of the list's history: the list before and after it.
class SetListStep : public QUndoCommand {
public:
    SetListStep(SetListWindow* window, const QString& what, int id, SetListWindow::State before,
                SetListWindow::State after)
        : QUndoCommand(what), m_window(window), m_id(id), m_before(std::move(before)), m_after(std::move(after))
    {
    }
    // The list already stands as the step leaves it when it is pushed.
    void redo() override
    {
        if (!m_done)
            m_done = true;
        else
            m_window->restoreState(m_after);
    }
    void undo() override { m_window->restoreState(m_before); }
    int id() const override { return m_id; }
    // Each letter typed in the name is not a step of its own.
    bool mergeWith(const QUndoCommand* other) override
    {
        m_after = static_cast<const SetListStep*>(other)->m_after;
        return true;
    }

private:
    SetListWindow* m_window;
    int m_id;
    SetListWindow::State m_before;
    SetListWindow::State m_after;
    bool m_done = false;
};

constexpr int NameStep = 1;

} // namespace

SetListWindow::SetListWindow(QWidget* parent)
    : QMainWindow(parent), m_model(new SetListModel(this)), m_undoStack(new QUndoStack(this)),
      m_name(new QLineEdit(this)), m_view(new QTableView(this))
{
    setObjectName(QStringLiteral("setListWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    openWindows() << this;

    m_name->setObjectName(QStringLiteral("setListName"));
    m_name->setPlaceholderText(tr("Concert du vendredi"));
    m_name->setMaxLength(200);
    connect(m_name, &QLineEdit::textEdited, this, [this] { recordChange(tr("le nom de la liste"), NameStep); });
    connect(m_undoStack, &QUndoStack::cleanChanged, this, [this](bool clean) { setWindowModified(!clean); });

    m_view->setObjectName(QStringLiteral("setListView"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                            | QAbstractItemView::AnyKeyPressed);
    m_view->setDragEnabled(true);
    m_view->setAcceptDrops(true);
    m_view->setDropIndicatorShown(true);
    m_view->setDragDropMode(QAbstractItemView::DragDrop);
    m_view->setDragDropOverwriteMode(false);
    m_view->setDefaultDropAction(Qt::CopyAction);
    m_view->setWordWrap(false);
    m_view->horizontalHeader()->setSectionResizeMode(SetListModel::Title, QHeaderView::Stretch);
    m_view->horizontalHeader()->setSectionResizeMode(SetListModel::Note, QHeaderView::Stretch);

    QList<std::pair<QString, QString>> keys;
    for (const QString& key : SetListModel::keyChoices())
        keys.append({key.isEmpty() ? tr("Comme écrite") : key, key});
    m_view->setItemDelegateForColumn(SetListModel::Key, new ChoiceDelegate(keys, this));
    QList<std::pair<QString, QString>> parts;
    for (Instrument part : {Instrument::Concert, Instrument::BFlat, Instrument::EFlat, Instrument::F})
        parts.append({SetListModel::partText(part), QString::fromUtf8(partName(part))});
    m_view->setItemDelegateForColumn(SetListModel::Part, new ChoiceDelegate(parts, this));

    // Enter opens the chart; F2, a double-click or typing edits the key, the
    // part or the note.
    connect(m_view, &QAbstractItemView::activated, this, &SetListWindow::openSong);
    connect(m_model, &SetListModel::edited, this, [this](const QString& what) {
        if (!m_batch)
            recordChange(what);
        updateStatus();
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, &SetListWindow::updateStatus);

    auto* nameLabel = new QLabel(tr("&Nom :"), this);
    nameLabel->setBuddy(m_name);
    auto* top = new QFormLayout;
    top->addRow(nameLabel, m_name);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addLayout(top);
    layout->addWidget(m_view);
    setCentralWidget(central);

    auto addItem = [this](QMenu* menu, const char* name, const QString& caption, const QKeySequence& key, auto slot) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu* list = menuBar()->addMenu(tr("&Liste"));
    addItem(list, "newSetListAction", tr("&Nouvelle liste"), QKeySequence::New, [] { newSetList(); });
    addItem(list, "saveSetListAction", tr("&Enregistrer"), QKeySequence::Save, &SetListWindow::save);
    addItem(list, "saveSetListAsAction", tr("Enregistrer &sous…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
            &SetListWindow::saveAs);
    list->addSeparator();
    addItem(list, "songbookAction", tr("&Recueil…"), QKeySequence::Print, &SetListWindow::showSongbook);
    addItem(list, "libraryAction", tr("&Bibliothèque"), QKeySequence(Qt::CTRL | Qt::Key_L),
            [] { LibraryWindow::showLibrary(); });
    list->addSeparator();
    addItem(list, "closeSetListAction", tr("&Fermer"), QKeySequence::Close, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(tr("É&dition"));
    QAction* undo = m_undoStack->createUndoAction(this, tr("&Annuler"));
    undo->setObjectName(QStringLiteral("undoSetListAction"));
    undo->setShortcut(QKeySequence::Undo);
    edit->addAction(undo);
    QAction* redo = m_undoStack->createRedoAction(this, tr("&Rétablir"));
    redo->setObjectName(QStringLiteral("redoSetListAction"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addAction(redo);

    QMenu* songs = menuBar()->addMenu(tr("&Morceaux"));
    addItem(songs, "addChartsAction", tr("&Ajouter des grilles…"), QKeySequence(Qt::CTRL | Qt::Key_I),
            &SetListWindow::addCharts);
    addItem(songs, "openSongAction", tr("&Ouvrir la grille"), QKeySequence(Qt::CTRL | Qt::Key_O),
            [this] { openSong(m_view->currentIndex()); });
    QAction* remove = addItem(songs, "removeSongsAction", tr("&Retirer de la liste"), QKeySequence::Delete,
                              &SetListWindow::removeSongs);
    // Delete in the name's box deletes text, not songs.
    remove->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_view->addAction(remove);
    songs->addSeparator();
    addItem(songs, "moveUpAction", tr("&Monter"), QKeySequence(Qt::CTRL | Qt::Key_Up), [this] { moveSongs(-1); });
    addItem(songs, "moveDownAction", tr("&Descendre"), QKeySequence(Qt::CTRL | Qt::Key_Down),
            [this] { moveSongs(1); });

    statusBar()->setObjectName(QStringLiteral("setListStatus"));
    resize(640, 480);
    updateTitle();
    updateStatus();
}

QList<SetListWindow*> SetListWindow::windows()
{
    QList<SetListWindow*> shown;
    for (const QPointer<SetListWindow>& w : openWindows())
        shown << w.data();
    return shown;
}

SetListWindow* SetListWindow::openSetList(const QString& fileName)
{
    const QString absolute = QFileInfo(fileName).absoluteFilePath();
    const QString canonical = QFileInfo(fileName).canonicalFilePath();
    for (SetListWindow* w : windows()) {
        if (w->fileName() == absolute || (!canonical.isEmpty() && QFileInfo(w->fileName()).canonicalFilePath() == canonical)) {
            w->show();
            w->raise();
            w->activateWindow();
            return w;
        }
    }
    auto* window = new SetListWindow;
    if (!window->load(absolute)) {
        window->deleteLater();
        openWindows().removeAll(window);
        return nullptr;
    }
    window->show();
    return window;
}

SetListWindow* SetListWindow::newSetList()
{
    auto* window = new SetListWindow;
    window->show();
    return window;
}

bool SetListWindow::load(const QString& fileName)
{
    SetList list;
    std::vector<Message> warnings;
    const QByteArray file = localFileName(fileName);
    const FileResult r = loadSetList(list, file.toStdString(), warnings);
    if (!r.ok) {
        DocumentManager::instance()->dialogs().tell(this, fileMessage(r));
        return false;
    }
    m_name->setText(QString::fromStdString(list.name));
    m_model->setSetList(list, fileName);
    setFileName(fileName);
    m_undoStack->clear();
    m_recorded = {m_name->text(), m_model->songs()};
    DocumentManager::instance()->addRecentFile(m_fileName);
    if (!warnings.empty()) {
        QStringList lines;
        for (const Message& w : warnings)
            lines << messageText(w);
        DocumentManager::instance()->dialogs().tell(this, visibleText(QFileInfo(fileName).fileName() + QStringLiteral(" : ")
                                                                      + lines.join(QLatin1Char('\n'))));
    }
    return true;
}

SetList SetListWindow::setList() const
{
    SetList list = m_model->setList(m_fileName);
    list.name = m_name->text().simplified().toStdString();
    return list;
}

bool SetListWindow::saveTo(const QString& fileName)
{
    const QByteArray file = localFileName(fileName);
    SetList list = m_model->setList(QFile::decodeName(file));
    list.name = m_name->text().simplified().toStdString();
    const FileResult r = saveSetList(list, file.toStdString());
    if (!r.ok) {
        DocumentManager::instance()->dialogs().tell(this, fileMessage(r));
        return false;
    }
    setFileName(QFile::decodeName(file));
    m_undoStack->setClean();
    m_mergeBarrier = true;
    DocumentManager::instance()->addRecentFile(m_fileName);
    statusBar()->showMessage(tr("Liste enregistrée."), 3000);
    return true;
}

bool SetListWindow::save() { return m_fileName.isEmpty() ? saveAs() : saveTo(m_fileName); }

bool SetListWindow::saveAs()
{
    DocumentManager* manager = DocumentManager::instance();
    QString proposed = m_fileName;
    if (proposed.isEmpty()) {
        const QString name = m_name->text().simplified();
        proposed = manager->lastFolder() + QLatin1Char('/')
            + (name.isEmpty() ? tr("Liste") : QString(name).replace(QLatin1Char('/'), QLatin1Char('-')))
            + QStringLiteral(".setlist");
    }
    const QString fileName = manager->dialogs().saveFileName(
        this, {tr("Enregistrer la liste de morceaux"), proposed, {tr("Listes de morceaux (*.setlist)")},
               {QStringLiteral("setlist")}});
    if (fileName.isEmpty())
        return false;
    manager->setLastFolder(QFileInfo(fileName).absolutePath());
    return saveTo(fileName);
}

bool SetListWindow::maybeSave()
{
    if (!isWindowModified())
        return true;
    const QMessageBox::StandardButton answer = DocumentManager::instance()->dialogs().ask(
        this,
        tr("Enregistrer les modifications de la liste « %1 » ?")
            .arg(m_fileName.isEmpty() ? tr("Nouvelle liste") : QFileInfo(m_fileName).fileName()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Save)
        return save();
    return answer == QMessageBox::Discard;
}

void SetListWindow::recordChange(const QString& what, int mergeId)
{
    if (m_restoring)
        return;
    State now{m_name->text(), m_model->songs()};
    // A name typed after a save is a step of its own: the saved one stays clean.
    if (std::exchange(m_mergeBarrier, false))
        mergeId = -1;
    m_undoStack->push(new SetListStep(this, what, mergeId, m_recorded, now));
    m_recorded = std::move(now);
}

void SetListWindow::restoreState(const State& state)
{
    m_restoring = true;
    m_name->setText(state.name);
    m_model->setSongs(state.songs);
    m_model->checkFiles();
    m_restoring = false;
    m_recorded = state;
    updateStatus();
}

void SetListWindow::closeEvent(QCloseEvent* event)
{
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    event->accept();
}

void SetListWindow::changeEvent(QEvent* event)
{
    // Charts may have come back, or gone, while the user was elsewhere.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_model->checkFiles())
        updateStatus();
    QMainWindow::changeEvent(event);
}

void SetListWindow::setFileName(const QString& fileName)
{
    m_fileName = fileName.isEmpty() ? QString() : QFileInfo(fileName).absoluteFilePath();
    updateTitle();
}

void SetListWindow::updateTitle()
{
    const QString name = m_fileName.isEmpty() ? tr("Nouvelle liste") : QFileInfo(m_fileName).fileName();
    setWindowTitle(tr("%1[*] - Liste de morceaux - Mavrel").arg(name));
}

void SetListWindow::updateStatus()
{
    const int songs = m_model->rowCount();
    const int missing = m_model->missingCount();
    QString text = songs == 1 ? tr("1 morceau") : tr("%1 morceaux").arg(songs);
    if (missing == 1)
        text = tr("%1, dont 1 introuvable").arg(text);
    else if (missing > 1)
        text = tr("%1, dont %2 introuvables").arg(text).arg(missing);
    if (songs == 0)
        text = tr("Glissez ici des grilles de la bibliothèque, ou choisissez « Ajouter des grilles… ».");
    statusBar()->showMessage(text);
}

QList<int> SetListWindow::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& i : m_view->selectionModel()->selectedRows())
        rows << i.row();
    if (rows.isEmpty() && m_view->currentIndex().isValid())
        rows << m_view->currentIndex().row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void SetListWindow::addCharts()
{
    DocumentManager* manager = DocumentManager::instance();
    const QString fileName = manager->dialogs().openFileName(
        this, {tr("Ajouter une grille à la liste"), manager->lastFolder(), {tr("Grilles (*.bab)")}, {}});
    if (fileName.isEmpty())
        return;
    manager->setLastFolder(QFileInfo(fileName).absolutePath());
    const QList<int> rows = selectedRows();
    const int at = rows.isEmpty() ? -1 : rows.last() + 1;
    if (m_model->insertCharts(at, {fileName}) == 0)
        manager->dialogs().tell(this, tr("« %1 » n'est pas une grille.").arg(visibleText(fileName)));
}

void SetListWindow::removeSongs()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    m_batch = true;
    for (auto r = rows.crbegin(); r != rows.crend(); ++r)
        m_model->removeRow(*r);
    m_batch = false;
    recordChange(tr("le retrait de morceaux"));
    updateStatus();
}

void SetListWindow::moveSongs(int by)
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    const int target = by < 0 ? rows.first() - 1 : rows.last() + 2;
    if (target < 0 || target > m_model->rowCount())
        return;
    m_model->moveSongs(rows, target);
    // The same songs stay selected, where they went.
    const int first = by < 0 ? target : target - static_cast<int>(rows.size());
    QItemSelection selection(m_model->index(first, 0),
                             m_model->index(first + static_cast<int>(rows.size()) - 1, SetListModel::ColumnCount - 1));
    m_view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    m_view->selectionModel()->setCurrentIndex(m_model->index(first, SetListModel::Title), QItemSelectionModel::NoUpdate);
}

void SetListWindow::openSong(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    const QString fileName = index.data(SetListModel::FileNameRole).toString();
    if (!QFileInfo(fileName).isFile()) {
        m_model->checkFiles();
        DocumentManager::instance()->dialogs().tell(
            this, tr("« %1 » est introuvable.").arg(visibleText(QDir::toNativeSeparators(fileName))));
        return;
    }
    DocumentManager::instance()->openWindows({QFile::encodeName(fileName)});
}

void SetListWindow::showSongbook()
{
    SongbookDialog dialog(this);
    dialog.setSetList(setList(), m_fileName);
    dialog.exec();
}

} // namespace mavrel
