// The page on screen: shows the page at the zoom, with the lasso's band and
// the bar being played over it, and reports presses, moves and releases in page pixels (the screen
// point divided by the zoom, truncated). Qt keeps the mouse on the widget
// from press to release, so a release outside the page still reaches it.
#pragma once

#include "pagetools.h"

#include <QImage>
#include <QRect>
#include <QWidget>

#include <optional>

class QPainter;

namespace mavrel {

class PageView : public QWidget {
    Q_OBJECT
public:
    explicit PageView(QWidget* parent = nullptr);
    // The page to show and the zoom it is drawn at (1 for the page image one
    // to one); its own pixel ratio says how sharp it is.
    void setPage(const QImage* image, double zoom);
    double zoom() const { return m_zoom; }
    // The band is drawn over the page, never into it.
    void setBand(std::optional<Band> band);
    // A rectangle of the page (page pixels) tinted over it, as the bar being
    // played: on screen only, the page image itself is left alone.
    void setHighlight(std::optional<QRect> pageRect);
    std::optional<QRect> highlight() const { return m_highlight; }

    // A point of the widget as a page point, and back.
    QPoint pagePoint(QPointF widgetPoint) const;
    QPointF widgetPoint(QPointF pagePoint) const { return pagePoint * m_zoom; }

signals:
    void pressed(Qt::MouseButton button, QPoint point, QPoint globalPos);
    void moved(QPoint point);
    void released(QPoint point);
    // Ctrl and the wheel: zoom in (> 0) or out, around a point of the widget.
    void zoomWheel(int steps, QPoint widgetPoint);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    void paintHighlight(QPainter& p) const;

    const QImage* m_image = nullptr;
    double m_zoom = 1.0;
    std::optional<Band> m_band;
    std::optional<QRect> m_highlight;
    int m_wheelAngle = 0;
};

} // namespace mavrel
