#include "chartimport.h"

#include "document/ireal.h"
#include "document/setlist.h"
#include "files/localfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <span>
#include <unordered_map>
#include <unordered_set>

namespace mavrel {

namespace {

FileResult failure(const char* message, const QByteArray& fileName)
{
    return FileResult::failure(message, fileName.toStdString());
}

// Saves under the first free name in the folder of those that `nameFor`
// gives for the numbers after `number`, or replaces the first one there with
// `force`. Names `passed` says are taken are not tried. `path` is the file
// saved.
template <class NameFor, class Passed, class Save>
FileResult saveUnderFreeName(const QByteArray& folder, NameFor nameFor, Passed passed, int& number, bool force,
                             Save save, QByteArray& path)
{
    FileSystem& fs = systemFileSystem();
    FileResult written;
    for (;;) {
        const std::string name = nameFor(++number);
        if (passed(name))
            continue;
        path = folder + '/' + QByteArray::fromStdString(name);
        // What the folder holds under the name is only ever replaced, as
        // an entry, never written through: a link is not followed, and a
        // pipe, a device or a folder is a name taken whatever `force` says.
        const FileKind entry = fs.entryKind(path.toStdString());
        const bool replace = force && (entry == FileKind::Regular || entry == FileKind::Link);
        if (entry != FileKind::Missing && !replace)
            continue;
        written = save(path.toStdString(), replace ? WriteMode::ReplaceEntry : WriteMode::CreateOnly);
        // Taken since it was looked at: the next number.
        if (!written.ok && !replace && fs.entryKind(path.toStdString()) != FileKind::Missing)
            continue;
        return written;
    }
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
        QByteArray path;
        const FileResult written = saveUnderFreeName(
            folder, [&](int n) { return ireal::chartFileName(title, n); },
            [&](const std::string& name) { return used.count(name) > 0; }, number, force,
            [&](const std::string& file, WriteMode mode) { return saveChart(*c.chart, file, fs, mode); }, path);
        if (!written.ok) {
            report.failure = written;
            return report;
        }
        used.insert(path.mid(folder.size() + 1).toStdString());
        done.file = path;
        report.songs.push_back(std::move(done));
    }

    SetList list;
    list.name = songs.name;
    for (const ImportedSong& song : report.songs)
        if (!song.file.isEmpty()) {
            SetListSong entry;
            entry.path = song.file.mid(folder.size() + 1).toStdString();
            list.songs.push_back(std::move(entry));
        }
    if (list.songs.empty() || (songs.name.empty() && songs.titles.size() < 2))
        return report;
    // Named as a chart of that title would be, but for its extension.
    const std::string title = songs.name.empty() ? "Playlist" : songs.name;
    const auto setListName = [&](int n) {
        const std::string name = ireal::chartFileName(title, n);
        return name.substr(0, name.size() - 4) + ".setlist";
    };
    int number = 0;
    const FileResult written = saveUnderFreeName(
        folder, setListName, [](const std::string&) { return false; }, number, force,
        [&](const std::string& file, WriteMode mode) {
            const std::string text = setListText(list);
            return writeFile(file, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, fs, mode);
        },
        report.setList);
    if (!written.ok) {
        report.failure = written;
        report.setList.clear();
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
