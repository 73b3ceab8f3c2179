#include "documentmanager.h"

#include "setlistcommands.h"
#include "setlistwindow.h"

#include "edit/chartdocument.h"
#include "mainwindow.h"
#include "recovery.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QSettings>
#include <QUndoGroup>
#include <QUndoStack>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace mavrel {

namespace {

QPointer<DocumentManager> theManager;

// A file's name with links, "." and ".." resolved, as far as the file
// exists, and made absolute: two names of one file give the same path.
std::filesystem::path canonicalName(const QByteArray& fileName)
{
    std::error_code failed;
    std::filesystem::path path = std::filesystem::weakly_canonical(fileName.toStdString(), failed);
    if (failed)
        path = std::filesystem::absolute(fileName.toStdString(), failed).lexically_normal();
    return path;
}

} // namespace

DocumentManager* DocumentManager::instance()
{
    if (!theManager)
        theManager = new DocumentManager(QCoreApplication::instance());
    return theManager;
}

DocumentManager::DocumentManager(QObject* parent)
    : QObject(parent),
      m_clipboard(std::make_unique<Clipboard>()),
      m_undoGroup(new QUndoGroup(this)),
      m_qtDialogs(std::make_unique<QtUserDialogs>())
{
}

DocumentManager::~DocumentManager() = default;

ChartDocument* DocumentManager::addDocument(MainWindow* window)
{
    auto document = std::make_unique<ChartDocument>();
    m_undoGroup->addStack(document->undoStack());
    m_charts.push_back({std::move(document), window});
    if (m_recovery)
        m_recovery->watch(m_charts.back().document.get());
    return m_charts.back().document.get();
}

void DocumentManager::closeDocument(ChartDocument* document)
{
    const auto open = std::find_if(m_charts.begin(), m_charts.end(),
                                   [document](const OpenChart& c) { return c.document.get() == document; });
    if (open == m_charts.end())
        return;
    if (m_recovery)
        m_recovery->forget(document);
    // Its window is being destroyed: nothing it shows may hear of the chart again.
    document->undoStack()->disconnect();
    document->disconnect();
    m_charts.erase(open);
}

QList<MainWindow*> DocumentManager::windows() const
{
    QList<MainWindow*> windows;
    for (const OpenChart& c : m_charts)
        windows << c.window;
    return windows;
}

MainWindow* DocumentManager::windowShowing(const QByteArray& fileName) const
{
    if (fileName.isEmpty())
        return nullptr;
    const std::filesystem::path wanted = canonicalName(fileName);
    for (const OpenChart& c : m_charts)
        if (!c.document->fileName().isEmpty() && canonicalName(c.document->fileName()) == wanted)
            return c.window;
    return nullptr;
}

QList<MainWindow*> DocumentManager::openWindows(const QByteArrayList& charts)
{
    QList<MainWindow*> windows;
    const QByteArrayList files = charts.isEmpty() ? QByteArrayList{QByteArray()} : charts;
    bool shownAny = false;
    for (const QByteArray& file : files) {
        // A set list opens in its own window, beside the charts.
        if (isSetListName(file)) {
            shownAny |= SetListWindow::openSetList(QFile::decodeName(file)) != nullptr;
            continue;
        }
        std::error_code failed;
        const std::filesystem::path absolute = std::filesystem::absolute(file.toStdString(), failed);
        const QByteArray name = file.isEmpty() || failed ? file : QByteArray::fromStdString(absolute.string());
        if (MainWindow* shown = windowShowing(name)) {
            shown->bringToFront();
            shownAny = true;
            continue;
        }
        auto* window = new MainWindow;
        window->setAttribute(Qt::WA_DeleteOnClose);
        // Each window a step below the one before, so that none hides another.
        window->move(window->pos() + QPoint(30, 30) * int(windows.size()));
        window->show();
        if (!name.isEmpty())
            window->openLocalChart(name);
        windows << window;
    }
    // A set list that could not be read leaves the editor on a new chart.
    if (windows.isEmpty() && !shownAny)
        return openWindows({});
    return windows;
}

void DocumentManager::startAutosave(const QString& folder)
{
    m_recovery = std::make_unique<Recovery>(folder);
    for (const OpenChart& c : m_charts)
        m_recovery->watch(c.document.get());
}

void DocumentManager::stopAutosave()
{
    if (!m_recovery)
        return;
    for (const OpenChart& c : m_charts)
        m_recovery->forget(c.document.get());
    m_recovery.reset();
}

QList<MainWindow*> DocumentManager::recoverCharts()
{
    QList<MainWindow*> windows;
    if (!m_recovery)
        return windows;
    for (const Recovery::Orphan& orphan : m_recovery->orphans()) {
        const QString name = orphan.fileName.isEmpty() ? tr("Sans titre") : QFile::decodeName(orphan.fileName);
        const QMessageBox::StandardButton answer = dialogs().ask(
            windows.isEmpty() ? nullptr : windows.last(),
            tr("Mavrel ne s'est pas terminé normalement. La grille « %1 » avait des modifications non "
               "enregistrées : les récupérer ?")
                .arg(name),
            QMessageBox::Open | QMessageBox::Ignore);
        if (answer == QMessageBox::Open) {
            auto* window = new MainWindow;
            window->setAttribute(Qt::WA_DeleteOnClose);
            window->document().restore(*orphan.chart, orphan.fileName);
            window->show();
            windows << window;
            // The chart is this editor's now: its copy is written anew.
            m_recovery->discard(orphan);
        } else if (answer == QMessageBox::Ignore) {
            m_recovery->discard(orphan);
        }
        // Closing the question keeps the copy for the next start.
    }
    return windows;
}

QSettings& DocumentManager::settings()
{
    if (!m_settings)
        m_settings = std::make_unique<QSettings>(QStringLiteral("Mavrel"), QStringLiteral("Mavrel"));
    return *m_settings;
}

} // namespace mavrel
