#include "setlistcommands.h"

#include "document/chartfile.h"
#include "document/setlist.h"
#include "print/imagefile.h"
#include "print/songbook.h"
#include "render/localfile.h"

#include <QCoreApplication>
#include <QFile>

namespace mavrel {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("CommandLine", text); }

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

} // namespace

bool isSetListName(const QByteArray& name) { return suffixOf(name) == "setlist"; }

int runSongbook(const QByteArrayList& inputs, const QByteArray& output, int per,
                std::optional<Instrument> instrument, int chordStyle)
{
    if (!isStream(output) && suffixOf(output) != "pdf") {
        printError(unknownFormatMessage(output, QStringLiteral(".pdf")));
        return 2;
    }
    Songbook book;
    std::vector<QByteArray> files;   // by song, as the system names them
    book.per = per;
    book.date = QDate::currentDate();
    const bool fromSetList = inputs.size() == 1 && isSetListName(inputs.first());
    if (fromSetList) {
        const QByteArray& listFile = inputs.first();
        SetList list;
        std::vector<Message> warnings;
        if (!reported(loadSetList(list, listFile.toStdString(), warnings)))
            return 1;
        for (const Message& w : warnings)
            warn(listFile, w);
        book.name = QString::fromUtf8(list.name);
        for (const SetListSong& s : list.songs) {
            SongbookSong song;
            const QByteArray file = QByteArray::fromStdString(songFileName(listFile.toStdString(), s));
            song.fileName = QFile::decodeName(file);
            song.part = instrument.value_or(s.part);
            files.push_back(file);
            if (s.missing) {
                printError(tr("%1 : grille introuvable, marquée manquante dans le sommaire.").arg(song.fileName));
            } else {
                song.chart = loadSong(file);
                if (!song.chart || refused(transposeToKey(*song.chart, s.key), file))
                    return 1;
            }
            book.songs.push_back(std::move(song));
        }
    } else {
        for (const QByteArray& file : inputs) {
            if (isSetListName(file)) {
                printError(tr("%1 : une liste de morceaux se donne seule.").arg(QFile::decodeName(file)));
                return 2;
            }
            SongbookSong song;
            song.fileName = QFile::decodeName(file);
            song.part = instrument.value_or(Instrument::Concert);
            files.push_back(file);
            song.chart = loadSong(file);
            if (!song.chart)
                return 1;
            book.songs.push_back(std::move(song));
        }
    }
    for (std::size_t i = 0; i < book.songs.size(); ++i) {
        SongbookSong& song = book.songs[i];
        if (!song.chart)
            continue;
        if (refused(partProblem(*song.chart, song.part), files[i]))
            return 1;
        if (chordStyle >= 0)
            song.chart->song.chordStyle = static_cast<ChordStyle>(chordStyle);
    }
    QByteArray bytes;
    if (!encodeSongbookPdf(book, bytes)) {
        printError(tr("%1 : Mémoire insuffisante pour créer le document.").arg(QFile::decodeName(output)));
        return 1;
    }
    return reported(writeBytes(bytes, output)) ? 0 : 1;
}

} // namespace mavrel
