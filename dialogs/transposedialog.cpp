#include "transposedialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace mavrel {

TransposeDialog::TransposeDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TransposeDialog"));
    setWindowTitle(tr("Transposeur"));
    setModal(false);
    setFixedSize(230, 95);
    // Set before the first show, so the window opens here and afterwards
    // keeps wherever the user drags it.
    move(429, 250);

    QFont bold = font();
    bold.setPointSize(12);
    bold.setBold(true);

    m_up = new QPushButton(QStringLiteral("+1"), this);
    m_up->setObjectName(QStringLiteral("upButton"));
    m_up->setGeometry(16, 16, 33, 33);
    m_up->setFont(bold);
    m_up->setAutoDefault(false);

    m_down = new QPushButton(QStringLiteral("-1"), this);
    m_down->setObjectName(QStringLiteral("downButton"));
    m_down->setGeometry(56, 16, 33, 33);
    m_down->setFont(bold);
    m_down->setAutoDefault(false);

    m_label = new QLabel(tr("Demi-tons"), this);
    m_label->setObjectName(QStringLiteral("semitonesLabel"));
    // Wide enough for the caption in 12-point bold DejaVu Sans.
    m_label->setGeometry(96, 24, 100, 20);
    m_label->setFont(bold);

    // How the moved chords are spelled: as they were, or anew.
    auto* spellingLabel = new QLabel(tr("&Altérations :"), this);
    spellingLabel->setObjectName(QStringLiteral("spellingLabel"));
    spellingLabel->setGeometry(16, 64, 80, 20);
    m_spelling = new QComboBox(this);
    m_spelling->setObjectName(QStringLiteral("spellingCombo"));
    m_spelling->setGeometry(96, 62, 124, 24);
    m_spelling->addItem(tr("garder"), int(Spelling::Keep));
    m_spelling->addItem(tr("bémols"), int(Spelling::Flats));
    m_spelling->addItem(tr("dièses"), int(Spelling::Sharps));
    m_spelling->addItem(tr("selon la tonalité"), int(Spelling::Key));
    spellingLabel->setBuddy(m_spelling);

    setTabOrder(m_up, m_down);
    setTabOrder(m_down, m_spelling);

    connect(m_up, &QPushButton::clicked, this, [this] { emit transposeRequested(+1, spelling()); });
    connect(m_down, &QPushButton::clicked, this, [this] { emit transposeRequested(-1, spelling()); });
}

Spelling TransposeDialog::spelling() const { return Spelling(m_spelling->currentData().toInt()); }

} // namespace mavrel
