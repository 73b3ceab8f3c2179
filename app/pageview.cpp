#include "pageview.h"

#include "render/canvas.h"

#include <QColor>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace mavrel {

PageView::PageView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageView::setPage(const QImage* image, double zoom)
{
    m_image = image;
    m_zoom = zoom;
    if (m_image && !m_image->isNull())
        setFixedSize((QSizeF(m_image->size()) / m_image->devicePixelRatio()).toSize());
    update();
}

void PageView::setBand(std::optional<Band> band)
{
    m_band = band;
    update();
}

void PageView::setHighlight(std::optional<QRect> pageRect)
{
    if (pageRect == m_highlight)
        return;
    m_highlight = pageRect;
    update();
}

void PageView::paintHighlight(QPainter& p) const
{
    if (!m_highlight)
        return;
    // Translucent, so that the chords stay readable under it.
    const QRectF r(m_highlight->x(), m_highlight->y(), m_highlight->width(), m_highlight->height());
    p.fillRect(QRectF(widgetPoint(r.topLeft()), widgetPoint(r.bottomRight())), QColor(255, 160, 0, 90));
}

QPoint PageView::pagePoint(QPointF p) const
{
    // Truncated, as at 100 %: a point is in the page pixel it falls on.
    return {int(std::trunc(p.x() / m_zoom)), int(std::trunc(p.y() / m_zoom))};
}

void PageView::paintEvent(QPaintEvent*)
{
    if (!m_image || m_image->isNull())
        return;
    QPainter p(this);
    if (!m_band) {
        p.drawImage(0, 0, *m_image);
        paintHighlight(p);
        return;
    }
    QImage banded = m_image->copy();
    if (m_zoom == 1.0 && banded.devicePixelRatio() == 1.0) {
        // The band inverts the page's own pixels, dot by dot, as a focus rectangle.
        Canvas canvas;
        canvas.setImage(&banded);
        canvas.focusRect(m_band->start.x(), m_band->start.y(), m_band->end.x(), m_band->end.y());
    } else {
        // The same dotted inversion, along the band's place at the zoom.
        QPainter band(&banded);
        band.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        band.setPen(QPen(Qt::white, 0, Qt::DotLine));
        band.drawRect(QRectF(widgetPoint(m_band->start), widgetPoint(m_band->end)).normalized());
    }
    p.drawImage(0, 0, banded);
    paintHighlight(p);
}

void PageView::mousePressEvent(QMouseEvent* e)
{
    emit pressed(e->button(), pagePoint(e->position()), e->globalPosition().toPoint());
}

void PageView::mouseMoveEvent(QMouseEvent* e) { emit moved(pagePoint(e->position())); }

void PageView::mouseReleaseEvent(QMouseEvent* e) { emit released(pagePoint(e->position())); }

void PageView::wheelEvent(QWheelEvent* e)
{
    if (!(e->modifiers() & Qt::ControlModifier)) {
        e->ignore();   // the scroll area scrolls
        return;
    }
    // One step per notch, however finely the wheel reports.
    m_wheelAngle += e->angleDelta().y();
    const int steps = m_wheelAngle / 120;
    m_wheelAngle %= 120;
    if (steps)
        emit zoomWheel(steps, e->position().toPoint());
    e->accept();
}

} // namespace mavrel
