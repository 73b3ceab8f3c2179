// The "Fichier", "Fonctions" and "Aide" menus.
#include "mainwindow.h"

#include "desktop.h"
#include "dialogs/aboutdialog.h"
#include "dialogs/transposedialog.h"
#include "document/chartfile.h"
#include "print/printpreview.h"
#include "render/localfile.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QMenuBar>
#include <QToolButton>
#include <QUrl>

namespace mavrel {

void MainWindow::buildMenu()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("Fichier"));
    file->setObjectName(QStringLiteral("fileMenu"));
    auto item = [this](QMenu* menu, const char* name, const QString& caption, void (MainWindow::*handler)()) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    item(file, "newAction", QStringLiteral("Nouveau"), &MainWindow::newFile);
    item(file, "saveAsAction", QStringLiteral("Enregistrer Sous.."), &MainWindow::saveAs);
    item(file, "openAction", QStringLiteral("Ouvrir"), &MainWindow::open);
    item(file, "printAction", QStringLiteral("Impression"), &MainWindow::showPrintPreview);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("Edition"));
    edit->setObjectName(QStringLiteral("editMenu"));
    m_copyAction = item(edit, "copyAction", QStringLiteral("Copier"), &MainWindow::copy);
    m_copyAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    m_pasteAction = item(edit, "pasteAction", QStringLiteral("Coller"), &MainWindow::paste);
    m_pasteAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    m_deleteAction = item(edit, "deleteAction", QStringLiteral("Suprimer"), &MainWindow::clearSelectedBars);
    m_deleteAction->setShortcut(QKeySequence(Qt::Key_Delete));

    QMenu* functions = menuBar()->addMenu(QStringLiteral("Fonctions"));
    functions->setObjectName(QStringLiteral("functionsMenu"));
    item(functions, "transposeAction", QStringLiteral("Transposer"), &MainWindow::showTransposeDialog);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Aide"));
    help->setObjectName(QStringLiteral("helpMenu"));
    item(help, "helpAction", QStringLiteral("Help"), &MainWindow::showHelp);
    item(help, "aboutAction", QStringLiteral("About"), &MainWindow::showAbout);
}

void MainWindow::newFile()
{
    leaveChart();
    newChart(*m_chart, *this);
}

void MainWindow::saveAs()
{
    // What the user sees is what is saved: a label still in the box goes in.
    if (!commitTextBox(QStringLiteral("La grille n'a pas été enregistrée.")))
        return;
    QString name = m_saveChooser
        ? m_saveChooser()
        : QFileDialog::getSaveFileName(this, QString(), QString(), QStringLiteral("*.bab (*.bab)"),
                                       nullptr, QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty())
        return;
    if (!name.endsWith(QLatin1String(".bab"), Qt::CaseInsensitive))
        name += QLatin1String(".bab");
    const FileResult r = saveChart(*m_chart, localFileName(name).toStdString());
    if (!r.ok)
        showMessage(fileMessage(r));
}

bool MainWindow::openChart(const QString& path)
{
    return openLocalChart(localFileName(path));
}

bool MainWindow::openLocalChart(const QByteArray& path)
{
    leaveChart();
    const FileResult r = loadChart(*m_chart, *this, path.toStdString());
    if (!r.ok) {
        showMessage(fileMessage(r));
        return false;
    }
    m_chart->fileName = path.toStdString();
    return true;
}

void MainWindow::open()
{
    const QString name = m_openChooser
        ? m_openChooser()
        : QFileDialog::getOpenFileName(this, QString(), QString(),
                                       QStringLiteral("*.bab (*.bab);;tous (*)"));
    if (name.isEmpty())
        return;
    openChart(name);
}

void MainWindow::showPrintPreview()
{
    if (!commitTextBox(QStringLiteral("L'aperçu avant impression n'a pas été ouvert.")))
        return;
    if (m_pageLayoutButton->isChecked()) {
        m_pageLayoutButton->setChecked(false);
        togglePageLayout();
    }
    m_selection.clear();
    redrawPage();
    m_printPreview->show();
    m_printPreview->raise();
}

void MainWindow::showTransposeDialog()
{
    m_transposeDialog->show();
    m_transposeDialog->raise();
}

void MainWindow::showHelp()
{
    const QString path = helpDocumentPath(QCoreApplication::applicationDirPath());
    // A missing document is not handed to the desktop, whose opener would
    // report it in a window of its own.
    if (QFile::exists(path))
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void MainWindow::showAbout()
{
    m_aboutDialog->show();
    m_aboutDialog->raise();
}

} // namespace mavrel
