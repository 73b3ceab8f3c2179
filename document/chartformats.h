// The formats of this layer: the chart file, MusicXML, LilyPond chord grids,
// iReal Pro links written, and iReal Pro lists read.
#pragma once

#include "fileformat.h"

namespace mavrel {

// Adds them in that order, the chart file first: the one that streams and
// names without a known extension are read and written as.
void addChartFormats(FormatRegistry& formats);

} // namespace mavrel
