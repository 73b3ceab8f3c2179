// The sheet on paper: one page, the sheet stretched over the printable area.
// The printer, the PDF file and the command line all draw it the same way, so
// a PDF shows exactly what the printer receives.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPrinterInfo>
#include <QString>

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
bool printSheet(QPrinter& printer, const QImage& sheet);

// Prints the sheet on the current printer without a dialog. Returns an empty
// text when the page was handed over, otherwise the message for the user:
// no printer at all, or a printer that failed. Without a printer Qt would
// quietly write to nowhere, so that is checked before anything is started.
QString printOnCurrentPrinter(const QImage& sheet);

// The page as it would print on an A4 sheet of paper, as a PDF document.
// False when there was not enough memory.
bool encodeSheetPdf(const QImage& sheet, QByteArray& bytes);

} // namespace mavrel
