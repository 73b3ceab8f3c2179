// MusicXML 4.0 for a chart: a partwise score with one part, one 4/4 measure
// per bar, each chord a <harmony> over a slash note as long as its place in
// the bar, the bar-line signs as barlines and the labels as directions.
#pragma once

#include "chart.h"

#include <string>

namespace mavrel::musicxml {

// The whole file, UTF-8.
std::string write(const Chart& chart);

} // namespace mavrel::musicxml
