// `mavrel sheet --per N CHART.bab... -o OUT.pdf|OUT.png`: the sheets the
// preview would compose, written without a window.
#pragma once

#include "document/parts.h"

#include <QByteArray>
#include <QByteArrayList>

namespace mavrel {

// Composes the charts, in order, into positions 1, 2, ... of the layout with
// `per` charts a sheet (1, 2, 4 or 8). A ".pdf" output is a songbook: as many
// A4 pages as the charts need, drawn as vectors, the last page's positions
// without a chart left as blank pages. A ".png" output, or "-" (PNG on
// standard output), holds one sheet pixel for pixel and takes at most `per`
// charts. File names are the system's bytes. Returns 0 when written, 1 when a
// chart cannot be read or the output cannot be written (the message, naming
// the file, goes to stderr), 2 for wrong arguments or an output of another
// kind (with a message or a short usage). With an instrument, every chart is
// drawn as that instrument's part. Needs a QApplication.
int runSheetCommand(int per, const QByteArrayList& charts, const QByteArray& output,
                    Instrument instrument = Instrument::Concert);

} // namespace mavrel
