#include "desktop.h"

#include "mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>

#include <filesystem>
#include <system_error>

namespace mavrel {

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Mavrel"));
    QApplication::setApplicationVersion(QStringLiteral(MAVREL_VERSION));
    // Wayland compositors find the entry, and so the icon, by this name.
    QGuiApplication::setDesktopFileName(QLatin1String(ApplicationId));
    QIcon icon;
    for (int size : {16, 32, 48, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/%2.png").arg(size).arg(QLatin1String(ApplicationId)));
    QApplication::setWindowIcon(icon);
}

QString helpDocumentPath(const QString& programDir)
{
    const QDir dir(programDir);
    const QString beside = dir.filePath(QStringLiteral("Help.doc"));
    if (QFile::exists(beside))
        return beside;
    return QDir::cleanPath(dir.filePath(QStringLiteral(MAVREL_DATA_FROM_PROGRAM "/Help.doc")));
}

namespace {
// A chart named on the command line, as the system's bytes made absolute.
QByteArray absoluteName(const QByteArray& name)
{
    std::error_code failed;
    const std::filesystem::path path = std::filesystem::absolute(name.toStdString(), failed);
    return failed ? name : QByteArray::fromStdString(path.string());
}
} // namespace

QList<MainWindow*> openEditorWindows(const QByteArrayList& charts)
{
    QList<MainWindow*> windows;
    const QByteArrayList files = charts.isEmpty() ? QByteArrayList{QByteArray()} : charts;
    for (const QByteArray& file : files) {
        auto* window = new MainWindow;
        window->setAttribute(Qt::WA_DeleteOnClose);
        // Each window a step below the one before, so that none hides another.
        window->move(window->pos() + QPoint(30, 30) * int(windows.size()));
        window->show();
        if (!file.isEmpty())
            window->openLocalChart(absoluteName(file));
        windows << window;
    }
    return windows;
}

} // namespace mavrel
