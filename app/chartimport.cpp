#include "chartimport.h"

#include "document/ireal.h"
#include "files/localfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <unordered_map>
#include <unordered_set>

namespace mavrel {

namespace {

FileResult failure(const char* message, const QByteArray& fileName)
{
    return FileResult::failure(message, fileName.toStdString());
}

} // namespace

ImportReport importToFolder(const SongList& songs, const QByteArray& folder, bool force)
{
    ImportReport report;
    const QString folderName = QFile::decodeName(folder);
    if (!QDir().mkpath(folderName)) {
        report.failure = failure(QT_TRANSLATE_NOOP("Message", "Impossible de créer ce dossier."), folder);
        return report;
    }
    FileSystem& fs = systemFileSystem();
    std::unordered_set<std::string> used;
    // The last number tried for each name: a title met again goes on from
    // there rather than trying every number before it again.
    std::unordered_map<std::string, int> lastNumber;
    for (std::size_t i = 0; i < songs.titles.size(); ++i) {
        const std::string& title = songs.titles[i];
        ImportedSong done;
        done.title = title;
        const ImportedChart c = songs.chart(i);
        for (const Message& warning : c.warnings)
            done.warnings.push_back(messageText(warning).toStdString());
        if (!c.chart) {
            done.error = messageText(c.error).toStdString();
            report.songs.push_back(std::move(done));
            continue;
        }
        int& number = lastNumber[ireal::chartFileName(title)];
        std::string name;
        QByteArray path;
        FileResult written;
        for (;;) {
            name = ireal::chartFileName(title, ++number);
            if (used.count(name))
                continue;
            path = folder + '/' + QByteArray::fromStdString(name);
            // What the folder holds under the name is only ever replaced, as
            // an entry, never written through: a link is not followed, and a
            // pipe, a device or a folder is a name taken whatever `force` says.
            const FileKind entry = fs.entryKind(path.toStdString());
            const bool replace = force && (entry == FileKind::Regular || entry == FileKind::Link);
            if (entry != FileKind::Missing && !replace)
                continue;
            written = saveChart(*c.chart, path.toStdString(), fs,
                                replace ? WriteMode::ReplaceEntry : WriteMode::CreateOnly);
            // Taken since it was looked at: the next number.
            if (!written.ok && !replace && fs.entryKind(path.toStdString()) != FileKind::Missing)
                continue;
            break;
        }
        if (!written.ok) {
            report.failure = written;
            return report;
        }
        used.insert(name);
        done.file = path;
        report.songs.push_back(std::move(done));
    }
    return report;
}

QString failedSongsMessage(const ImportReport& report)
{
    QStringList titles;
    for (const ImportedSong& s : report.songs)
        if (!s.error.empty())
            titles << QCoreApplication::translate("ChartImport", "« %1 »").arg(QString::fromStdString(s.title));
    if (titles.isEmpty())
        return {};
    const QString list = titles.join(QStringLiteral(", "));
    if (titles.size() == 1)
        return QCoreApplication::translate("ChartImport", "1 chanson n'a pas été importée : %1.").arg(list);
    return QCoreApplication::translate("ChartImport", "%1 chansons n'ont pas été importées : %2.")
        .arg(titles.size())
        .arg(list);
}

} // namespace mavrel
