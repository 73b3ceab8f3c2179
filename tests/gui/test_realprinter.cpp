// "Imprime" on a real CUPS queue. These tests run under scripts/cups-test.sh,
// which starts a cupsd of its own with a cups-pdf queue as the default
// printer; anywhere else they skip.
#include "app/songbookdialog.h"
#include "document/chartfile.h"
#include "print/printpreview.h"
#include "print/printing.h"
#include "render/page.h"
#include "gui/scripteddialogs.h"
#include "support/chartbuilder.h"
#include "support/pdfreader.h"

#include <QComboBox>
#include <QLabel>
#include <QDeadlineTimer>
#include <QDirIterator>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace mavrel {
namespace {

QString outputFolder() { return qEnvironmentVariable("MAVREL_CUPS_OUT"); }

QStringList pdfsIn(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, {QStringLiteral("*.pdf")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

// A chart with chords to find in the printed text; its page's black border
// reaches the four edges of the sheet and shows where it lies on the paper.
std::unique_ptr<Chart> testChart()
{
    auto chart = std::make_unique<Chart>();
    resetChart(*chart);
    chart->info.columns = 3;
    chart->info.rows = 5;
    Bar& bar = chart->bar(2);
    bar.division = 2;
    bar.slot(1).root = 10;
    bar.slot(1).quality.assign("m7");
    bar.slot(2).root = 11;
    bar.slot(2).flat = 1;
    bar.slot(2).quality.assign("7");
    commitLabel(*chart, "Feuille de test", 150, 50, 20, true);
    layoutChart(*chart);
    return chart;
}

// Which cells of a grid laid over the image hold ink.
struct InkMap {
    int columns = 0, rows = 0;
    std::vector<bool> ink;
    bool at(int c, int r) const
    {
        return c >= 0 && r >= 0 && c < columns && r < rows && ink[std::size_t(r * columns + c)];
    }
    bool near(int c, int r) const
    {
        for (int dr = -1; dr <= 1; ++dr)
            for (int dc = -1; dc <= 1; ++dc)
                if (at(c + dc, r + dr))
                    return true;
        return false;
    }
};

constexpr int Cell = 10;

bool isInk(QRgb c) { return qGray(c) < 200; }

InkMap inkMap(const QImage& img)
{
    InkMap m;
    m.columns = (img.width() + Cell - 1) / Cell;
    m.rows = (img.height() + Cell - 1) / Cell;
    m.ink.assign(std::size_t(m.columns * m.rows), false);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (isInk(img.pixel(x, y)))
                m.ink[std::size_t((y / Cell) * m.columns + x / Cell)] = true;
    return m;
}

QRect inkBounds(const QImage& img)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (isInk(img.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(RealPrinter, PrintsTheComposedSheet)
{
    const QString out = outputFolder();
    if (out.isEmpty() || qEnvironmentVariableIsSet("MAVREL_CUPS_EMPTY"))
        GTEST_SKIP() << "runs under scripts/cups-test.sh";
    ASSERT_FALSE(currentPrinter().isNull()) << "the test queue is not the default printer";
    ASSERT_TRUE(pdfsIn(out).isEmpty());

    const std::unique_ptr<Chart> chart = testChart();
    QStringList messages;
    PrintPreview form([&]() -> const Chart& { return *chart; });
    form.setMessenger([&](const QString& m) { messages << m; });
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* combo = form.findChild<QComboBox*>("layoutCombo");
    combo->setCurrentIndex(combo->findText("2"));   // the chart above, a blank page below
    const QImage sheet = form.sheet().composed().copy();
    ASSERT_EQ(sheet.size(), QSize(800, 1130));

    QTest::mouseClick(form.findChild<QPushButton*>("printButton"), Qt::LeftButton);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(' ').toStdString();
    EXPECT_EQ(form.sheet().composed(), sheet);
    // The job is followed to its end.
    const QString queue = currentPrinter().printerName();
    auto* status = form.findChild<QStatusBar*>("statusBar");
    EXPECT_TRUE(QTest::qWaitFor([&] { return status->currentMessage() != QString("Feuille envoyée à « %1 ».").arg(queue); }, 15000));
    EXPECT_EQ(status->currentMessage(), QString("Feuille imprimée sur « %1 ».").arg(queue));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(' ').toStdString();

    // The job is done once the queue is empty and cups-pdf has left its file.
    QDeadlineTimer deadline(60000);
    QStringList pdfs;
    while (!deadline.hasExpired()) {
        pdfs = pdfsIn(out);
        if (!pdfs.isEmpty() && run("lpstat", {"-o"}).trimmed().isEmpty())
            break;
        QTest::qWait(250);
    }
    ASSERT_EQ(pdfs.size(), 1) << "no printed file in " << out.toStdString();
    const QString pdf = pdfs.first();

    const QString info = run("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\n"))) << info.toStdString();
    // Drawn as vectors: the chords and the label are text, and there is no picture.
    const QString text = run("pdftotext", {pdf, "-"});
    for (const char* expected : {"Am7", "Bb7", "Feuille de test"})
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected << " not in: " << text.toStdString();
    const QStringList images = run("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(images.size(), 2) << images.join('\n').toStdString();   // the heading alone

    QTemporaryDir dir;
    const QString base = dir.filePath("page");
    run("pdftoppm", {"-r", "100", "-png", "-singlefile", pdf, base});
    const QImage printed(base + ".png");
    ASSERT_FALSE(printed.isNull()) << "pdftoppm gave no picture";

    // The sheet's frame marks where it lies; within it, the ink must fall
    // where the sheet has it, give or take one cell for the resampling.
    const QRect box = inkBounds(printed);
    ASSERT_GT(box.width(), printed.width() / 2);
    ASSERT_GT(box.height(), printed.height() / 2);
    QImage expected(box.size(), SheetFormat);
    stretchDraw(expected, expected.rect(), sheet);
    const InkMap want = inkMap(expected);
    const InkMap got = inkMap(printed.copy(box));
    ASSERT_EQ(want.columns, got.columns);
    ASSERT_EQ(want.rows, got.rows);
    int inked = 0, missing = 0, stray = 0;
    for (int r = 0; r < want.rows; ++r)
        for (int c = 0; c < want.columns; ++c) {
            inked += want.at(c, r);
            missing += want.at(c, r) && !got.near(c, r);
            stray += got.at(c, r) && !want.near(c, r);
        }
    EXPECT_GT(inked, 200);
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(stray, 0);
    // The chart lies on the upper half; the lower half is a blank page with
    // its border: nothing inside it.
    const int lowerInside = (want.rows * 3) / 4;
    for (int c = 3; c < want.columns - 3; ++c)
        EXPECT_FALSE(got.at(c, lowerInside)) << "ink in the blank page at cell " << c;
}

// A queue that takes no jobs, a stopped printer and one that cannot be
// reached: the preview says so with the printer's own words, and the first two
// are not even sent a job. The script makes the queue the default printer and
// gives its case and what the printer was made to say.
TEST(RealPrinter, ReportsAQueueThatCannotPrint)
{
    const QString which = qEnvironmentVariable("MAVREL_CUPS_CASE");
    if (which.isEmpty())
        GTEST_SKIP() << "runs under scripts/cups-test.sh";
    struct Case {
        const char* name;
        const char* report;   // the printer's name goes before it
        bool jobSent;
    };
    const Case cases[] = {
        {"rejecting", " » n'accepte aucun travail : la feuille n'a pas été imprimée.\nL'imprimante indique : « ", false},
        {"disabled", " » est arrêtée : la feuille n'a pas été imprimée.\nL'imprimante indique : « ", false},
        {"unreachable", " » (travail en cours). L'imprimante indique : « ", true},
    };
    const auto c = std::find_if(std::begin(cases), std::end(cases), [&](const Case& c) { return which == c.name; });
    ASSERT_NE(c, std::end(cases)) << which.toStdString();
    const QString queue = currentPrinter().printerName();
    ASSERT_FALSE(queue.isEmpty());
    const QString printedBefore = run("lpstat", {"-W", "all", "-o", queue});

    const std::unique_ptr<Chart> chart = testChart();
    QStringList messages;
    PrintPreview form([&]() -> const Chart& { return *chart; });
    form.setMessenger([&](const QString& m) { messages << m; });
    form.show();
    QTest::mouseClick(form.findChild<QPushButton*>("printButton"), Qt::LeftButton);
    auto* status = form.findChild<QStatusBar*>("statusBar");
    if (c->jobSent) {
        // The job waits while the printer tries again; what it says is CUPS's.
        ASSERT_TRUE(QTest::qWaitFor([&] { return status->currentMessage().contains(c->report); }, 30000))
            << status->currentMessage().toStdString();
        const QString shown = status->currentMessage();
        const QString start = "La feuille n'est pas encore imprimée sur « " + queue + c->report;
        EXPECT_TRUE(shown.startsWith(start) && shown.endsWith(" »") && shown.size() > start.size() + 2)
            << shown.toStdString();
        EXPECT_TRUE(messages.isEmpty()) << messages.join(' ').toStdString();
        run("cancel", {"-a", queue});
    } else {
        // What the script made the printer say.
        const QString says = qEnvironmentVariable("MAVREL_CUPS_SAYS");
        EXPECT_EQ(messages.join('|').toStdString(), ("« " + queue + c->report + says + " »").toStdString());
        EXPECT_TRUE(status->currentMessage().isEmpty()) << status->currentMessage().toStdString();
        EXPECT_EQ(run("lpstat", {"-W", "all", "-o", queue}), printedBefore) << "a job was sent";
    }
}

// Three charts in a temporary folder, for a songbook.
struct BookCharts {
    QTemporaryDir dir;
    QStringList files;
    BookCharts()
    {
        const std::pair<const char*, const char*> charts[] = {
            {"Blue Bossa", "Cm6 Fm7"}, {"Solar", "CmM7 Gm7"}, {"Nardis", "E7 FM7"}};
        for (const auto& [title, bar] : charts) {
            files << dir.filePath(QString::fromUtf8(title) + QStringLiteral(".bab"));
            auto chart = test::ChartBuilder(4, 2).bars({bar}).title(title, "").build();
            EXPECT_TRUE(saveChart(*chart, files.last().toStdString()).ok);
        }
    }
};

// The songbook's own PDF goes to the queue as one job: what comes out of the
// printer has its pages, title page and contents included.
TEST(RealPrinter, PrintsASongbook)
{
    const QString out = outputFolder();
    if (out.isEmpty() || qEnvironmentVariableIsSet("MAVREL_CUPS_EMPTY"))
        GTEST_SKIP() << "runs under scripts/cups-test.sh";
    const QStringList before = pdfsIn(out);
    test::ScriptedDialogs dialogs;
    BookCharts charts;
    SongbookDialog dialog;
    dialog.setCharts(charts.files);
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>("printButton"), Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join(' ').toStdString();
    const QString queue = currentPrinter().printerName();
    EXPECT_EQ(dialog.findChild<QLabel*>("statusLabel")->text(), QString("Recueil envoyé à « %1 ».").arg(queue));

    QDeadlineTimer deadline(60000);
    QStringList added;
    while (!deadline.hasExpired()) {
        added = pdfsIn(out);
        for (const QString& old : before)
            added.removeAll(old);
        if (!added.isEmpty() && run("lpstat", {"-o"}).trimmed().isEmpty())
            break;
        QTest::qWait(250);
    }
    ASSERT_EQ(added.size(), 1) << "no printed book in " << out.toStdString();
    EXPECT_EQ(test::pdfPageCount(added.first()), 5);   // title, contents, three charts
    const QString contents = test::pdfText(added.first(), 2);
    for (const char* title : {"Blue Bossa", "Solar", "Nardis"})
        EXPECT_TRUE(contents.contains(QLatin1String(title))) << title << " not in: " << contents.toStdString();
}

// A queue that takes no jobs, a stopped printer: the book is not sent, and the
// printer's words are told.
TEST(RealPrinter, SongbookReportsAQueueThatCannotPrint)
{
    const QString which = qEnvironmentVariable("MAVREL_CUPS_CASE");
    if (which != QLatin1String("rejecting") && which != QLatin1String("disabled"))
        GTEST_SKIP() << "runs under scripts/cups-test.sh";
    const QString queue = currentPrinter().printerName();
    const QString printedBefore = run("lpstat", {"-W", "all", "-o", queue});
    test::ScriptedDialogs dialogs;
    BookCharts charts;
    SongbookDialog dialog;
    dialog.setCharts(charts.files);
    QTest::mouseClick(dialog.findChild<QPushButton*>("printButton"), Qt::LeftButton);
    const QString why = which == QLatin1String("rejecting") ? " » n'accepte aucun travail" : " » est arrêtée";
    EXPECT_EQ(dialogs.messages,
              QStringList("« " + queue + why + " : le recueil n'a pas été imprimé.\nL'imprimante indique : « "
                          + qEnvironmentVariable("MAVREL_CUPS_SAYS") + " »"));
    EXPECT_TRUE(dialog.findChild<QLabel*>("statusLabel")->text().isEmpty());
    EXPECT_EQ(run("lpstat", {"-W", "all", "-o", queue}), printedBefore) << "a job was sent";
}

TEST(RealPrinter, SaysWhenNoPrinterIsConfigured)
{
    if (!qEnvironmentVariableIsSet("MAVREL_CUPS_EMPTY"))
        GTEST_SKIP() << "runs under scripts/cups-test.sh";
    EXPECT_TRUE(currentPrinter().isNull());
    const int printedBefore = pdfsIn(outputFolder()).size();

    const std::unique_ptr<Chart> chart = testChart();
    QStringList messages;
    PrintPreview form([&]() -> const Chart& { return *chart; });
    form.setMessenger([&](const QString& m) { messages << m; });
    form.show();
    const QImage sheet = form.sheet().composed().copy();
    QTest::mouseClick(form.findChild<QPushButton*>("printButton"), Qt::LeftButton);
    EXPECT_EQ(messages, QStringList({QStringLiteral("Aucune imprimante n'est disponible.")}));
    EXPECT_EQ(form.sheet().composed(), sheet);

    // Nor for a songbook.
    test::ScriptedDialogs dialogs;
    BookCharts charts;
    SongbookDialog book;
    book.setCharts(charts.files);
    QTest::mouseClick(book.findChild<QPushButton*>("printButton"), Qt::LeftButton);
    EXPECT_EQ(dialogs.messages, QStringList({QStringLiteral("Aucune imprimante n'est disponible.")}));
    QTest::qWait(1000);
    EXPECT_EQ(pdfsIn(outputFolder()).size(), printedBefore);
}

} // namespace
} // namespace mavrel
