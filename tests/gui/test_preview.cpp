// The print preview driven through its widgets: showing, clicking positions,
// the layout box, printing without a printer, the PDF button, memory running
// short; and the picture formats, which compose sheets as the preview does.
#include "app/charteditor.h"
#include "app/mainwindow.h"
#include "edit/chartdocument.h"
#include "scripteddialogs.h"
#include "document/chartfile.h"
#include "files/localfile.h"
#include "print/pictureformats.h"
#include "print/printpreview.h"
#include "print/printing.h"
#include "render/page.h"
#include "render/sheet.h"
#include "support/chartbuilder.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace mavrel {
namespace {

// A chart that looks like no other: its grid, a division and a label.
std::unique_ptr<Chart> makeChart(int columns, int rows, bool landscape = false, std::string_view label = {})
{
    auto chart = std::make_unique<Chart>();
    resetChart(*chart);
    chart->info.columns = columns;
    chart->info.rows = rows;
    chart->bar(1).division = 3;
    if (landscape)
        std::swap(chart->info.pageWidth, chart->info.pageHeight);
    if (!label.empty())
        commitLabel(*chart, label, 100, 40, 20, true);
    layoutChart(*chart);
    return chart;
}

std::string writeChart(const QTemporaryDir& dir, const QString& name, int columns, int rows,
                       bool landscape = false, std::string_view label = {})
{
    const std::string path = QFile::encodeName(dir.filePath(name)).toStdString();
    EXPECT_TRUE(saveChart(*makeChart(columns, rows, landscape, label), path).ok);
    return path;
}

QImage pageOf(const Chart& chart)
{
    Page page;
    page.draw(chart, Selection{}, false);
    return page.image().convertToFormat(SheetFormat);
}

// The page the editor draws for a chart file.
QImage pageOf(const std::string& path)
{
    StandaloneChart standalone;
    EXPECT_TRUE(loadChart(standalone.chart(), path).ok);
    return standalone.image().convertToFormat(SheetFormat);
}

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

QImage turned(QImage img, int angle)
{
    rotateQuarterTurn(img, angle);
    return img;
}

bool samePixels(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(SheetFormat);
    const QImage y = b.convertToFormat(SheetFormat);
    if (x.size() != y.size())
        return false;
    for (int row = 0; row < x.height(); ++row)
        if (std::memcmp(x.constScanLine(row), y.constScanLine(row), std::size_t(x.width()) * 3) != 0)
            return false;
    return true;
}

class PreviewTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<Chart> mainChart = makeChart(3, 7, false, "Principale");
    std::unique_ptr<PrintPreview> form =
        std::make_unique<PrintPreview>([this]() -> const Chart& { return *mainChart; });
    QStringList messages;
    QString openAnswer;        // empty: the dialog is cancelled
    int openCount = 0;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        form->setMessenger([this](const QString& m) { messages << m; });
        // Presses land on the default page's pixels.
        form->setZoom(100);
        form->setOpenChooser([this] {
            ++openCount;
            return openAnswer;
        });
    }

    template <class T>
    T* child(const char* name)
    {
        T* c = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QWidget* image() { return child<QWidget>("sheetView"); }
    QComboBox* combo() { return child<QComboBox>("layoutCombo"); }
    void press(int x, int y) { QTest::mouseClick(image(), Qt::LeftButton, {}, QPoint(x, y)); }
    void showForm()
    {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void chooseLayout(const QString& text) { combo()->setCurrentIndex(combo()->findText(text)); }
};

TEST_F(PreviewTest, TextsOfTheWindow)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Aperçu avant impression"));
    QComboBox* c = combo();
    EXPECT_TRUE(c->isEditable());
    EXPECT_EQ(c->count(), 4);
    EXPECT_EQ(c->currentText(), QStringLiteral("1"));
    EXPECT_EQ(c->toolTip(), QStringLiteral("Sélectionnez ici le nombre de grilles à imprimer sur une feuille"));
    EXPECT_EQ(child<QLabel>("perLabel")->text(), QStringLiteral("Par :"));
    EXPECT_EQ(child<QPushButton>("printButton")->text(), QStringLiteral("Imprime"));
    EXPECT_EQ(image()->size(), QSize(565, 800));
    EXPECT_EQ(image()->toolTip(), QStringLiteral("Cliquez pour ouvrir un nouveau fichier !"));
}

// The sheet fills the window as it grows, zooms with Ctrl and the wheel, is
// drawn at the screen's resolution, and "Fermer" or Esc close the window.
TEST_F(PreviewTest, ZoomsFitsAndCloses)
{
    showForm();
    form->fitToWindow();
    form->resize(700, 500);
    QApplication::processEvents();
    const QSize small = image()->size();
    form->resize(900, 1100);
    QApplication::processEvents();
    EXPECT_GT(image()->height(), small.height());
    EXPECT_NEAR(image()->width() * 800.0 / image()->height(), 565, 2) << "proportions kept";

    const int before = image()->width();
    QWheelEvent wheel(QPointF(10, 10), image()->mapToGlobal(QPointF(10, 10)), {}, QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(image(), &wheel);
    EXPECT_FALSE(form->fitsWindow());
    EXPECT_GT(image()->width(), before);

    // What the screen shows is the sheet drawn at the view's own size.
    form->setZoom(200);
    EXPECT_EQ(image()->size(), QSize(1130, 1600));
    QImage expected(image()->size(), QImage::Format_RGB32);
    expected.fill(Qt::white);
    {
        QPainter painter(&expected);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        paintSheet(painter, QRectF(QPointF(0, 0), QSizeF(expected.size())), form->composedCharts());
    }
    EXPECT_TRUE(image()->grab().toImage().convertToFormat(QImage::Format_RGB32) == expected);

    child<QPushButton>("closeButton")->click();
    EXPECT_FALSE(form->isVisible());
    showForm();
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(PreviewTest, EachShowingRefreshesPositionOneOnly)
{
    const std::string chart = writeChart(dir, "autre.bab", 3, 5);
    const QImage firstMain = pageOf(*mainChart);
    showForm();
    EXPECT_TRUE(samePixels(form->sheet().pageAt(1), firstMain));
    EXPECT_TRUE(samePixels(form->sheet().composed(), firstMain));

    chooseLayout("2");
    openAnswer = QString::fromStdString(chart);
    press(10, 500);
    ASSERT_EQ(openCount, 1);
    EXPECT_TRUE(samePixels(form->sheet().pageAt(2), turned(pageOf(chart), 90)));

    // Shown again while visible: no new snapshot.
    mainChart = makeChart(2, 2);
    form->show();
    EXPECT_TRUE(samePixels(form->sheet().pageAt(1), turned(firstMain, 90)));

    // Closed (only hidden) and shown: position 1 follows the main page,
    // position 2 stays.
    form->close();
    EXPECT_FALSE(form->isVisible());
    form->show();
    EXPECT_TRUE(samePixels(form->sheet().pageAt(1), turned(pageOf(*mainChart), 90)));
    EXPECT_TRUE(samePixels(form->sheet().pageAt(2), turned(pageOf(chart), 90)));

    // A chart clicked into position 1 gives way to the main page at the next showing.
    press(10, 10);
    EXPECT_TRUE(samePixels(form->sheet().pageAt(1), turned(pageOf(chart), 90)));
    form->hide();
    form->show();
    EXPECT_TRUE(samePixels(form->sheet().pageAt(1), turned(pageOf(*mainChart), 90)));
}

TEST_F(PreviewTest, ClickFillsThePositionUnderTheCursor)
{
    const std::string chart = writeChart(dir, "huit.bab", 2, 6);
    showForm();
    chooseLayout("8");
    openAnswer = QString::fromStdString(chart);
    press(300, 601);   // right column, fourth row
    const QImage expected = turned(pageOf(chart), 90);
    EXPECT_TRUE(samePixels(form->sheet().pageAt(8), expected));
    EXPECT_TRUE(samePixels(form->sheet().composed().copy(800, 1695, 800, 565), expected));
    EXPECT_TRUE(samePixels(form->sheet().pageAt(6), turned(Sheet().pageAt(6), 90)));

    // Cancelled: the dialog came and went, the sheet is recomposed unchanged.
    openAnswer.clear();
    const QImage before = form->sheet().composed().copy();
    press(300, 600);
    EXPECT_EQ(openCount, 2);
    EXPECT_TRUE(samePixels(form->sheet().composed(), before));
}

TEST_F(PreviewTest, LayoutBoxByListOrByTyping)
{
    showForm();
    chooseLayout("4");
    EXPECT_EQ(form->sheet().composed().size(), QSize(1130, 1600));

    // A typed item counts as chosen; any other text selects none: the sheet
    // stays, and a click does nothing at all.
    QLineEdit* edit = combo()->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, "8");
    EXPECT_EQ(form->layoutIndex(), 3);
    EXPECT_EQ(form->sheet().composed().size(), QSize(1600, 2260));
    edit->selectAll();
    QTest::keyClicks(edit, "3");
    EXPECT_EQ(form->layoutIndex(), -1);
    EXPECT_EQ(form->sheet().composed().size(), QSize(1600, 2260));
    openAnswer = QStringLiteral("/nonexistent.bab");
    press(10, 10);
    EXPECT_EQ(openCount, 0);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(PreviewTest, UnreadableChartShowsItsMessageAndChangesNothing)
{
    showForm();
    chooseLayout("2");
    QFile junk(dir.filePath("junk.bab"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a chart");
    junk.close();

    const QImage position2 = form->sheet().pageAt(2).copy();
    const QImage sheet = form->sheet().composed().copy();
    for (const QString& path : {dir.filePath("junk.bab"), dir.filePath("missing.bab")}) {
        openAnswer = path;
        press(10, 700);
        EXPECT_TRUE(samePixels(form->sheet().pageAt(2), position2));
        EXPECT_TRUE(samePixels(form->sheet().composed(), sheet));
    }
    ASSERT_EQ(messages.size(), 2);
    for (const QString& m : messages) {
        EXPECT_FALSE(m.isEmpty());
        EXPECT_TRUE(m.endsWith(QLatin1Char('.'))) << m.toStdString();
    }
}

TEST_F(PreviewTest, MessagesGoToABoxTitledWithTheProgramName)
{
    auto real = std::make_unique<PrintPreview>([this]() -> const Chart& { return *mainChart; });
    real->setOpenChooser([this] { return dir.filePath("missing.bab"); });
    QString title, text;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            box->accept();
        }
    });
    real->choosePosition(10, 10);
    EXPECT_EQ(title, QStringLiteral("Mavrel"));
    EXPECT_FALSE(text.isEmpty());
}

// The fault this guards against: filling a position used to load the other
// chart into the user's document and then re-read the user's file, losing
// unsaved edits (or keeping the other chart when there was no file).
TEST(PreviewAndMainWindow, FillingPositionsLeavesTheMainChartAsItWas)
{
    QTemporaryDir dir;
    const std::string mine = writeChart(dir, "mine.bab", 4, 6);
    const std::string other = writeChart(dir, "other.bab", 2, 3, true);

    for (const bool withFile : {true, false}) {
        test::ScriptedDialogs dialogs;
        MainWindow window;
        if (withFile) {
            ASSERT_TRUE(window.openChart(QString::fromStdString(mine)));
        }
        // An edit that is not saved.
        window.document().cycleDivision(2);
        window.document().setGrid(5, window.chart().info.rows);

        const auto chartBefore = std::make_unique<Chart>(window.chart());
        const QImage pageBefore = window.editor()->pageImage().copy();

        PrintPreview* preview = window.printPreview();
        ASSERT_NE(preview, nullptr);
        preview->setOpenChooser([&] { return QString::fromStdString(other); });
        window.findChild<QAction*>("printAction")->trigger();
        ASSERT_TRUE(preview->isVisible());
        auto* combo = preview->findChild<QComboBox*>("layoutCombo");
        combo->setCurrentIndex(combo->findText("4"));
        auto* image = preview->findChild<QWidget*>("sheetView");
        for (const QPoint p : {QPoint(10, 10), QPoint(400, 10), QPoint(10, 500)})
            QTest::mouseClick(image, Qt::LeftButton, {}, p);
        EXPECT_TRUE(samePixels(preview->sheet().pageAt(2), turned(pageOf(other), 270)));

        const Chart& after = window.chart();
        EXPECT_EQ(std::memcmp(after.bars.data(), chartBefore->bars.data(), sizeof after.bars), 0);
        EXPECT_EQ(std::memcmp(after.labels.data(), chartBefore->labels.data(), sizeof after.labels), 0);
        EXPECT_EQ(std::memcmp(&after.info, &chartBefore->info, sizeof after.info), 0);
        EXPECT_EQ(window.document().fileName(), withFile ? QByteArray::fromStdString(mine) : QByteArray());
        EXPECT_EQ(window.editor()->pageImage(), pageBefore);
        preview->hide();
    }
}

TEST_F(PreviewTest, PrintingWithoutAPrinterSaysSo)
{
    // Point the printing system at nothing, so that no printer of the machine
    // can answer.
    const QByteArray saved = qgetenv("CUPS_SERVER");
    qputenv("CUPS_SERVER", QFile::encodeName(dir.filePath("no-cups.sock")));
    if (!QPrinterInfo::availablePrinters().isEmpty()) {
        qputenv("CUPS_SERVER", saved);
        GTEST_SKIP() << "this machine has printers beyond CUPS";
    }
    showForm();
    const QImage sheet = form->sheet().composed().copy();
    QTest::mouseClick(child<QPushButton>("printButton"), Qt::LeftButton);
    if (saved.isNull())
        qunsetenv("CUPS_SERVER");
    else
        qputenv("CUPS_SERVER", saved);
    EXPECT_EQ(messages, QStringList({QStringLiteral("Aucune imprimante n'est disponible.")}));
    EXPECT_TRUE(samePixels(form->sheet().composed(), sheet));
}

// The PDF holds the charts of the sheet as composed.
TEST_F(PreviewTest, PdfButtonWritesTheComposedChartsOnOnePage)
{
    showForm();
    chooseLayout("2");
    openAnswer = QString::fromStdString(writeChart(dir, "autre.bab", 2, 3, true, "Seconde fine"));
    press(10, 500);
    const QString pdf = dir.filePath("feuille.pdf");
    form->setPdfChooser([&] { return pdf; });
    QTest::mouseClick(child<QPushButton>("pdfButton"), Qt::LeftButton);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(run("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+1\\n")));
    const QString text = run("pdftotext", {pdf, "-"});
    // Letter for letter: "fi" is no ligature of its own.
    EXPECT_TRUE(text.contains("Principale") && text.contains("Seconde fine")) << text.toStdString();

    // A folder that does not exist cannot take the file; the message names it.
    form->setPdfChooser([&] { return dir.filePath("absent/feuille.pdf"); });
    QTest::mouseClick(child<QPushButton>("pdfButton"), Qt::LeftButton);
    EXPECT_EQ(messages, QStringList(dir.filePath("absent/feuille.pdf") + " : Dossier « " + dir.filePath("absent")
                                    + " » introuvable."));
}

// "Pour :" draws every chart of the sheet as the instrument's part, on the
// screen and on paper, and leaves the charts as they are.
TEST_F(PreviewTest, PartsForTransposingInstruments)
{
    mainChart->bar(2).slot(1).root = 1;   // C, on the second bar
    showForm();
    auto* forBox = child<QComboBox>("instrumentCombo");
    ASSERT_EQ(forBox->currentText(), "Ut");
    const Chart concert = *mainChart;
    forBox->setCurrentIndex(forBox->findText(QString::fromUtf8("Si\xE2\x99\xAD")));
    emit forBox->activated(forBox->currentIndex());
    EXPECT_EQ(form->composedCharts().instrument, Instrument::BFlat);
    EXPECT_FALSE(samePixels(form->sheet().pageAt(1), pageOf(concert)));
    EXPECT_EQ(std::memcmp(mainChart.get(), &concert, sizeof concert), 0);

    const QString pdf = dir.filePath("sib.pdf");
    form->setPdfChooser([&] { return pdf; });
    QTest::mouseClick(child<QPushButton>("pdfButton"), Qt::LeftButton);
    const QString text = run("pdftotext", {pdf, "-"});
    EXPECT_TRUE(text.contains(QString::fromUtf8("Si\xE2\x99\xAD")) && text.contains("D\n")) << text.toStdString();

    // A chord whose bass would no longer fit makes no part: the sheet goes
    // back to concert pitch, and "Pour :" refuses the instrument.
    mainChart->bar(3).slot(1).root = 1;
    mainChart->bar(3).slot(1).quality.assign("m7(b9,#11,b13)add9,no5/E");   // F# for B-flat
    form->takeMainPage();
    EXPECT_EQ(form->instrument(), Instrument::Concert);
    EXPECT_EQ(forBox->currentText(), "Ut");
    EXPECT_TRUE(samePixels(form->sheet().pageAt(1), pageOf(*mainChart)));
    forBox->setCurrentIndex(forBox->findText(QString::fromUtf8("Si\xE2\x99\xAD")));
    emit forBox->activated(forBox->currentIndex());
    EXPECT_EQ(form->instrument(), Instrument::Concert);
    EXPECT_EQ(forBox->currentText(), "Ut");
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].startsWith(QString::fromUtf8("Pas de partie en Si\xE2\x99\xAD : à la mesure 3")));
    EXPECT_TRUE(messages[1].startsWith(QString::fromUtf8("Grille 1 de la feuille : Pas de partie"))) << messages[1].toStdString();
}

// Address space for this process capped at what it uses now and `spareMb`
// more, while alive.
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(long spareMb)
    {
        getrlimit(RLIMIT_AS, &m_saved);
        long pages = 0;
        if (FILE* f = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(f, "%ld", &pages) != 1)
                pages = 0;
            std::fclose(f);
        }
        rlimit limit = m_saved;
        limit.rlim_cur = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + rlim_t(spareMb) * 1024 * 1024;
        setrlimit(RLIMIT_AS, &limit);
    }
    ~AddressSpaceLimit() { setrlimit(RLIMIT_AS, &m_saved); }

private:
    rlimit m_saved{};
};

// A page too large for the memory left is not drawn: the position keeps what
// it held, and the user is told.
TEST_F(PreviewTest, SaysWhenMemoryRunsShort)
{
    mainChart->info.pageWidth = 10000;
    mainChart->info.pageHeight = 10000;
    layoutChart(*mainChart);
    {
        AddressSpaceLimit limit(200);
        showForm();
    }
    EXPECT_EQ(messages, QStringList{"Mémoire insuffisante pour dessiner la page."});
    EXPECT_TRUE(samePixels(form->sheet().pageAt(1), Sheet().pageAt(1)));
    EXPECT_EQ(form->composedCharts().charts[0], nullptr);
}

// --- the picture formats --------------------------------------------------------

const FileFormat& pictureFormat(std::string_view shortName)
{
    static const FormatRegistry formats = [] {
        FormatRegistry r;
        addPictureFormats(r);
        return r;
    }();
    return *formats.named(shortName);
}

std::unique_ptr<Chart> readChart(const std::string& path)
{
    auto chart = std::make_unique<Chart>();
    resetChart(*chart);
    EXPECT_TRUE(loadChart(*chart, path).ok) << path;
    return chart;
}

TEST(PictureFormats, PngSheetIsTheSheetThePreviewComposes)
{
    QTemporaryDir dir;
    const std::string a = writeChart(dir, "a.bab", 3, 4);
    const std::string b = writeChart(dir, "b.bab", 4, 2, true);
    const auto first = readChart(a), second = readChart(b);
    const Chart* charts[] = {first.get(), second.get()};
    WriteOptions options;
    options.perSheet = 4;
    const QString png = dir.filePath("feuille.png");
    ASSERT_TRUE(pictureFormat("png").writeSheets(charts, options, QFile::encodeName(png).toStdString()).ok);
    // Pixel for pixel the sheet the preview composes; positions 3 and 4 blank.
    Sheet expected;
    expected.copyPage(1, pageOf(a));
    expected.copyPage(2, pageOf(b));
    expected.compose(2);
    EXPECT_TRUE(samePixels(QImage(png), expected.composed()));
}

// Nine charts at four a sheet: three pages, the charts in the order given,
// the last page with one chart; text and lines, no picture.
TEST(PictureFormats, PdfSheetsAreASongbook)
{
    QTemporaryDir dir;
    std::vector<std::unique_ptr<Chart>> read;
    std::vector<const Chart*> charts;
    for (int i = 1; i <= 9; ++i) {
        read.push_back(readChart(
            writeChart(dir, QStringLiteral("%1.bab").arg(i), 2, 3, i == 5, "Grille " + std::to_string(i))));
        charts.push_back(read.back().get());
    }
    WriteOptions options;
    options.perSheet = 4;
    const QString pdf = dir.filePath("recueil.pdf");
    ASSERT_TRUE(pictureFormat("pdf").writeSheets(charts, options, QFile::encodeName(pdf).toStdString()).ok);
    EXPECT_TRUE(run("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+3\\n")));
    EXPECT_EQ(run("pdfimages", {"-list", pdf}).count('\n'), 2) << "a heading and no image";
    const QStringList pages = run("pdftotext", {pdf, "-"}).split('\f');
    ASSERT_GE(pages.size(), 3);
    for (int i = 1; i <= 9; ++i)
        EXPECT_TRUE(pages[(i - 1) / 4].contains(QStringLiteral("Grille %1").arg(i))) << i;
}

// A label and a chord holding control characters, as a damaged file may: the
// SVG is XML still, its texts without them.
TEST(PictureFormats, SvgOfControlCharactersIsXml)
{
    auto chart = test::ChartBuilder(4, 2).bars({"C7"}).label("x", 100, 40, 18, true).build();
    chart->label(1).text.assign(std::string_view("Ni\0ght & \"Day\" <1>\x01\x1B\x7F", 22));
    chart->bar(1).slot(1).quality.assign(std::string_view("7\0\x0C", 3));
    QTemporaryDir dir;
    QFile file(dir.filePath("page.svg"));
    ASSERT_TRUE(pictureFormat("svg").writePage(*chart, {}, QFile::encodeName(file.fileName()).toStdString()).ok);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList texts;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
            texts << xml.readElementText();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Night & \"Day\" <1>"))) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("C7"))) << texts.join('|').toStdString();
}

} // namespace
} // namespace mavrel
