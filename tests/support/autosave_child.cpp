// An editor for the recovery test, run as a child process: it opens the chart
// named, changes it as a user would, then runs until it is killed.
// autosave_child RECOVERY-FOLDER CHART.bab
#include "app/documentmanager.h"
#include "app/mainwindow.h"
#include "app/recovery.h"
#include "edit/chartdocument.h"

#include <QApplication>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    mavrel::DocumentManager* manager = mavrel::DocumentManager::instance();
    manager->startAutosave(QString::fromLocal8Bit(argv[1]));
    manager->recovery()->setDelays(100, 60000);
    const QList<mavrel::MainWindow*> windows = manager->openWindows({QByteArray(argv[2])});
    windows.value(0)->document().cycleDivision(1);
    windows.value(0)->document().toggleShown(3);
    return app.exec();
}
