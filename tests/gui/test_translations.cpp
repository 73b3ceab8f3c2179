// The editor speaks the user's language: English where the locale asks for
// it, French otherwise.
#include "app/desktop.h"
#include "app/mainwindow.h"

#include <QCoreApplication>
#include <QMenuBar>
#include <QProcess>
#include <QTranslator>

#include <gtest/gtest.h>

namespace mavrel {
namespace {

constexpr char ExpectedMenus[] = "MAVREL_EXPECTED_MENUS";

// The system locale is read once per process: each locale gets a process of
// its own, this test started again under it, which builds the window as the
// editor starts it.
TEST(Translations, TheMenusFollowTheLocale)
{
    if (qEnvironmentVariableIsSet(ExpectedMenus)) {
        const QList<QTranslator*> translators = installTranslators();
        {
            MainWindow window;
            QStringList menus;
            for (const QAction* menu : window.menuBar()->actions())
                menus << QString(menu->text()).remove(QLatin1Char('&'));   // the mnemonics aside
            EXPECT_EQ(menus.join(QLatin1Char('|')).toStdString(), qgetenv(ExpectedMenus).toStdString());
        }
        qDeleteAll(translators);
        return;
    }

    const QString french = QStringLiteral("Fichier|Édition|Affichage|Mesure|Fonctions|Lecture|Aide");
    const std::pair<const char*, QString> rows[] = {
        {"en_US.UTF-8", QStringLiteral("File|Edit|View|Bar|Functions|Play|Help")},
        {"fr_FR.UTF-8", french},
        {"C.UTF-8", french},
        {"de_DE.UTF-8", french},
    };
    for (const auto& [locale, menus] : rows) {
        SCOPED_TRACE(locale);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
            env.remove(QLatin1String(variable));
        env.insert(QStringLiteral("LANG"), QLatin1String(locale));
        env.insert(QLatin1String(ExpectedMenus), menus);
        QProcess p;
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        p.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAll().toStdString();
    }
}

} // namespace
} // namespace mavrel
