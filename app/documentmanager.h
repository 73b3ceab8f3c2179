// The open charts and what their windows share, one for the whole
// application: each chart with the window that shows it, their histories in
// one undo group, the bar clipboard, the settings, and the questions and file
// choosers put to the user. A chart is open in one window only: opening it
// again brings that window forward.
#pragma once

#include "document/editing.h"
#include "userdialogs.h"
#include "render/chordtype.h"

#include <QByteArrayList>
#include <QList>
#include <QObject>

#include <memory>
#include <vector>

class QSettings;
class QUndoGroup;

namespace mavrel {

class ChartDocument;
class MainWindow;
class Recovery;

class DocumentManager : public QObject {
    Q_OBJECT
public:
    // The application's manager, made on first use; it goes with the application.
    static DocumentManager* instance();

    // A new chart for a window that is being made; it is closed with the
    // window, by closeDocument().
    ChartDocument* addDocument(MainWindow* window);
    void closeDocument(ChartDocument* document);
    QList<MainWindow*> windows() const;
    // The window whose chart is that file, under whatever name it was opened
    // (a link, "..", another spelling of the same path); nullptr when none.
    // Names are the system's bytes.
    MainWindow* windowShowing(const QByteArray& fileName) const;

    // Opens the editor as `mavrel [CHART.bab...]` does: each chart in a main
    // window of its own, shown, or one window on a new chart without any. A
    // chart already open, or named twice, brings its window forward instead.
    // A chart that cannot be read shows its message over its window, which
    // stays on a new chart. A set list (".setlist") opens in a set list
    // window instead. The windows delete themselves when closed.
    QList<MainWindow*> openWindows(const QByteArrayList& charts);

    // Keeps a copy of every chart with unsaved changes in that folder, from
    // now on (the program's is Recovery::defaultFolder()); stopAutosave()
    // ends it and removes the copies.
    void startAutosave(const QString& folder);
    void stopAutosave();
    Recovery* recovery() const { return m_recovery.get(); }
    // Offers back, one by one, each chart that an editor which did not end
    // normally left unsaved: "Récupérer" opens it in a window of its own,
    // marked changed, under its own file name (nothing is written there);
    // "Ignorer" removes the copy. The windows opened.
    QList<MainWindow*> recoverCharts();

    // The bars copied in any window, to be pasted in any other.
    Clipboard& clipboard() { return *m_clipboard; }
    // Every chart's history; the active window's is the active one.
    QUndoGroup* undoGroup() const { return m_undoGroup; }
    // What the editor keeps from one run to the next.
    QSettings& settings();
    // The files last opened or saved, the latest first, at most
    // MaxRecentFiles, those that no longer exist left out. Any file may be
    // listed, not only charts.
    static constexpr int MaxRecentFiles = 10;
    QStringList recentFiles();
    void addRecentFile(const QString& fileName);
    void clearRecentFiles();
    // The folder the last file was chosen in, where the file choosers start.
    QString lastFolder();
    void setLastFolder(const QString& folder);
    // The folders whose charts "Bibliothèque" lists, in the order added.
    QStringList libraryFolders();
    void setLibraryFolders(const QStringList& folders);
    // The Jazz style's symbols as "Préférences…" last chose them: taken for
    // every page at start, kept when chosen again.
    void restoreChordSymbols();
    void saveChordSymbols(const ChordSymbols& symbols);

    UserDialogs& dialogs() const { return m_dialogs ? *m_dialogs : *m_qtDialogs; }
    // Puts other dialogs in the place of Qt's (the tests' scripted answers);
    // nullptr gives Qt's back. The caller keeps them alive meanwhile.
    void setDialogs(UserDialogs* dialogs) { m_dialogs = dialogs; }

signals:
    void recentFilesChanged();

private:
    explicit DocumentManager(QObject* parent);
    ~DocumentManager() override;

    struct OpenChart {
        std::unique_ptr<ChartDocument> document;
        MainWindow* window;
    };
    std::vector<OpenChart> m_charts;
    std::unique_ptr<Clipboard> m_clipboard;
    QUndoGroup* m_undoGroup;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<Recovery> m_recovery;
    std::unique_ptr<UserDialogs> m_qtDialogs;
    UserDialogs* m_dialogs = nullptr;
};

} // namespace mavrel
