// `mavrel import` and `mavrel export` as a user runs them: the built
// executable, real files, the statuses and messages.
#include "app/mainwindow.h"
#include "edit/chartdocument.h"
#include "scripteddialogs.h"
#include "document/win1252.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QXmlStreamReader>
#include <QAction>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace mavrel {
namespace {

struct Outcome {
    int status = -1;
    QString out, err;
};

class ImportExport : public ::testing::Test {
protected:
    QTemporaryDir dir;
    const QString playlist = QStringLiteral(MAVREL_SOURCE_DIR "/tests/data/ireal/jazz-combo.html");

    QString path(const QString& name) const { return dir.filePath(name); }

    Outcome run(const QStringList& args)
    {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(MAVREL_EXE), args);
        EXPECT_TRUE(p.waitForFinished(30000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }
    QStringList charts(const QString& folder) const
    {
        return QDir(path(folder)).entryList({QStringLiteral("*.bab")}, QDir::Files, QDir::Name);
    }
};

TEST_F(ImportExport, APlaylistBecomesAChartPerSongNamedFromItsTitle)
{
    ASSERT_EQ(run({"import", playlist, "-o", "charts"}).status, 0);
    const QStringList first = charts("charts");
    EXPECT_EQ(first.size(), 6);
    EXPECT_TRUE(first.contains("The Girl From Ipanema.bab")) << first.join(", ").toStdString();

    // Again: nothing is overwritten, the new charts take numbered names...
    const QByteArray before = [&] {
        QFile f(path("charts/Bolivia.bab"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    QFile::resize(path("charts/Bolivia.bab"), 200);
    ASSERT_EQ(run({"import", playlist, "-o", "charts"}).status, 0);
    EXPECT_EQ(charts("charts").size(), 12);
    EXPECT_TRUE(charts("charts").contains("Bolivia (2).bab"));
    EXPECT_EQ(QFile(path("charts/Bolivia.bab")).size(), 200);
    // ...unless asked to replace them.
    ASSERT_EQ(run({"import", "--force", playlist, "-o", "charts"}).status, 0);
    EXPECT_EQ(charts("charts").size(), 12);
    EXPECT_EQ(QFile(path("charts/Bolivia.bab")).size(), before.size());
}

// What the output folder holds under a song's name is never written through:
// a link is numbered past, or with --force replaced itself; a pipe is
// numbered past either way, and nothing waits on it.
TEST_F(ImportExport, ImportNeverWritesThroughWhatTheFolderHolds)
{
    const QString link = QStringLiteral("irealb://Ok=C==S=C==1r34LbKcu7[C]==0=0");
    ASSERT_TRUE(QDir(dir.path()).mkdir("out"));
    QFile outside(path("outside.bab"));
    ASSERT_TRUE(outside.open(QIODevice::WriteOnly) && outside.write("mine") == 4);
    outside.close();
    ASSERT_TRUE(QFile::link("../outside.bab", path("out/Ok.bab")));
    ASSERT_TRUE(QFile::link("../created.bab", path("out/Ok (2).bab")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("out/Ok (3).bab")).constData(), 0600), 0);

    Outcome r = run({"import", link, "-o", "out"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "out/Ok (4).bab\n");
    r = run({"import", "--force", link, "-o", "out"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "out/Ok.bab\n");
    EXPECT_FALSE(QFileInfo(path("out/Ok.bab")).isSymLink());
    EXPECT_EQ(QFileInfo(path("out/Ok.bab")).size(), QFileInfo(path("out/Ok (4).bab")).size());

    ASSERT_TRUE(outside.open(QIODevice::ReadOnly));
    EXPECT_EQ(outside.readAll(), "mine");
    EXPECT_FALSE(QFile::exists(path("created.bab")));
    EXPECT_TRUE(QFileInfo(path("out/Ok (2).bab")).isSymLink());
}

// Links are read up to what a playlist ever holds, from a file of any kind.
TEST_F(ImportExport, EndlessLinksAreRefusedAtTheLimit)
{
    const Outcome r = run({"import", "/dev/zero", "-o", "out"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("/dev/zero : Fichier trop grand pour une liste de morceaux.")) << r.err.toStdString();
}

TEST_F(ImportExport, ADamagedSongIsNamedAndTheOthersAreImported)
{
    const QString links = QStringLiteral(
        "irealb://Ok=C==S=C==1r34LbKcu7[C]==0=0===Bad%G1=C==S=C==1r34LbKcu7[C]==0=0===");
    const Outcome r = run({"import", links, "-o", "two"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(charts("two"), QStringList{"Ok.bab"});
    EXPECT_TRUE(r.err.contains(QStringLiteral("1 chanson n'a pas été importée"))) << r.err.toStdString();

    EXPECT_EQ(run({"import", "absent.html", "-o", "none"}).status, 1);
    EXPECT_EQ(run({"import", playlist}).status, 2);
}

TEST_F(ImportExport, ExportWritesTheFormatItsExtensionNames)
{
    const QString chart = QStringLiteral(MAVREL_SOURCE_DIR "/docs/example.bab");
    ASSERT_EQ(run({"export", chart, "-o", "song.musicxml"}).status, 0);
    QFile xml(path("song.musicxml"));
    ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
    QXmlStreamReader reader(&xml);
    int harmonies = 0;
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == QLatin1String("harmony"))
            ++harmonies;
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    EXPECT_GT(harmonies, 20);

    ASSERT_EQ(run({"export", chart, "-o", "song.ly"}).status, 0);
    ASSERT_EQ(run({"export", chart, "-o", "song.txt"}).status, 0);
    QFile link(path("song.txt"));
    ASSERT_TRUE(link.open(QIODevice::ReadOnly));
    EXPECT_TRUE(link.readAll().startsWith("irealb://"));

    const Outcome refused = run({"export", chart, "-o", "song.pdf"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_FALSE(QFile::exists(path("song.pdf")));
    EXPECT_EQ(run({"export", "absent.bab", "-o", "x.ly"}).status, 1);
}

// The editor's "Importer..." opens the song chosen from a playlist, or writes
// them all to a folder; "Exporter..." writes the format chosen, its extension
// added to a name typed without one.
TEST_F(ImportExport, TheFileMenuImportsAndExports)
{
    test::ScriptedDialogs dialogs;
    MainWindow window;
    QStringList offered;
    int answer = 2;
    dialogs.openAnswer(playlist);
    dialogs.song = [&](const QStringList& titles) {
        offered = titles;
        return answer;
    };
    window.findChild<QAction*>("importAction")->trigger();
    ASSERT_EQ(offered.size(), 6);
    bool titled = false;
    for (int j = 1; j <= window.chart().info.labelCount; ++j)
        titled |= win1252::toUtf8(window.chart().label(j).text.view()) == offered[2].toStdString();
    EXPECT_TRUE(titled) << offered[2].toStdString();
    EXPECT_TRUE(window.document().isModified());   // a chart that lives nowhere yet

    dialogs.saveAnswer(path("exported"));
    dialogs.chosenFilter = "Grille LilyPond (*.ly)";
    window.findChild<QAction*>("exportAction")->trigger();
    QFile ly(path("exported.ly"));
    ASSERT_TRUE(ly.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ly.readAll().contains("ChordGrid"));
    // The band's file, through the same menu item.
    dialogs.saveAnswer(path("exported.mid"));
    window.findChild<QAction*>("exportAction")->trigger();
    QFile midi(path("exported.mid"));
    ASSERT_TRUE(midi.open(QIODevice::ReadOnly));
    EXPECT_TRUE(midi.readAll().startsWith("MThd"));

    answer = UserDialogs::AllSongs;
    dialogs.folder = [&] { return path("all"); };
    window.findChild<QAction*>("importAction")->trigger();
    EXPECT_EQ(charts("all").size(), 6);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join(' ').toStdString();
}

// Without choosers, the file dialogs offer the registered formats; a name
// typed without an extension is given the chosen format's, and the dialog
// asks before it replaces the file of that name.
TEST_F(ImportExport, TheDialogsOfferTheRegisteredFormats)
{
    // Qt's dialogs, but no message expected.
    struct QuietDialogs : QtUserDialogs {
        QuietDialogs() { DocumentManager::instance()->setDialogs(this); }
        ~QuietDialogs() override { DocumentManager::instance()->setDialogs(nullptr); }
        void tell(QWidget*, const QString& m) override { ADD_FAILURE() << m.toStdString(); }
    } dialogs;
    MainWindow window;
    QStringList offered;
    QString asked;
    auto answer = [&](const char* filter, const QString& file) {
        QTimer::singleShot(0, [&offered, &asked, filter, file] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            offered = dialog->nameFilters();
            dialog->selectNameFilter(QString::fromUtf8(filter));
            if (file.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->selectFile(file);
            QTimer::singleShot(0, [&asked] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    asked = box->text();
                    box->button(QMessageBox::Yes)->click();
                }
            });
            static_cast<QDialog*>(dialog)->accept();
        });
    };
    QFile ly(path("chanson.ly"));
    ASSERT_TRUE(ly.open(QIODevice::WriteOnly));
    ly.write("ancienne");
    ly.close();
    answer("Grille LilyPond (*.ly)", path("chanson"));
    window.findChild<QAction*>("exportAction")->trigger();
    EXPECT_EQ(offered, QStringList({"MusicXML (*.musicxml *.xml)", "Grille LilyPond (*.ly)", "Lien iReal Pro (*.txt)",
                                    "Accompagnement MIDI (*.mid *.midi)", "Accompagnement en son WAV (*.wav)",
                                    "Accompagnement en son FLAC (*.flac)"}));
    EXPECT_TRUE(asked.startsWith("chanson.ly")) << asked.toStdString();
    ASSERT_TRUE(ly.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ly.readAll().startsWith("\\version"));

    answer("", QString());
    window.findChild<QAction*>("importAction")->trigger();
    EXPECT_EQ(offered, QStringList({"Listes iReal Pro (*.html *.htm *.txt)", "Tous les fichiers (*)"}));
}

// The window's messages never carry a title's control characters.
TEST_F(ImportExport, TheWindowShowsControlCharactersVisibly)
{
    QFile links(path("bad.txt"));
    ASSERT_TRUE(links.open(QIODevice::WriteOnly));
    links.write("irealb://%1B%5B2J=C==S=C==1r34LbKcu7==0=0");
    links.close();
    test::ScriptedDialogs dialogs;
    MainWindow window;
    dialogs.openAnswer(path("bad.txt"));
    window.findChild<QAction*>("importAction")->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1);
    const QString shown = dialogs.messages[0];
    EXPECT_TRUE(shown.contains("« [2J »")) << shown.toStdString();
    EXPECT_FALSE(shown.contains(QChar(0x1B)));
}

} // namespace
} // namespace mavrel
