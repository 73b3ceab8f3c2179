#include "fileformat.h"

#include <algorithm>
#include <cctype>

namespace mavrel {

namespace {

// Callers look at supports() first: this is only a safe answer to a slip.
FileResult unsupported(const std::string& fileName)
{
    return FileResult::failure(QT_TRANSLATE_NOOP("Message", "Ce format ne permet pas cette opération."), fileName);
}

} // namespace

FileFormat::FileFormat(const char* name, std::string shortName, std::vector<std::string> extensions,
                       std::initializer_list<FileOperation> operations)
    : m_name(name), m_shortName(std::move(shortName)), m_extensions(std::move(extensions))
{
    for (FileOperation operation : operations)
        m_operations |= static_cast<unsigned>(operation);
}

bool FileFormat::matches(std::string_view fileName) const
{
    const std::string extension = extensionOf(fileName);
    return !extension.empty() && std::find(m_extensions.begin(), m_extensions.end(), extension) != m_extensions.end();
}

FileResult FileFormat::read(const std::string& fileName, Chart&) const
{
    return unsupported(fileName);
}

FileResult FileFormat::readSongs(const std::string& fileName, SongList&) const
{
    return unsupported(fileName);
}

FileResult FileFormat::write(const Chart&, const WriteOptions&, const std::string& fileName) const
{
    return unsupported(fileName);
}

FileResult FileFormat::writePage(const Chart&, const WriteOptions&, const std::string& fileName) const
{
    return unsupported(fileName);
}

FileResult FileFormat::writeSheets(std::span<const Chart* const>, const WriteOptions&,
                                   const std::string& fileName) const
{
    return unsupported(fileName);
}

void FormatRegistry::add(std::unique_ptr<FileFormat> format)
{
    m_formats.push_back(std::move(format));
}

std::vector<const FileFormat*> FormatRegistry::formats(FileOperation operation) const
{
    std::vector<const FileFormat*> found;
    for (const auto& format : m_formats)
        if (format->supports(operation))
            found.push_back(format.get());
    return found;
}

const FileFormat* FormatRegistry::forFile(std::string_view fileName, FileOperation operation) const
{
    for (const auto& format : m_formats)
        if (format->supports(operation) && format->matches(fileName))
            return format.get();
    return nullptr;
}

const FileFormat* FormatRegistry::forOutput(const std::string& fileName, FileOperation operation,
                                            FileSystem& fs) const
{
    if (const FileFormat* named = forFile(fileName, operation))
        return named;
    if (!isStream(fileName, fs))
        return nullptr;
    const std::vector<const FileFormat*> all = formats(operation);
    return all.empty() ? nullptr : all.front();
}

const FileFormat* FormatRegistry::forInput(std::string_view fileName, FileOperation operation) const
{
    if (const FileFormat* named = forFile(fileName, operation))
        return named;
    const std::vector<const FileFormat*> all = formats(operation);
    return all.empty() ? nullptr : all.front();
}

const FileFormat* FormatRegistry::named(std::string_view shortName) const
{
    for (const auto& format : m_formats)
        if (format->shortName() == shortName)
            return format.get();
    return nullptr;
}

std::string extensionOf(std::string_view fileName)
{
    const std::string_view name = fileName.substr(fileName.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return {};
    std::string extension(name.substr(dot + 1));
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

bool isStream(const std::string& fileName, FileSystem& fs)
{
    return fileName == StandardOutputName || fs.kind(fileName) == FileKind::Special;
}

FileResult writeBytes(std::string_view bytes, const std::string& fileName)
{
    return writeFile(fileName, {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

} // namespace mavrel
