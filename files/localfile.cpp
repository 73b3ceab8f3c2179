#include "localfile.h"

#include "document/text.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <dirent.h>
#include <sys/stat.h>

namespace mavrel {

namespace {

bool exists(const QByteArray& path)
{
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}

// The entry of `folder` that Qt shows as `shown`, or an empty name when none
// or several do.
QByteArray entryShownAs(const QByteArray& folder, const QString& shown)
{
    DIR* dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir)
        return {};
    QByteArray found;
    int matches = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (QFile::decodeName(name) == shown) {
            found = name;
            ++matches;
        }
    }
    ::closedir(dir);
    return matches == 1 ? found : QByteArray();
}

} // namespace

QByteArray localFileName(const QString& name)
{
    const QByteArray encoded = QFile::encodeName(name);
    if (!name.contains(QChar::ReplacementCharacter) || exists(encoded))
        return encoded;
    QByteArray path;
    const QStringList parts = name.split(QLatin1Char('/'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            path += '/';
        QByteArray part = QFile::encodeName(parts.at(i));
        if (parts.at(i).contains(QChar::ReplacementCharacter)) {
            const QByteArray entry = entryShownAs(path, parts.at(i));
            if (!entry.isEmpty())
                part = entry;
        }
        path += part;
    }
    return path;
}

QString messageText(const Message& message)
{
    if (message.empty())
        return {};
    const QString pattern = QCoreApplication::translate("Message", message.pattern());
    return QString::fromStdString(formatMessage(pattern.toStdString(), message.arguments()));
}

QString fileMessage(const FileResult& result)
{
    const QString message = messageText(result.ok ? result.warning : result.message);
    if (result.fileName.empty())
        return message;
    const QString name = result.fileName == StandardOutputName
        ? QCoreApplication::translate("Message", "sortie standard")
        : QFile::decodeName(QByteArray::fromStdString(result.fileName));
    return QCoreApplication::translate("Message", "%1 : %2").arg(name, message);
}

QString visibleText(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = QString::fromStdString(text::visible(line.toStdString()));
    return lines.join(QLatin1Char('\n'));
}

void printError(const QString& message)
{
    std::fprintf(stderr, "mavrel : %s\n", visibleText(message).toLocal8Bit().constData());
}

} // namespace mavrel
