#include "desktop.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

namespace mavrel {

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Mavrel"));
    QApplication::setApplicationVersion(QStringLiteral(MAVREL_VERSION));
    // Wayland compositors find the entry, and so the icon, by this name.
    QGuiApplication::setDesktopFileName(QLatin1String(ApplicationId));
    QIcon icon;
    for (int size : {16, 32, 48, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/%2.png").arg(size).arg(QLatin1String(ApplicationId)));
    QApplication::setWindowIcon(icon);
}

QString interfaceLanguage(const QLocale& locale)
{
    for (const QString& name : locale.uiLanguages()) {
        switch (QLocale(name).language()) {
        case QLocale::English: return QStringLiteral("en");
        case QLocale::French: return QStringLiteral("fr");
        default: break;
        }
    }
    return QStringLiteral("fr");
}

QList<QTranslator*> installTranslators(const QString& language)
{
    QList<QTranslator*> installed;
    auto install = [&installed](const QString& file, const QString& folder) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(file, folder) && QCoreApplication::installTranslator(translator))
            installed << translator;
        else
            delete translator;
    };
    // French is the language of the sources: it has no translation of its own.
    if (language != QLatin1String("fr"))
        install(QStringLiteral("mavrel_") + language, QStringLiteral(":/i18n"));
    install(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return installed;
}

} // namespace mavrel
