// Charts in and out of other programs' formats: lists of songs imported,
// charts exported, in the formats registered for each (the band playing the
// chart among them).
#include "mainwindow.h"

#include "chartimport.h"
#include "fileformats.h"
#include "files/formatnames.h"
#include "files/localfile.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QStatusBar>

namespace mavrel {

namespace {

// Where to export to. A name typed without an extension takes the chosen
// format's before the dialog looks for a file of that name to ask about
// replacing it.
class ExportDialog : public QFileDialog {
public:
    ExportDialog(QWidget* parent, const FormatList& formats)
        : QFileDialog(parent, MainWindow::tr("Exporter"), QString(), mavrel::nameFilters(formats)), m_formats(formats)
    {
        setAcceptMode(QFileDialog::AcceptSave);
        // The system's dialogs take the suffix as the filter changes.
        connect(this, &QFileDialog::filterSelected, this, &ExportDialog::takeSuffix);
        takeSuffix(selectedNameFilter());
    }

protected:
    void accept() override
    {
        takeSuffix(selectedNameFilter());
        QFileDialog::accept();
    }

private:
    void takeSuffix(const QString& filter)
    {
        const FileFormat* chosen = formatOfFilter(m_formats, filter);
        setDefaultSuffix(chosen ? QString::fromStdString(chosen->extensions().front()) : QString());
    }

    FormatList m_formats;
};

} // namespace

void MainWindow::importCharts()
{
    if (!maybeSave())
        return;
    const FormatList imports = fileFormats().formats(FileOperation::ImportCharts);
    const QString input = m_importChooser
        ? m_importChooser()
        : QFileDialog::getOpenFileName(this, tr("Importer"), QString(),
                                       nameFilters(imports) + QStringLiteral(";;") + tr("Tous les fichiers (*)"));
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
        if (m_songChooser) {
            choice = m_songChooser(titles);
        } else {
            const QString all = tr("Tous les morceaux, dans un dossier...");
            bool ok = false;
            const QString chosen = QInputDialog::getItem(this, tr("Importer"), tr("Morceau à ouvrir :"),
                                                         QStringList(titles) << all, 0, false, &ok);
            choice = !ok ? -1 : chosen == all ? AllSongs : int(titles.indexOf(chosen));
        }
    }
    if (choice == -1)
        return;
    if (choice == AllSongs) {
        const QString folder = m_folderChooser
            ? m_folderChooser()
            : QFileDialog::getExistingDirectory(this, tr("Dossier des grilles importées"));
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
    leaveChart();
    m_document.setChart(*c.chart);
    QStringList warnings;
    for (const Message& w : c.warnings)
        warnings << messageText(w);
    if (!warnings.isEmpty())
        showStatus(warnings.join(QLatin1Char(' ')));
}

void MainWindow::exportChart()
{
    if (!commitTextBox(tr("La grille n'a pas été exportée.")))
        return;
    const FormatRegistry& formats = fileFormats();
    const FormatList exports = formats.formats(FileOperation::ExportChart);
    QString name;
    if (m_exportChooser) {
        name = m_exportChooser();
    } else {
        ExportDialog dialog(this, exports);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            name = dialog.selectedFiles().first();
        // A name whose extension is no format's is given the chosen one too.
        const FileFormat* chosen = formatOfFilter(exports, dialog.selectedNameFilter());
        if (!name.isEmpty() && chosen && !formats.forFile(name.toStdString(), FileOperation::ExportChart))
            name += QLatin1Char('.') + QString::fromStdString(chosen->extensions().front());
    }
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
