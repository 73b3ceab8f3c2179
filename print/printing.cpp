#include "printing.h"

#include "printerstatus.h"

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

QString withPrinterMessage(const QString& sentence, const QString& printerMessage)
{
    if (printerMessage.isEmpty())
        return sentence;
    return sentence + QLatin1Char('\n')
        + QCoreApplication::translate("Printing", "L'imprimante indique : « %1 »").arg(printerMessage);
}

namespace {

// What is printed, as the reasons a printer gives for not printing it name it.
enum class Printed { Sheet, Songbook };

// Why the printer cannot take what is printed, before anything is sent; empty
// when it can.
QString refusal(const QString& printer, const PrinterStatus& status, Printed what)
{
    QString sentence;
    if (status.known && !status.acceptingJobs) {
        sentence = what == Printed::Sheet
            ? QCoreApplication::translate("Printing", "« %1 » n'accepte aucun travail : la feuille n'a pas été imprimée.")
            : QCoreApplication::translate("Printing", "« %1 » n'accepte aucun travail : le recueil n'a pas été imprimé.");
    } else if (status.known && status.stopped) {
        sentence = what == Printed::Sheet
            ? QCoreApplication::translate("Printing", "« %1 » est arrêtée : la feuille n'a pas été imprimée.")
            : QCoreApplication::translate("Printing", "« %1 » est arrêtée : le recueil n'a pas été imprimé.");
    } else {
        return {};
    }
    return withPrinterMessage(sentence.arg(printer), status.message);
}

// The current printer when it can take what is printed, its name in the
// outcome and what CUPS says of it in `status`; a null printer, and the
// reason in the outcome, when it cannot.
QPrinterInfo printerTakingJobs(PrintOutcome& outcome, PrinterStatus& status, Printed what)
{
    const QPrinterInfo info = currentPrinter();
    if (info.isNull()) {
        outcome.error = noPrinterMessage();
        return info;
    }
    outcome.printer = info.printerName();
    status = printerStatus(outcome.printer);
    outcome.error = refusal(outcome.printer, status, what);
    return outcome.error.isEmpty() ? info : QPrinterInfo();
}

} // namespace

PrintOutcome printOnCurrentPrinter(const SheetCharts& sheet)
{
    PrintOutcome outcome;
    PrinterStatus status;
    const QPrinterInfo info = printerTakingJobs(outcome, status, Printed::Sheet);
    if (info.isNull())
        return outcome;
    const QString& name = outcome.printer;

    const int before = status.known ? newestJob(name) : 0;
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat || !printSheet(printer, sheet)) {
        outcome.error = QCoreApplication::translate("Printing", "L'impression sur « %1 » a échoué.").arg(name);
        return outcome;
    }
    // Qt hands the job over in the last request it made, and does not look
    // at the answer.
    if (const QString refused = lastRequestError(); !refused.isEmpty()) {
        outcome.error =
            QCoreApplication::translate("Printing", "L'impression sur « %1 » a échoué : %2").arg(name, refused);
        return outcome;
    }
    if (status.known) {
        const int newest = newestJob(name);
        outcome.job = newest > before ? newest : 0;
    }
    return outcome;
}

PrintOutcome printPdfOnCurrentPrinter(const QByteArray& pdf, const QString& title)
{
    PrintOutcome outcome;
    PrinterStatus status;
    if (printerTakingJobs(outcome, status, Printed::Songbook).isNull())
        return outcome;
    const QString& name = outcome.printer;
    QString refused;
    outcome.job = sendPdfJob(name, title, pdf, refused);
    if (outcome.job == 0)
        outcome.error =
            QCoreApplication::translate("Printing", "L'impression sur « %1 » a échoué : %2").arg(name, refused);
    return outcome;
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
