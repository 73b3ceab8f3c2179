// The one way Mavrel writes XML: whatever a text holds, the document parses.
#include "document/xmlwriter.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace mavrel {
namespace {

TEST(XmlWriter, EscapesMarkupAndDropsWhatXmlCannotHold)
{
    std::string controls;
    for (char c = 0; c < 0x20; ++c)
        if (c != '\t' && c != '\n' && c != '\r')
            controls += c;
    const std::pair<std::string, std::string> cases[] = {
        {"a&b<c>d\"e'f", "a&amp;b&lt;c&gt;d&quot;e&apos;f"},
        // They would come back as spaces from an attribute, or CR as LF.
        {"a\tb\nc\rd", "a&#9;b&#10;c&#13;d"},
        {"[" + controls + "\x7F]", "[]"},
        {"caf\xC3\xA9 \xE2\x99\xAD \xF0\x9D\x84\x9E \xEF\xBF\xBD", "caf\xC3\xA9 \xE2\x99\xAD \xF0\x9D\x84\x9E \xEF\xBF\xBD"},
        {"x\xC2\x80y\xC2\x9Fz", "xyz"},                      // C1 controls
        {"x\xEF\xBF\xBEy\xEF\xBF\xBFz", "xyz"},              // U+FFFE, U+FFFF
        // Not UTF-8: a stray byte, a cut character, an overlong "<", a
        // surrogate, past U+10FFFF.
        {"a\xFF" "b\xE2\x99", "ab"},
        {"a\xC0\xBC" "b\xED\xA0\x80" "c\xF4\x90\x80\x80" "d", "abcd"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(XmlWriter::escaped(in), out);

    XmlWriter xml("<!DOCTYPE a>");
    xml.writeStartElement("a", {{"k", "<\x01\">"}});
    xml.writeTextElement("b", "x&y", {{"n", "1"}});
    xml.writeEmptyElement("c");
    xml.writeStartElement("d");
    EXPECT_EQ(xml.finish(), "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<!DOCTYPE a>\n"
                            "<a k=\"&lt;&quot;&gt;\">\n  <b n=\"1\">x&amp;y</b>\n  <c/>\n  <d>\n  </d>\n</a>\n");
}

} // namespace
} // namespace mavrel
