#include "win1252validator.h"

#include "document/text.h"
#include "document/win1252.h"

#include <QCoreApplication>
#include <QToolTip>
#include <QWidget>

namespace mavrel {

namespace {

void explain(QObject* box, const QString& text)
{
    if (auto* widget = qobject_cast<QWidget*>(box))
        QToolTip::showText(widget->mapToGlobal(QPoint(0, widget->height())), text, widget);
}

} // namespace

QValidator::State Win1252Validator::validate(QString& input, int&) const
{
    // toUcs4 turns a lone surrogate into U+FFFD, which is refused too.
    for (char32_t c : input.toUcs4()) {
        if (m_controls == RefuseControls && text::isControl(c)) {
            const std::string shown = text::withoutControls(input.toStdString());
            explain(parent(), QCoreApplication::translate("Message", "« %1 » : un accord ne garde aucun caractère de contrôle.")
                                  .arg(QString::fromStdString(shown)));
            return Invalid;
        }
        // A chord's music signs are written with the chart's letters.
        const bool musicSign = m_controls == RefuseControls
            && (c == U'\u266D' || c == U'\u266F' || c == U'\u0394' || c == U'\u2206' || c == U'\u2212' || c == U'\u2013');
        if (!musicSign && !win1252::canEncode(c)) {
            explain(parent(), QCoreApplication::translate("Message", "« %1 » : caractère que la grille ne peut pas garder.")
                                  .arg(QString::fromUcs4(&c, 1)));
            return Invalid;
        }
    }
    return Acceptable;
}

} // namespace mavrel
