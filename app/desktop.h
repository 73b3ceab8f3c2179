// How the editor meets the desktop: the name the desktop knows it by, its
// icon, its language.
#pragma once

#include <QList>
#include <QLocale>
#include <QString>

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

} // namespace mavrel
