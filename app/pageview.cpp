#include "pageview.h"

#include "render/canvas.h"

#include <QMouseEvent>
#include <QPainter>

namespace mavrel {

PageView::PageView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageView::setImage(const QImage* image)
{
    m_image = image;
    if (m_image && !m_image->isNull())
        setFixedSize(m_image->size());
    update();
}

void PageView::setBand(std::optional<Band> band)
{
    m_band = band;
    update();
}

void PageView::paintEvent(QPaintEvent*)
{
    if (!m_image || m_image->isNull())
        return;
    QPainter p(this);
    if (!m_band) {
        p.drawImage(0, 0, *m_image);
        return;
    }
    // The band inverts the page's own pixels, dot by dot, as a focus rectangle.
    QImage banded = m_image->copy();
    Canvas canvas;
    canvas.setImage(&banded);
    canvas.focusRect(m_band->start.x(), m_band->start.y(), m_band->end.x(), m_band->end.y());
    p.drawImage(0, 0, banded);
}

void PageView::mousePressEvent(QMouseEvent* e)
{
    emit pressed(e->button(), e->position().toPoint(), e->globalPosition().toPoint());
}

void PageView::mouseMoveEvent(QMouseEvent* e) { emit moved(e->position().toPoint()); }

void PageView::mouseReleaseEvent(QMouseEvent* e) { emit released(e->position().toPoint()); }

} // namespace mavrel
