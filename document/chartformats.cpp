#include "chartformats.h"

#include "ireal.h"
#include "lilypond.h"
#include "musicxml.h"

#include <span>

namespace mavrel {

namespace {

class ChartFileFormat : public FileFormat {
public:
    ChartFileFormat()
        : FileFormat(QT_TRANSLATE_NOOP("Message", "Grilles"), "bab", {"bab"},
                     {FileOperation::ReadChart, FileOperation::WriteChart})
    {
    }
    FileResult read(const std::string& fileName, Chart& chart) const override { return loadChart(chart, fileName); }
    FileResult write(const Chart& chart, const WriteOptions&, const std::string& fileName) const override
    {
        return saveChart(chart, fileName);
    }
};

class MusicXmlFormat : public FileFormat {
public:
    MusicXmlFormat()
        : FileFormat(QT_TRANSLATE_NOOP("Message", "MusicXML"), "musicxml", {"musicxml", "xml"},
                     {FileOperation::ExportChart})
    {
    }
    FileResult write(const Chart& chart, const WriteOptions&, const std::string& fileName) const override
    {
        return writeBytes(musicxml::write(chart), fileName);
    }
};

class LilyPondFormat : public FileFormat {
public:
    LilyPondFormat()
        : FileFormat(QT_TRANSLATE_NOOP("Message", "Grille LilyPond"), "lilypond", {"ly"},
                     {FileOperation::ExportChart})
    {
    }
    FileResult write(const Chart& chart, const WriteOptions&, const std::string& fileName) const override
    {
        return writeBytes(lilypond::write(chart), fileName);
    }
};

// One link on one line.
class IRealLinkFormat : public FileFormat {
public:
    IRealLinkFormat()
        : FileFormat(QT_TRANSLATE_NOOP("Message", "Lien iReal Pro"), "ireal", {"txt"},
                     {FileOperation::ExportChart})
    {
    }
    FileResult write(const Chart& chart, const WriteOptions&, const std::string& fileName) const override
    {
        return writeBytes(ireal::toLink(chart) + "\n", fileName);
    }
};

// A page that links its playlist, then each of its songs again, as iReal
// Pro's pages and Mavrel's do: the songs of the playlist link only. Only a
// whole link repeated song for song by the links after it is taken once: the
// same tune twice in one list stays twice.
std::span<const ireal::Song> withoutRepeatedList(std::span<const ireal::Song> songs)
{
    const std::size_t n = songs.size() / 2;
    if (n < 2 || songs.size() % 2 != 0)
        return songs;
    for (std::size_t i = 0; i < n; ++i) {
        const ireal::Song& a = songs[i];
        const ireal::Song& b = songs[n + i];
        if (a.link != songs[0].link || b.link == songs[0].link || a.title != b.title || a.composer != b.composer
            || a.style != b.style || a.key != b.key || a.music != b.music)
            return songs;
    }
    return songs.first(n);
}

// The links of a playlist page or of a text, or the name itself when it is a
// link and no file has that name.
class IRealListFormat : public FileFormat {
public:
    IRealListFormat()
        : FileFormat(QT_TRANSLATE_NOOP("Message", "Listes iReal Pro"), "ireal-list", {"html", "htm", "txt"},
                     {FileOperation::ImportCharts})
    {
    }

    FileResult readSongs(const std::string& fileName, SongList& songs) const override
    {
        // A playlist page holds thousands of songs in far less.
        constexpr std::size_t MaxSize = 64 * 1024 * 1024;
        FileSystem& fs = systemFileSystem();
        std::string text;
        if (fileName.starts_with("irealb") && fs.kind(fileName) == FileKind::Missing) {
            text = fileName;
        } else {
            const FileResult read = readFile(fileName, MaxSize, text, fs);
            if (!read.ok)
                return read;
            if (text.size() > MaxSize)
                return FileResult::failure(
                    QT_TRANSLATE_NOOP("Message", "Fichier trop grand pour une liste de morceaux."), fileName);
        }
        auto playlist = std::make_shared<const ireal::Playlist>(ireal::readPlaylist(text));
        if (playlist->songs.empty())
            return FileResult::failure(QT_TRANSLATE_NOOP("Message", "Aucun lien iReal Pro."), fileName);
        songs.name = playlist->name;
        songs.titles.clear();
        for (const ireal::Song& song : withoutRepeatedList(playlist->songs))
            songs.titles.push_back(song.title);
        songs.chart = [playlist](std::size_t i) {
            ireal::Conversion c = ireal::toChart(playlist->songs.at(i));
            return ImportedChart{std::move(c.chart), std::move(c.error), std::move(c.warnings)};
        };
        FileResult r;
        r.fileName = fileName;
        // Songs past the most a list may hold are left unread: the user is told.
        if (!playlist->warnings.empty())
            r.warning = playlist->warnings.front();
        return r;
    }
};

} // namespace

void addChartFormats(FormatRegistry& formats)
{
    formats.add(std::make_unique<ChartFileFormat>());
    formats.add(std::make_unique<MusicXmlFormat>());
    formats.add(std::make_unique<LilyPondFormat>());
    formats.add(std::make_unique<IRealLinkFormat>());
    formats.add(std::make_unique<IRealListFormat>());
}

} // namespace mavrel
