// Charts in and out of other programs' formats: lists of songs imported,
// charts exported, in the formats registered for each (the band playing the
// chart among them).
#include "mainwindow.h"

#include "chartimport.h"
#include "charteditor.h"
#include "documentmanager.h"
#include "edit/chartdocument.h"
#include "fileformats.h"
#include "files/formatnames.h"
#include "files/localfile.h"

#include <QGuiApplication>
#include <QStatusBar>

namespace mavrel {

void MainWindow::importCharts()
{
    if (!maybeSave())
        return;
    UserDialogs& dialogs = DocumentManager::instance()->dialogs();
    const FormatList imports = fileFormats().formats(FileOperation::ImportCharts);
    UserDialogs::FileChoice files{tr("Importer"), QString(), {}, {}};
    for (const FileFormat* format : imports)
        files.filters << nameFilter(*format);
    files.filters << tr("Tous les fichiers (*)");
    const QString input = dialogs.openFileName(this, files);
    if (input.isEmpty())
        return;
    const std::string name = localFileName(input).toStdString();
    SongList songs;
    const FileResult read = fileFormats().forInput(name, FileOperation::ImportCharts)->readSongs(name, songs);
    if (!read.ok || !read.warning.empty())
        showMessage(fileMessage(read));
    if (!read.ok)
        return;

    int choice = 0;
    if (songs.titles.size() > 1) {
        QStringList titles;
        for (const std::string& title : songs.titles)
            titles << QString::fromStdString(title);
        choice = dialogs.chooseSong(this, titles);
    }
    if (choice == -1)
        return;
    if (choice == UserDialogs::AllSongs) {
        const QString folder = dialogs.folderName(this, tr("Dossier des grilles importées"));
        if (folder.isEmpty())
            return;
        const ImportReport report = importToFolder(songs, localFileName(folder), false);
        if (!report.failure.ok) {
            showMessage(fileMessage(report.failure));
            return;
        }
        const QString failed = failedSongsMessage(report);
        if (failed.isEmpty())
            showStatus(tr("%1 grilles écrites dans « %2 ».").arg(report.songs.size()).arg(folder));
        else
            showMessage(failed);
        return;
    }

    const ImportedChart c = songs.chart(std::size_t(choice));
    if (!c.chart) {
        showMessage(messageText(c.error));
        return;
    }
    m_editor->leaveChart();
    m_document->setChart(*c.chart);
    QStringList warnings;
    for (const Message& w : c.warnings)
        warnings << messageText(w);
    if (!warnings.isEmpty())
        showStatus(warnings.join(QLatin1Char(' ')));
}

void MainWindow::exportChart()
{
    if (!m_editor->commitLabel(tr("La grille n'a pas été exportée.")))
        return;
    const FormatRegistry& formats = fileFormats();
    const FormatList exports = formats.formats(FileOperation::ExportChart);
    UserDialogs::FileChoice choice{tr("Exporter"), QString(), {}, {}};
    for (const FileFormat* format : exports) {
        choice.filters << nameFilter(*format);
        choice.suffixes << QString::fromStdString(format->extensions().front());
    }
    QString filter;
    QString name = DocumentManager::instance()->dialogs().saveFileName(this, choice, &filter);
    // A name whose extension is no format's is given the chosen one too.
    const FileFormat* chosen = formatOfFilter(exports, filter);
    if (!name.isEmpty() && chosen && !formats.forFile(name.toStdString(), FileOperation::ExportChart))
        name += QLatin1Char('.') + QString::fromStdString(chosen->extensions().front());
    if (name.isEmpty())
        return;
    const FileFormat* format = formats.forFile(name.toStdString(), FileOperation::ExportChart);
    if (!format) {
        showMessage(tr("%1 : format inconnu (%2 attendu).").arg(name, extensionList(exports)));
        return;
    }
    // The band's sound takes a few seconds to render.
    if (format->playsTheBand())
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const FileResult r = format->write(chart(), {}, localFileName(name).toStdString());
    if (format->playsTheBand())
        QGuiApplication::restoreOverrideCursor();
    if (!r.ok)
        showMessage(fileMessage(r));
}

} // namespace mavrel
