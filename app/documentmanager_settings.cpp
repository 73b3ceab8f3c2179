// What the editor remembers from one run to the next: the recent files, the
// last folder and the Jazz style's symbols (the windows keep their own
// geometry and zoom there too).
#include "documentmanager.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <type_traits>

namespace mavrel {

namespace {
const QString RecentFilesKey = QStringLiteral("files/recent");
const QString LastFolderKey = QStringLiteral("files/lastFolder");
const QString LibraryFoldersKey = QStringLiteral("library/folders");

// Each choice of the symbols, by its key; every one of them has two values.
template <class Visit>
void forEachSymbol(ChordSymbols& s, Visit visit)
{
    visit("major", s.major);
    visit("minor", s.minor);
    visit("halfDiminished", s.halfDiminished);
    visit("diminished", s.diminished);
    visit("augmented", s.augmented);
    visit("alterations", s.alterations);
    visit("bass", s.bass);
}
} // namespace

void DocumentManager::restoreChordSymbols()
{
    ChordSymbols symbols;
    forEachSymbol(symbols, [this](const char* key, auto& choice) {
        bool ok = false;
        const int value = settings().value(QStringLiteral("chordSymbols/") + QLatin1String(key)).toInt(&ok);
        // A value no choice has, from a damaged or later file, keeps the default.
        if (ok && (value == 0 || value == 1))
            choice = static_cast<std::remove_reference_t<decltype(choice)>>(value);
    });
    setChordSymbols(symbols);
}

void DocumentManager::saveChordSymbols(const ChordSymbols& symbols)
{
    ChordSymbols chosen = symbols;
    forEachSymbol(chosen, [this](const char* key, auto& choice) {
        settings().setValue(QStringLiteral("chordSymbols/") + QLatin1String(key), static_cast<int>(choice));
    });
    setChordSymbols(symbols);
}

QStringList DocumentManager::recentFiles()
{
    QStringList files = settings().value(RecentFilesKey).toStringList();
    const qsizetype before = files.size();
    files.removeIf([](const QString& f) { return !QFileInfo(f).isFile(); });
    if (files.size() != before)
        settings().setValue(RecentFilesKey, files);
    return files.mid(0, MaxRecentFiles);
}

void DocumentManager::addRecentFile(const QString& fileName)
{
    if (fileName.isEmpty())
        return;
    const QString absolute = QFileInfo(fileName).absoluteFilePath();
    QStringList files = settings().value(RecentFilesKey).toStringList();
    files.removeAll(absolute);
    files.prepend(absolute);
    settings().setValue(RecentFilesKey, files.mid(0, MaxRecentFiles));
    setLastFolder(QFileInfo(absolute).absolutePath());
    emit recentFilesChanged();
}

void DocumentManager::clearRecentFiles()
{
    settings().remove(RecentFilesKey);
    emit recentFilesChanged();
}

QString DocumentManager::lastFolder()
{
    const QString folder = settings().value(LastFolderKey).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

void DocumentManager::setLastFolder(const QString& folder) { settings().setValue(LastFolderKey, folder); }

QStringList DocumentManager::libraryFolders() { return settings().value(LibraryFoldersKey).toStringList(); }

void DocumentManager::setLibraryFolders(const QStringList& folders) { settings().setValue(LibraryFoldersKey, folders); }

} // namespace mavrel
