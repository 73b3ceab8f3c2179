// A set list in a window of its own: its name, then its songs in playing
// order, each with the key to play it in, the part and a note. Charts come in
// by dragging them from the library (or a file manager) or through "Ajouter
// des grilles…"; songs are reordered by dragging them or with Ctrl+Up and
// Ctrl+Down. A chart that is not on disk stays in the list, shown as missing.
// "Recueil…" prints the list as a songbook or writes it as a PDF.
#pragma once

#include "setlistmodel.h"

#include <QMainWindow>

class QLineEdit;
class QTableView;
class QUndoStack;

namespace mavrel {


class SetListWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit SetListWindow(QWidget* parent = nullptr);

    // The window of the set list in that file, shown and brought forward: the
    // one already open, else a new one. A file that cannot be read is told
    // to the user, and no window is left; nullptr then.
    static SetListWindow* openSetList(const QString& fileName);
    // A new, empty set list in a window of its own.
    static SetListWindow* newSetList();
    // The set list windows open now.
    static QList<SetListWindow*> windows();

    bool load(const QString& fileName);
    bool save();
    bool saveAs();
    // Asks whether to save the changes, when there are; false when the user
    // keeps the window open.
    bool maybeSave();

    QString fileName() const { return m_fileName; }
    SetList setList() const;
    SetListModel* model() const { return m_model; }
    QTableView* view() const { return m_view; }
    QLineEdit* nameEdit() const { return m_name; }
    QUndoStack* undoStack() const { return m_undoStack; }

    // The list as the history keeps it: its name and its rows.
    struct State {
        QString name;
        std::vector<SetListModel::Song> songs;
    };
    // Puts the list back as it was, for the history: no step is recorded.
    void restoreState(const State& state);

    void addCharts();
    void removeSongs();
    void moveSongs(int by);
    void openSong(const QModelIndex& index);
    void showSongbook();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Records what the user just changed as one step of the history.
    void recordChange(const QString& what, int mergeId = -1);
    bool saveTo(const QString& fileName);
    void setFileName(const QString& fileName);
    void updateTitle();
    void updateStatus();
    QList<int> selectedRows() const;

    SetListModel* m_model;
    QUndoStack* m_undoStack;
    // The list as the last step left it: the "before" of the next one.
    State m_recorded;
    bool m_restoring = false;
    bool m_batch = false;   // several rows removed as one step
    bool m_mergeBarrier = false;
    QLineEdit* m_name;
    QTableView* m_view;
    QString m_fileName;   // absolute; empty for a set list never saved
};

} // namespace mavrel
