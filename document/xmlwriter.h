// XML 1.0 in UTF-8, written element by element with two spaces of indent per
// level. Whatever the texts and attribute values hold, the document is
// well-formed: markup characters are escaped, and what XML cannot carry is
// dropped (see escaped()). Element and attribute names are the caller's
// constants and are written as they are.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mavrel {

class XmlWriter {
public:
    using Attributes = std::initializer_list<std::pair<std::string_view, std::string_view>>;

    // Starts with the XML declaration, and the document type declaration
    // when one is given (a whole "<!DOCTYPE ...>"); a document that names
    // an external DTD says it is not standalone.
    explicit XmlWriter(std::string_view doctype = {});

    void writeStartElement(std::string_view name, Attributes attributes = {});
    void writeEndElement();
    // <name ...>text</name> on one line.
    void writeTextElement(std::string_view name, std::string_view text, Attributes attributes = {});
    // <name .../>
    void writeEmptyElement(std::string_view name, Attributes attributes = {});

    // The whole document, with the elements still open closed.
    std::string finish();

    // A UTF-8 text as character data or an attribute value: "&", "<", ">",
    // '"' and "'" as entities; tab, line feed and carriage return as
    // character references, so that they come back as they were from
    // either place; the other C0 controls, DEL, the C1 controls, U+FFFE,
    // U+FFFF and every byte that is not part of a well-formed UTF-8
    // character dropped.
    static std::string escaped(std::string_view utf8);

private:
    void writeTag(std::string_view name, Attributes attributes, std::string_view close);

    std::string m_out;
    std::vector<std::string> m_open;
};

} // namespace mavrel
