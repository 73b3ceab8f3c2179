#include "cli.h"
#include "mainwindow.h"
#include "toolicons.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const mavrel::Command command = mavrel::parseCommandLine(args);

    if (command.kind != mavrel::Command::Editor) {
        // Commands that write files need no display, nor a session.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            const QByteArray dir = QDir::tempPath().toLocal8Bit() + "/mavrel-runtime-" + QByteArray::number(getuid());
            QDir().mkpath(QString::fromLocal8Bit(dir));
            QFile::setPermissions(QString::fromLocal8Bit(dir), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            qputenv("XDG_RUNTIME_DIR", dir);
        }
        QApplication app(argc, argv);
        return mavrel::runCommand(command);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mavrel"));
    QApplication::setWindowIcon(mavrel::toolIcon(mavrel::ToolIcon::Chord));
    mavrel::MainWindow window;
    if (!command.charts.isEmpty())
        window.openChart(QFileInfo(command.charts.first()).absoluteFilePath());
    window.show();
    return app.exec();
}
