// Every caption, label and button text of every window fits its box in the
// face the program runs with, in French and in English.
#include "app/desktop.h"
#include "app/mainwindow.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QTranslator>

#include <gtest/gtest.h>

namespace mavrel {
namespace {

// The text as drawn: a mnemonic's "&" is not, and "&&" is one "&".
QString drawnText(QString text)
{
    static const QRegularExpression mnemonic(QStringLiteral("&(.)"));
    return text.replace(mnemonic, QStringLiteral("\\1"));
}

// The width a text needs inside its widget, frames and indicators included.
int neededWidth(const QWidget* w, const QString& text)
{
    const int advance = w->fontMetrics().horizontalAdvance(drawnText(text));
    if (const auto* box = qobject_cast<const QCheckBox*>(w)) {
        QStyleOptionButton option;
        option.initFrom(box);
        return advance + w->style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, w)
            + w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, w);
    }
    if (qobject_cast<const QAbstractButton*>(w))
        return advance + 4;   // the button's frame on either side
    return advance;
}

void expectEveryTextFitsItsBox()
{
    MainWindow window;
    window.show();
    QList<QWidget*> windows{&window};
    for (QWidget* top : window.findChildren<QWidget*>())
        if (top->isWindow() && !qobject_cast<QFileDialog*>(top))   // Qt's own dialogs are not ours
            windows << top;
    ASSERT_GE(windows.size(), 5);

    int checked = 0;
    for (QWidget* top : windows) {
        for (QWidget* w : top->findChildren<QWidget*>()) {
            QStringList texts;
            int room = w->width();
            if (const auto* label = qobject_cast<const QLabel*>(w)) {
                texts = label->text().split(QLatin1Char('\n'));
                room = label->contentsRect().width();
            } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
                texts << button->text();
            } else if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
                for (int i = 0; i < combo->count(); ++i)
                    texts << combo->itemText(i);
                // The arrow takes the right-hand part of the box.
                room -= w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w);
            }
            for (const QString& text : texts) {
                if (text.isEmpty() || w->window() != top)
                    continue;
                ++checked;
                EXPECT_LE(neededWidth(w, text), room)
                    << top->windowTitle().toStdString() << " / " << w->objectName().toStdString()
                    << ": \"" << text.toStdString() << "\"";
            }
        }
    }
    EXPECT_GE(checked, 20);
}

TEST(Captions, EveryTextFitsItsBox)
{
    expectEveryTextFitsItsBox();
}

TEST(Captions, EveryEnglishTextFitsItsBox)
{
    const QList<QTranslator*> translators = installTranslators(QStringLiteral("en"));
    EXPECT_EQ(QCoreApplication::translate("mavrel::MainWindow", "&Fichier").toStdString(), "&File");
    expectEveryTextFitsItsBox();
    qDeleteAll(translators);
}

} // namespace
} // namespace mavrel
