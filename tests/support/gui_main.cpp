// Test runner for everything that needs a Qt application: it always runs on
// the offscreen platform, so no display is needed.
#include <gtest/gtest.h>

#ifdef MAVREL_GUI_TESTS
#include <QApplication>
#include <QStandardPaths>
using App = QApplication;
#else
#include <QGuiApplication>
using App = QGuiApplication;
#endif

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    App app(argc, argv);
#ifdef MAVREL_GUI_TESTS
    // Settings the tests write never reach the user's own.
    QStandardPaths::setTestModeEnabled(true);
#endif
    return RUN_ALL_TESTS();
}
