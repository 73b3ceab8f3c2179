// Accepts only text that Windows-1252 can hold: what a chart file can store.
#pragma once

#include "document/win1252.h"

#include <QValidator>

namespace mavrel {

class Win1252Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        // toUcs4 turns a lone surrogate into U+FFFD, which is refused too.
        for (char32_t c : input.toUcs4())
            if (!win1252::canEncode(c))
                return Invalid;
        return Acceptable;
    }
};

} // namespace mavrel
