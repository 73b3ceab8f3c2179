#include "spinarrows.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace mavrel {

SpinArrows::SpinArrows(QWidget* parent) : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    connect(m_up, &QToolButton::clicked, this, [this] { step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
}

void SpinArrows::setRange(int min, int max)
{
    m_min = min;
    m_max = max;
    setPosition(m_position);
}

void SpinArrows::setPosition(int position)
{
    m_position = qBound(m_min, position, m_max);
}

void SpinArrows::step(int delta)
{
    const int next = qBound(m_min, m_position + delta, m_max);
    if (next == m_position)
        return;
    m_position = next;
    // The handler may refuse the step by setting the position back.
    emit stepped(delta > 0);
}

} // namespace mavrel
