#include "printing.h"

#include <QPainter>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

namespace mavrel {

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
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setPen(Qt::black);
    painter.setBrush(Qt::black);
    // Charts are line art: JPEG would blur the lines and the small chords.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    // The painter's origin is the top-left corner of the printable area, and
    // the printer's width and height are that area's, in printer pixels.
    const QRect target(0, 0, printer.width(), printer.height());
    if (!sheet.isNull())
        painter.drawImage(target, sheet);
    return painter.end() && printer.printerState() != QPrinter::Error;
}

QString printOnCurrentPrinter(const QImage& sheet)
{
    const QPrinterInfo info = currentPrinter();
    if (info.isNull())
        return noPrinterMessage();
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat)
        return noPrinterMessage();
    if (!printSheet(printer, sheet))
        return noPrinterMessage();
    return {};
}

bool writeSheetPdf(const QImage& sheet, const QString& fileName)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    return printSheet(printer, sheet);
}

} // namespace mavrel
