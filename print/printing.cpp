#include "printing.h"

#include <QCoreApplication>
#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace mavrel {

namespace {

// Each sheet over the whole of a page of the device, which for a printer or a
// PDF is the printable area: the painter's origin is its top-left corner, and
// the device's width and height are its size in device pixels.
bool drawSheets(QPagedPaintDevice& device, std::span<const SheetCharts> sheets)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    bool started = true;
    for (std::size_t i = 0; i < sheets.size() && started; ++i) {
        if (i > 0)
            started = device.newPage();
        if (started)
            paintSheet(painter, QRectF(0, 0, device.width(), device.height()), sheets[i]);
    }
    return painter.end() && started;
}

} // namespace

QString noPrinterMessage()
{
    return QCoreApplication::translate("Printing", "Aucune imprimante n'est disponible.");
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

bool printSheet(QPrinter& printer, const SheetCharts& sheet)
{
    return drawSheets(printer, {&sheet, 1}) && printer.printerState() != QPrinter::Error;
}

QString printOnCurrentPrinter(const SheetCharts& sheet)
{
    const QPrinterInfo info = currentPrinter();
    if (info.isNull())
        return noPrinterMessage();
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat || !printSheet(printer, sheet))
        return QCoreApplication::translate("Printing", "L'impression sur « %1 » a échoué.").arg(info.printerName());
    return {};
}

bool encodeSheetsPdf(std::span<const SheetCharts> sheets, QByteArray& bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // The resolution and margins a high-resolution printer gives a PDF.
    QPdfWriter pdf(&buffer);
    pdf.setResolution(1200);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Portrait);
    return drawSheets(pdf, sheets);
}

} // namespace mavrel
