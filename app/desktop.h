// How the editor meets the desktop: the name the desktop knows it by, its
// icon, its help document wherever it is installed, one window per chart.
#pragma once

#include <QByteArrayList>
#include <QList>
#include <QString>

namespace mavrel {

class MainWindow;

// The reverse-DNS id that names the desktop entry, the metainfo and the icon.
inline constexpr char ApplicationId[] = "io.github.mavrel.Mavrel";

// Gives the application its name, version, desktop id and window icon.
void setUpApplication();

// "Help.doc": beside the executable in a build folder, else in the data
// folder of the installed program. The path may name no file.
QString helpDocumentPath(const QString& programDir);

// Opens the editor as `mavrel [CHART.bab...]` does: each chart in a main
// window of its own, shown, or one window on a new chart without any. A chart
// that cannot be read shows its message over its window, which stays on a
// new chart. The windows delete themselves when closed. Names are the
// system's bytes.
QList<MainWindow*> openEditorWindows(const QByteArrayList& charts);

} // namespace mavrel
