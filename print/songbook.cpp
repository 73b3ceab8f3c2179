#include "songbook.h"

#include "document/chartfile.h"
#include "document/key.h"
#include "document/setlist.h"
#include "files/localfile.h"
#include "pdfnavigation.h"
#include "render/sheet.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace mavrel {

namespace {

// The pages are A4 and every measure below is in points.
constexpr double Margin = 56;
constexpr double HeadingTop = 64;
constexpr double FirstLine = 120;
constexpr double LineHeight = 20;
// The strip at the foot of a chart page that holds its number.
constexpr double Foot = 28;

const QPageSize Paper(QPageSize::A4);
constexpr int Resolution = 1200;

int linesPerPage()
{
    const double height = Paper.rect(QPageSize::Point).height();
    return std::max(1, static_cast<int>((height - Margin - FirstLine) / LineHeight));
}

// Draws with measures in points onto a page of the PDF writer, and says
// where a rectangle drawn so lies in the page's own coordinates.
class PagePainter {
public:
    PagePainter(QPainter& painter, const QPdfWriter& pdf)
        : m_painter(painter),
          m_scale(pdf.resolution() / 72.0),
          m_paint(pdf.pageLayout().paintRect(QPageLayout::Point)),
          m_page(pdf.pageLayout().fullRect(QPageLayout::Point))
    {
    }

    // The page's width and height in points, as the painter reaches it.
    double width() const { return m_paint.width(); }
    double height() const { return m_paint.height(); }
    double scale() const { return m_scale; }

    void setFont(double points, bool bold = false, bool italic = false)
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(std::max(1, static_cast<int>(points * m_scale)));
        font.setBold(bold);
        font.setItalic(italic);
        m_painter.setFont(font);
    }

    // The text in the box, elided to its width.
    void text(double x, double y, double w, double h, const QString& text, Qt::Alignment align)
    {
        const QRectF box(x * m_scale, y * m_scale, w * m_scale, h * m_scale);
        const QString shown = QFontMetricsF(m_painter.font()).elidedText(text, Qt::ElideRight, box.width());
        m_painter.drawText(box, static_cast<int>(align | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
    }

    // A rectangle of the painter, in points from the page's bottom-left
    // corner, as PDF annotations want it.
    PdfLink link(int page, double x, double y, double w, double h, int target) const
    {
        const double left = m_paint.left() + x;
        const double top = m_page.height() - (m_paint.top() + y);
        return {page, left, top - h, left + w, top, target};
    }

private:
    QPainter& m_painter;
    double m_scale;
    QRectF m_paint;
    QRectF m_page;
};

void drawFoot(PagePainter& page, int index)
{
    page.setFont(9);
    page.text(0, page.height() - Foot + 4, page.width(), Foot - 8, QString::number(index + 1), Qt::AlignHCenter);
}

// Reads the song's chart into it; false, with the error set, when the chart
// cannot be read or moved to `key`.
bool readSong(SongbookSong& song, const std::string& file, Key key, SongbookReading& reading)
{
    auto chart = std::make_unique<Chart>();
    resetChart(*chart);
    FileResult r = loadChart(*chart, file);
    if (r.ok) {
        if (!r.warning.empty())
            reading.warnings << fileMessage(r);
        if (const Message problem = transposeToKey(*chart, key); !problem.empty())
            r = FileResult::failure(problem, file);
    }
    if (!r.ok) {
        reading.error = fileMessage(r);
        return false;
    }
    song.chart = std::move(chart);
    return true;
}

// Every chart there is checked against its part, all before any is drawn.
void checkParts(SongbookReading& reading, const std::vector<std::string>& files)
{
    for (std::size_t i = 0; i < reading.book.songs.size() && reading.ok(); ++i) {
        const SongbookSong& song = reading.book.songs[i];
        if (!song.chart)
            continue;
        if (const Message problem = partProblem(*song.chart, song.part); !problem.empty())
            reading.error = fileMessage(FileResult::failure(problem, files[i]));
    }
}

} // namespace

SongbookReading readSongbook(const SetList& list, const std::string& setListFile, std::optional<Instrument> part)
{
    SongbookReading reading;
    reading.book.name = QString::fromUtf8(list.name);
    SetList checked = list;
    checkSongFiles(checked, setListFile);
    std::vector<std::string> files;
    for (const SetListSong& s : checked.songs) {
        SongbookSong song;
        const std::string file = songFileName(setListFile, s);
        song.fileName = QFile::decodeName(QByteArray::fromStdString(file));
        song.part = part.value_or(s.part);
        if (s.missing) {
            reading.warnings << QCoreApplication::translate(
                                    "Songbook", "%1 : grille introuvable, marquée manquante dans le sommaire.")
                                    .arg(song.fileName);
        } else if (!readSong(song, file, s.key, reading)) {
            return reading;
        }
        files.push_back(file);
        reading.book.songs.push_back(std::move(song));
    }
    checkParts(reading, files);
    return reading;
}

SongbookReading readSongbook(const std::vector<std::string>& chartFiles, std::optional<Instrument> part)
{
    SongbookReading reading;
    for (const std::string& file : chartFiles) {
        SongbookSong song;
        song.fileName = QFile::decodeName(QByteArray::fromStdString(file));
        song.part = part.value_or(Instrument::Concert);
        if (!readSong(song, file, Key{}, reading))
            return reading;
        reading.book.songs.push_back(std::move(song));
    }
    checkParts(reading, chartFiles);
    return reading;
}

SongbookPages songbookPages(const Songbook& book)
{
    SongbookPages pages;
    const int lines = linesPerPage();
    const int songs = static_cast<int>(book.songs.size());
    pages.contentsPages = std::max(1, (songs + lines - 1) / lines);
    const int per = std::max(1, book.per);
    const int first = 1 + pages.contentsPages;
    int placed = 0;
    for (const SongbookSong& song : book.songs)
        pages.songPage.push_back(song.chart ? first + placed++ / per : -1);
    pages.pageCount = first + (placed + per - 1) / per;
    return pages;
}

QString songbookTitle(const SongbookSong& song)
{
    const std::string title = song.chart ? chartTitle(*song.chart) : std::string();
    return title.empty() ? QFileInfo(song.fileName).completeBaseName() : QString::fromUtf8(title);
}

QString songbookKey(const SongbookSong& song)
{
    if (!song.chart)
        return {};
    Key key = songKey(*song.chart);
    if (song.part != Instrument::Concert)
        key = transposeKey(key, instrumentInterval(song.part), Spelling::Key);
    return QString::fromStdString(keyName(key));
}

bool encodeSongbookPdf(const Songbook& book, QByteArray& bytes)
{
    const SongbookPages pages = songbookPages(book);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(Resolution);
    pdf.setPageSize(Paper);
    pdf.setPageOrientation(QPageLayout::Portrait);
    pdf.setTitle(book.name);
    pdf.setCreator(QStringLiteral("Mavrel"));

    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    PagePainter page(painter, pdf);
    std::vector<PdfLink> links;
    std::vector<PdfBookmark> bookmarks;
    bool started = true;

    // The title page.
    page.setFont(28, true);
    page.text(Margin, page.height() * 0.35, page.width() - 2 * Margin, 60,
              book.name.isEmpty() ? QCoreApplication::translate("Songbook", "Recueil") : book.name, Qt::AlignHCenter);
    page.setFont(14);
    if (book.date.isValid())
        page.text(Margin, page.height() * 0.35 + 70, page.width() - 2 * Margin, 24,
                  QLocale().toString(book.date, QLocale::LongFormat), Qt::AlignHCenter);

    // The contents.
    const int lines = linesPerPage();
    const double keyColumn = page.width() - Margin - 110;
    const double composerColumn = Margin + (keyColumn - Margin) * 0.55;
    bookmarks.push_back({QCoreApplication::translate("Songbook", "Sommaire").toStdString(), 1});
    for (int p = 0; p < pages.contentsPages && started; ++p) {
        started = pdf.newPage();
        const int index = 1 + p;
        page.setFont(18, true);
        page.text(Margin, HeadingTop, page.width() - 2 * Margin, 30,
                  QCoreApplication::translate("Songbook", "Sommaire"), Qt::AlignLeft);
        for (int line = 0; line < lines; ++line) {
            const std::size_t i = static_cast<std::size_t>(p * lines + line);
            if (i >= book.songs.size())
                break;
            const SongbookSong& song = book.songs[i];
            const double y = FirstLine + line * LineHeight;
            const double h = LineHeight;
            page.setFont(11, true);
            page.text(Margin, y, composerColumn - Margin - 8, h, songbookTitle(song), Qt::AlignLeft);
            page.setFont(10);
            if (song.chart)
                page.text(composerColumn, y, keyColumn - composerColumn - 8, h,
                          QString::fromUtf8(song.chart->song.composer.view()), Qt::AlignLeft);
            page.text(keyColumn, y, 50, h, songbookKey(song), Qt::AlignLeft);
            if (pages.songPage[i] < 0) {
                page.setFont(10, false, true);
                page.text(keyColumn, y, page.width() - Margin - keyColumn, h,
                          QCoreApplication::translate("Songbook", "manquante"), Qt::AlignRight);
                continue;
            }
            page.text(keyColumn + 50, y, page.width() - Margin - keyColumn - 50, h,
                      QString::number(pages.songPage[i] + 1), Qt::AlignRight);
            links.push_back(page.link(index, Margin, y, page.width() - 2 * Margin, h, pages.songPage[i]));
            bookmarks.push_back({songbookTitle(song).toStdString(), pages.songPage[i]});
        }
        drawFoot(page, index);
    }

    // The charts, the sheets the preview would compose.
    const int layout = layoutFromCount(book.per);
    if (layout < 0)
        return false;
    SheetCharts sheet;
    int position = 0;
    int index = 1 + pages.contentsPages;
    const auto flush = [&] {
        if (position == 0 || !started)
            return;
        started = pdf.newPage();
        if (!started)
            return;
        paintSheet(painter, QRectF(0, 0, page.width() * page.scale(), (page.height() - Foot) * page.scale()), sheet);
        drawFoot(page, index++);
        sheet = SheetCharts();
        position = 0;
    };
    for (const SongbookSong& song : book.songs) {
        if (!song.chart)
            continue;
        sheet.layout = layout;
        sheet.charts[static_cast<std::size_t>(position)] = song.chart.get();
        sheet.parts[static_cast<std::size_t>(position)] = song.part;
        if (++position == book.per)
            flush();
    }
    flush();
    if (!painter.end() || !started)
        return false;
    buffer.close();

    std::string document = bytes.toStdString();
    if (!addPdfNavigation(document, bookmarks, links))
        return false;
    bytes = QByteArray::fromStdString(document);
    return true;
}

} // namespace mavrel
