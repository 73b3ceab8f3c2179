#include "pdfnavigation.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string_view>

namespace mavrel {

namespace {

bool isWhite(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0'; }

std::string_view skipWhite(std::string_view s)
{
    while (!s.empty() && isWhite(s.front()))
        s.remove_prefix(1);
    return s;
}

// A non-negative number at the start of `s`, taken off it.
std::optional<long long> takeNumber(std::string_view& s)
{
    s = skipWhite(s);
    long long n = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), n);
    if (error != std::errc() || n < 0)
        return std::nullopt;
    s.remove_prefix(static_cast<std::size_t>(end - s.data()));
    return n;
}

// "N G R" at the start of `s`, taken off it: the object number.
std::optional<int> takeReference(std::string_view& s)
{
    std::string_view rest = s;
    const auto number = takeNumber(rest);
    const auto generation = takeNumber(rest);
    rest = skipWhite(rest);
    if (!number || !generation || rest.empty() || rest.front() != 'R' || *number > 8'000'000)
        return std::nullopt;
    rest.remove_prefix(1);
    s = rest;
    return static_cast<int>(*number);
}

// The reference that follows `key` in a dictionary's text, as "/Pages 3 0 R".
std::optional<int> referenceAfter(std::string_view dictionary, std::string_view key)
{
    for (std::size_t at = dictionary.find(key); at != std::string_view::npos; at = dictionary.find(key, at + 1)) {
        const std::size_t end = at + key.size();
        // "/Pages" is not "/PagesX".
        if (end < dictionary.size() && !isWhite(dictionary[end]) && dictionary[end] != '[')
            continue;
        std::string_view rest = dictionary.substr(end);
        if (const auto ref = takeReference(rest))
            return ref;
        return std::nullopt;
    }
    return std::nullopt;
}

bool hasKey(std::string_view dictionary, std::string_view key)
{
    for (std::size_t at = dictionary.find(key); at != std::string_view::npos; at = dictionary.find(key, at + 1)) {
        const std::size_t end = at + key.size();
        if (end >= dictionary.size() || isWhite(dictionary[end]) || dictionary[end] == '[' || dictionary[end] == '<'
            || dictionary[end] == '/' || dictionary[end] == '(')
            return true;
    }
    return false;
}

class Document {
public:
    explicit Document(std::string_view bytes) : m_bytes(bytes) {}

    // Reads the cross-reference sections from the last one back; false when
    // they cannot be read.
    bool read()
    {
        const std::size_t start = m_bytes.rfind("startxref");
        if (start == std::string_view::npos)
            return false;
        std::string_view rest = m_bytes.substr(start + 9);
        auto offset = takeNumber(rest);
        if (!offset)
            return false;
        m_lastXref = *offset;
        std::set<long long> seen;
        bool first = true;
        while (offset) {
            if (!seen.insert(*offset).second || !readSection(static_cast<std::size_t>(*offset), first))
                return false;
            first = false;
            offset = m_prev;
        }
        return m_root > 0 && m_size > 0;
    }

    // The text between "N G obj" and "endobj", or nothing.
    std::optional<std::string_view> object(int number) const
    {
        const auto found = m_offsets.find(number);
        if (found == m_offsets.end() || found->second >= m_bytes.size())
            return std::nullopt;
        std::string_view rest = m_bytes.substr(found->second);
        const auto n = takeNumber(rest);
        const auto generation = takeNumber(rest);
        rest = skipWhite(rest);
        if (!n || *n != number || !generation || !rest.starts_with("obj"))
            return std::nullopt;
        rest.remove_prefix(3);
        const std::size_t end = rest.find("endobj");
        if (end == std::string_view::npos)
            return std::nullopt;
        return rest.substr(0, end);
    }

    // The page objects in order, through the page tree.
    bool collectPages(int node, std::vector<int>& pages, int depth = 0) const
    {
        const auto text = object(node);
        if (!text || depth > 32)
            return false;
        if (!hasKey(*text, "/Kids")) {
            pages.push_back(node);
            return true;
        }
        std::string_view kids = text->substr(text->find("/Kids") + 5);
        kids = skipWhite(kids);
        if (kids.empty() || kids.front() != '[')
            return false;
        kids.remove_prefix(1);
        for (;;) {
            kids = skipWhite(kids);
            if (!kids.empty() && kids.front() == ']')
                return true;
            const auto kid = takeReference(kids);
            if (!kid || !collectPages(*kid, pages, depth + 1))
                return false;
        }
    }

    int root() const { return m_root; }
    int info() const { return m_info; }
    int size() const { return m_size; }
    long long lastXref() const { return m_lastXref; }

private:
    bool readSection(std::size_t at, bool newest)
    {
        if (at >= m_bytes.size())
            return false;
        std::string_view rest = skipWhite(m_bytes.substr(at));
        if (!rest.starts_with("xref"))
            return false;
        rest.remove_prefix(4);
        for (;;) {
            rest = skipWhite(rest);
            if (rest.starts_with("trailer"))
                break;
            const auto first = takeNumber(rest);
            const auto count = takeNumber(rest);
            if (!first || !count || *count > 8'000'000)
                return false;
            for (long long i = 0; i < *count; ++i) {
                const auto offset = takeNumber(rest);
                const auto generation = takeNumber(rest);
                rest = skipWhite(rest);
                if (!offset || !generation || rest.empty())
                    return false;
                const char kind = rest.front();
                rest.remove_prefix(1);
                // A later section's entry stands over an earlier one's.
                const int number = static_cast<int>(*first + i);
                if (kind == 'n' && !m_offsets.contains(number))
                    m_offsets[number] = static_cast<std::size_t>(*offset);
                else if (kind != 'n' && kind != 'f')
                    return false;
            }
        }
        rest.remove_prefix(7);
        const std::string_view trailer = rest.substr(0, rest.find("startxref"));
        m_prev.reset();
        if (const std::size_t p = trailer.find("/Prev"); p != std::string_view::npos) {
            std::string_view value = trailer.substr(p + 5);
            m_prev = takeNumber(value);
        }
        if (newest) {
            if (const std::size_t at = trailer.find("/Size"); at != std::string_view::npos) {
                std::string_view size = trailer.substr(at + 5);
                m_size = static_cast<int>(std::min(takeNumber(size).value_or(0), 8'000'000LL));
            }
            m_root = referenceAfter(trailer, "/Root").value_or(0);
            m_info = referenceAfter(trailer, "/Info").value_or(0);
        }
        return true;
    }

    std::string_view m_bytes;
    std::map<int, std::size_t> m_offsets;
    std::optional<long long> m_prev;
    long long m_lastXref = 0;
    int m_root = 0;
    int m_info = 0;
    int m_size = 0;
};

// A text string of any characters: UTF-16BE behind its byte-order mark, in
// hexadecimal, so that nothing in it needs escaping.
std::string textString(std::string_view utf8)
{
    std::u16string units;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const int length = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        char32_t c = length == 1 ? b : length == 2 ? b & 0x1F : length == 3 ? b & 0x0F : b & 0x07;
        bool valid = length > 0 && i + static_cast<std::size_t>(length) <= utf8.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            c = 0xFFFD;
            i += 1;
        } else {
            i += static_cast<std::size_t>(length);
        }
        if (c >= 0x10000) {
            units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(c);
        }
    }
    std::string out = "<FEFF";
    char hex[5];
    for (char16_t u : units) {
        std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(u));
        out += hex;
    }
    return out + ">";
}

std::string number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

std::string ref(int object) { return std::to_string(object) + " 0 R"; }

// `dictionary` (the text of an object that is one) with `entries` added
// before its closing ">>".
std::optional<std::string> withEntries(std::string_view dictionary, const std::string& entries)
{
    const std::size_t close = dictionary.rfind(">>");
    if (close == std::string_view::npos || dictionary.find("<<") == std::string_view::npos)
        return std::nullopt;
    return std::string(dictionary.substr(0, close)) + entries + "\n" + std::string(dictionary.substr(close));
}

} // namespace

bool addPdfNavigation(std::string& pdf, const std::vector<PdfBookmark>& bookmarks, const std::vector<PdfLink>& links)
{
    Document doc(pdf);
    if (!doc.read())
        return false;
    const auto catalog = doc.object(doc.root());
    if (!catalog || hasKey(*catalog, "/Outlines"))
        return false;
    const auto pagesRoot = referenceAfter(*catalog, "/Pages");
    std::vector<int> pages;
    if (!pagesRoot || !doc.collectPages(*pagesRoot, pages))
        return false;
    const auto inRange = [&](int page) { return page >= 0 && static_cast<std::size_t>(page) < pages.size(); };
    for (const PdfBookmark& b : bookmarks)
        if (!inRange(b.page))
            return false;
    for (const PdfLink& l : links)
        if (!inRange(l.page) || !inRange(l.target))
            return false;

    // The objects of the update, by number: new ones from the old /Size on,
    // and new versions of old ones.
    std::map<int, std::string> objects;
    int next = doc.size();
    const auto destination = [&](int page) { return "[" + ref(pages[static_cast<std::size_t>(page)]) + " /Fit]"; };

    std::string catalogEntries;
    if (!bookmarks.empty()) {
        const int outlines = next++;
        const int first = next;
        const int count = static_cast<int>(bookmarks.size());
        next += count;
        for (int i = 0; i < count; ++i) {
            const PdfBookmark& b = bookmarks[static_cast<std::size_t>(i)];
            std::string item = "<< /Title " + textString(b.title) + " /Parent " + ref(outlines) + " /Dest "
                + destination(b.page);
            if (i > 0)
                item += " /Prev " + ref(first + i - 1);
            if (i + 1 < count)
                item += " /Next " + ref(first + i + 1);
            objects[first + i] = item + " >>";
        }
        objects[outlines] = "<< /Type /Outlines /First " + ref(first) + " /Last " + ref(first + count - 1)
            + " /Count " + std::to_string(count) + " >>";
        catalogEntries = "/Outlines " + ref(outlines) + "\n/PageMode /UseOutlines";
    }

    std::map<int, std::vector<int>> annotations;   // page index -> annotation objects
    for (const PdfLink& l : links) {
        const int annotation = next++;
        objects[annotation] = "<< /Type /Annot /Subtype /Link /Rect [" + number(l.left) + " " + number(l.bottom) + " "
            + number(l.right) + " " + number(l.top) + "] /Border [0 0 0] /Dest " + destination(l.target) + " >>";
        annotations[l.page].push_back(annotation);
    }
    for (const auto& [page, added] : annotations) {
        const int pageObject = pages[static_cast<std::size_t>(page)];
        const auto text = doc.object(pageObject);
        if (!text)
            return false;
        std::string list;
        for (int a : added)
            list += " " + ref(a);
        if (!hasKey(*text, "/Annots")) {
            const auto replaced = withEntries(*text, "/Annots [" + list + " ]");
            if (!replaced)
                return false;
            objects[pageObject] = *replaced;
            continue;
        }
        // Qt's own array, empty, as an object of its own: replaced by ours.
        const auto array = referenceAfter(*text, "/Annots");
        const auto old = array ? doc.object(*array) : std::nullopt;
        if (!old)
            return false;
        std::string_view items = skipWhite(*old);
        if (items.empty() || items.front() != '[')
            return false;
        items.remove_prefix(1);
        const std::size_t close = items.rfind(']');
        if (close == std::string_view::npos)
            return false;
        objects[*array] = "[" + std::string(items.substr(0, close)) + list + " ]";
    }
    if (!catalogEntries.empty()) {
        const auto replaced = withEntries(*catalog, catalogEntries);
        if (!replaced)
            return false;
        objects[doc.root()] = *replaced;
    }
    if (objects.empty())
        return true;

    std::string update = pdf.ends_with('\n') ? "" : "\n";
    std::map<int, std::size_t> offsets;
    for (const auto& [n, text] : objects) {
        offsets[n] = pdf.size() + update.size();
        update += std::to_string(n) + " 0 obj\n" + text + "\nendobj\n";
    }
    const std::size_t xref = pdf.size() + update.size();
    update += "xref\n";
    // Subsections of consecutive numbers; each entry exactly 20 bytes.
    for (auto it = offsets.begin(); it != offsets.end();) {
        auto end = it;
        int last = it->first;
        while (std::next(end) != offsets.end() && std::next(end)->first == last + 1) {
            ++end;
            ++last;
        }
        update += std::to_string(it->first) + " " + std::to_string(last - it->first + 1) + "\n";
        for (auto e = it; e != std::next(end); ++e) {
            char entry[24];
            std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", e->second);
            update += entry;
        }
        it = std::next(end);
    }
    update += "trailer\n<< /Size " + std::to_string(next) + " /Root " + ref(doc.root());
    if (doc.info() > 0)
        update += " /Info " + ref(doc.info());
    update += " /Prev " + std::to_string(doc.lastXref()) + " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    pdf += update;
    return true;
}

} // namespace mavrel
