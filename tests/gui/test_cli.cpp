// The command line, run as a user runs it: the built executable in a
// temporary folder, without a display.
#include "app/mainwindow.h"
#include "document/chartfile.h"
#include "document/editing.h"
#include "render/page.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace mavrel {
namespace {

struct Outcome {
    int status = -1;
    QString out, err;
};

class CommandLineTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString path(const QString& name) const { return dir.filePath(name); }

    Outcome run(const QStringList& args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // Commands that write files need no display and no platform chosen for them.
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(MAVREL_EXE), args);
        EXPECT_TRUE(p.waitForFinished(30000)) << args.join(' ').toStdString();
        Outcome r;
        r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }

    static QByteArray bytes(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A chart as the editor makes it: chords, signs, a hidden bar, labels.
    static void fill(Chart& c)
    {
        Bar& b = c.bar(6);
        b.division = 3;
        b.slot(1).root = 11;
        b.slot(1).quality.assign("m7");
        b.slot(1).flat = 1;
        b.slot(3).root = 12;
        b.slot(3).quality.assign("7");
        b.left = 1;
        c.bar(7).slot(1).root = 2;
        c.bar(9).shown = 0;
        c.bar(9).slot(1).root = 1;
        c.info.columns = 5;
        commitLabel(c, "Autumn Leaves", 120, 40, 24, true);
        commitLabel(c, "\xE9t\xE9", 120, 90, 10, false);
    }

    QString writeChart(const Chart& c, const QString& name)
    {
        const QString p = path(name);
        EXPECT_TRUE(saveChart(c, QFile::encodeName(p).toStdString()).ok);
        return p;
    }
};

TEST_F(CommandLineTest, NewWritesTheChartOfAFreshStart)
{
    const Outcome r = run({"new", "-o", "neuf.bab"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QByteArray written = bytes(path("neuf.bab"));
    ASSERT_EQ(written.size(), 2456);

    MainWindow editor;
    const std::vector<std::uint8_t> expected = encodeChart(editor.chart());
    EXPECT_EQ(written, QByteArray(reinterpret_cast<const char*>(expected.data()), qsizetype(expected.size())));
}

TEST_F(CommandLineTest, RenderDrawsThePageTheEditorShows)
{
    Outcome r = run({"render", "-o", "page.png"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QByteArray png = bytes(path("page.png"));
    ASSERT_GT(png.size(), 26);
    EXPECT_EQ(png.mid(1, 3), "PNG");
    EXPECT_EQ(int(png[24]), 8) << "8 bits a channel";
    EXPECT_EQ(int(png[25]), 2) << "RGB, no alpha";

    MainWindow editor;
    QImage drawn(path("page.png"));
    ASSERT_EQ(drawn.size(), QSize(565, 800));
    drawn = drawn.convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(drawn == editor.pageImage().convertToFormat(QImage::Format_RGB32));

    // A chart of its own: the editor draws it the same once it has opened it.
    Chart& chart = editor.chart();
    fill(chart);
    editor.redrawPage();
    const QString file = writeChart(chart, "grille.bab");
    r = run({"render", "grille.bab", "-o", "grille.png"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    MainWindow reader;
    ASSERT_TRUE(reader.openChart(file));
    const QImage page = QImage(path("grille.png")).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(page.size(), QSize(565, 800));
    EXPECT_TRUE(page == reader.pageImage().convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(page == editor.pageImage().convertToFormat(QImage::Format_RGB32));
    EXPECT_FALSE(page == drawn);
}

TEST_F(CommandLineTest, TransposeMovesTheChartAndBackAgain)
{
    MainWindow editor;
    fill(editor.chart());
    editor.redrawPage();
    const QString original = writeChart(editor.chart(), "grille.bab");

    Outcome r = run({"transpose", "2", "grille.bab", "-o", "haut.bab"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    // What two presses of "+1" make of it.
    transpose(editor.chart(), +1);
    transpose(editor.chart(), +1);
    editor.redrawPage();
    EXPECT_EQ(bytes(path("haut.bab")), bytes(writeChart(editor.chart(), "attendu.bab")));

    r = run({"transpose", "-2", "haut.bab", "-o", "retour.bab"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(bytes(path("retour.bab")), bytes(original));

    // Fourteen semitones up are two; zero copies the chart as the editor saves it.
    r = run({"transpose", "14", "grille.bab", "-o", "quatorze.bab"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(bytes(path("quatorze.bab")), bytes(path("haut.bab")));
    r = run({"transpose", "0", "grille.bab", "-o", "meme.bab"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(bytes(path("meme.bab")), bytes(original));
}

TEST_F(CommandLineTest, AChartThatCannotBeReadWritesNothing)
{
    QFile shortFile(path("court.bab"));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(QByteArray(100, '\0'));
    shortFile.close();

    struct Row {
        QStringList args;
        QString output;
        QString message;
    };
    const Row rows[] = {
        {{"render", "absent.bab", "-o", "a.png"}, "a.png", "Fichier introuvable."},
        {{"transpose", "1", "absent.bab", "-o", "b.bab"}, "b.bab", "Fichier introuvable."},
        {{"render", "court.bab", "-o", "c.png"}, "c.png", "Lecture au-delà de la fin de fichier."},
        {{"transpose", "-1", "court.bab", "-o", "d.bab"}, "d.bab",
         "Lecture au-delà de la fin de fichier."},
        {{"render", "dossier/absent.bab", "-o", "e.png"}, "e.png", "Nom de fichier incorrect."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.args.join(' ').toStdString());
        const Outcome result = run(r.args);
        EXPECT_EQ(result.status, 1);
        EXPECT_TRUE(result.err.contains(r.message)) << result.err.toStdString();
        EXPECT_FALSE(QFile::exists(path(r.output)));
    }

    // An output that cannot be written is a failure of the same kind.
    for (const QStringList& args : {QStringList{"new", "-o", "nulle/part.bab"},
                                    QStringList{"render", "-o", "nulle/part.png"}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Outcome result = run(args);
        EXPECT_EQ(result.status, 1);
        EXPECT_FALSE(result.err.isEmpty());
    }
}

TEST_F(CommandLineTest, WrongArgumentsPrintTheUsage)
{
    const QStringList cases[] = {
        {"new"},
        {"new", "-o"},
        {"new", "extra.bab", "-o", "x.bab"},
        {"render", "a.bab", "b.bab", "-o", "x.png"},
        {"render", "-o", "x.png", "-o", "y.png"},
        {"transpose", "deux", "a.bab", "-o", "x.bab"},
        {"transpose", "2", "-o", "x.bab"},
        {"transpose", "2", "a.bab"},
        {"render", "--vite", "-o", "x.png"},
        {"--inconnu"},
        {"a.bab", "b.bab"},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.contains("Utilisation")) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("mavrel transpose")) << r.err.toStdString();
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty()) << "nothing written";

    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("Utilisation"));
}

} // namespace
} // namespace mavrel
