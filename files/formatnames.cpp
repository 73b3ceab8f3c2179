#include "formatnames.h"

#include "localfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

namespace mavrel {

namespace {

// "a, b ou c".
QString listed(const QStringList& items)
{
    if (items.size() < 2)
        return items.join(QString());
    return QCoreApplication::translate("FileFormats", "%1 ou %2")
        .arg(items.mid(0, items.size() - 1).join(QStringLiteral(", ")), items.last());
}

} // namespace

QString formatName(const FileFormat& format)
{
    return messageText(Message(format.name()));
}

QString nameFilter(const FileFormat& format)
{
    QStringList patterns;
    for (const std::string& extension : format.extensions())
        patterns << QStringLiteral("*.") + QString::fromStdString(extension);
    return QStringLiteral("%1 (%2)").arg(formatName(format), patterns.join(QLatin1Char(' ')));
}

QString nameFilters(const FormatList& formats)
{
    QStringList filters;
    for (const FileFormat* format : formats)
        filters << nameFilter(*format);
    return filters.join(QStringLiteral(";;"));
}

const FileFormat* formatOfFilter(const FormatList& formats, const QString& filter)
{
    for (const FileFormat* format : formats)
        if (nameFilter(*format) == filter)
            return format;
    return nullptr;
}

QString extensionList(const FormatList& formats)
{
    QStringList extensions;
    for (const FileFormat* format : formats)
        for (const std::string& extension : format->extensions())
            extensions << QLatin1Char('.') + QString::fromStdString(extension);
    return listed(extensions);
}

QString nameList(const FormatList& formats)
{
    QStringList names;
    for (const FileFormat* format : formats)
        names << formatName(*format);
    return listed(names);
}

QString unknownFormatMessage(const QByteArray& fileName, const QString& expected)
{
    return QCoreApplication::translate("CommandLine", "%1 : format de sortie inconnu (%2 attendu).")
        .arg(QFile::decodeName(fileName), expected);
}

} // namespace mavrel
