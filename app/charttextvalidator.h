// What a box of the page takes: no control character (a tab, a line break or
// an escape pasted in), which a chart would keep and its files, exports and
// terminals would choke on; and, for labels, only what Windows-1252 can hold,
// as a chart file stores it. The box shows a message when the refusal was for
// a control character, the only one a user cannot see coming.
#pragma once

#include "document/text.h"
#include "document/win1252.h"

#include <QValidator>

namespace mavrel {

class ChartTextValidator : public QValidator {
public:
    enum class Characters { Any, Windows1252 };

    explicit ChartTextValidator(Characters characters, QObject* parent = nullptr)
        : QValidator(parent), m_characters(characters)
    {
    }

    State validate(QString& input, int&) const override
    {
        m_refusedControl = false;
        // toUcs4 turns a lone surrogate into U+FFFD, which Windows-1252 refuses.
        for (char32_t c : input.toUcs4()) {
            if (text::isControl(c)) {
                m_refusedControl = true;
                return Invalid;
            }
            if (m_characters == Characters::Windows1252 && !win1252::canEncode(c))
                return Invalid;
        }
        return Acceptable;
    }

    // Whether the text refused last held a control character.
    bool refusedControl() const { return m_refusedControl; }

private:
    Characters m_characters;
    mutable bool m_refusedControl = false;
};

} // namespace mavrel
