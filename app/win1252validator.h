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
        for (const QChar c : input)
            if (c.isSurrogate() || !win1252::canEncode(c.unicode()))
                return Invalid;
        return Acceptable;
    }
};

} // namespace mavrel
