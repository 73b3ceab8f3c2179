#include "pictureformats.h"

#include "printing.h"
#include "render/page.h"
#include "render/sheet.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <memory>
#include <vector>

namespace mavrel {

namespace {

// The chart as it is for the concert part, else its part on the heap:
// a chart is 48 KB.
class Part {
public:
    Part(const Chart& chart, Instrument instrument)
        : m_part(instrument == Instrument::Concert ? nullptr : std::make_unique<Chart>(partFor(chart, instrument))),
          m_chart(m_part ? *m_part : chart)
    {
    }
    const Chart& chart() const { return m_chart; }

private:
    std::unique_ptr<Chart> m_part;
    const Chart& m_chart;
};

Message drawingFailed(const WriteOptions& options)
{
    if (options.source.empty())
        return QT_TRANSLATE_NOOP("Message", "Mémoire insuffisante pour dessiner la page.");
    return {QT_TRANSLATE_NOOP("Message", "Mémoire insuffisante pour dessiner la page de « %1 »."), {options.source}};
}

// The page as the editor shows it, pixel for pixel, marked with its part;
// null when there was not enough memory.
QImage exactPage(const Chart& chart, Instrument instrument)
{
    Page page;
    page.draw(chart, Selection{}, false);
    QImage image = page.image();
    markPart(image, instrument);
    return image;
}

// The page drawn as vectors on a document device writing into `bytes`,
// marked with its part, then the bytes written.
FileResult paintVectors(QPaintDevice& device, const Chart& part, const WriteOptions& options, const QByteArray& bytes,
                        const std::string& fileName)
{
    QPainter painter;
    if (!painter.begin(&device))
        return FileResult::failure(drawingFailed(options), fileName);
    paintPage(painter, part, Selection{}, false);
    paintPartMark(painter, pageSize(part), options.instrument);
    if (!painter.end())
        return FileResult::failure(drawingFailed(options), fileName);
    return writeBytes(bytes, fileName);
}

FileResult writePng(const QImage& image, const std::string& fileName)
{
    // Qt writes an opaque 32-bit image as the same 24-bit PNG as a converted
    // copy: a huge page is not copied for nothing.
    const QImage rgb = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB888);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (rgb.isNull() || !QImageWriter(&buffer, "png").write(rgb))
        return FileResult::failure(QT_TRANSLATE_NOOP("Message", "Mémoire insuffisante pour créer l'image."), fileName);
    return writeBytes(bytes, fileName);
}

class PngFormat : public FileFormat {
public:
    PngFormat()
        : FileFormat(QT_TRANSLATE_NOOP("Message", "Images PNG"), "png", {"png"},
                     {FileOperation::WritePage, FileOperation::WriteSheets})
    {
    }
    bool onePage() const override { return true; }

    FileResult writePage(const Chart& chart, const WriteOptions& options, const std::string& fileName) const override
    {
        const Part part(chart, options.instrument);
        const QSize page = pageSize(part.chart());
        const QSize size = options.fit ? page.scaled(options.fit, options.fit, Qt::KeepAspectRatio).expandedTo({1, 1})
                                       : pageImageSize(part.chart(), options.dpi);
        if (!pictureFits(size))
            return FileResult::failure(
                {QT_TRANSLATE_NOOP("Message", "image trop grande, %1 × %2 pixels (%3 millions au plus)."),
                 {std::to_string(size.width()), std::to_string(size.height()),
                  std::to_string(MaxPicturePixels / 1000000)}},
                fileName);
        QImage image;
        if (options.fit ? size == page : options.dpi == 96)
            image = exactPage(part.chart(), options.instrument);
        else if (options.fit)
            image = paintPageImage(part.chart(), size, options.instrument);
        else
            image = paintPageImage(part.chart(), options.dpi, options.instrument);
        if (image.isNull())
            return FileResult::failure(drawingFailed(options), fileName);
        return writePng(image, fileName);
    }

    // One sheet, pixel for pixel: each page is drawn and placed in turn, so
    // that one full-size page at most is alive at a time.
    FileResult writeSheets(std::span<const Chart* const> charts, const WriteOptions& options,
                           const std::string& fileName) const override
    {
        const int layout = layoutFromCount(options.perSheet);
        if (layout < 0 || charts.size() > std::size_t(options.perSheet))
            return FileFormat::writeSheets(charts, options, fileName);
        const Message failed = QT_TRANSLATE_NOOP("Message", "Mémoire insuffisante pour composer la feuille.");
        Sheet sheet;
        if (!sheet.compose(layout))
            return FileResult::failure(failed, fileName);
        for (std::size_t i = 0; i < charts.size(); ++i) {
            if (!charts[i])
                continue;
            const QImage page = exactPage(Part(*charts[i], options.instrument).chart(), options.instrument);
            if (page.isNull() || !sheet.placePage(layout, int(i) + 1, page))
                return FileResult::failure(failed, fileName);
        }
        return writePng(sheet.composed(), fileName);
    }
};

class PdfFormat : public FileFormat {
public:
    PdfFormat()
        : FileFormat(QT_TRANSLATE_NOOP("Message", "Documents PDF"), "pdf", {"pdf"},
                     {FileOperation::WritePage, FileOperation::WriteSheets})
    {
    }

    // A document of the page's size, one page pixel a 96th of an inch.
    FileResult writePage(const Chart& chart, const WriteOptions& options, const std::string& fileName) const override
    {
        const Part part(chart, options.instrument);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        const QSize size = pageSize(part.chart());
        QPdfWriter pdf(&buffer);
        // A device pixel is a page pixel. Qt gives a page whole points, which
        // may make it a fraction of a point larger or smaller than the chart's.
        pdf.setResolution(96);
        pdf.setPageSize(QPageSize(QSizeF(size.width() / 96.0, size.height() / 96.0), QPageSize::Inch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        return paintVectors(pdf, part.chart(), options, bytes, fileName);
    }

    // A songbook: the sheets on A4 pages, one a page, as they print.
    FileResult writeSheets(std::span<const Chart* const> charts, const WriteOptions& options,
                           const std::string& fileName) const override
    {
        const int layout = layoutFromCount(options.perSheet);
        if (layout < 0)
            return FileFormat::writeSheets(charts, options, fileName);
        const std::size_t per = std::size_t(options.perSheet);
        std::vector<SheetCharts> sheets((charts.size() + per - 1) / per);
        for (std::size_t i = 0; i < charts.size(); ++i) {
            SheetCharts& sheet = sheets[i / per];
            sheet.layout = layout;
            sheet.instrument = options.instrument;
            sheet.charts[i % per] = charts[i];
        }
        QByteArray bytes;
        if (!encodeSheetsPdf(sheets, bytes))
            return FileResult::failure(QT_TRANSLATE_NOOP("Message", "Mémoire insuffisante pour créer le document."),
                                       fileName);
        return writeBytes(bytes, fileName);
    }
};

class SvgFormat : public FileFormat {
public:
    SvgFormat() : FileFormat(QT_TRANSLATE_NOOP("Message", "Images SVG"), "svg", {"svg"}, {FileOperation::WritePage}) {}
    bool onePage() const override { return true; }

    FileResult writePage(const Chart& chart, const WriteOptions& options, const std::string& fileName) const override
    {
        const Part part(chart, options.instrument);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        const QSize size = pageSize(part.chart());
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setResolution(96);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        return paintVectors(svg, part.chart(), options, bytes, fileName);
    }
};

} // namespace

void addPictureFormats(FormatRegistry& formats)
{
    formats.add(std::make_unique<PngFormat>());
    formats.add(std::make_unique<PdfFormat>());
    formats.add(std::make_unique<SvgFormat>());
}

FileResult writeBytes(const QByteArray& bytes, const std::string& fileName)
{
    return writeBytes(std::string_view(bytes.constData(), std::size_t(bytes.size())), fileName);
}

} // namespace mavrel
