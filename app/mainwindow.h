// The main window: the menus, the tool bar and the status bar around the
// chart editor, for one chart of the document manager. Split by menu:
// mainwindow.cpp (building the window), mainwindow_toolbar.cpp (the tool
// bar), mainwindow_file.cpp (the menus, "Fichier" and "Aide"),
// mainwindow_import.cpp (charts in and out of other formats),
// mainwindow_edit.cpp ("Édition", "Affichage" and "Fonctions"),
// mainwindow_song.cpp (the song dialog and the "Mesure" menu).
#pragma once

#include "document/chart.h"
#include "dialogs/shortcutsdialog.h"
#include "document/editing.h"
#include "pagetools.h"

#include <QMainWindow>
#include <QMessageBox>

#include <functional>
#include <vector>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFileSystemWatcher;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolBar;
class QTimer;
class QToolButton;

namespace mavrel {

class AboutDialog;
class BarMarksMenu;
class ChartDocument;
class ChartEditor;
class ChordDialog;
class PrintPreview;
class ShortcutsDialog;
class SongDialog;
class SpinArrows;
class TransposeDialog;
class Transport;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // A window on a new chart, which the document manager keeps while the
    // window lives.
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Opens a chart as "Ouvrir" does, after asking about unsaved changes;
    // false when it is not opened (its message shown, or the user cancelled).
    // A chart open in another window brings that window forward instead.
    // openChart takes a name as a file dialog gives it, openLocalChart the
    // system's bytes.
    bool openChart(const QString& path);
    bool openLocalChart(const QByteArray& path);
    // Shows the window above the others, restored if it was minimised.
    void bringToFront();

    ChartDocument& document() const { return *m_document; }
    ChartEditor* editor() const { return m_editor; }
    const Chart& chart() const;
    const Selection& selection() const;
    PrintPreview* printPreview() const { return m_printPreview; }
    TransposeDialog* transposeDialog() const { return m_transposeDialog; }
    AboutDialog* about() const { return m_aboutDialog; }
    SongDialog* songDialog() const { return m_songDialog; }
    BarMarksMenu* barMenu() const { return m_barMenu; }
    Transport* transport() const { return m_transport; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    // Menus.
    void newFile();
    void open();
    bool save();
    bool saveAs();
    void importCharts();
    void exportChart();
    void showPrintPreview();
    void undo();
    void redo();
    void copy();
    void paste();
    void clearSelectedBars();
    void showTransposeDialog();
    void showSongDialog();
    void showHelp();
    void showShortcuts();
    void showAbout();

private:
    void buildToolBar();
    void buildMenus();
    // What the window remembers and proposes (mainwindow_habits.cpp).
    void buildRecentFilesMenu(QMenu* file);
    void restoreHabits();
    void rememberHabits();
    // Sized to show the whole page, where the screen allows.
    void fitPage();
    // The name "Enregistrer sous" starts on: the chart's file, else its
    // title in the last folder.
    QString proposedFileName() const;
    // The chart's file watched for changes by other programs (mainwindow_watch.cpp).
    void setUpFileWatch();
    void watchFile();
    void checkFileOnDisk();

    // The song and the marks of its bars.
    void setUpSong();
    void buildBarMenu();
    void changeMarks(const QString& step, const std::function<void(BarMarks&)>& change);
    void askSectionName();
    // The context-menu key, or Shift+F10: the "Mesure" menu over the page.
    void barMenuKey();

    // Brings the tool bar in line with the chart.
    void syncToolBar();
    void setSizeComboTo(int size);
    // The grid both boxes show, typed: to the chart, or back to the chart's.
    void applyTypedGrid();
    // The keys the tool bar's boxes take: true when the event is handled.
    bool toolBarKey(QObject* watched, QEvent* event);
    void updateTitle();
    // Every key of the window, from its menus and tools.
    QList<ShortcutsDialog::Entry> shortcutEntries() const;
    void showMessage(const QString& text);
    void showStatus(const QString& text, int timeout = 8000);
    QMessageBox::StandardButton ask(const QString& question, QMessageBox::StandardButtons buttons);
    // True when the chart may be replaced: it has no unsaved changes, or the
    // user saved them or chose to lose them.
    bool maybeSave();
    bool saveTo(const QByteArray& fileName);

    ChartDocument* m_document;   // the document manager's
    ChartEditor* m_editor = nullptr;

    // Tool bar.
    QToolBar* m_toolBar = nullptr;
    QPushButton* m_turnButton = nullptr;
    QLineEdit* m_columnsBox = nullptr;
    SpinArrows* m_columnsSpin = nullptr;
    QLineEdit* m_rowsBox = nullptr;
    SpinArrows* m_rowsSpin = nullptr;
    QButtonGroup* m_toolGroup = nullptr;
    QList<QAction*> m_toolActions;   // a key for each tool
    QComboBox* m_sizeCombo = nullptr;
    QComboBox* m_zoomCombo = nullptr;
    QComboBox* m_chordStyleCombo = nullptr;
    QCheckBox* m_autoSizeCheck = nullptr;
    QToolButton* m_boldButton = nullptr;
    QToolButton* m_pageLayoutButton = nullptr;

    QMenu* m_recentFilesMenu = nullptr;
    QFileSystemWatcher* m_fileWatcher = nullptr;
    QTimer* m_fileCheck = nullptr;
    QByteArray m_fileOnDisk;   // the file as the chart last read or wrote it
    bool m_askingAboutFile = false;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    QAction* m_barMenuKey = nullptr;

    PrintPreview* m_printPreview = nullptr;
    TransposeDialog* m_transposeDialog = nullptr;
    AboutDialog* m_aboutDialog = nullptr;
    ShortcutsDialog* m_shortcutsDialog = nullptr;
    SongDialog* m_songDialog = nullptr;
    BarMarksMenu* m_barMenu = nullptr;
    Transport* m_transport = nullptr;
};

} // namespace mavrel
