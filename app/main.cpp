#include "cli.h"
#include "desktop.h"
#include "documentmanager.h"
#include "recovery.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

// Qt warns on every run of a command started where no session gave a runtime
// folder (cron, ssh, a container). Such a run gets a private one, made fresh
// (0700, ours by construction: mkdtemp never takes an existing name) and
// removed once the command is done, never a guessable shared one.
class PrivateRuntimeFolder {
public:
    PrivateRuntimeFolder()
    {
        if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
            return;
        QByteArray pattern = QFile::encodeName(QDir::tempPath()) + "/mavrel-runtime-XXXXXX";
        if (::mkdtemp(pattern.data())) {
            m_path = pattern;
            qputenv("XDG_RUNTIME_DIR", m_path);
        }
    }
    ~PrivateRuntimeFolder()
    {
        if (!m_path.isEmpty()) {
            std::error_code ignored;
            std::filesystem::remove_all(m_path.toStdString(), ignored);
        }
    }
    PrivateRuntimeFolder(const PrivateRuntimeFolder&) = delete;
    PrivateRuntimeFolder& operator=(const PrivateRuntimeFolder&) = delete;

private:
    QByteArray m_path;
};

} // namespace

int main(int argc, char** argv)
{
    QByteArrayList args;
    for (int i = 1; i < argc; ++i)
        args << QByteArray(argv[i]);
    const mavrel::Command command = mavrel::parseCommandLine(args);

    if (command.kind != mavrel::Command::Editor) {
        // Commands that write files need no display, nor a session.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        const PrivateRuntimeFolder runtime;
        // The command's arguments are read already: Qt must not take any
        // for itself ("--style swing" would set the widgets' style).
        int qtArgc = 1;
        // Exports and the player draw nothing: they go without the
        // platform's windows and fonts, and start faster.
        if (command.kind == mavrel::Command::Export || command.kind == mavrel::Command::Play) {
            QCoreApplication app(qtArgc, argv);
            mavrel::installTranslators();
            return mavrel::runCommand(command);
        }
        QApplication app(qtArgc, argv);
        mavrel::installTranslators();
        return mavrel::runCommand(command);
    }

    QApplication app(argc, argv);
    mavrel::installTranslators();
    mavrel::setUpApplication();
    mavrel::DocumentManager* manager = mavrel::DocumentManager::instance();
    manager->restoreChordSymbols();
    manager->startAutosave(mavrel::Recovery::defaultFolder());
    // Charts recovered from a crash stand for the new chart of a start
    // without any named.
    const QList<mavrel::MainWindow*> recovered = manager->recoverCharts();
    if (recovered.isEmpty() || !command.charts.isEmpty())
        manager->openWindows(command.charts);
    return app.exec();
}
