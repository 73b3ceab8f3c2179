// The songs of a set list, one row each, in playing order: the chart's title,
// the key to play it in, the part and the note. Charts are dropped in from the
// library or a file manager (file URLs), and rows are reordered by dragging
// them within the list. The model keeps each chart's absolute file name: the
// paths relative to the set list's folder are made when it is saved, for
// wherever it is saved.
#pragma once

#include "librarymodel.h"

#include "document/setlist.h"

#include <QAbstractTableModel>

#include <vector>

namespace mavrel {

class SetListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Title, Key, Part, Note, ColumnCount };
    // The chart's absolute file name, for every column.
    static constexpr int FileNameRole = LibraryModel::FileNameRole;
    // What an editor starts on and gives back: a key's or a part's name as
    // keyName() and partName() write them, the note's text.
    static constexpr int ValueRole = Qt::UserRole + 2;

    explicit SetListModel(QObject* parent = nullptr);

    // The songs of `list`, read from `setListFile` (their paths are relative
    // to its folder). Each chart is read for its title; the missing ones stay.
    void setSetList(const SetList& list, const QString& setListFile);
    // The set list as it is saved in `setListFile`.
    SetList setList(const QString& setListFile) const;

    // The charts at `row` (-1: at the end), each read for its title, in
    // concert pitch and the key it is written in. Files that are not charts
    // are left out; the number of songs added.
    int insertCharts(int row, const QStringList& fileNames);
    // Moves the rows, given in any order, to stand together before `row`
    // (rowCount() for the end), in the order they had.
    void moveSongs(QList<int> rows, int row);
    // Marks each song missing or not as its file is now; true when one changed.
    bool checkFiles();
    int missingCount() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

    // A drag carries the rows (to reorder them here) and their charts as file
    // URLs (for another set list or any program). A drop of rows from this
    // list moves them; every other drop copies the charts in.
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;

    // The part as the column shows it: "Ut", "Si♭", "Mi♭", "Fa".
    static QString partText(Instrument part);
    // The choices the key column offers: "" (as written) then every key.
    static QStringList keyChoices();

    // What a row holds, for the window's history.
    struct Song {
        QString fileName;    // absolute
        SetListSong song;    // its path is only meaningful once saved
        QString title;       // the chart's, else its file's name
        QString writtenKey;  // the key the chart is written in
    };
    const std::vector<Song>& songs() const { return m_rows; }
    // The rows as they were: no edit, nothing read again.
    void setSongs(std::vector<Song> songs);

signals:
    // Anything saved in the set list changed, by the user: `what` names the
    // step as the undo command's caption does ("l'ajout de grilles").
    void edited(const QString& what);

private:
    static Song readRow(const QString& fileName);

    std::vector<Song> m_rows;
};

} // namespace mavrel
