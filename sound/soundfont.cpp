#include "soundfont.h"

#include <QFileInfo>

namespace mavrel::sound {

QStringList standardSoundFonts()
{
    return {
        QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2"),
        QStringLiteral("/usr/share/sounds/sf3/default-GM.sf3"),
        QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2"),                 // timgm6mb-soundfont
        QStringLiteral("/usr/share/sounds/sf3/MuseScore_General_Lite.sf3"),   // musescore-general-soundfont-small
        QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2"),               // fluid-soundfont-gm
        QStringLiteral("/usr/share/sounds/sf3/MuseScore_General.sf3"),        // musescore-general-soundfont
    };
}

QString defaultSoundFont()
{
    for (const QString& path : standardSoundFonts()) {
        const QFileInfo file(path);
        if (file.isFile() && file.isReadable())
            return file.absoluteFilePath();
    }
    return {};
}

QString soundFontOr(const QString& chosen)
{
    return chosen.isEmpty() ? defaultSoundFont() : chosen;
}

} // namespace mavrel::sound
