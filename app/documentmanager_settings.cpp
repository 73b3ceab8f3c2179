// What the editor remembers from one run to the next: the recent files and
// the last folder (the windows keep their own geometry and zoom there too).
#include "documentmanager.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace mavrel {

namespace {
const QString RecentFilesKey = QStringLiteral("files/recent");
const QString LastFolderKey = QStringLiteral("files/lastFolder");
} // namespace

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

} // namespace mavrel
