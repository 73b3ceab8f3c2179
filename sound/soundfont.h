// The General MIDI SoundFont the band plays with: the one the user chose, or
// one Debian installs.
#pragma once

#include <QString>
#include <QStringList>

namespace mavrel::sound {

// Where Debian's SoundFont packages put their files, the system's choice
// first (the default-GM alternatives), then the packages one by one.
QStringList standardSoundFonts();

// The first of the standard SoundFonts that is a readable file; empty when
// none is installed.
QString defaultSoundFont();

// The user's choice when there is one, else the default.
QString soundFontOr(const QString& chosen);

} // namespace mavrel::sound
