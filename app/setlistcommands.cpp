#include "setlistcommands.h"

#include "fileformats.h"
#include "document/chartfile.h"
#include "document/ireal.h"
#include "document/setlist.h"
#include "files/formatnames.h"
#include "files/localfile.h"
#include "print/songbook.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <unordered_set>

namespace mavrel {

namespace {

// Prints what went wrong or was set aside; false when the file failed.
bool reported(const FileResult& r)
{
    if (!r.ok || !r.warning.empty())
        printError(fileMessage(r));
    return r.ok;
}

void warn(const QByteArray& file, const Message& warning)
{
    FileResult r;
    r.fileName = file.toStdString();
    r.warning = warning;
    printError(fileMessage(r));
}

std::unique_ptr<Chart> loadSong(const QByteArray& file)
{
    auto chart = std::make_unique<Chart>();
    resetChart(*chart);
    if (!reported(loadChart(*chart, file.toStdString())))
        return nullptr;
    return chart;
}

bool refused(const Message& problem, const QByteArray& file)
{
    if (problem.empty())
        return false;
    reported(FileResult::failure(problem, file.toStdString()));
    return true;
}

FileResult writeText(const std::string& text, const QByteArray& file)
{
    return writeFile(file.toStdString(), {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

} // namespace

bool isSetListName(const QByteArray& name) { return extensionOf(name.toStdString()) == "setlist"; }

int runSongbook(const QByteArrayList& inputs, const QByteArray& output, int per,
                std::optional<Instrument> instrument, int chordStyle)
{
    if (!isStream(output.toStdString()) && extensionOf(output.toStdString()) != "pdf") {
        printError(unknownFormatMessage(output, QStringLiteral(".pdf")));
        return 2;
    }
    SongbookReading reading;
    if (inputs.size() == 1 && isSetListName(inputs.first())) {
        const QByteArray& listFile = inputs.first();
        SetList list;
        std::vector<Message> warnings;
        if (!reported(loadSetList(list, listFile.toStdString(), warnings)))
            return 1;
        for (const Message& w : warnings)
            warn(listFile, w);
        reading = readSongbook(list, listFile.toStdString(), instrument);
    } else {
        std::vector<std::string> files;
        for (const QByteArray& file : inputs) {
            if (isSetListName(file)) {
                printError(QCoreApplication::translate("CommandLine", "%1 : une liste de morceaux se donne seule.")
                               .arg(QFile::decodeName(file)));
                return 2;
            }
            files.push_back(file.toStdString());
        }
        reading = readSongbook(files, instrument);
    }
    for (const QString& w : reading.warnings)
        printError(w);
    if (!reading.ok()) {
        printError(reading.error);
        return 1;
    }
    Songbook& book = reading.book;
    book.per = per;
    book.date = QDate::currentDate();
    if (chordStyle >= 0) {
        for (SongbookSong& song : book.songs)
            if (song.chart)
                song.chart->song.chordStyle = static_cast<ChordStyle>(chordStyle);
    }
    QByteArray bytes;
    if (!encodeSongbookPdf(book, bytes)) {
        printError(QCoreApplication::translate("CommandLine", "%1 : Mémoire insuffisante pour créer le document.")
                       .arg(QFile::decodeName(output)));
        return 1;
    }
    return reported(writeBytes(std::string_view(bytes.constData(), bytes.size()), output.toStdString())) ? 0 : 1;
}

int exportSetList(const QByteArray& setList, const QByteArray& output)
{
    const bool page = extensionOf(output.toStdString()) == "html" || extensionOf(output.toStdString()) == "htm";
    const bool folder = !page && (output.endsWith('/') || QFileInfo(QFile::decodeName(output)).isDir());
    if (!page && !folder) {
        printError(unknownFormatMessage(output, QCoreApplication::translate("CommandLine", ".html ou DOSSIER/")));
        return 2;
    }
    SetList list;
    std::vector<Message> warnings;
    if (!reported(loadSetList(list, setList.toStdString(), warnings)))
        return 1;
    for (const Message& w : warnings)
        warn(setList, w);

    // Every chart read first: one that cannot be read leaves nothing written.
    std::vector<std::unique_ptr<Chart>> charts;
    std::vector<PlaylistSong> songs;
    for (const SetListSong& s : list.songs) {
        const QByteArray file = QByteArray::fromStdString(songFileName(setList.toStdString(), s));
        if (s.missing) {
            printError(QCoreApplication::translate("CommandLine", "%1 : grille introuvable, laissée de côté.")
                           .arg(QFile::decodeName(file)));
            continue;
        }
        std::unique_ptr<Chart> chart = loadSong(file);
        if (!chart || refused(transposeToKey(*chart, s.key), file))
            return 1;
        std::string title = chartTitle(*chart);
        if (title.empty())
            title = QFileInfo(QFile::decodeName(file)).completeBaseName().toStdString();
        songs.push_back({chart.get(), title});
        charts.push_back(std::move(chart));
    }

    if (page)
        return reported(writeText(playlistPage(songs, list.name), output)) ? 0 : 1;

    const QByteArray into = output.endsWith('/') ? output.chopped(1) : output;
    if (!QDir().mkpath(QFile::decodeName(into))) {
        reported(FileResult::failure(Message(QT_TRANSLATE_NOOP("Message", "Impossible de créer ce dossier.")),
                                     into.toStdString()));
        return 1;
    }
    std::unordered_set<std::string> used;
    for (const PlaylistSong& song : songs) {
        std::string name;
        for (int n = 1; name.empty() || used.count(name); ++n) {
            name = ireal::chartFileName(song.title, n);
            name = name.substr(0, name.size() - 4) + ".musicxml";
        }
        used.insert(name);
        const QByteArray file = into + '/' + QByteArray::fromStdString(name);
        if (!reported(fileFormats().named("musicxml")->write(*song.chart, {}, file.toStdString())))
            return 1;
        std::printf("%s\n", file.constData());
    }
    return 0;
}

} // namespace mavrel
