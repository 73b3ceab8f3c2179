// Autosave and recovery: while a chart has unsaved changes, a copy of it is
// kept in a private folder, so that a crash or a killed editor loses at most
// the last few seconds of work. Each running editor keeps its copies in a
// session folder of its own, locked while it runs: the copies of a session
// whose lock is free were left by an editor that did not end normally, and
// are the ones offered back at the next start. The user's own files are
// never written here.
#pragma once

#include "document/chart.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class QLockFile;
class QTimer;

namespace mavrel {

class ChartDocument;

class Recovery : public QObject {
    Q_OBJECT
public:
    // The copies go to a new session folder under `folder`, made and locked
    // here.
    explicit Recovery(const QString& folder, QObject* parent = nullptr);
    // Removes the session folder unless a chart is still kept in it.
    ~Recovery() override;

    // "recovery" in the application's private data folder.
    static QString defaultFolder();

    // A copy of the chart is written a few seconds after its last change and
    // at every interval while it has unsaved changes; it is removed once the
    // chart is saved, reverted or closed.
    void watch(ChartDocument* document);
    void forget(ChartDocument* document);
    // Writes the copy of every chart changed since its last copy.
    void saveChanged();
    // The file holding the chart's copy; empty while it has none.
    QString copyOf(ChartDocument* document) const;
    QString sessionFolder() const { return m_session; }

    // How long after the last change a copy is written, and how often while
    // changes go on, in milliseconds.
    void setDelays(int afterChange, int interval);

    // A chart left by an editor that is no longer running.
    struct Orphan {
        QString copy;           // the recovery file
        QByteArray fileName;    // where the chart belongs; empty when untitled
        std::shared_ptr<Chart> chart;
    };
    // The charts of every session whose editor has ended without removing
    // them: their sessions are taken over (locked) so that no other editor
    // offers them too. Unreadable copies are left where they are.
    std::vector<Orphan> orphans();
    // Removes an orphan's copy, and its session once nothing is left in it.
    void discard(const Orphan& orphan);

    // The bytes of a recovery file, and back: false when they are not one.
    static QByteArray encode(const Chart& chart, const QByteArray& fileName);
    static bool decode(const QByteArray& bytes, Chart& chart, QByteArray& fileName);

private:
    void schedule(ChartDocument* document);
    void write(ChartDocument* document);
    void remove(ChartDocument* document);

    struct Watched {
        QString copy;        // the file's name in the session folder
        bool pending = false;
    };
    QString m_folder;
    QString m_session;
    std::unique_ptr<QLockFile> m_lock;
    QHash<ChartDocument*, Watched> m_watched;
    int m_next = 1;
    QTimer* m_afterChange;
    QTimer* m_interval;
    // The sessions taken over from ended editors, until their orphans are dealt with.
    std::vector<std::unique_ptr<QLockFile>> m_adopted;
};

} // namespace mavrel
