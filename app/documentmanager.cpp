#include "documentmanager.h"

#include "edit/chartdocument.h"
#include "mainwindow.h"

#include <QCoreApplication>
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
    return m_charts.back().document.get();
}

void DocumentManager::closeDocument(ChartDocument* document)
{
    const auto open = std::find_if(m_charts.begin(), m_charts.end(),
                                   [document](const OpenChart& c) { return c.document.get() == document; });
    if (open == m_charts.end())
        return;
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
    for (const QByteArray& file : files) {
        std::error_code failed;
        const std::filesystem::path absolute = std::filesystem::absolute(file.toStdString(), failed);
        const QByteArray name = file.isEmpty() || failed ? file : QByteArray::fromStdString(absolute.string());
        if (MainWindow* shown = windowShowing(name)) {
            shown->bringToFront();
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
    return windows;
}

QSettings& DocumentManager::settings()
{
    if (!m_settings)
        m_settings = std::make_unique<QSettings>(QStringLiteral("Mavrel"), QStringLiteral("Mavrel"));
    return *m_settings;
}

} // namespace mavrel
