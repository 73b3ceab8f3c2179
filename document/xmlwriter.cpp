#include "xmlwriter.h"

namespace mavrel {

namespace {

// The length of the well-formed UTF-8 character at the start of `s` (no
// overlong form, no surrogate, nothing past U+10FFFF), 0 when there is none,
// and the character in `c`.
std::size_t characterAt(std::string_view s, char32_t& c)
{
    auto byte = [&](std::size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
    const unsigned b = byte(0);
    std::size_t len;
    unsigned low = 0x80, high = 0xBF;   // the range of the second byte
    if (b < 0x80) {
        c = b;
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
        c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        c = b & 0x0F;
        low = b == 0xE0 ? 0xA0 : 0x80;
        high = b == 0xED ? 0x9F : 0xBF;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        c = b & 0x07;
        low = b == 0xF0 ? 0x90 : 0x80;
        high = b == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    for (std::size_t i = 1; i < len; ++i) {
        const unsigned cb = byte(i);
        if (cb < (i == 1 ? low : 0x80) || cb > (i == 1 ? high : 0xBF))
            return 0;
        c = (c << 6) | (cb & 0x3F);
    }
    return len;
}

} // namespace

XmlWriter::XmlWriter(std::string_view doctype)
{
    m_out = doctype.empty() ? "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            : "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n";
    if (!doctype.empty()) {
        m_out += doctype;
        m_out += '\n';
    }
}

std::string XmlWriter::escaped(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t c = 0;
        const std::size_t len = characterAt(utf8.substr(i), c);
        if (len == 0) {
            ++i;
            continue;
        }
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        case '\t': out += "&#9;"; break;
        case '\n': out += "&#10;"; break;
        case '\r': out += "&#13;"; break;
        default:
            // XML 1.0 cannot hold the other C0 controls, U+FFFE and U+FFFF;
            // DEL and the C1 controls it allows but discourages, and they
            // mean nothing in a text.
            if (c >= 0x20 && (c < 0x7F || c >= 0xA0) && c != 0xFFFE && c != 0xFFFF)
                out += utf8.substr(i, len);
            break;
        }
        i += len;
    }
    return out;
}

void XmlWriter::writeTag(std::string_view name, Attributes attributes, std::string_view close)
{
    m_out.append(m_open.size() * 2, ' ');
    m_out += '<';
    m_out += name;
    for (const auto& [attribute, value] : attributes) {
        m_out += ' ';
        m_out += attribute;
        m_out += "=\"";
        m_out += escaped(value);
        m_out += '"';
    }
    m_out += close;
}

void XmlWriter::writeStartElement(std::string_view name, Attributes attributes)
{
    writeTag(name, attributes, ">\n");
    m_open.emplace_back(name);
}

void XmlWriter::writeEndElement()
{
    if (m_open.empty())
        return;
    const std::string name = std::move(m_open.back());
    m_open.pop_back();
    m_out.append(m_open.size() * 2, ' ');
    m_out += "</" + name + ">\n";
}

void XmlWriter::writeTextElement(std::string_view name, std::string_view text, Attributes attributes)
{
    writeTag(name, attributes, ">");
    m_out += escaped(text);
    m_out += "</";
    m_out += name;
    m_out += ">\n";
}

void XmlWriter::writeEmptyElement(std::string_view name, Attributes attributes)
{
    writeTag(name, attributes, "/>\n");
}

std::string XmlWriter::finish()
{
    while (!m_open.empty())
        writeEndElement();
    return std::move(m_out);
}

} // namespace mavrel
