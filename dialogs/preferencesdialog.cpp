#include "preferencesdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace mavrel {

namespace {

QComboBox* choice(QWidget* parent, const char* name, const QString& first, const QString& second)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItem(first);
    box->addItem(second);
    return box;
}

template <class E>
E chosen(const QComboBox* box)
{
    return E(box->currentIndex() == 1 ? 1 : 0);
}

} // namespace

PreferencesDialog::PreferencesDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PreferencesDialog"));
    setWindowTitle(tr("Préférences"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(tr("Comment le style Jazz écrit les accords :"), this);
    layout->addWidget(intro);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    // The examples are the symbols themselves, as the page draws them.
    m_major = choice(this, "majorCombo", QStringLiteral("C\u03947"), QStringLiteral("Cmaj7"));
    m_minor = choice(this, "minorCombo", QStringLiteral("C\u22127"), QStringLiteral("Cm7"));
    m_halfDiminished = choice(this, "halfDiminishedCombo", QStringLiteral("C\u00F8"), QStringLiteral("C\u22127\u266D5"));
    m_diminished = choice(this, "diminishedCombo", QStringLiteral("C\u00B07"), QStringLiteral("Cdim7"));
    m_augmented = choice(this, "augmentedCombo", QStringLiteral("C+"), QStringLiteral("Caug"));
    m_alterations = choice(this, "alterationsCombo", tr("superposées"), tr("entre parenthèses"));
    m_bass = choice(this, "bassCombo", tr("après une barre (C/E)"), tr("sous l'accord"));
    form->addRow(tr("Majeur septième :"), m_major);
    form->addRow(tr("Mineur :"), m_minor);
    form->addRow(tr("Demi-diminué :"), m_halfDiminished);
    form->addRow(tr("Diminué :"), m_diminished);
    form->addRow(tr("Augmenté :"), m_augmented);
    form->addRow(tr("Altérations :"), m_alterations);
    form->addRow(tr("Basse :"), m_bass);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        emit symbolsChosen(symbols());
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setSymbols(ChordSymbols{});
}

void PreferencesDialog::setSymbols(const ChordSymbols& s)
{
    m_major->setCurrentIndex(int(s.major));
    m_minor->setCurrentIndex(int(s.minor));
    m_halfDiminished->setCurrentIndex(int(s.halfDiminished));
    m_diminished->setCurrentIndex(int(s.diminished));
    m_augmented->setCurrentIndex(int(s.augmented));
    m_alterations->setCurrentIndex(int(s.alterations));
    m_bass->setCurrentIndex(int(s.bass));
}

ChordSymbols PreferencesDialog::symbols() const
{
    ChordSymbols s;
    s.major = chosen<ChordSymbols::Major>(m_major);
    s.minor = chosen<ChordSymbols::Minor>(m_minor);
    s.halfDiminished = chosen<ChordSymbols::HalfDiminished>(m_halfDiminished);
    s.diminished = chosen<ChordSymbols::Diminished>(m_diminished);
    s.augmented = chosen<ChordSymbols::Augmented>(m_augmented);
    s.alterations = chosen<ChordSymbols::Alterations>(m_alterations);
    s.bass = chosen<ChordSymbols::Bass>(m_bass);
    return s;
}

} // namespace mavrel
