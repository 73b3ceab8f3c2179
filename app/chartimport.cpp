#include "chartimport.h"

#include "render/localfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <set>

namespace mavrel {

namespace {
// A playlist page holds thousands of songs in far less.
constexpr qint64 MaxInputSize = 64 * 1024 * 1024;

FileResult failure(const char* message, const QByteArray& fileName)
{
    return FileResult::failure(message, fileName.toStdString());
}
} // namespace

FileResult readLinks(const QByteArray& input, std::string& text)
{
    QFile file(QFile::decodeName(input));
    if (input.startsWith("irealb") && !file.exists()) {
        text = input.toStdString();
        return {};
    }
    if (!file.exists())
        return failure(QT_TRANSLATE_NOOP("Message", "Fichier introuvable."), input);
    if (QFileInfo(file).isDir() || !file.open(QIODevice::ReadOnly))
        return failure(QT_TRANSLATE_NOOP("Message", "Accès au fichier refusé."), input);
    if (file.size() > MaxInputSize)
        return failure(QT_TRANSLATE_NOOP("Message", "Fichier trop grand pour une liste de morceaux."), input);
    const QByteArray bytes = file.readAll();
    text.assign(bytes.constData(), std::size_t(bytes.size()));
    return {};
}

ImportReport importToFolder(const ireal::Playlist& playlist, const QByteArray& folder, bool force)
{
    ImportReport report;
    const QString folderName = QFile::decodeName(folder);
    if (!QDir().mkpath(folderName)) {
        report.failure = failure(QT_TRANSLATE_NOOP("Message", "Impossible de créer ce dossier."), folder);
        return report;
    }
    std::set<std::string> used;
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
        const std::string name = ireal::chartFileName(song.title, [&](const std::string& candidate) {
            const QByteArray path = folder + '/' + QByteArray::fromStdString(candidate);
            return used.count(candidate) || (!force && QFileInfo::exists(QFile::decodeName(path)));
        });
        used.insert(name);
        const QByteArray path = folder + '/' + QByteArray::fromStdString(name);
        const FileResult written = saveChart(*c.chart, path.toStdString());
        if (!written.ok) {
            report.failure = written;
            return report;
        }
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
