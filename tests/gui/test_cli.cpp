// The command line, run as a user runs it: the built executable in a
// temporary folder, without a display.
#include "app/charteditor.h"
#include "app/mainwindow.h"
#include "document/chartfile.h"
#include "document/chordtext.h"
#include "document/editing.h"
#include "document/layout.h"
#include "render/page.h"
#include "render/pixels.h"
#include "support/chartbuilder.h"
#include "test_page_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QAudioDevice>
#include <QImage>
#include <QMediaDevices>
#include <QPainter>
#include <QProcess>
#include <QElapsedTimer>
#include <QThread>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace mavrel {
namespace {

struct Outcome {
    int status = -1;
    QByteArray out;
    QString err;
};

class CommandLineTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString path(const QString& name) const { return dir.filePath(name); }

    // With `memoryKb`, under that limit of address space. The messages are
    // French in the C locale, whatever the machine's.
    Outcome run(const QStringList& args, int memoryKb = 0, const QString& locale = QStringLiteral("C.UTF-8"))
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
            env.remove(QLatin1String(variable));
        env.insert(QStringLiteral("LANG"), locale);
        // Commands that write files need no display and no platform chosen for them.
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        // No session either: the command makes its runtime folder here.
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        env.insert(QStringLiteral("TMPDIR"), dir.path());
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        if (memoryKb > 0)
            p.start(QStringLiteral("/bin/sh"),
                    QStringList{QStringLiteral("-c"),
                                QStringLiteral("ulimit -v %1 && exec \"$0\" \"$@\"").arg(memoryKb),
                                QStringLiteral(MAVREL_EXE)}
                        + args);
        else
            p.start(QStringLiteral(MAVREL_EXE), args);
        EXPECT_TRUE(p.waitForFinished(30000)) << args.join(' ').toStdString();
        Outcome r;
        r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput();
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }

    static QByteArray bytes(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A chart as the editor makes it: chords, signs, a hidden bar, labels.
    static void fill(MainWindow& editor) { test::setChart(editor, [](Chart& c) { fill(c); }); }
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

    // Standard output of a tool of the system, run in the folder.
    QString tool(const QString& program, const QStringList& args)
    {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(program, args);
        EXPECT_TRUE(p.waitForFinished(60000)) << program.toStdString();
        return QString::fromUtf8(p.readAllStandardOutput());
    }
};

// Every text the filled chart shows.
const char* const FilledTexts[] = {"Bbm7", "B7", "C#", "%", "Autumn Leaves", "\u00e9t\u00e9"};

TEST_F(CommandLineTest, NewWritesTheChartOfAFreshStart)
{
    const Outcome r = run({"new", "-o", "neuf.bab"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"neuf.bab"})
        << "the private runtime folder is gone";
    const QByteArray written = bytes(path("neuf.bab"));
    ASSERT_EQ(written.size(), 2456);

    MainWindow editor;
    const std::vector<std::uint8_t> expected = encodeChart(editor.chart());
    EXPECT_EQ(written, QByteArray(reinterpret_cast<const char*>(expected.data()), qsizetype(expected.size())));
}

// At 96 dots per inch, the page's own pixels as the canvas draws them; the
// chart's chord style, or the one --chord-style asks for.
TEST_F(CommandLineTest, RenderWritesThePixelPageAtItsOwnResolution)
{
    Outcome r = run({"render", "-o", "page.png"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QByteArray png = bytes(path("page.png"));
    ASSERT_GT(png.size(), 26);
    EXPECT_EQ(png.mid(1, 3), "PNG");
    EXPECT_EQ(int(png[24]), 8) << "8 bits a channel";
    EXPECT_EQ(int(png[25]), 2) << "RGB, no alpha";
    StandaloneChart fresh;
    const QImage drawn = QImage(path("page.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(drawn.size(), QSize(565, 800));
    EXPECT_TRUE(drawn == fresh.image());

    MainWindow editor;
    fill(editor);
    const QString file = writeChart(editor.chart(), "grille.bab");
    StandaloneChart alone;
    ASSERT_TRUE(loadChart(alone.chart(), QFile::encodeName(file).toStdString()).ok);
    r = run({"render", "grille.bab", "-o", "grille.png"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QImage page = QImage(path("grille.png")).convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(page == alone.image());
    EXPECT_FALSE(page == drawn);

    r = run({"render", "grille.bab", "-o", "jazz.png", "--chord-style", "jazz"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    alone.chart().song.chordStyle = ChordStyle::Jazz;
    const QImage jazz = QImage(path("jazz.png")).convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(jazz == alone.image());
    EXPECT_FALSE(jazz == page);
    const QStringList swing[] = {{"render", "--chord-style", "swing", "grille.bab", "-o", "x.png"},
                                 {"thumbnail", "-s", "64", "--chord-style", "swing", "grille.bab", "x.png"},
                                 {"sheet", "--per", "1", "--chord-style", "swing", "grille.bab", "-o", "x.png"}};
    for (const QStringList& arguments : swing) {
        r = run(arguments);
        EXPECT_EQ(r.status, 2) << arguments.first().toStdString();
        EXPECT_TRUE(r.err.contains("--chord-style")) << r.err.toStdString();
    }
}

// PDF and SVG: the page's lines as lines and its texts as text, in DejaVu Sans
// embedded in the PDF, where the page image has them.
TEST_F(CommandLineTest, RenderWritesThePageAsVectors)
{
    auto chart = std::make_unique<Chart>();
    resetChart(*chart);
    fill(*chart);
    layoutChart(*chart);
    writeChart(*chart, "grille.bab");
    for (const char* output : {"page.png", "page.pdf", "page.svg"}) {
        const Outcome r = run({"render", "grille.bab", "-o", output});
        ASSERT_EQ(r.status, 0) << output << ": " << r.err.toStdString();
    }

    const QString fonts = tool("pdffonts", {"page.pdf"});
    EXPECT_TRUE(QRegularExpression("DejaVuSans-Bold +CID TrueType +Identity-H +yes").match(fonts).hasMatch()
                && QRegularExpression("DejaVuSans +CID TrueType +Identity-H +yes").match(fonts).hasMatch())
        << fonts.toStdString();
    EXPECT_EQ(tool("pdfimages", {"-list", "page.pdf"}).count('\n'), 2) << "a heading and no image";
    const QString text = tool("pdftotext", {"page.pdf", "-"});
    for (const char* expected : FilledTexts)
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << " not in " << text.toStdString();
    // At 96 dots per inch the PDF is the page again, give or take a pixel.
    tool("pdftoppm", {"-r", "96", "-png", "-singlefile", "page.pdf", "pdf"});
    const QImage page(path("page.png"));
    const QImage rasterised = QImage(path("pdf.png")).copy(page.rect()).convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(test::inkAgrees(page.convertToFormat(QImage::Format_RGB32), rasterised));

    QFile svg(path("page.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    QStringList texts;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
            texts << xml.readElementText();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    for (const char* expected : FilledTexts)
        EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected;
}

// An E-flat part of a chart in C: A on the page, marked "Mi♭" in its
// corner, and the chart file as it was.
TEST_F(CommandLineTest, APartIsDrawnTransposedAndTheChartStaysAsItWas)
{
    auto chart = std::make_unique<Chart>();
    resetChart(*chart);
    chart->bar(1).slot(1).root = 1;
    chart->bar(1).slot(1).quality.assign("m7");
    writeChart(*chart, "ut.bab");
    const QByteArray before = bytes(path("ut.bab"));
    ASSERT_EQ(run({"render", "--for", "Eb", "ut.bab", "-o", "mib.png"}).status, 0);
    ASSERT_EQ(run({"render", "--for", "Eb", "ut.bab", "-o", "mib.pdf"}).status, 0);
    EXPECT_EQ(bytes(path("ut.bab")), before);

    // The same page as the chart moved a major sixth up and spelled by key.
    ASSERT_EQ(run({"transpose", "9", "ut.bab", "-o", "la.bab", "--spelling", "key"}).status, 0);
    ASSERT_EQ(run({"render", "la.bab", "-o", "la.png"}).status, 0);
    QImage part(path("mib.png")), moved(path("la.png"));
    const QRect corner(465, 0, 100, 30);
    EXPECT_NE(part.copy(corner), moved.copy(corner)) << "the mark";
    QPainter blank(&part);
    blank.fillRect(corner, Qt::white);
    QPainter blankToo(&moved);
    blankToo.fillRect(corner, Qt::white);
    blank.end();
    blankToo.end();
    EXPECT_EQ(part.convertToFormat(QImage::Format_RGB32), moved.convertToFormat(QImage::Format_RGB32));
    const QString text = tool("pdftotext", {"mib.pdf", "-"});
    EXPECT_TRUE(text.contains("Am7") && text.contains(QString::fromUtf8("Mi\xE2\x99\xAD"))) << text.toStdString();
    EXPECT_EQ(run({"render", "--for", "Sib", "ut.bab", "-o", "x.png"}).status, 2);
}

// A chord whose bass would no longer fit its quality once moved: no chart,
// part or sheet is written, and the message names the file and the chord.
TEST_F(CommandLineTest, AChordThatCannotMoveWritesNothing)
{
    writeChart(*test::ChartBuilder().bars({"C", "Cm7(b9,#11,b13)add9,no5/A"}).build(), "serre.bab");
    const QString part = QString::fromUtf8("serre.bab : Pas de partie en Mi\xE2\x99\xAD : à la mesure 2, « Cm7(b9,#11,b13)add9,no5/A »");
    struct Row {
        QStringList args;
        QString output;
        QString message;
    };
    const Row rows[] = {
        {{"transpose", "1", "serre.bab", "-o", "a.bab"}, "a.bab",
         "serre.bab : Rien n'a été transposé : à la mesure 2, « Cm7(b9,#11,b13)add9,no5/A »"},
        {{"render", "--for", "Eb", "serre.bab", "-o", "b.png"}, "b.png", part},
        {{"sheet", "--per", "2", "--for", "Eb", "serre.bab", "-o", "c.pdf"}, "c.pdf", part},
        {{"sheet", "--per", "1", "--for", "Eb", "serre.bab", "-o", "d.png"}, "d.png", part},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.args.join(' ').toStdString());
        const Outcome result = run(r.args);
        EXPECT_EQ(result.status, 1);
        EXPECT_TRUE(result.err.contains(r.message)) << result.err.toStdString();
        EXPECT_FALSE(QFile::exists(path(r.output)));
    }
    EXPECT_EQ(run({"render", "--for", "Bb", "serre.bab", "-o", "sib.png"}).status, 0);   // A to B fits
}

TEST_F(CommandLineTest, RenderDrawsPngAtTheResolutionAsked)
{
    ASSERT_EQ(run({"render", "-o", "page.png", "--dpi", "300"}).status, 0);
    const QImage page(path("page.png"));
    EXPECT_EQ(page.size(), QSize(1766, 2500));
    EXPECT_EQ(page.dotsPerMeterX(), 11811);
}

TEST_F(CommandLineTest, ThumbnailFitsThePageInTheSize)
{
    MainWindow editor;
    fill(editor);
    writeChart(editor.chart(), "portrait.bab");
    editor.document().turnPage(false);
    writeChart(editor.chart(), "paysage.bab");

    struct Row {
        const char* chart;
        int size;
        QSize expected;
    };
    const Row rows[] = {
        {"portrait.bab", 256, {180, 256}},
        {"paysage.bab", 128, {128, 90}},
        {"paysage.bab", 1024, {1024, 723}},
        {"portrait.bab", 1, {1, 1}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.chart) + " " + std::to_string(r.size));
        const Outcome result = run({"thumbnail", "-s", QString::number(r.size), r.chart, "vignette.png"});
        ASSERT_EQ(result.status, 0) << result.err.toStdString();
        EXPECT_EQ(QImage(path("vignette.png")).size(), r.expected);
    }

    // At the page's own size the thumbnail is the page, pixel for pixel.
    ASSERT_EQ(run({"thumbnail", "-s", "800", "paysage.bab", "vignette.png"}).status, 0);
    ASSERT_EQ(run({"render", "paysage.bab", "-o", "page.png"}).status, 0);
    const QImage page(path("page.png"));
    EXPECT_EQ(page.size(), QSize(800, 565));
    EXPECT_TRUE(QImage(path("vignette.png")) == page);
}

TEST_F(CommandLineTest, TransposeMovesTheChartAndBackAgain)
{
    MainWindow editor;
    fill(editor);
    const QString original = writeChart(editor.chart(), "grille.bab");

    Outcome r = run({"transpose", "2", "grille.bab", "-o", "haut.bab"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    // What two presses of "+1" make of it.
    editor.document().transpose(+2);
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

    ASSERT_EQ(run({"new", "-o", "bon.bab"}).status, 0);

    // Each message starts with the name of the file it is about, and speaks
    // the user's language.
    struct Row {
        QStringList args;
        QString output;
        QString message;
        QString locale = QStringLiteral("C.UTF-8");
    };
    const Row rows[] = {
        {{"render", "absent.bab", "-o", "a.png"}, "a.png", "absent.bab : Fichier introuvable."},
        {{"transpose", "1", "absent.bab", "-o", "b.bab"}, "b.bab", "absent.bab : Fichier introuvable."},
        {{"render", "court.bab", "-o", "c.png"}, "c.png", "court.bab : Lecture au-delà de la fin de fichier."},
        {{"transpose", "-1", "court.bab", "-o", "d.bab"}, "d.bab",
         "court.bab : Lecture au-delà de la fin de fichier."},
        {{"render", "dossier/absent.bab", "-o", "e.png"}, "e.png", "dossier/absent.bab : Dossier « dossier » introuvable."},
        {{"sheet", "--per", "8", "bon.bab", "bon.bab", "bon.bab", "court.bab", "bon.bab", "-o", "f.pdf"}, "f.pdf",
         "court.bab : Lecture au-delà de la fin de fichier."},
        {{"thumbnail", "-s", "128", "court.bab", "g.png"}, "g.png",
         "court.bab : Lecture au-delà de la fin de fichier."},
        {{"render", "absent.bab", "-o", "h.png"}, "h.png", "absent.bab: File not found.", "en_US.UTF-8"},
        {{"render", "court.bab", "-o", "i.png"}, "i.png", "court.bab : Lecture au-delà de la fin de fichier.",
         "fr_FR.UTF-8"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.args.join(' ').toStdString());
        const Outcome result = run(r.args, 0, r.locale);
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
        EXPECT_TRUE(result.err.contains(args.last() + " : Dossier « nulle » introuvable.")) << result.err.toStdString();
    }
    const Outcome full = run({"render", "-o", "/dev/full"});
    EXPECT_EQ(full.status, 1);
    EXPECT_TRUE(full.err.contains("/dev/full : Disque plein.")) << full.err.toStdString();
}

// The extension says what is written; a command writes no other kind, and a
// chart is never overwritten by a picture.
TEST_F(CommandLineTest, OutputsOfAnotherKindAreRefused)
{
    ASSERT_EQ(run({"new", "-o", "grille.bab"}).status, 0);
    const QByteArray chart = bytes(path("grille.bab"));
    const QStringList cases[] = {
        {"render", "grille.bab", "-o", "grille.bab"},
        {"render", "-o", "page.jpg"},
        {"render", "-o", "page"},
        {"sheet", "--per", "1", "grille.bab", "-o", "feuille.bab"},
        {"new", "-o", "neuf.png"},
        {"transpose", "1", "grille.bab", "-o", "haut.txt"},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.contains(args.last() + " : format de sortie inconnu")) << r.err.toStdString();
    }
    // A picture holds one sheet.
    const Outcome two = run({"sheet", "--per", "1", "grille.bab", "grille.bab", "-o", "deux.png"});
    EXPECT_EQ(two.status, 2);
    EXPECT_TRUE(two.err.contains("deux.png : un fichier .png ne contient qu'une feuille, soit 1 grille au plus, "
                                 "et 2 grilles sont données ; un fichier .pdf en fait un recueil"))
        << two.err.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"grille.bab"});
    EXPECT_EQ(bytes(path("grille.bab")), chart);
}

// "-" is standard output; a device is written into and stays a device.
TEST_F(CommandLineTest, StandardOutputAndDevicesTakeTheBytes)
{
    ASSERT_EQ(run({"new", "-o", "grille.bab"}).status, 0);
    ASSERT_EQ(run({"transpose", "3", "grille.bab", "-o", "haut.bab"}).status, 0);
    Outcome r = run({"transpose", "3", "grille.bab", "-o", "-"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, bytes(path("haut.bab")));
    r = run({"render", "grille.bab", "-o", "-"});
    EXPECT_EQ(QImage::fromData(r.out, "PNG").size(), QSize(565, 800));

    ASSERT_TRUE(QFile::link("/dev/null", path("nulle.bab")));
    EXPECT_EQ(run({"transpose", "1", "grille.bab", "-o", "nulle.bab"}).status, 0);
    EXPECT_TRUE(QFileInfo(path("nulle.bab")).isSymLink());
    EXPECT_FALSE(QFileInfo("/dev/null").isFile());
}

// Names are the system's bytes, UTF-8 or not.
TEST_F(CommandLineTest, NamesThatAreNotUtf8AreReadAndWrittenAsGiven)
{
    ASSERT_EQ(run({"new", "-o", "grille.bab"}).status, 0);
    const QByteArray folder = QFile::encodeName(dir.path());
    ASSERT_EQ(std::rename(folder + "/grille.bab", folder + "/latin\xE9.bab"), 0);

    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start("/bin/sh", {"-c", R"sh(exec "$0" transpose 1 "$(printf 'latin\351.bab')" -o "$(printf 'nu\351.bab')")sh",
                        QStringLiteral(MAVREL_EXE)});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    struct stat st {};
    EXPECT_EQ(::stat(folder + "/nu\xE9.bab", &st), 0);
    EXPECT_EQ(st.st_size, 2456);
    // QTemporaryDir cannot see these names to remove them.
    std::remove(folder + "/latin\xE9.bab");
    std::remove(folder + "/nu\xE9.bab");
}

// 10000 x 10000 pages, 400 MB each, with 800 MB of address space: render
// cannot have a page once the limit is lower and says so; sheet holds one
// page at a time and composes two as it would without a limit.
TEST_F(CommandLineTest, HugePagesAreDrawnOneAtATimeOrRefused)
{
    auto chart = std::make_unique<Chart>();
    StandaloneChart fresh;
    *chart = fresh.chart();
    chart->info.pageWidth = 10000;
    chart->info.pageHeight = 10000;
    layoutChart(*chart);
    writeChart(*chart, "immense.bab");

    Outcome r = run({"render", "immense.bab", "-o", "page.png"}, 300 * 1024);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Mémoire insuffisante pour dessiner la page de « immense.bab »")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(path("page.png")));

    // Past the pixels any picture may have, refused at once, naming the size;
    // a thumbnail costs its own pixels only.
    r = run({"render", "immense.bab", "-o", "page.png", "--dpi", "200"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("page.png : image trop grande, 20833 × 20833 pixels (100 millions au plus).")) << r.err.toStdString();
    r = run({"thumbnail", "-s", "256", "immense.bab", "vignette.png"}, 300 * 1024);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(path("vignette.png")).size(), QSize(256, 256));

    const QStringList sheet{"sheet", "--per", "2", "immense.bab", "immense.bab", "-o"};
    r = run(sheet + QStringList{"libre.png"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = run(sheet + QStringList{"limitee.png"}, 800 * 1024);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(path("limitee.png")), QImage(path("libre.png")));
}

// Wrong arguments: what was wrong in one line, then the lines of the command
// given, or of every command.
TEST_F(CommandLineTest, WrongArgumentsSayWhyThenTheUsage)
{
    struct Row {
        QStringList args;
        const char* reason;
        const char* usage;
    };
    const Row rows[] = {
        {{"new"}, "Il manque -o SORTIE.", "mavrel new"},
        {{"new", "-o"}, "-o : valeur manquante.", "mavrel new"},
        {{"new", "extra.bab", "-o", "x.bab"}, "« extra.bab » en trop.", "mavrel new"},
        {{"render", "a.bab", "b.bab", "-o", "x.png"}, "« b.bab » en trop.", "mavrel render"},
        {{"render", "-o", "x.png", "-o", "y.png"}, "-o donné deux fois.", "mavrel render"},
        {{"transpose", "deux", "a.bab", "-o", "x.bab"}, "« deux » n'est pas un nombre de demi-tons.", "mavrel transpose"},
        {{"transpose", "2", "-o", "x.bab"}, "Il manque GRILLE.bab.", "mavrel transpose"},
        {{"transpose", "2", "a.bab"}, "Il manque -o SORTIE.", "mavrel transpose"},
        {{"render", "--vite", "-o", "x.png"}, "Option inconnue : « --vite ».", "mavrel render"},
        {{"render", "-o", "x.png", "--dpi", "0"}, "--dpi : « 0 » n'est pas un nombre de 1 à 2400.", "mavrel render"},
        {{"render", "-o", "x.png", "--dpi", "2401"}, "--dpi : « 2401 » n'est pas un nombre de 1 à 2400.", "mavrel render"},
        {{"render", "-o", "x.png", "--dpi"}, "--dpi : valeur manquante.", "mavrel render"},
        {{"render", "--for", "Sib", "-o", "x.png"}, "--for : « Sib » n'est pas un instrument", "mavrel render"},
        {{"sheet", "--per", "3", "a.bab", "-o", "x.pdf"}, "--per : « 3 » n'est pas 1, 2, 4 ou 8.", "mavrel sheet"},
        {{"--inconnu"}, "Option inconnue : « --inconnu ».", "mavrel [GRILLE.bab|LISTE.setlist...]"},
        {{"a.bab", "--vite"}, "Option inconnue : « --vite ».", "mavrel [GRILLE.bab|LISTE.setlist...]"},
        {{"thumbnail", "a.bab", "x.png"}, "Il manque -s TAILLE.", "mavrel thumbnail"},
        {{"thumbnail", "-s", "0", "a.bab", "x.png"}, "-s : « 0 » n'est pas un nombre de 1 à 4096.", "mavrel thumbnail"},
        {{"thumbnail", "-s", "grand", "a.bab", "x.png"}, "-s : « grand » n'est pas un nombre", "mavrel thumbnail"},
        {{"thumbnail", "-s", "128", "a.bab"}, "Il manque GRILLE.bab SORTIE.png.", "mavrel thumbnail"},
        {{"--version", "a.bab"}, "« a.bab » en trop.", "mavrel --version"},
        {{"export", "a.bab", "-o", "x.mid", "--tempo", "5"}, "--tempo : « 5 » n'est pas un nombre de 20 à 400.",
         "mavrel export"},
        {{"export", "a.bab", "-o", "x.wav", "--style", "zouk"}, "--style : « zouk » n'est pas un style",
         "mavrel export"},
        {{"play", "a.bab", "--choruses", "0"}, "--choruses : « 0 » n'est pas un nombre de 1 à 99.", "mavrel play"},
        {{"play"}, "Il manque GRILLE.bab.", "mavrel play"},
        {{"song", "a.bab", "--tempo", "96"}, "Il manque -o SORTIE.", "mavrel song"},
        {{"song", "a.bab", "-o", "x.bab", "--key", "H"}, "--key : « H » n'est pas une tonalité", "mavrel song"},
        {{"song", "a.bab", "-o", "x.bab", "--bar", "2", "C [A] D"}, "--bar 2 : « D » : les signes", "mavrel song"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const Outcome r = run(row.args);
        EXPECT_EQ(r.status, 2);
        const QStringList lines = r.err.split('\n');
        EXPECT_TRUE(lines.first().startsWith("mavrel : " + QString::fromUtf8(row.reason))) << r.err.toStdString();
        EXPECT_EQ(lines.value(1), "Utilisation :");
        EXPECT_TRUE(lines.value(2).startsWith("  " + QString::fromUtf8(row.usage))) << r.err.toStdString();
        EXPECT_LT(lines.size(), 12) << "the command's own lines";
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty()) << "nothing written";

    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* command :
         {"new", "render", "thumbnail", "transpose", "sheet", "songbook", "import", "export", "play", "song"})
        EXPECT_TRUE(help.out.contains(QByteArray("  mavrel ") + command)) << command;
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "mavrel " MAVREL_VERSION "\n");
}

// What the band's files and the player need, and what they say without it;
// the files themselves are read by mido, MMA and sox in Sound.RealReaders.
TEST_F(CommandLineTest, TheBandPlaysOrSaysWhyNot)
{
    writeChart(*test::ChartBuilder(4, 8).bars({"Dm7 G7", "Cmaj7"}).build(), "c.bab");
    const Outcome midi = run({"export", "c.bab", "-o", "c.mid", "--style", "bossa", "--tempo", "90"});
    EXPECT_EQ(midi.status, 0) << midi.err.toStdString();
    EXPECT_TRUE(bytes(path("c.mid")).startsWith("MThd"));

    struct Row {
        QStringList args;
        int status;
        const char* error;
    };
    const Row rows[] = {
        {{"export", "c.bab", "-o", "x.ly", "--tempo", "100"}, 2,
         "mavrel : --style, --tempo, --choruses et --soundfont : seulement vers .mid, .midi, .wav ou .flac."},
        {{"export", "c.bab", "-o", "x.wav", "--soundfont", "absente.sf2"}, 1,
         "mavrel : absente.sf2 : Banque de sons introuvable ou illisible."},
        // 32 bars at 20 quarter notes a minute, 99 times.
        {{"export", "c.bab", "-o", "x.flac", "--tempo", "20", "--choruses", "99"}, 1,
         "mavrel : x.flac : Morceau trop long pour un fichier audio : 634 minutes (20 au plus)."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const Outcome r = run(row.args);
        EXPECT_EQ(r.status, row.status);
        EXPECT_EQ(r.err.trimmed(), QString::fromUtf8(row.error));
        EXPECT_FALSE(QFile::exists(path(row.args.at(3))));
    }

    // Without a sound device: a message at once, no wait.
    if (!QMediaDevices::audioOutputs().isEmpty())
        return;
    QElapsedTimer clock;
    clock.start();
    const Outcome play = run({"play", "c.bab"});
    EXPECT_EQ(play.status, 1);
    EXPECT_TRUE(play.out.isEmpty());
    EXPECT_EQ(play.err.trimmed(), "mavrel : Aucune sortie audio : le son ne peut pas être joué sur cette machine.");
    EXPECT_LT(clock.elapsed(), 10000);
}

// The song read and changed from the command line, its bars as the
// keyboard entry types them; Qt takes none of the options for its own.
TEST_F(CommandLineTest, SongShowsAndChangesTheSong)
{
    const auto chart = test::ChartBuilder(4, 1).bars({"Cm7", "F7", "BbM7", "EbM7"}).section(1, "A").build();
    const QString file = writeChart(*chart, "leaves.bab");
    const Outcome shown = run({"song", file});
    EXPECT_EQ(shown.status, 0) << shown.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(shown.out),
              "Titre :\nCompositeur :\nStyle :\nTonalité : non précisée (détectée : Bb)\nTempo : non précisé\n"
              "Chiffrage : non précisé (4/4)\n1 : [A] Cm7\n2 : F7\n3 : BbM7\n4 : EbM7\n");

    const Outcome changed = run({"song", file, "-o", "out.bab", "--title", "Les feuilles mortes", "--style", "Ballade",
                                 "--key", "Gm", "--tempo", "96", "--time", "3/4", "--bar", "4", "1. N.C. f :| <D.C.>"});
    EXPECT_EQ(changed.status, 0) << changed.err.toStdString();
    EXPECT_TRUE(changed.err.isEmpty()) << changed.err.toStdString();
    Chart out{};
    ASSERT_TRUE(loadChart(out, QFile::encodeName(path("out.bab")).toStdString()).ok);
    EXPECT_EQ(out.song.title.view(), "Les feuilles mortes");
    EXPECT_EQ(out.song.style.view(), "Ballade");
    EXPECT_EQ(out.song.key, (Key{8, 0, 1}));
    EXPECT_EQ(out.song.tempo, 96);
    EXPECT_EQ(out.song.time, (TimeSignature{3, 4}));
    EXPECT_EQ(barText(out.bar(4), out.song.bar(4)), "1. N.C. f :| <D.C.>");
    EXPECT_EQ(out.song.bar(1).section.view(), "A");

    const Outcome tooFar = run({"song", file, "-o", "far.bab", "--bar", "5", "C"});
    EXPECT_EQ(tooFar.status, 2);
    EXPECT_TRUE(tooFar.err.contains("la grille n'a que 4 mesures")) << tooFar.err.toStdString();
    EXPECT_FALSE(QFile::exists(path("far.bab")));
}

// A save killed at any moment leaves the chart whole, old or new, and nothing
// else that the next save does not take away.
TEST_F(CommandLineTest, KilledSavesLeaveNoStrayFile)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("charts"));
    const QByteArray old = bytes(writeChart(*test::ChartBuilder(4, 8).bars({"Dm7 G7", "Cmaj7"}).build(), "c.bab"));
    ASSERT_TRUE(QFile::copy(path("c.bab"), path("charts/c.bab")));
    ASSERT_EQ(run({"transpose", "1", "charts/c.bab", "-o", "new.bab"}).status, 0);
    ASSERT_EQ(run({"transpose", "2", "charts/c.bab", "-o", "twice.bab"}).status, 0);
    const QByteArray transposed = bytes(path("new.bab"));
    const QByteArray twice = bytes(path("twice.bab"));
    // Kills spread over the end of the command's run, where it saves.
    const QStringList save{"transpose", "1", "new.bab", "-o", "charts/c.bab"};
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(run(save).status, 0);
    const qint64 whole = clock.nsecsElapsed() / 1000;
    ASSERT_TRUE(QFile::remove(path("charts/c.bab")) && QFile::copy(path("c.bab"), path("charts/c.bab")));
    constexpr int Kills = 40;
    for (int i = 0; i < Kills; ++i) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        // A runtime folder of the session's: none made, none left by the kill.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(MAVREL_EXE), save);
        ASSERT_TRUE(p.waitForStarted());
        QThread::usleep(static_cast<unsigned long>(whole * (50 + i) / (Kills + 50)));
        p.kill();
        p.waitForFinished();
        const QByteArray now = bytes(path("charts/c.bab"));
        ASSERT_TRUE(now == old || now == twice) << i;
    }
    ASSERT_EQ(run({"transpose", "0", "new.bab", "-o", "charts/c.bab"}).status, 0);
    EXPECT_EQ(bytes(path("charts/c.bab")), transposed);
    EXPECT_EQ(QDir(path("charts")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"c.bab"});
}

// Titles and names from files reach the terminal without their control
// characters, which the warnings name written out.
TEST_F(CommandLineTest, TerminalSequencesInTextsAreShownNotSent)
{
    const QString links = QStringLiteral("irealb://%1B%5D0%3Bpwned%07%1B%5B2J=C==S=C==1r34LbKcu7==0=0");
    const Outcome r = run({"import", links, "-o", "charts"});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.contains(QChar(0x1B)) || r.err.contains(QChar(0x07))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("(^[, ^G)")) << r.err.toStdString();
    const Outcome named = run({"render", "\x1b[2J.bab", "-o", "x.png"});
    EXPECT_TRUE(named.err.contains("^[[2J.bab : Fichier introuvable.")) << named.err.toStdString();
}

} // namespace
} // namespace mavrel
