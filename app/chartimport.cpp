#include "chartimport.h"

#include "render/localfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unordered_map>
#include <unordered_set>

namespace mavrel {

namespace {
// A playlist page holds thousands of songs in far less.
constexpr std::size_t MaxInputSize = 64 * 1024 * 1024;

FileResult failure(const char* message, const QByteArray& fileName)
{
    return {false, message, fileName.toStdString()};
}

// Reads up to one byte past the limit, whatever the file is: a pipe or a
// device has no size to check first.
FileResult readAtMost(FileSystem& fs, const std::string& name, std::string& text)
{
    auto fail = [&](int) { return failure(QT_TRANSLATE_NOOP("Message", "Accès au fichier refusé."), QByteArray::fromStdString(name)); };
    int fd = -1;
    if (int err = fs.openRead(name, fd))
        return fail(err);
    constexpr std::size_t Chunk = 1 << 20;
    text.clear();
    std::size_t got = Chunk;
    int err = 0;
    while (!err && got == Chunk && text.size() <= MaxInputSize) {
        const std::size_t before = text.size();
        text.resize(before + Chunk);
        err = fs.read(fd, {reinterpret_cast<std::uint8_t*>(text.data()) + before, Chunk}, got);
        text.resize(before + (err ? 0 : got));
    }
    fs.close(fd);
    if (err)
        return fail(err);
    if (text.size() > MaxInputSize) {
        text.clear();
        text.shrink_to_fit();
        return failure(QT_TRANSLATE_NOOP("Message", "Fichier trop grand pour une liste de morceaux."),
                       QByteArray::fromStdString(name));
    }
    return {};
}
} // namespace

FileResult readLinks(const QByteArray& input, std::string& text)
{
    FileSystem& fs = systemFileSystem();
    const std::string name = input.toStdString();
    switch (fs.kind(name)) {
    case FileKind::Missing:
        if (input.startsWith("irealb")) {
            text = name;
            return {};
        }
        return failure(QT_TRANSLATE_NOOP("Message", "Fichier introuvable."), input);
    case FileKind::Folder:
        return failure(QT_TRANSLATE_NOOP("Message", "Accès au fichier refusé."), input);
    default:
        return readAtMost(fs, name, text);
    }
}

ImportReport importToFolder(const ireal::Playlist& playlist, const QByteArray& folder, bool force)
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
    for (const ireal::Song& song : playlist.songs) {
        ImportedSong done;
        done.title = song.title;
        const ireal::Conversion c = ireal::toChart(song);
        for (const Message& warning : c.warnings)
            done.warnings.push_back(messageText(warning).toStdString());
        if (!c.chart) {
            done.error = messageText(c.error).toStdString();
            report.songs.push_back(std::move(done));
            continue;
        }
        int& number = lastNumber[ireal::chartFileName(song.title)];
        std::string name;
        QByteArray path;
        FileResult written;
        for (;;) {
            name = ireal::chartFileName(song.title, ++number);
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
            written = saveChart(*c.chart, path.toStdString(), fs, replace ? WriteMode::ReplaceEntry : WriteMode::CreateOnly);
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
