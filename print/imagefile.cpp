#include "imagefile.h"

#include "render/page.h"

#include <QCoreApplication>
#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace mavrel {

bool encodePng(const QImage& image, QByteArray& bytes)
{
    // Qt writes an opaque 32-bit image as the same 24-bit PNG as a converted
    // copy: a huge page is not copied for nothing.
    const QImage rgb = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull())
        return false;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return writer.write(rgb);
}

bool encodePagePdf(const Chart& chart, QByteArray& bytes, Instrument instrument)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QSize size = pageSize(chart);
    QPdfWriter pdf(&buffer);
    // A device pixel is a page pixel. Qt gives a page whole points, which may
    // make it a fraction of a point larger or smaller than the chart's.
    pdf.setResolution(96);
    pdf.setPageSize(QPageSize(QSizeF(size.width() / 96.0, size.height() / 96.0), QPageSize::Inch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    paintPage(painter, chart, Selection{}, false);
    paintPartMark(painter, size, instrument);
    return painter.end();
}

bool encodePageSvg(const Chart& chart, QByteArray& bytes, Instrument instrument)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QSize size = pageSize(chart);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setResolution(96);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    paintPage(painter, chart, Selection{}, false);
    paintPartMark(painter, size, instrument);
    return painter.end();
}

bool isStream(const QByteArray& fileName)
{
    const std::string name = fileName.toStdString();
    return name == StandardOutputName || systemFileSystem().kind(name) == FileKind::Special;
}

QByteArray suffixOf(const QByteArray& path)
{
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    const qsizetype dot = name.lastIndexOf('.');
    return dot <= 0 ? QByteArray() : name.mid(dot + 1).toLower();
}

QString unknownFormatMessage(const QByteArray& fileName, const QString& expected)
{
    return QCoreApplication::translate("CommandLine", "%1 : format de sortie inconnu (%2 attendu).").arg(QFile::decodeName(fileName), expected);
}

FileResult writeBytes(const QByteArray& bytes, const QByteArray& fileName)
{
    return writeFile(fileName.toStdString(),
                     {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())});
}

FileResult writePng(const QImage& image, const QByteArray& fileName)
{
    QByteArray bytes;
    if (image.isNull() || !encodePng(image, bytes))
        return FileResult::failure(QT_TRANSLATE_NOOP("Message", "Mémoire insuffisante pour créer l'image."),
                                   fileName.toStdString());
    return writeBytes(bytes, fileName);
}

} // namespace mavrel
