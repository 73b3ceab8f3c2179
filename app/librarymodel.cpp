#include "librarymodel.h"

#include "document/chartfile.h"
#include "document/chordtext.h"
#include "document/leadsheet.h"
#include "render/page.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QMimeData>
#include <QUrl>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QSet>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <functional>
#include <iterator>
#include <thread>

namespace mavrel {

namespace {

// Rows are posted back in batches: one queued call per chart would flood the
// window's event loop with thousands of small inserts.
constexpr int BatchSize = 64;

// The charts of the folders and of their subfolders at any depth, and every
// folder read, so that each is followed. Each folder is read once, by its
// canonical path: a link to a folder above it cannot make the reading loop,
// and a folder inside another one of the list, or the same folder through a
// link, gives each chart once.
struct Listing {
    QFileInfoList files;   // each file's state is read once, when first asked
    QStringList folders;
};

Listing listCharts(const QStringList& roots, const std::function<bool()>& cancelled)
{
    Listing listing;
    QSet<QString> seen;
    for (const QString& root : roots) {
        QStringList stack{QFileInfo(root).absoluteFilePath()};
        while (!stack.isEmpty()) {
            if (cancelled())
                return listing;
            const QString folder = stack.takeLast();
            const QString canonical = QFileInfo(folder).canonicalFilePath();
            if (canonical.isEmpty() || seen.contains(canonical))
                continue;
            seen.insert(canonical);
            listing.folders << folder;
            const QDir dir(folder);
            for (const QFileInfo& file :
                 dir.entryInfoList({QStringLiteral("*.bab")}, QDir::Files | QDir::Readable | QDir::CaseSensitive, QDir::Name))
                listing.files << file;
            // Hidden folders (a version control's, a trash) are no part of the library.
            const QFileInfoList subfolders =
                dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable | QDir::Executable, QDir::Name);
            for (auto it = subfolders.crbegin(); it != subfolders.crend(); ++it)
                stack << it->absoluteFilePath();
        }
    }
    return listing;
}

QString searchText(const LibraryEntry& e)
{
    return LibraryModel::fold(QStringList{e.title, e.composer, e.key, e.style, QFileInfo(e.fileName).fileName()}
                                  .join(QLatin1Char('\n')));
}

// What was read of a chart is kept in the cache folder, one file per chart,
// under a name made from the chart's; it stands for the chart as long as the
// chart keeps its size and modification time. Its thumbnail stands only for
// the chord symbols it was drawn with, kept beside it.
constexpr quint32 CacheMagic = 0x4d564c42;   // "MVLB"
constexpr quint32 CacheVersion = 2;

QString cacheKey(const QString& fileName)
{
    const QByteArray hash = QCryptographicHash::hash(fileName.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QString::fromLatin1(hash) + QStringLiteral(".entry");
}

QDataStream& operator<<(QDataStream& out, const ChordSymbols& s)
{
    return out << quint8(s.major) << quint8(s.minor) << quint8(s.halfDiminished) << quint8(s.diminished)
               << quint8(s.augmented) << quint8(s.alterations) << quint8(s.bass);
}

QDataStream& operator>>(QDataStream& in, ChordSymbols& s)
{
    quint8 v[7] = {};
    for (quint8& value : v)
        in >> value;
    // A value no choice has cannot match the symbols of the moment: the
    // thumbnail is drawn again.
    for (quint8 value : v) {
        if (value > 1)
            in.setStatus(QDataStream::ReadCorruptData);
    }
    s.major = ChordSymbols::Major(v[0]);
    s.minor = ChordSymbols::Minor(v[1]);
    s.halfDiminished = ChordSymbols::HalfDiminished(v[2]);
    s.diminished = ChordSymbols::Diminished(v[3]);
    s.augmented = ChordSymbols::Augmented(v[4]);
    s.alterations = ChordSymbols::Alterations(v[5]);
    s.bass = ChordSymbols::Bass(v[6]);
    return in;
}

// A chart found by the first pass, in the order its thumbnail comes: the
// picture kept in the cache, still encoded, or none, to be drawn.
struct Pending {
    LibraryEntry entry;
    qint64 size = 0;
    QString cacheName;
    QByteArray picture;
    bool cached = false;
};

// The row from the cache, and its picture when drawn with `symbols`.
bool readCache(const QFileInfo& chart, const ChordSymbols& symbols, Pending& pending)
{
    QFile file(pending.cacheName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0, version = 0;
    qint64 modified = 0, size = 0;
    in >> magic >> version >> modified >> size;
    if (magic != CacheMagic || version != CacheVersion || modified != chart.lastModified().toMSecsSinceEpoch()
        || size != chart.size())
        return false;
    LibraryEntry& entry = pending.entry;
    qint32 tempo = 0, bars = 0;
    bool drawn = false;
    in >> entry.title >> entry.composer >> entry.key >> entry.style >> tempo >> bars >> drawn;
    if (in.status() != QDataStream::Ok)
        return false;
    entry.tempo = tempo;
    entry.bars = bars;
    entry.fileName = chart.absoluteFilePath();
    entry.modified = chart.lastModified();
    entry.searchText = searchText(entry);
    ChordSymbols drawnWith;
    QByteArray picture;
    in >> drawnWith >> picture;
    pending.cached = drawn && in.status() == QDataStream::Ok && drawnWith == symbols;
    if (pending.cached)
        pending.picture = picture;
    return true;
}

void writeCache(const Pending& pending, const QImage& thumbnail, const ChordSymbols& symbols)
{
    const LibraryEntry& entry = pending.entry;
    QByteArray picture;
    if (!thumbnail.isNull()) {
        QBuffer buffer(&picture);
        buffer.open(QIODevice::WriteOnly);
        thumbnail.save(&buffer, "PNG");
    }
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << CacheMagic << CacheVersion << qint64(entry.modified.toMSecsSinceEpoch()) << qint64(pending.size)
        << entry.title << entry.composer << entry.key << entry.style << qint32(entry.tempo) << qint32(entry.bars)
        << true << symbols << picture;
    // A cache that cannot be written only costs the next reading its time.
    writeFile(QFile::encodeName(pending.cacheName).toStdString(),
              {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())},
              systemFileSystem(), WriteMode::ReplaceEntry);
}

} // namespace

QString LibraryModel::cacheFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/library");
}

LibraryModel::LibraryModel(QObject* parent)
    : QAbstractTableModel(parent), m_generation(std::make_shared<std::atomic<int>>(0)),
      m_drawGeneration(std::make_shared<std::atomic<int>>(0))
{
    m_pool.setMaxThreadCount(1);
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(200);
    connect(&m_refreshTimer, &QTimer::timeout, this, &LibraryModel::refresh);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_refreshTimer, qOverload<>(&QTimer::start));
}

LibraryModel::~LibraryModel()
{
    ++*m_generation;
    ++*m_drawGeneration;
    m_pool.clear();
    m_pool.waitForDone();
}

QString LibraryModel::fold(const QString& text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            folded += c;
    }
    return folded.toCaseFolded();
}

LibraryEntry LibraryModel::readEntry(const QString& fileName) { return readEntry(QFileInfo(fileName)); }

LibraryEntry LibraryModel::readEntry(const QFileInfo& info)
{
    const QString fileName = info.absoluteFilePath();
    LibraryEntry entry;
    // A chart is far too large for a worker thread's stack.
    auto chart = std::make_unique<Chart>();
    if (!loadChart(*chart, QFile::encodeName(fileName).toStdString()).ok)
        return entry;
    const leadsheet::Sheet sheet = leadsheet::read(*chart);
    entry.fileName = fileName;
    entry.title = QString::fromStdString(sheet.title).trimmed();
    if (entry.title.isEmpty())
        entry.title = info.completeBaseName();
    entry.composer = QString::fromStdString(sheet.composer).trimmed();
    entry.key = QString::fromStdString(keyText(sheet.key));
    entry.style = QString::fromStdString(sheet.style).trimmed();
    entry.tempo = sheet.tempo;
    entry.bars = static_cast<int>(sheet.measures.size());
    entry.modified = info.lastModified();
    entry.searchText = searchText(entry);
    return entry;
}

QImage LibraryModel::readThumbnail(const QString& fileName)
{
    auto chart = std::make_unique<Chart>();
    if (!loadChart(*chart, QFile::encodeName(fileName).toStdString()).ok)
        return {};
    const QSize page = pageImageSize(*chart, 96);
    if (page.isEmpty())
        return {};
    return paintPageImage(*chart, page.scaled(ThumbnailSize, Qt::KeepAspectRatio));
}

void LibraryModel::setFolders(const QStringList& folders)
{
    ++*m_generation;
    m_pool.clear();
    beginResetModel();
    m_folders = folders;
    m_entries.clear();
    m_rows.clear();
    m_icons.clear();
    endResetModel();
    // The folders are followed from the start; their subfolders once read.
    QStringList existing;
    for (const QString& folder : folders) {
        if (QFileInfo(folder).isDir())
            existing << QFileInfo(folder).absoluteFilePath();
    }
    m_readOnce = false;
    watch(existing);
    setPending(0);
    m_refreshAgain = false;
    refresh();
}

void LibraryModel::refresh()
{
    if (m_pending > 0) {
        m_refreshAgain = true;
        return;
    }
    setPending(1);
    // The thumbnails still being drawn are left to this reading's second pass.
    const int drawing = ++*m_drawGeneration;
    m_drawing = true;
    const int generation = *m_generation;
    const ChordSymbols symbols = chordSymbols();
    // The rows listed, and whether their thumbnails are drawn with these symbols.
    QHash<QString, std::pair<LibraryEntry, bool>> known;
    for (const LibraryEntry& e : m_entries)
        known.insert(e.fileName, {e, e.drawnWith == symbols});

    QString cache = cacheFolder();
    if (!cache.isEmpty() && !QDir().mkpath(cache))
        cache.clear();
    std::shared_ptr<std::atomic<int>> current = m_generation;
    std::shared_ptr<std::atomic<int>> currentDrawing = m_drawGeneration;
    // The model waits for this task before it goes, so `this` is alive in it.
    m_pool.start([this, folders = m_folders, known, generation, drawing, current, currentDrawing, cache, symbols] {
        // First pass: every row, from the cache or from the chart, no page drawn.
        const Listing listing = listCharts(folders, [&] { return *current != generation; });
        // The cache's entries, listed at once: a chart never read before
        // costs no attempt to open its own.
        QSet<QString> cacheEntries;
        if (!cache.isEmpty()) {
            const QStringList names = QDir(cache).entryList(QDir::Files);
            cacheEntries = QSet<QString>(names.cbegin(), names.cend());
        }
        struct Part {
            std::vector<LibraryEntry> batch;
            std::vector<Pending> pictures;
            QStringList present;
        };
        auto readPart = [&](qsizetype from, qsizetype to, Part& part) {
            for (qsizetype i = from; i < to; ++i) {
                if (*current != generation)
                    return;
                const QFileInfo& chart = listing.files[i];
                const QString file = chart.absoluteFilePath();
                const auto k = known.constFind(file);
                const bool listed = k != known.cend() && k->first.modified == chart.lastModified();
                if (listed)
                    part.present << file;
                if (listed && k->second)
                    continue;
                Pending p;
                p.size = chart.size();
                QString key;
                if (!cache.isEmpty()) {
                    key = cacheKey(file);
                    p.cacheName = cache + QLatin1Char('/') + key;
                }
                if (listed) {
                    p.entry = k->first;
                    part.pictures.push_back(std::move(p));
                    continue;
                }
                if (!cacheEntries.contains(key) || !readCache(chart, symbols, p)) {
                    p.entry = readEntry(chart);
                    if (p.entry.fileName.isEmpty())
                        continue;
                    p.entry.modified = chart.lastModified();
                }
                part.present << file;
                part.batch.push_back(p.entry);
                part.pictures.push_back(std::move(p));
                if (part.batch.size() >= BatchSize) {
                    QMetaObject::invokeMethod(
                        this, [this, generation, batch = part.batch] { addEntries(generation, batch, false, {}, {}); },
                        Qt::QueuedConnection);
                    part.batch.clear();
                }
            }
        };
        // A large folder is read by two threads, when the machine has the
        // cores: the rows come in about twice as fast.
        const qsizetype count = listing.files.size();
        Part part, other;
        if (count >= 4 * BatchSize && QThread::idealThreadCount() > 1) {
            std::thread helper([&] { readPart(count / 2, count, other); });
            readPart(0, count / 2, part);
            helper.join();
            part.batch.insert(part.batch.end(), other.batch.begin(), other.batch.end());
            std::move(other.pictures.begin(), other.pictures.end(), std::back_inserter(part.pictures));
            part.present += other.present;
        } else {
            readPart(0, count, part);
        }
        if (*current != generation)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, generation, batch = part.batch, present = part.present, read = listing.folders] {
                addEntries(generation, batch, true, present, read);
            },
            Qt::QueuedConnection);
        std::vector<Pending>& pictures = part.pictures;

        // Second pass: the thumbnails, those kept in the cache first, as
        // they cost no drawing.
        std::stable_partition(pictures.begin(), pictures.end(), [](const Pending& p) { return p.cached; });
        std::vector<Thumbnail> thumbnails;
        auto post = [&](bool done) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, drawing, thumbnails, done] { addThumbnails(generation, drawing, thumbnails, done); },
                Qt::QueuedConnection);
            thumbnails.clear();
        };
        for (const Pending& p : pictures) {
            if (*current != generation || *currentDrawing != drawing)
                return;
            Thumbnail t{p.entry.fileName, p.entry.modified, {}, symbols};
            if (p.cached) {
                if (!p.picture.isEmpty())
                    t.image = QImage::fromData(p.picture, "PNG");
            } else {
                // The symbols may have changed since the reading began.
                t.symbols = chordSymbols();
                t.image = readThumbnail(p.entry.fileName);
                // Drawn from the file the row was read from, else the
                // watcher's next reading draws it again.
                const QFileInfo chart(p.entry.fileName);
                if (chart.lastModified() != p.entry.modified || chart.size() != p.size)
                    continue;
                if (!p.cacheName.isEmpty())
                    writeCache(p, t.image, t.symbols);
            }
            thumbnails.push_back(std::move(t));
            if (thumbnails.size() >= BatchSize / 4)
                post(false);
        }
        post(true);
    });
}

void LibraryModel::addThumbnails(int generation, int drawing, const std::vector<Thumbnail>& thumbnails, bool done)
{
    if (generation != *m_generation)
        return;
    for (const Thumbnail& t : thumbnails) {
        const auto row = m_rows.constFind(t.fileName);
        if (row == m_rows.cend())
            continue;
        LibraryEntry& e = m_entries[static_cast<std::size_t>(*row)];
        if (e.modified != t.modified)
            continue;
        e.thumbnail = t.image;
        e.drawnWith = t.symbols;
        m_icons.remove(e.fileName);
        const QModelIndex title = index(*row, Title);
        emit dataChanged(title, title, {Qt::DecorationRole});
    }
    if (!done || drawing != *m_drawGeneration)
        return;
    m_drawing = false;
    // The symbols changed while the pages were drawn: draw them again.
    const ChordSymbols symbols = chordSymbols();
    if (std::any_of(m_entries.cbegin(), m_entries.cend(), [&](const LibraryEntry& e) { return e.drawnWith != symbols; })) {
        m_refreshTimer.start();
        return;
    }
    emit thumbnailsDone();
}

void LibraryModel::addEntries(int generation, const std::vector<LibraryEntry>& entries, bool last,
                              const QStringList& present, const QStringList& folders)
{
    if (generation != *m_generation)
        return;
    std::vector<LibraryEntry> added;
    for (const LibraryEntry& e : entries) {
        const auto row = m_rows.constFind(e.fileName);
        if (row == m_rows.cend()) {
            added.push_back(e);
            continue;
        }
        // A chart rewritten keeps its old thumbnail until the new one is drawn.
        LibraryEntry& kept = m_entries[static_cast<std::size_t>(*row)];
        QImage thumbnail = kept.thumbnail;
        kept = e;
        if (kept.thumbnail.isNull())
            kept.thumbnail = thumbnail;
        emit dataChanged(index(*row, 0), index(*row, ColumnCount - 1));
    }
    if (!added.empty()) {
        const int first = static_cast<int>(m_entries.size());
        beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
        for (LibraryEntry& e : added) {
            m_rows.insert(e.fileName, static_cast<int>(m_entries.size()));
            m_entries.push_back(std::move(e));
        }
        endInsertRows();
    }
    if (!last)
        return;

    const QSet<QString> still(present.cbegin(), present.cend());
    dropRows([&](const QString& file) { return !still.contains(file); });
    watch(folders);
    m_readOnce = true;
    setPending(0);
    if (m_refreshAgain) {
        m_refreshAgain = false;
        refresh();
        return;
    }
    emit loaded();
}

void LibraryModel::removeFolder(const QString& folder)
{
    const QString removed = QFileInfo(folder).absoluteFilePath();
    if (!m_folders.removeAll(folder) && !m_folders.removeAll(removed))
        return;
    auto under = [](const QString& file, const QString& folder) {
        return file.startsWith(folder) && (folder.endsWith(QLatin1Char('/')) || file.at(folder.size()) == QLatin1Char('/'));
    };
    QStringList kept;
    for (const QString& f : std::as_const(m_folders))
        kept << QFileInfo(f).absoluteFilePath();
    dropRows([&](const QString& file) {
        return under(file, removed)
               && std::none_of(kept.cbegin(), kept.cend(), [&](const QString& k) { return under(file, k); });
    });
    // A reading under way still lists the folder: it is dropped and begun
    // again, which also drops what only a link inside the folder led to.
    ++*m_generation;
    m_pool.clear();
    m_refreshAgain = false;
    setPending(0);
    refresh();
}

void LibraryModel::dropRows(const std::function<bool(const QString&)>& drop)
{
    bool dropped = false;
    for (int row = static_cast<int>(m_entries.size()) - 1; row >= 0; --row) {
        const QString file = m_entries[static_cast<std::size_t>(row)].fileName;
        if (!drop(file))
            continue;
        beginRemoveRows({}, row, row);
        m_icons.remove(file);
        m_entries.erase(m_entries.begin() + row);
        endRemoveRows();
        dropped = true;
    }
    if (dropped) {
        m_rows.clear();
        for (std::size_t row = 0; row < m_entries.size(); ++row)
            m_rows.insert(m_entries[row].fileName, static_cast<int>(row));
    }
}

void LibraryModel::setPending(int pending)
{
    const bool was = m_pending > 0;
    m_pending = pending;
    if (was != (pending > 0))
        emit loadingChanged(pending > 0);
}

void LibraryModel::watch(const QStringList& folders)
{
    const QStringList watched = m_watcher.directories();
    const QSet<QString> wanted(folders.cbegin(), folders.cend());
    QStringList gone;
    for (const QString& folder : watched) {
        if (!wanted.contains(folder))
            gone << folder;
    }
    if (!gone.isEmpty())
        m_watcher.removePaths(gone);
    const QSet<QString> have(watched.cbegin(), watched.cend());
    QStringList added;
    for (const QString& folder : folders) {
        if (!have.contains(folder))
            added << folder;
    }
    if (added.isEmpty())
        return;
    const QStringList refused = m_watcher.addPaths(added);
    // A chart copied into a new subfolder between its reading and now would
    // change a folder not yet followed: read once more to catch it.
    if (m_readOnce && refused.size() < added.size())
        m_refreshTimer.start();
}

int LibraryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

int LibraryModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant LibraryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const LibraryEntry& e = m_entries[static_cast<std::size_t>(index.row())];
    switch (role) {
    case FileNameRole:
        return e.fileName;
    case SearchRole:
        return e.searchText;
    case Qt::DecorationRole:
        if (index.column() != Title)
            return {};
        // Drawn with other chord symbols: all are drawn again.
        if (e.drawnWith && !m_drawing && m_pending == 0 && !m_refreshTimer.isActive() && *e.drawnWith != chordSymbols())
            m_refreshTimer.start();
        if (e.thumbnail.isNull())
            return {};
        if (!m_icons.contains(e.fileName))
            m_icons.insert(e.fileName, QIcon(QPixmap::fromImage(e.thumbnail)));
        return m_icons.value(e.fileName);
    case Qt::ToolTipRole:
        return QDir::toNativeSeparators(e.fileName);
    case Qt::TextAlignmentRole:
        if (index.column() == Tempo || index.column() == Bars)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case Qt::DisplayRole:
        switch (index.column()) {
        case Title: return e.title;
        case Composer: return e.composer;
        case Key: return e.key;
        case Style: return e.style;
        // Numbers and dates, not their texts, so that they sort as such.
        case Tempo: return e.tempo > 0 ? QVariant(e.tempo) : QVariant();
        case Bars: return e.bars;
        case Date: return e.modified;
        default: return {};
        }
    default:
        return {};
    }
}

QVariant LibraryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Title: return tr("Titre");
    case Composer: return tr("Compositeur");
    case Key: return tr("Tonalité");
    case Style: return tr("Style");
    case Tempo: return tr("Tempo");
    case Bars: return tr("Mesures");
    case Date: return tr("Date");
    default: return {};
    }
}

Qt::ItemFlags LibraryModel::flags(const QModelIndex& index) const
{
    return QAbstractTableModel::flags(index) | (index.isValid() ? Qt::ItemIsDragEnabled : Qt::NoItemFlags);
}

QStringList LibraryModel::mimeTypes() const { return {QStringLiteral("text/uri-list")}; }

QMimeData* LibraryModel::mimeData(const QModelIndexList& indexes) const
{
    QList<QUrl> urls;
    for (const QModelIndex& i : indexes) {
        const QUrl url = QUrl::fromLocalFile(i.data(FileNameRole).toString());
        if (i.isValid() && !urls.contains(url))
            urls << url;
    }
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

void LibraryFilter::setSearch(const QString& text)
{
    m_words = LibraryModel::fold(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    invalidateRowsFilter();
}

bool LibraryFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (m_words.isEmpty())
        return true;
    const QString text = sourceModel()->index(sourceRow, 0, sourceParent).data(LibraryModel::SearchRole).toString();
    for (const QString& word : m_words) {
        if (!text.contains(word))
            return false;
    }
    return true;
}

} // namespace mavrel
