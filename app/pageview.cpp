#include "pageview.h"

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

void PageView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_image && !m_image->isNull())
        p.drawImage(0, 0, *m_image);
}

void PageView::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    emit pressed(e->button(), p.x(), p.y(), e->globalPosition().toPoint());
}

void PageView::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    emit moved(p.x(), p.y());
}

void PageView::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    emit released(e->button(), p.x(), p.y());
}

} // namespace mavrel
