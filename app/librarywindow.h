// "Bibliothèque": the charts of the folders the user added, in a table that
// sorts by any column and narrows as the user types. Double-click or Enter
// opens the chart, or brings its window forward when it is already open.
// "Vignettes" shows the same charts as pictures of their pages. "Dossiers"
// lists the folders read and takes one out; the line under the charts counts
// them, and says when they are still being read.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTableView;

namespace mavrel {

class LibraryModel;
class LibraryFilter;

class LibraryWindow : public QWidget {
    Q_OBJECT
public:
    explicit LibraryWindow(QWidget* parent = nullptr);

    // The application's library window, made on first use, shown and brought
    // forward. It deletes itself when closed.
    static LibraryWindow* showLibrary();

    LibraryModel* model() const { return m_model; }
    QTableView* view() const { return m_view; }
    QListView* thumbnails() const { return m_thumbnails; }
    bool showsThumbnails() const;

    // Asks for a folder and adds its charts; the folders are remembered for
    // the next start.
    void addFolder();
    // Takes the folder out of the library, for now and the next start; its
    // files stay where they are.
    void removeFolder(const QString& folder);
    void openChart(const QModelIndex& index);
    // "Nouvelle liste": a set list window holding the charts chosen, in the
    // order shown.
    void newSetListOfSelection();
    // "Recueil…": the songbook dialog on the charts chosen, else on every
    // chart shown.
    void showSongbook();
    // The charts chosen, in the order shown; with `orShown`, every chart the
    // list shows when none is chosen.
    QStringList selectedCharts(bool orShown) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The window as the user last left it: its place and size, the columns'
    // widths and sorting, and whether the thumbnails show.
    void restoreHabits();
    void rememberHabits();
    // "Dossiers": the library's folders, each with "Retirer".
    void fillFoldersMenu();
    void updateStatus();

    LibraryModel* m_model;
    LibraryFilter* m_filter;
    QLineEdit* m_search;
    QTableView* m_view;
    QListView* m_thumbnails;
    QStackedWidget* m_views;
    QPushButton* m_showThumbnails;
    QMenu* m_foldersMenu;
    QLabel* m_status;
};

} // namespace mavrel
