// Songbooks: the charts of a set list, or of any selection, as one PDF
// document to print or to read on a tablet. A title page (the book's name and
// its date), a table of contents (title, composer, key and page of each song,
// each line a link to its page), then the charts, one or N a page as the
// preview composes them, each as its part, with the page number at the foot.
// The outline lists the contents and every song.
#pragma once

#include "document/chart.h"
#include "document/parts.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mavrel {

struct SongbookSong {
    // The chart's file, as the user named it: the title of a chart that has
    // none, and what the contents show of a missing chart.
    QString fileName;
    // Null when the chart is missing: the contents say so, and it has no page.
    std::unique_ptr<Chart> chart;
    // The part to draw it as.
    Instrument part = Instrument::Concert;
};

struct Songbook {
    QString name;
    QDate date;
    int per = 1;              // charts a page: 1, 2, 4 or 8
    std::vector<SongbookSong> songs;
};

// Where everything stands, by page index from 0 (the title page).
struct SongbookPages {
    int contentsPages = 0;    // from page 1 on
    int pageCount = 0;
    std::vector<int> songPage;   // by song; -1 for a missing one
};
SongbookPages songbookPages(const Songbook& book);

// What the contents show of a song: its title (else its file's name), its
// composer, and the key it is read in, the part's key for a part.
QString songbookTitle(const SongbookSong& song);
QString songbookKey(const SongbookSong& song);

struct SetList;

// A book read from its charts, and what the user is told of it.
struct SongbookReading {
    // Its name and songs; the charts per page and the date are the caller's.
    Songbook book;
    // In order: what was set aside reading a chart, and each chart the set
    // list names that is not on disk, listed as missing in the contents.
    QStringList warnings;
    // The chart that stopped the book, named, with why: it could not be read,
    // moved to its key or made into its part. Empty when the book is whole.
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// The set list's songs, each in its key and part (or all in `part` when
// given). The charts' names are relative to `setListFile`; whether each is
// on disk is looked at now.
SongbookReading readSongbook(const SetList& list, const std::string& setListFile,
                             std::optional<Instrument> part = std::nullopt);
// The charts (as the system names them), in the order given, each as `part`
// (concert when none): every one of them must be read.
SongbookReading readSongbook(const std::vector<std::string>& chartFiles,
                             std::optional<Instrument> part = std::nullopt);

// The whole document, outline and links included. False when it could not be
// made.
bool encodeSongbookPdf(const Songbook& book, QByteArray& bytes);

} // namespace mavrel
