#include "imagefile.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QStringList>

namespace mavrel {

bool encodePng(const QImage& image, QByteArray& bytes)
{
    // Qt writes an opaque 32-bit image as the same 24-bit PNG as a converted
    // copy: a huge page is not copied for nothing.
    const QImage rgb = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull())
        return false;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return writer.write(rgb);
}

bool isStream(const QByteArray& fileName)
{
    const std::string name = fileName.toStdString();
    return name == StandardOutputName || systemFileSystem().kind(name) == FileKind::Special;
}

QByteArray suffixOf(const QByteArray& path)
{
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    const qsizetype dot = name.lastIndexOf('.');
    return dot <= 0 ? QByteArray() : name.mid(dot + 1).toLower();
}

const ImageFormat* formatFor(const QByteArray& fileName, std::span<const ImageFormat> formats)
{
    if (formats.empty())
        return nullptr;
    if (isStream(fileName))
        return &formats.front();
    const QByteArray suffix = suffixOf(fileName);
    for (const ImageFormat& format : formats)
        if (suffix == format.suffix)
            return &format;
    return nullptr;
}

QString suffixList(std::span<const ImageFormat> formats)
{
    QStringList suffixes;
    for (const ImageFormat& format : formats)
        suffixes << QLatin1Char('.') + QLatin1String(format.suffix);
    return suffixes.join(QStringLiteral(" ou "));
}

QString unknownFormatMessage(const QByteArray& fileName, const QString& expected)
{
    return QStringLiteral("%1 : format de sortie inconnu (%2 attendu).").arg(QFile::decodeName(fileName), expected);
}

FileResult writeImage(const QImage& image, const ImageFormat& format, const QByteArray& fileName)
{
    QByteArray bytes;
    if (image.isNull() || !format.encode(image, bytes))
        return {false, "Mémoire insuffisante pour créer l'image.", fileName.toStdString()};
    return writeFile(fileName.toStdString(),
                     {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())});
}

} // namespace mavrel
