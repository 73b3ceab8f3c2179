// The sheet on paper: one page a sheet, each chart drawn as vectors at the
// device's resolution over the whole printable area. The printer, the PDF
// file and the command line all draw it the same way, so a PDF shows exactly
// what the printer receives.
#pragma once

#include "render/sheet.h"

#include <QByteArray>
#include <QPrinterInfo>
#include <QString>

#include <span>

class QPrinter;

namespace mavrel {

// What the user is told when nothing can be printed.
QString noPrinterMessage();

// The system's current printer; when none is marked as such, the first one
// there is. Null when the system has no printer at all.
QPrinterInfo currentPrinter();

// Draws the sheet over the whole printable area of one page of `printer`,
// without keeping its proportions. False when the page could not be started
// or finished.
bool printSheet(QPrinter& printer, const SheetCharts& sheet);

// The sheet handed to a printer, or why it was not.
struct PrintOutcome {
    // The message for the user when nothing was printed; empty otherwise.
    QString error;
    QString printer;
    // The printing system's job for the sheet, 0 when it cannot be told.
    int job = 0;
};

// Prints the sheet on the current printer without a dialog. Without a
// printer Qt would quietly write to nowhere, and a queue that takes no jobs
// or a stopped printer would let the sheet go unprinted in silence: these are
// found out before anything is started, in the printer's own words. A job
// that the printing system refuses is reported likewise.
PrintOutcome printOnCurrentPrinter(const SheetCharts& sheet);

// Prints a PDF document (a songbook) on the current printer, each of its
// pages as it is, as one job titled `title`. Refused as a sheet is, before
// anything is sent, without a printer, by a queue that takes no jobs or a
// stopped printer.
PrintOutcome printPdfOnCurrentPrinter(const QByteArray& pdf, const QString& title);

// `sentence`, then what the printer says of itself, when it says something.
QString withPrinterMessage(const QString& sentence, const QString& printerMessage);

// The sheets as they would print on A4 paper, one a page, as a PDF document.
// False when the document could not be made.
bool encodeSheetsPdf(std::span<const SheetCharts> sheets, QByteArray& bytes);

} // namespace mavrel
