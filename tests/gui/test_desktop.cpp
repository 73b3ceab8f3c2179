// The editor in the desktop: its id and icon.
#include "app/desktop.h"

#include <QApplication>
#include <QFile>
#include <QIcon>

#include <gtest/gtest.h>

namespace mavrel {
namespace {

TEST(Desktop, TheIdNamesTheDesktopEntryAndTheIconHasEverySize)
{
    setUpApplication();
    const QString entry = QGuiApplication::desktopFileName() + ".desktop";
    EXPECT_TRUE(QFile::exists(MAVREL_SOURCE_DIR "/desktop/" + entry)) << entry.toStdString();
    const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    EXPECT_EQ(sizes, (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {128, 128}, {256, 256}}));
}

} // namespace
} // namespace mavrel
