#include "printing.h"

#include <QBuffer>
#include <QPainter>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>

namespace mavrel {

namespace {

// The sheet over the whole of the device's page, which for a printer or a PDF
// is the printable area: the painter's origin is its top-left corner, and the
// device's width and height are its size in device pixels.
bool drawSheet(QPaintDevice& device, const QImage& sheet)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setPen(Qt::black);
    painter.setBrush(Qt::black);
    // Charts are line art: JPEG would blur the lines and the small chords.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    if (!sheet.isNull())
        painter.drawImage(QRect(0, 0, device.width(), device.height()), sheet);
    return painter.end();
}

} // namespace

QString noPrinterMessage()
{
    return QStringLiteral("Aucune imprimante n'est disponible.");
}

QPrinterInfo currentPrinter()
{
    QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull()) {
        const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
        if (!all.isEmpty())
            printer = all.first();
    }
    return printer;
}

bool printSheet(QPrinter& printer, const QImage& sheet)
{
    return drawSheet(printer, sheet) && printer.printerState() != QPrinter::Error;
}

QString printOnCurrentPrinter(const QImage& sheet)
{
    const QPrinterInfo info = currentPrinter();
    if (info.isNull())
        return noPrinterMessage();
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat || !printSheet(printer, sheet))
        return QStringLiteral("L'impression sur « %1 » a échoué.").arg(info.printerName());
    return {};
}

bool encodeSheetPdf(const QImage& sheet, QByteArray& bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // The resolution and margins a high-resolution printer gives a PDF.
    QPdfWriter pdf(&buffer);
    pdf.setResolution(1200);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Portrait);
    return drawSheet(pdf, sheet);
}

} // namespace mavrel
