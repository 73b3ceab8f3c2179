#include "setlistmodel.h"

#include <QBrush>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QIODevice>
#include <QMimeData>
#include <QPalette>
#include <QUrl>

#include <algorithm>

namespace mavrel {

namespace {

// The rows a drag takes from a set list, with the list they come from: rows
// dropped on another list come in through their URLs instead.
const QString RowsMimeType = QStringLiteral("application/x-mavrel-setlist-rows");

QString absoluteName(const QString& fileName) { return QFileInfo(fileName).absoluteFilePath(); }

bool isChartName(const QString& fileName) { return fileName.endsWith(QLatin1String(".bab"), Qt::CaseInsensitive); }

} // namespace

SetListModel::SetListModel(QObject* parent) : QAbstractTableModel(parent) {}

SetListModel::Song SetListModel::readRow(const QString& fileName)
{
    Song row;
    row.fileName = absoluteName(fileName);
    const LibraryEntry entry = LibraryModel::readEntry(row.fileName);
    row.song.missing = entry.fileName.isEmpty() && !QFileInfo(row.fileName).isFile();
    row.title = entry.fileName.isEmpty() ? QFileInfo(row.fileName).completeBaseName() : entry.title;
    row.writtenKey = entry.key;
    return row;
}

void SetListModel::setSetList(const SetList& list, const QString& setListFile)
{
    beginResetModel();
    m_rows.clear();
    const std::string listFile = QFile::encodeName(setListFile).toStdString();
    for (const SetListSong& song : list.songs) {
        Song row = readRow(QFile::decodeName(QByteArray::fromStdString(songFileName(listFile, song))));
        const bool missing = row.song.missing;
        row.song = song;
        row.song.missing = missing;
        m_rows.push_back(std::move(row));
    }
    endResetModel();
}

SetList SetListModel::setList(const QString& setListFile) const
{
    SetList list;
    const std::string listFile = QFile::encodeName(absoluteName(setListFile)).toStdString();
    for (const Song& row : m_rows) {
        SetListSong song = row.song;
        const std::string chart = QFile::encodeName(row.fileName).toStdString();
        song.path = setListFile.isEmpty() ? chart : relativeSongPath(listFile, chart);
        list.songs.push_back(std::move(song));
    }
    return list;
}

int SetListModel::insertCharts(int row, const QStringList& fileNames)
{
    std::vector<Song> rows;
    for (const QString& name : fileNames) {
        if (static_cast<int>(m_rows.size() + rows.size()) >= MaxSetListSongs)
            break;
        if (isChartName(name) && QFileInfo(name).isFile())
            rows.push_back(readRow(name));
    }
    if (rows.empty())
        return 0;
    if (row < 0 || row > rowCount())
        row = rowCount();
    beginInsertRows({}, row, row + static_cast<int>(rows.size()) - 1);
    m_rows.insert(m_rows.begin() + row, std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endInsertRows();
    emit edited(tr("l'ajout de grilles"));
    return static_cast<int>(rows.size());
}

void SetListModel::moveSongs(QList<int> rows, int row)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.removeIf([this](int r) { return r < 0 || r >= rowCount(); });
    if (rows.isEmpty())
        return;
    row = std::clamp(row, 0, rowCount());
    std::vector<Song> moved;
    std::vector<Song> kept;
    int before = 0;   // kept rows that stand before `row`
    for (int r = 0; r < rowCount(); ++r) {
        if (rows.contains(r)) {
            moved.push_back(m_rows[static_cast<std::size_t>(r)]);
        } else {
            before += r < row;
            kept.push_back(m_rows[static_cast<std::size_t>(r)]);
        }
    }
    kept.insert(kept.begin() + before, moved.begin(), moved.end());
    if (std::equal(kept.begin(), kept.end(), m_rows.begin(),
                   [](const Song& a, const Song& b) { return a.fileName == b.fileName && a.song == b.song; }))
        return;
    // A reset rather than moves: the views keep no state worth keeping here.
    beginResetModel();
    m_rows = std::move(kept);
    endResetModel();
    emit edited(tr("le déplacement de morceaux"));
}

bool SetListModel::checkFiles()
{
    bool changed = false;
    for (int r = 0; r < rowCount(); ++r) {
        Song& row = m_rows[static_cast<std::size_t>(r)];
        const bool missing = !QFileInfo(row.fileName).isFile();
        if (missing == row.song.missing)
            continue;
        const SetListSong song = row.song;
        row = readRow(row.fileName);
        row.song = song;
        row.song.missing = missing;
        changed = true;
        emit dataChanged(index(r, 0), index(r, ColumnCount - 1));
    }
    return changed;
}

void SetListModel::setSongs(std::vector<Song> songs)
{
    beginResetModel();
    m_rows = std::move(songs);
    endResetModel();
}

int SetListModel::missingCount() const
{
    return static_cast<int>(std::count_if(m_rows.begin(), m_rows.end(), [](const Song& r) { return r.song.missing; }));
}

int SetListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int SetListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant SetListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Song& row = m_rows[static_cast<std::size_t>(index.row())];
    const SetListSong& song = row.song;
    switch (role) {
    case FileNameRole:
        return row.fileName;
    case ValueRole:
        switch (index.column()) {
        case Key: return QString::fromStdString(keyName(song.key));
        case Part: return QString::fromUtf8(partName(song.part));
        case Note: return QString::fromStdString(song.note);
        default: return {};
        }
    case Qt::ToolTipRole:
        if (song.missing)
            return tr("Grille introuvable : %1").arg(QDir::toNativeSeparators(row.fileName));
        if (index.column() == Key && song.key.empty() && !row.writtenKey.isEmpty())
            return tr("Comme elle est écrite, en %1").arg(row.writtenKey);
        return QDir::toNativeSeparators(row.fileName);
    case Qt::ForegroundRole:
        if (song.missing)
            return QBrush(Qt::red);
        if (index.column() == Key && song.key.empty())
            return QPalette().brush(QPalette::Disabled, QPalette::Text);
        return {};
    case Qt::FontRole:
        if (song.missing && index.column() == Title) {
            QFont font;
            font.setItalic(true);
            return font;
        }
        return {};
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (index.column()) {
        case Title:
            return song.missing ? tr("%1 (introuvable)").arg(row.title) : row.title;
        case Key:
            // The key as written, greyed, when the song is played as written.
            return song.key.empty() ? row.writtenKey : QString::fromStdString(keyName(song.key));
        case Part: return partText(song.part);
        case Note: return QString::fromStdString(song.note);
        default: return {};
        }
    default:
        return {};
    }
}

bool SetListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= rowCount() || (role != Qt::EditRole && role != ValueRole))
        return false;
    SetListSong& song = m_rows[static_cast<std::size_t>(index.row())].song;
    const QString text = value.toString().trimmed();
    SetListSong changed = song;
    switch (index.column()) {
    case Key: {
        if (text.isEmpty()) {
            changed.key = {};
            break;
        }
        const std::optional<mavrel::Key> key = keyNamed(text.toStdString());
        if (!key)
            return false;
        changed.key = *key;
        break;
    }
    case Part: {
        const std::optional<Instrument> part =
            text.isEmpty() ? Instrument::Concert : instrumentNamed(text.toStdString());
        if (!part)
            return false;
        changed.part = *part;
        break;
    }
    case Note: {
        // As the file keeps it: the note is cut on a character's boundary.
        QByteArray note = value.toString().toUtf8();
        while (note.size() > static_cast<qsizetype>(MaxSetListText))
            note = QString::fromUtf8(note).chopped(1).toUtf8();
        changed.note = note.toStdString();
        break;
    }
    default:
        return false;
    }
    if (changed == song)
        return true;
    song = changed;
    emit dataChanged(index, index);
    emit edited(index.column() == Key ? tr("le choix de la tonalité")
                : index.column() == Part ? tr("le choix de la partie") : tr("la note"));
    return true;
}

QVariant SetListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case Title: return tr("Titre");
    case Key: return tr("Tonalité");
    case Part: return tr("Partie");
    case Note: return tr("Note");
    default: return {};
    }
}

Qt::ItemFlags SetListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled;
    if (index.column() != Title)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool SetListModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || row + count > rowCount())
        return false;
    beginRemoveRows(parent, row, row + count - 1);
    m_rows.erase(m_rows.begin() + row, m_rows.begin() + row + count);
    endRemoveRows();
    emit edited(tr("le retrait de morceaux"));
    return true;
}

QStringList SetListModel::mimeTypes() const { return {RowsMimeType, QStringLiteral("text/uri-list")}; }

QMimeData* SetListModel::mimeData(const QModelIndexList& indexes) const
{
    QList<int> rows;
    for (const QModelIndex& i : indexes) {
        if (i.isValid() && !rows.contains(i.row()))
            rows << i.row();
    }
    std::sort(rows.begin(), rows.end());
    QByteArray encoded;
    QDataStream out(&encoded, QIODevice::WriteOnly);
    out << quint64(reinterpret_cast<quintptr>(this)) << rows;
    QList<QUrl> urls;
    for (int r : rows)
        urls << QUrl::fromLocalFile(m_rows[static_cast<std::size_t>(r)].fileName);
    auto* data = new QMimeData;
    data->setData(RowsMimeType, encoded);
    data->setUrls(urls);
    return data;
}

bool SetListModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int, const QModelIndex&) const
{
    return data && (data->hasFormat(RowsMimeType) || data->hasUrls());
}

bool SetListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int, const QModelIndex& parent)
{
    if (!data || action == Qt::IgnoreAction)
        return false;
    // Dropped on a song: before it.
    if (row < 0)
        row = parent.isValid() ? parent.row() : rowCount();
    if (data->hasFormat(RowsMimeType)) {
        QDataStream in(data->data(RowsMimeType));
        quint64 source = 0;
        QList<int> rows;
        in >> source >> rows;
        if (in.status() == QDataStream::Ok && source == quint64(reinterpret_cast<quintptr>(this))) {
            moveSongs(rows, row);
            return true;
        }
    }
    QStringList files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    return insertCharts(row, files) > 0;
}

// Songs are only ever copied out: a move within the list is the model's own,
// and no view must remove the rows it dragged.
Qt::DropActions SetListModel::supportedDragActions() const { return Qt::CopyAction; }

Qt::DropActions SetListModel::supportedDropActions() const { return Qt::CopyAction | Qt::MoveAction; }

QString SetListModel::partText(Instrument part)
{
    switch (part) {
    case Instrument::BFlat: return tr("Si♭");
    case Instrument::EFlat: return tr("Mi♭");
    case Instrument::F: return tr("Fa");
    case Instrument::Concert: break;
    }
    return tr("Ut");
}

QStringList SetListModel::keyChoices()
{
    QStringList keys{QString()};
    for (const char* major : {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B"})
        keys << QString::fromLatin1(major);
    for (const char* minor : {"Cm", "C#m", "Dm", "Ebm", "Em", "Fm", "F#m", "Gm", "G#m", "Am", "Bbm", "Bm"})
        keys << QString::fromLatin1(minor);
    return keys;
}

} // namespace mavrel
