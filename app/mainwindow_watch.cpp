// A chart changed on disk by another program while it is open: the user is
// asked before either version is lost. The window's own saves are no change.
#include "mainwindow.h"

#include "document/chartfile.h"
#include "documentmanager.h"
#include "edit/chartdocument.h"
#include "files/localfile.h"

#include <QFile>
#include <QFileSystemWatcher>
#include <QTimer>
#include <QUndoStack>

namespace mavrel {

namespace {

QByteArray fileBytes(const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(qint64(MaxChartFileSize) + 1);
}

} // namespace

void MainWindow::setUpFileWatch()
{
    m_fileWatcher = new QFileSystemWatcher(this);
    m_fileCheck = new QTimer(this);
    m_fileCheck->setSingleShot(true);
    // Another program may write its file in several steps: look once it is done.
    m_fileCheck->setInterval(300);
    connect(m_fileWatcher, &QFileSystemWatcher::fileChanged, m_fileCheck, qOverload<>(&QTimer::start));
    connect(m_fileCheck, &QTimer::timeout, this, &MainWindow::checkFileOnDisk);
    connect(m_document, &ChartDocument::fileNameChanged, this, &MainWindow::watchFile);
}

void MainWindow::watchFile()
{
    if (!m_fileWatcher->files().isEmpty())
        m_fileWatcher->removePaths(m_fileWatcher->files());
    const QString name = QFile::decodeName(m_document->fileName());
    m_fileOnDisk = name.isEmpty() ? QByteArray() : fileBytes(name);
    if (!name.isEmpty())
        m_fileWatcher->addPath(name);
}

void MainWindow::checkFileOnDisk()
{
    const QString name = QFile::decodeName(m_document->fileName());
    if (name.isEmpty() || m_askingAboutFile)
        return;
    // A save that replaces the file ends the watch on the old one.
    if (QFile::exists(name) && !m_fileWatcher->files().contains(name))
        m_fileWatcher->addPath(name);
    if (!QFile::exists(name))
        return;   // removed or being replaced: the editor's chart is all there is
    const QByteArray bytes = fileBytes(name);
    if (bytes == m_fileOnDisk)
        return;
    m_fileOnDisk = bytes;
    m_askingAboutFile = true;
    const bool changedHere = m_document->isModified();
    const QString question =
        changedHere ? tr("« %1 » a été modifié par un autre programme, et la grille a des modifications non "
                         "enregistrées. Recharger le fichier et perdre ces modifications ?")
                          .arg(m_document->displayName())
                    : tr("« %1 » a été modifié par un autre programme. Recharger la grille ?").arg(m_document->displayName());
    const QMessageBox::StandardButton answer = ask(question, QMessageBox::Yes | QMessageBox::No);
    m_askingAboutFile = false;
    if (answer != QMessageBox::Yes) {
        // The editor's version is kept, and differs from the file: saving it
        // must not seem unnecessary.
        if (!changedHere)
            m_document->undoStack()->resetClean();
        return;
    }
    const FileResult r = m_document->load(m_document->fileName());
    if (!r.ok || !r.warning.empty())
        showMessage(fileMessage(r));
}

} // namespace mavrel
