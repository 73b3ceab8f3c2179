// How the editor meets the desktop: the name the desktop knows it by, its
// icon, its language, its help document wherever it is installed.
#pragma once

#include <QList>
#include <QLocale>
#include <QString>

#include <functional>

class QObject;
class QTranslator;

namespace mavrel {

// The reverse-DNS id that names the desktop entry, the metainfo and the icon.
inline constexpr char ApplicationId[] = "io.github.mavrel.Mavrel";

// Gives the application its name, version, desktop id and window icon.
void setUpApplication();

// The language of the interface, "en" or "fr": the first of the user's
// languages that Mavrel speaks, else French, its own.
QString interfaceLanguage(const QLocale& locale = QLocale::system());

// Installs the translations of Mavrel's texts and of Qt's own (the buttons
// of its dialogs) into that language, those that exist, and gives them:
// deleting a translator uninstalls it. Before any window or command.
QList<QTranslator*> installTranslators(const QString& language = interfaceLanguage());

// The help document in that language, "Help.doc" in French, "Help_en.doc" in
// English: beside the executable in a build folder, else in the data folder
// of the installed program. The path may name no file.
QString helpDocumentPath(const QString& programDir, const QString& language);

// Opens a document in the application the desktop gives its type, through
// xdg-open, without waiting for it. `failed` runs, while `receiver` lives,
// when nothing could open it: no xdg-open, or xdg-open reporting that no
// program takes the document. The opener is reaped when it ends; it is no
// child of a window, so that closing one never ends the viewer it started.
void openDocument(const QString& path, QObject* receiver, std::function<void()> failed);

} // namespace mavrel
