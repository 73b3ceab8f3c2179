// Accepts only text that Windows-1252 can hold: what a chart file can store.
#pragma once

#include <QValidator>

namespace mavrel {

class Win1252Validator : public QValidator {
public:
    // A chord's text also refuses control characters: pasted from elsewhere,
    // they would be stored unseen; and takes the music signs "♭", "♯", "Δ"
    // and "−", which the chart writes with its own letters.
    enum Controls { AcceptControls, RefuseControls };

    // A refusal is explained in a tooltip under the box that `box` is.
    explicit Win1252Validator(QObject* box, Controls controls = AcceptControls)
        : QValidator(box), m_controls(controls)
    {
    }

    State validate(QString& input, int&) const override;

private:
    Controls m_controls;
};

} // namespace mavrel
