// The charts of the library's folders, one row each: what a musician looks
// for in a book (title, composer, key, style, tempo, bars) and when the file
// last changed. The files are read on a worker thread, so that a folder of
// thousands of charts never stalls the window; the rows come in as they are
// read, and kept in a cache on disk for the next time. No page is drawn
// before every row is listed: the thumbnails fill in after. A folder's
// charts include those of its subfolders, at any depth. Every folder read is
// watched: a chart added, renamed, replaced or removed there, or a new
// subfolder of charts, shows at once, and only the files that changed are
// read again.
#pragma once

#include "render/chordtype.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QTimer>
#include <QSortFilterProxyModel>
#include <QStringList>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace mavrel {

struct LibraryEntry {
    QString fileName;        // absolute path
    QString title;
    QString composer;
    QString key;
    QString style;
    int tempo = 0;           // 0: not given
    int bars = 0;
    QDateTime modified;
    QImage thumbnail;        // the page, ThumbnailSize at most
    // The chord symbols the thumbnail was drawn with; nothing while it is
    // still to be drawn. A page with nothing to draw keeps a null thumbnail.
    std::optional<ChordSymbols> drawnWith;
    QString searchText;      // every shown text, folded for the filter
};

class LibraryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Title, Composer, Key, Style, Tempo, Bars, Date, ColumnCount };
    // The chart's absolute file name, for every column.
    static constexpr int FileNameRole = Qt::UserRole;
    // The row's texts without accents and in one case, for every column.
    static constexpr int SearchRole = Qt::UserRole + 1;

    // The box a page's thumbnail fits in.
    static constexpr QSize ThumbnailSize{120, 170};

    explicit LibraryModel(QObject* parent = nullptr);
    ~LibraryModel() override;

    // Reads the charts of these folders and their subfolders again, from
    // scratch, and follows them.
    void setFolders(const QStringList& folders);
    // Reads again the files of the folders that are new or changed since
    // they were last read, and drops the rows of those that went.
    void refresh();
    // Drops the folder from those read: its rows go at once, but for the
    // charts another folder of the list holds too.
    void removeFolder(const QString& folder);
    QStringList folders() const { return m_folders; }
    // Whether files are still being read: their rows are not all listed.
    bool isLoading() const { return m_pending > 0; }
    // Whether thumbnails are still being drawn, once the rows are listed.
    bool isDrawing() const { return m_drawing; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Charts are dragged out as file URLs: into a set list, or any program.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

    // The text without its accents, in one case: "Étoile" and "ETOILE" are
    // both "etoile".
    static QString fold(const QString& text);
    // The chart's row, read from its file, without its thumbnail; an empty
    // fileName when the file is no chart Mavrel can read.
    static LibraryEntry readEntry(const QString& fileName);
    static LibraryEntry readEntry(const QFileInfo& file);
    // The chart's page drawn to fit ThumbnailSize with the chord symbols of
    // the moment; null when the file cannot be read or the page is empty.
    static QImage readThumbnail(const QString& fileName);
    // Where what was read of each chart is kept, keyed by the chart's name,
    // size and modification time; empty when the system gives no such place.
    static QString cacheFolder();

signals:
    // Every file of the last setFolders() has been read and its row listed;
    // thumbnails may still be drawn.
    void loaded();
    // Every listed row has its thumbnail, drawn with the current symbols.
    void thumbnailsDone();
    // The files began, or ended, being read.
    void loadingChanged(bool loading);

private:
    // Rows read by the worker: new files appended, changed ones replaced.
    // With the last batch, `present` names every chart still there and
    // `folders` every folder read.
    void addEntries(int generation, const std::vector<LibraryEntry>& entries, bool last, const QStringList& present,
                    const QStringList& folders);
    struct Thumbnail {
        QString fileName;
        QDateTime modified;   // of the file the row was read from
        QImage image;
        ChordSymbols symbols;
    };
    // Thumbnails drawn by the worker; with the last, `done`.
    void addThumbnails(int generation, int drawing, const std::vector<Thumbnail>& thumbnails, bool done);
    // Removes the rows of the files `drop` names.
    void dropRows(const std::function<bool(const QString&)>& drop);
    void setPending(int pending);
    // Follows these folders, and only these.
    void watch(const QStringList& folders);

    QStringList m_folders;
    std::vector<LibraryEntry> m_entries;
    QThreadPool m_pool;
    // Bumped by each setFolders(): the rows of an older reading are dropped.
    std::shared_ptr<std::atomic<int>> m_generation;
    // Bumped by each reading: the drawing of the previous one stops, and the
    // new one draws what is still missing.
    std::shared_ptr<std::atomic<int>> m_drawGeneration;
    bool m_drawing = false;        // the rows listed lack thumbnails still
    int m_pending = 0;
    bool m_refreshAgain = false;   // the folders changed while they were being read
    bool m_readOnce = false;       // the folders of the last setFolders() have been read
    QHash<QString, int> m_rows;    // file name -> row
    // Pixmaps are made on the window's thread only: each thumbnail's icon
    // the first time a view asks for it.
    mutable QHash<QString, QIcon> m_icons;
    QFileSystemWatcher m_watcher;
    // A copy of many files changes the folder many times: one reading for all.
    // Thumbnails found drawn with other chord symbols start it too.
    mutable QTimer m_refreshTimer;
};

// The rows whose texts hold every word typed, accents and case aside.
class LibraryFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setSearch(const QString& text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QStringList m_words;
};

} // namespace mavrel
