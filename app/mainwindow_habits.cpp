// What a window remembers and proposes: the recent files, its size and place,
// its zoom, the folder and the name a file chooser starts on.
#include "mainwindow.h"

#include "charteditor.h"
#include "document/ireal.h"
#include "document/leadsheet.h"
#include "documentmanager.h"
#include "edit/chartdocument.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTimer>

namespace mavrel {

namespace {
const QString GeometryKey = QStringLiteral("window/geometry");
const QString ZoomKey = QStringLiteral("view/zoom");
} // namespace

void MainWindow::buildRecentFilesMenu(QMenu* file)
{
    m_recentFilesMenu = file->addMenu(tr("Fichiers &récents"));
    m_recentFilesMenu->setObjectName(QStringLiteral("recentFilesMenu"));
    m_recentFilesMenu->menuAction()->setObjectName(QStringLiteral("recentFilesAction"));
    DocumentManager* manager = DocumentManager::instance();
    auto fill = [this, manager] {
        m_recentFilesMenu->clear();
        const QStringList files = manager->recentFiles();
        for (int i = 0; i < files.size(); ++i) {
            // "&1" to "&9", then "1&0": a key for each.
            const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
            QAction* a = m_recentFilesMenu->addAction(
                QStringLiteral("%1  %2").arg(number, QDir::toNativeSeparators(files[i]).replace('&', "&&")));
            const QString name = files[i];
            connect(a, &QAction::triggered, this, [this, name] { openChart(name); });
        }
        m_recentFilesMenu->addSeparator();
        QAction* clear = m_recentFilesMenu->addAction(tr("&Effacer la liste"));
        clear->setObjectName(QStringLiteral("clearRecentFilesAction"));
        clear->setEnabled(!files.isEmpty());
        connect(clear, &QAction::triggered, manager, &DocumentManager::clearRecentFiles);
        m_recentFilesMenu->setEnabled(!files.isEmpty());
    };
    // Listed afresh each time, so that a file removed meanwhile is not offered.
    connect(m_recentFilesMenu, &QMenu::aboutToShow, this, fill);
    connect(manager, &DocumentManager::recentFilesChanged, this, fill);
    fill();
    connect(m_document, &ChartDocument::fileNameChanged, this, [this] {
        if (!m_document->fileName().isEmpty())
            DocumentManager::instance()->addRecentFile(QFile::decodeName(m_document->fileName()));
    });
}

void MainWindow::restoreHabits()
{
    QSettings& settings = DocumentManager::instance()->settings();
    if (const int zoom = settings.value(ZoomKey).toInt(); zoom > 0)
        m_editor->setZoom(zoom);
    connect(m_editor, &ChartEditor::zoomChanged, this,
            [](int zoom) { DocumentManager::instance()->settings().setValue(ZoomKey, zoom); });
    if (restoreGeometry(settings.value(GeometryKey).toByteArray()))
        return;
    // Once shown, when the page view's size is known.
    QTimer::singleShot(0, this, &MainWindow::fitPage);
}

void MainWindow::rememberHabits()
{
    DocumentManager::instance()->settings().setValue(GeometryKey, saveGeometry());
}

void MainWindow::fitPage()
{
    // The window grows by what the page view lacks to show the whole page,
    // within the screen's free area.
    const QScreen* screen = this->screen();
    auto* scroll = m_editor->findChild<QScrollArea*>();
    if (!screen || !scroll || !scroll->widget() || !isVisible())
        return;
    const QSize lacking = scroll->widget()->size() - scroll->viewport()->size();
    const QRect available = screen->availableGeometry();
    // The frame the window manager adds is not known before the window is
    // shown. The window stays where it is (windows opened together keep
    // their steps) and grows as far as the screen goes from there.
    const QSize frame(16, 48);
    const QSize room(available.right() - x() - frame.width(), available.bottom() - y() - frame.height());
    // Never smaller than it starts: its tool bar needs the width.
    resize((size() + lacking.expandedTo({0, 0})).boundedTo(room).expandedTo(size()));
}

QString MainWindow::proposedFileName() const
{
    if (!m_document->fileName().isEmpty())
        return QFile::decodeName(m_document->fileName());
    std::string title = chart().song.title.str();
    if (title.empty())
        title = leadsheet::read(chart()).title;
    const QDir folder(DocumentManager::instance()->lastFolder());
    if (title.empty())
        return folder.path();
    return folder.filePath(QString::fromStdString(ireal::chartFileName(title)));
}

} // namespace mavrel
