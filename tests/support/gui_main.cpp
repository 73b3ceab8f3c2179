// Test runner for everything that needs a Qt application: it always runs on
// the offscreen platform, so no display is needed.
#include <gtest/gtest.h>

#ifdef MAVREL_GUI_TESTS
#include <QApplication>
#include <QTemporaryDir>
using App = QApplication;
#else
#include <QGuiApplication>
using App = QGuiApplication;
#endif

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef MAVREL_GUI_TESTS
    // The editor's settings, recovery copies and caches of the tests never reach the user's.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (home.path() + "/cache").toLocal8Bit());
#endif
    ::testing::InitGoogleTest(&argc, argv);
    App app(argc, argv);
    return RUN_ALL_TESTS();
}
