// Charts in and out of other formats: iReal Pro playlists imported, charts
// exported as MusicXML, LilyPond grids and iReal Pro links.
#include "mainwindow.h"

#include "chartimport.h"
#include "charteditor.h"
#include "documentmanager.h"
#include "document/export.h"
#include "edit/chartdocument.h"
#include "render/localfile.h"

#include <QStatusBar>

namespace mavrel {

void MainWindow::importCharts()
{
    if (!maybeSave())
        return;
    UserDialogs& dialogs = DocumentManager::instance()->dialogs();
    const QString input = dialogs.openFileName(
        this, {tr("Importer"), QString(), {tr("Listes iReal Pro (*.html *.htm *.txt)"), tr("Tous les fichiers (*)")}});
    if (input.isEmpty())
        return;
    std::string text;
    const FileResult read = readLinks(localFileName(input), text);
    if (!read.ok) {
        showMessage(fileMessage(read));
        return;
    }
    const ireal::Playlist playlist = ireal::readPlaylist(text);
    if (playlist.songs.empty()) {
        showMessage(tr("%1 : aucun lien iReal Pro.").arg(input));
        return;
    }

    int choice = 0;
    if (playlist.songs.size() > 1) {
        QStringList titles;
        for (const ireal::Song& song : playlist.songs)
            titles << QString::fromStdString(song.title);
        choice = dialogs.chooseSong(this, titles);
    }
    if (choice == -1)
        return;
    if (choice == UserDialogs::AllSongs) {
        const QString folder = dialogs.folderName(this, tr("Dossier des grilles importées"));
        if (folder.isEmpty())
            return;
        const ImportReport report = importToFolder(playlist, localFileName(folder), false);
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

    const ireal::Conversion c = ireal::toChart(playlist.songs[std::size_t(choice)]);
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
    const QString musicXml = tr("MusicXML (*.musicxml)");
    const QString lilyPond = tr("Grille LilyPond (*.ly)");
    const QString iReal = tr("Lien iReal Pro (*.txt)");
    QString filter;
    QString name = DocumentManager::instance()->dialogs().saveFileName(
        this, {tr("Exporter"), QString(), {musicXml, lilyPond, iReal}}, &filter);
    // A name typed without its extension takes the chosen format's.
    if (!name.isEmpty() && !exportFormatFor(name.toStdString()))
        name += filter == lilyPond ? QStringLiteral(".ly")
            : filter == iReal      ? QStringLiteral(".txt")
                                   : QStringLiteral(".musicxml");
    if (name.isEmpty())
        return;
    const std::optional<ExportFormat> format = exportFormatFor(name.toStdString());
    if (!format) {
        showMessage(tr("%1 : format inconnu (.musicxml, .ly ou .txt attendu).").arg(name));
        return;
    }
    const std::string text = mavrel::exportChart(chart(), *format);
    const FileResult r = writeFile(localFileName(name).toStdString(),
                                   {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    if (!r.ok)
        showMessage(fileMessage(r));
}

} // namespace mavrel
