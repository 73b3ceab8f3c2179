// The menus, and the "Fichier" and "Aide" ones: charts opened and saved,
// nothing lost without asking, printing, help.
#include "mainwindow.h"

#include "charteditor.h"
#include "desktop.h"
#include "dialogs/aboutdialog.h"
#include "dialogs/preferencesdialog.h"
#include "dialogs/chorddialog.h"
#include "dialogs/shortcutsdialog.h"
#include "documentmanager.h"
#include "helpwindow.h"
#include "librarywindow.h"
#include "setlistcommands.h"
#include "setlistwindow.h"
#include "edit/chartdocument.h"
#include "print/printpreview.h"
#include "files/localfile.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QRegularExpression>
#include <QUndoStack>

namespace mavrel {

void MainWindow::buildMenus()
{
    auto addMenuItem = [this](QMenu* menu, const char* name, const QString& caption, auto slot) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };

    QMenu* file = menuBar()->addMenu(tr("&Fichier"));
    file->setObjectName(QStringLiteral("fileMenu"));
    addMenuItem(file, "newAction", tr("&Nouveau"), &MainWindow::newFile)->setShortcut(QKeySequence::New);
    addMenuItem(file, "openAction", tr("&Ouvrir"), &MainWindow::open)->setShortcut(QKeySequence::Open);
    buildRecentFilesMenu(file);
    addMenuItem(file, "libraryAction", tr("&Bibliothèque"), [] { LibraryWindow::showLibrary(); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    addMenuItem(file, "newSetListAction", tr("Nouvelle &liste de morceaux"), [] { SetListWindow::newSetList(); });
    addMenuItem(file, "saveAction", tr("&Enregistrer"), &MainWindow::save)->setShortcut(QKeySequence::Save);
    addMenuItem(file, "saveAsAction", tr("Enregistrer &sous…"), &MainWindow::saveAs)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    file->addSeparator();
    addMenuItem(file, "importAction", tr("&Importer…"), &MainWindow::importCharts);
    addMenuItem(file, "exportAction", tr("E&xporter…"), &MainWindow::exportChart);
    file->addSeparator();
    addMenuItem(file, "printAction", tr("Im&pression"), &MainWindow::showPrintPreview)
        ->setShortcut(QKeySequence::Print);

    QMenu* edit = menuBar()->addMenu(tr("É&dition"));
    edit->setObjectName(QStringLiteral("editMenu"));
    // The captions name the step: "Annuler la saisie de l'accord".
    QUndoStack* stack = m_document->undoStack();
    m_undoAction = addMenuItem(edit, "undoAction", tr("&Annuler"), &MainWindow::undo);
    m_undoAction->setShortcut(QKeySequence::Undo);
    m_undoAction->setEnabled(false);
    connect(stack, &QUndoStack::canUndoChanged, m_undoAction, &QAction::setEnabled);
    connect(stack, &QUndoStack::undoTextChanged, this, [this](const QString& step) {
        m_undoAction->setText(step.isEmpty() ? tr("&Annuler") : tr("&Annuler %1").arg(step));
    });
    m_redoAction = addMenuItem(edit, "redoAction", tr("&Rétablir"), &MainWindow::redo);
    m_redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    m_redoAction->setEnabled(false);
    connect(stack, &QUndoStack::canRedoChanged, m_redoAction, &QAction::setEnabled);
    connect(stack, &QUndoStack::redoTextChanged, this, [this](const QString& step) {
        m_redoAction->setText(step.isEmpty() ? tr("&Rétablir") : tr("&Rétablir %1").arg(step));
    });
    edit->addSeparator();
    addMenuItem(edit, "copyAction", tr("&Copier"), &MainWindow::copy)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    addMenuItem(edit, "pasteAction", tr("C&oller"), &MainWindow::paste)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    addMenuItem(edit, "deleteAction", tr("&Supprimer"), &MainWindow::clearSelectedBars)
        ->setShortcut(QKeySequence(Qt::Key_Delete));
    edit->addSeparator();
    addMenuItem(edit, "chordEntryAction", tr("Saisie au c&lavier"), [this] { m_editor->startChordEntry(); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));

    QMenu* view = menuBar()->addMenu(tr("&Affichage"));
    view->setObjectName(QStringLiteral("viewMenu"));
    // Ctrl+= is Ctrl++ without Shift on most keyboards.
    QList<QKeySequence> zoomInKeys = QKeySequence::keyBindings(QKeySequence::ZoomIn);
    for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)})
        if (!zoomInKeys.contains(key))
            zoomInKeys << key;
    addMenuItem(view, "zoomInAction", tr("Zoom &avant"), [this] { m_editor->zoomIn(); })->setShortcuts(zoomInKeys);
    addMenuItem(view, "zoomOutAction", tr("Zoom a&rrière"), [this] { m_editor->zoomOut(); })
        ->setShortcuts(QKeySequence::ZoomOut);
    addMenuItem(view, "actualSizeAction", tr("&Taille réelle"), [this] { m_editor->setZoom(100); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    view->addSeparator();
    addMenuItem(view, "preferencesAction", tr("&Préférences…"), [this] {
        PreferencesDialog dialog(this);
        dialog.setSymbols(chordSymbols());
        if (dialog.exec() == QDialog::Accepted) {
            DocumentManager::instance()->saveChordSymbols(dialog.symbols());
            // The symbols are every chart's: each window draws again.
            for (MainWindow* window : DocumentManager::instance()->windows())
                window->editor()->refreshPage();
        }
    });

    buildBarMenu();

    QMenu* functions = menuBar()->addMenu(tr("F&onctions"));
    functions->setObjectName(QStringLiteral("functionsMenu"));
    addMenuItem(functions, "transposeAction", tr("&Transposer"), &MainWindow::showTransposeDialog);
    addMenuItem(functions, "songAction", tr("&Morceau…"), &MainWindow::showSongDialog);

    QMenu* help = menuBar()->addMenu(tr("Aid&e"));
    help->setObjectName(QStringLiteral("helpMenu"));
    addMenuItem(help, "helpAction", tr("&Aide"), &MainWindow::showHelp)->setShortcut(QKeySequence::HelpContents);
    addMenuItem(help, "shortcutsAction", tr("&Raccourcis clavier"), &MainWindow::showShortcuts);
    help->addSeparator();
    addMenuItem(help, "aboutAction", tr("À &propos de Mavrel"), &MainWindow::showAbout);

    // F10 opens the first menu, as on other desktops.
    auto* menuKey = new QAction(tr("Ouvrir les menus"), this);
    menuKey->setObjectName(QStringLiteral("menuBarAction"));
    menuKey->setShortcut(QKeySequence(Qt::Key_F10));
    addAction(menuKey);
    connect(menuKey, &QAction::triggered, this, [this] { menuBar()->setActiveAction(menuBar()->actions().value(0)); });
}

// --- charts -------------------------------------------------------------------------------

QMessageBox::StandardButton MainWindow::ask(const QString& question, QMessageBox::StandardButtons buttons)
{
    return DocumentManager::instance()->dialogs().ask(this, question, buttons);
}

bool MainWindow::maybeSave()
{
    if (!m_document->isModified() && !m_editor->holdsUnsavedText())
        return true;
    const QMessageBox::StandardButton answer =
        ask(tr("Enregistrer les modifications de « %1 » ?").arg(m_document->displayName()),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Save)
        return save();   // a failed save keeps everything as it was
    return answer == QMessageBox::Discard;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    m_editor->leaveChart();
    rememberHabits();
    event->accept();
}

void MainWindow::newFile()
{
    if (!maybeSave())
        return;
    m_editor->leaveChart();
    m_document->reset();
    m_editor->selectTool(Tool::Chord);
}

bool MainWindow::openChart(const QString& path)
{
    if (isSetListName(QFile::encodeName(path)))
        return SetListWindow::openSetList(path) != nullptr;
    return openLocalChart(localFileName(path));
}

bool MainWindow::openLocalChart(const QByteArray& path)
{
    if (MainWindow* shown = DocumentManager::instance()->windowShowing(path); shown && shown != this) {
        shown->bringToFront();
        return true;
    }
    if (!maybeSave())
        return false;
    m_editor->leaveChart();
    const FileResult r = m_document->load(path);
    if (!r.ok || !r.warning.empty())
        showMessage(fileMessage(r));
    return r.ok;
}

void MainWindow::open()
{
    // Asked before the file dialog, so that "Annuler" costs nothing.
    if (!maybeSave())
        return;
    const QString name = DocumentManager::instance()->dialogs().openFileName(
        this, {QString(), DocumentManager::instance()->lastFolder(),
               {tr("Grilles (*.bab)"), tr("Listes de morceaux (*.setlist)"), tr("Tous les fichiers (*)")}, {}});
    if (name.isEmpty())
        return;
    const QByteArray fileName = localFileName(name);
    if (isSetListName(fileName)) {
        SetListWindow::openSetList(QFile::decodeName(fileName));
        return;
    }
    // A chart is open in one window only.
    if (MainWindow* shown = DocumentManager::instance()->windowShowing(fileName); shown && shown != this) {
        shown->bringToFront();
        return;
    }
    m_editor->leaveChart();
    const FileResult r = m_document->load(fileName);
    if (!r.ok || !r.warning.empty())
        showMessage(fileMessage(r));
}

bool MainWindow::saveTo(const QByteArray& fileName)
{
    // Two windows on one file would each write over the other's changes.
    if (MainWindow* shown = DocumentManager::instance()->windowShowing(fileName); shown && shown != this) {
        showMessage(tr("« %1 » est déjà ouvert dans une autre fenêtre : la grille n'a pas été enregistrée.")
                        .arg(QFile::decodeName(fileName)));
        shown->bringToFront();
        return false;
    }
    // What the user sees is what is saved: a label still in the box goes in.
    if (!m_editor->commitLabel(tr("La grille n'a pas été enregistrée.")))
        return false;
    if (!m_document->setAside().empty()
        && ask(tr("Les informations du morceau mises de côté à l'ouverture de « %1 » seront perdues. "
                  "Enregistrer quand même ?")
                   .arg(m_document->displayName()),
               QMessageBox::Save | QMessageBox::Cancel)
            != QMessageBox::Save)
        return false;
    const FileResult r = m_document->save(fileName);
    if (!r.ok)
        showMessage(fileMessage(r));
    else
        watchFile();   // this save is no change by another program
    return r.ok;
}

bool MainWindow::save()
{
    if (m_document->fileName().isEmpty())
        return saveAs();
    return saveTo(m_document->fileName());
}

bool MainWindow::saveAs()
{
    QString name = DocumentManager::instance()->dialogs().saveFileName(
        this, {QString(), proposedFileName(), {tr("Grilles (*.bab)")}, {}});
    if (name.isEmpty())
        return false;
    if (!name.endsWith(QLatin1String(".bab"), Qt::CaseInsensitive))
        name += QLatin1String(".bab");
    return saveTo(localFileName(name));
}

// --- printing -----------------------------------------------------------------------------

void MainWindow::showPrintPreview()
{
    if (!m_editor->commitLabel(tr("L'aperçu avant impression n'a pas été ouvert.")))
        return;
    if (m_editor->isPageLayoutShown())
        m_editor->setPageLayoutShown(false);
    m_document->clearSelection();
    m_printPreview->show();
    m_printPreview->raise();
}

// --- "Aide" -------------------------------------------------------------------------------

void MainWindow::showHelp()
{
    // One help window beside each main window, shown again when asked again.
    auto* help = findChild<HelpWindow*>();
    if (!help)
        help = new HelpWindow(this);
    help->setDocument(interfaceLanguage(), shortcutEntries());
    help->show();
    help->raise();
    help->activateWindow();
}

QList<ShortcutsDialog::Entry> MainWindow::shortcutEntries() const
{
    // Listed from the menus and the tools themselves, so that the list is
    // always what the keys do.
    QList<ShortcutsDialog::Entry> entries;
    auto keysOf = [](const QAction* a) {
        QStringList keys;
        for (const QKeySequence& key : a->shortcuts())
            keys << key.toString(QKeySequence::NativeText);
        return keys.join(tr(" ou "));
    };
    auto plain = [](QString text) { return text.remove(QRegularExpression(QStringLiteral("&(?!&)"))); };
    for (QAction* menuAction : menuBar()->actions()) {
        const QString group = plain(menuAction->text());
        for (QAction* a : menuAction->menu()->actions())
            if (!a->isSeparator() && !a->shortcuts().isEmpty()) {
                QString command = plain(a->text());
                if (a == m_undoAction)
                    command = plain(tr("&Annuler"));
                else if (a == m_redoAction)
                    command = plain(tr("&Rétablir"));
                entries.append({group, command, keysOf(a)});
            }
    }
    const QString tools = tr("Outils");
    for (const QAction* a : m_toolActions)
        entries.append({tools, a->text(), keysOf(a)});
    const QString menus = tr("Menus");
    entries.append({menus, tr("Ouvrir le premier menu"), QKeySequence(Qt::Key_F10).toString(QKeySequence::NativeText)});
    entries.append({menus, tr("Ouvrir un menu"), tr("Alt + la lettre soulignée")});
    entries.append({menus, tr("Le menu « Mesure » sur la page"), keysOf(m_barMenuKey)});
    const QString page = tr("Page");
    entries.append({page, tr("Zoom"), tr("Ctrl + molette")});
    entries.append({page, tr("Aller d'une commande à l'autre"), tr("Tab, Maj+Tab")});
    entries.append({page, tr("Nombre de cases (dans la case L ou H)"), tr("Flèches haut et bas, Entrée, Échap")});
    const QString typing = tr("Saisie au clavier");
    entries.append({typing, tr("Mesure suivante"), tr("Tab ou Entrée")});
    entries.append({typing, tr("Mesure précédente"), tr("Maj+Tab")});
    entries.append({typing, tr("Se déplacer sans enregistrer"), tr("Alt + flèches")});
    entries.append({typing, tr("Terminer"), tr("Échap")});
    return entries;
}

void MainWindow::showShortcuts()
{
    if (!m_shortcutsDialog)
        m_shortcutsDialog = new ShortcutsDialog(this);
    m_shortcutsDialog->setEntries(shortcutEntries());
    m_shortcutsDialog->show();
    m_shortcutsDialog->raise();
    m_shortcutsDialog->activateWindow();
}

void MainWindow::showAbout()
{
    m_aboutDialog->show();
    m_aboutDialog->raise();
}

} // namespace mavrel
