// The tool bar's pictures, drawn here: small dark-on-light images.
#pragma once

#include <QIcon>

namespace mavrel {

enum class ToolIcon { Turn, Chord, Eraser, BarLine, Lasso, PageLayout };

QIcon toolIcon(ToolIcon kind);

} // namespace mavrel
