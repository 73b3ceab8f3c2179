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

// Prints the sheet on the current printer without a dialog. Returns an empty
// text when the page was handed over, otherwise the message for the user:
// no printer at all, or a printer that failed. Without a printer Qt would
// quietly write to nowhere, so that is checked before anything is started.
QString printOnCurrentPrinter(const SheetCharts& sheet);

// The sheets as they would print on A4 paper, one a page, as a PDF document.
// False when the document could not be made.
bool encodeSheetsPdf(std::span<const SheetCharts> sheets, QByteArray& bytes);

} // namespace mavrel
