// `mavrel sheet --per N CHART.bab [CHART.bab ...] -o OUT.png|OUT.pdf`: the
// sheet the preview would compose, written without a window.
#pragma once

#include <QByteArray>
#include <QByteArrayList>

namespace mavrel {

// Composes the charts into positions 1, 2, ... of the layout with `per`
// charts a sheet (1, 2, 4 or 8); positions without a chart are blank pages.
// A ".png" output gets the sheet pixel for pixel, a ".pdf" output the page as
// it prints on A4, "-" the PNG on standard output. File names are the
// system's bytes. Returns 0 when written, 1 when a chart cannot be read or the
// output cannot be written (the message, naming the file, goes to stderr), 2
// for wrong arguments or an output of another kind (with a short usage).
// Needs a QApplication.
int runSheetCommand(int per, const QByteArrayList& charts, const QByteArray& output);

} // namespace mavrel
