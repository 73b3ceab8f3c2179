#include "desktop.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QProcess>
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

QString helpDocumentPath(const QString& programDir, const QString& language)
{
    const QString name = language == QLatin1String("fr") ? QStringLiteral("Help.doc")
                                                         : QStringLiteral("Help_%1.doc").arg(language);
    const QDir dir(programDir);
    const QString beside = dir.filePath(name);
    if (QFile::exists(beside))
        return beside;
    return QDir::cleanPath(dir.filePath(QStringLiteral(MAVREL_DATA_FROM_PROGRAM "/") + name));
}

void openDocument(const QString& path, QObject* receiver, std::function<void()> failed)
{
    auto* opener = new QProcess;
    opener->setStandardInputFile(QProcess::nullDevice());
    // xdg-open may become the viewer itself: its output must never fill a
    // pipe nobody reads.
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
    QObject::connect(opener, &QProcess::errorOccurred, opener, [opener](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            opener->deleteLater();
    });
    // Its own failures are exit statuses 1 to 4: a bad call, no such file,
    // no program for the document, a program that failed to start.
    QObject::connect(opener, &QProcess::finished, receiver, [failed](int code, QProcess::ExitStatus status) {
        if (status == QProcess::NormalExit && code >= 1 && code <= 4)
            failed();
    });
    QObject::connect(opener, &QProcess::errorOccurred, receiver, [failed](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            failed();
    });
    opener->start(QStringLiteral("xdg-open"), {path});
}

} // namespace mavrel
