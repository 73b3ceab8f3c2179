// The editor in the desktop: its id and icon, the help document found where
// the program is, the documents it hands to other programs.
#include "app/desktop.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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

TEST(Desktop, HelpDocumentInTheLanguageBesideTheProgramElseInstalled)
{
    struct Row {
        const char* name;
        const char* language;
        bool beside, installed;
        const char* expected;
    };
    const Row rows[] = {
        {"build folder", "fr", true, false, "bin/Help.doc"},
        {"installed", "fr", false, true, "share/mavrel/Help.doc"},
        {"both", "fr", true, true, "bin/Help.doc"},
        {"neither", "fr", false, false, "share/mavrel/Help.doc"},
        {"English, build folder", "en", true, false, "bin/Help_en.doc"},
        {"English, installed", "en", false, true, "share/mavrel/Help_en.doc"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QTemporaryDir prefix;
        const QDir root(prefix.path());
        ASSERT_TRUE(root.mkpath("bin") && root.mkpath("share/mavrel"));
        for (const char* name : {"Help.doc", "Help_en.doc"}) {
            for (auto [wanted, folder] : {std::pair{r.beside, "bin/"}, {r.installed, "share/mavrel/"}}) {
                QFile f(root.filePath(QLatin1String(folder) + QLatin1String(name)));
                ASSERT_TRUE(!wanted || f.open(QIODevice::WriteOnly));
            }
        }
        EXPECT_EQ(helpDocumentPath(root.filePath("bin"), r.language).toStdString(),
                  root.filePath(r.expected).toStdString());
    }
}

// Whether this process has a child running `program`, or ended and not reaped.
bool hasChild(const QByteArray& program)
{
    const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat("/proc/" + pid + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold spaces and brackets.
        const QByteArray line = stat.readAll();
        const qsizetype open = line.indexOf('('), close = line.lastIndexOf(')');
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (fields.size() > 1 && fields[1] == self && line.mid(open + 1, close - open - 1) == program)
            return true;
    }
    return false;
}

// "Help" hands its document to xdg-open: when nothing can open it that is
// said, and the opener never lingers as a dead child.
TEST(Desktop, TheDocumentOpenerSaysWhenNothingOpensItAndIsReaped)
{
    struct Row {
        const char* what;
        const char* exit;   // how the opener ends; null: there is none
        bool failed;
    };
    const Row rows[] = {
        {"opened", "exit 0", false},
        {"no program for it", "exit 3", true},
        {"no xdg-open", nullptr, true},
    };
    const QByteArray path = qgetenv("PATH");
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        QTemporaryDir bin;
        const QString said = bin.filePath("said");
        if (r.exit) {
            QFile opener(bin.filePath("xdg-open"));
            ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
            opener.write("#!/bin/sh\necho \"$1\" > \"${0%/*}/said\"\n" + QByteArray(r.exit) + "\n");
            opener.close();
            opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", QFile::encodeName(bin.path()));
        QObject receiver;
        bool failed = false;
        openDocument("/usr/share/mavrel/Help.doc", &receiver, [&] { failed = true; });
        qputenv("PATH", path);
        if (r.exit) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(said); }, 10000));
            EXPECT_TRUE(QTest::qWaitFor([&] { return !hasChild("xdg-open"); }, 10000)) << "a dead child is left";
            QFile f(said);
            EXPECT_TRUE(f.open(QIODevice::ReadOnly) && f.readAll() == "/usr/share/mavrel/Help.doc\n");
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return failed == r.failed; }, 2000));
        QTest::qWait(r.failed ? 0 : 200);
        EXPECT_EQ(failed, r.failed);
    }
}

} // namespace
} // namespace mavrel
