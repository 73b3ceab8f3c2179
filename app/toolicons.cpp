#include "toolicons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace mavrel {

QIcon toolIcon(ToolIcon kind)
{
    QPixmap pm(20, 18);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, kind == ToolIcon::Turn || kind == ToolIcon::Lasso);
    const QColor ink(32, 32, 32);
    p.setPen(QPen(ink, 1));
    switch (kind) {
    case ToolIcon::Turn: {
        // A curved arrow turning a quarter.
        p.setPen(QPen(ink, 1.6));
        p.drawArc(QRectF(3, 3, 13, 12), 30 * 16, 250 * 16);
        QPainterPath head;
        head.moveTo(15, 2);
        head.lineTo(16.5, 8);
        head.lineTo(11, 6.5);
        head.closeSubpath();
        p.fillPath(head, ink);
        break;
    }
    case ToolIcon::Chord:
        // A framed bar crossed by its diagonal, with two chord marks.
        p.drawRect(1, 2, 17, 13);
        p.drawLine(1, 15, 18, 2);
        p.drawLine(4, 5, 7, 5);
        p.drawLine(5, 4, 5, 7);
        p.drawLine(12, 11, 15, 11);
        p.drawLine(13, 10, 13, 13);
        break;
    case ToolIcon::Eraser: {
        // A tilted eraser on a base line.
        p.drawLine(1, 16, 18, 16);
        QPolygon body({QPoint(4, 13), QPoint(11, 3), QPoint(17, 7), QPoint(10, 15)});
        p.setBrush(QColor(235, 235, 235));
        p.drawPolygon(body);
        p.setBrush(ink);
        p.drawPolygon(QPolygon({QPoint(4, 13), QPoint(7, 9), QPoint(13, 13), QPoint(10, 15)}));
        break;
    }
    case ToolIcon::BarLine:
        // Thick and thin bar lines with repeat dots.
        p.fillRect(3, 1, 3, 16, ink);
        p.drawLine(8, 1, 8, 16);
        p.fillRect(11, 5, 2, 2, ink);
        p.fillRect(11, 11, 2, 2, ink);
        p.drawLine(16, 1, 16, 16);
        break;
    case ToolIcon::Lasso:
        // A dotted lasso loop.
        p.setPen(QPen(ink, 1.2, Qt::DotLine));
        p.drawEllipse(QRectF(2, 2, 15, 9));
        p.setPen(QPen(ink, 1.2));
        p.drawLine(QPointF(7, 10.5), QPointF(5, 16));
        break;
    case ToolIcon::PageLayout:
        // A small grid with crop marks at its corners.
        for (int i = 0; i < 3; ++i) {
            p.drawLine(5 + 5 * i, 4, 5 + 5 * i, 13);
            p.drawLine(5, 4 + 4 * i + (i == 2 ? 1 : 0), 15, 4 + 4 * i + (i == 2 ? 1 : 0));
        }
        p.drawLine(0, 2, 3, 2);
        p.drawLine(2, 0, 2, 3);
        p.drawLine(16, 2, 19, 2);
        p.drawLine(17, 0, 17, 3);
        p.drawLine(0, 15, 3, 15);
        p.drawLine(2, 14, 2, 17);
        p.drawLine(16, 15, 19, 15);
        p.drawLine(17, 14, 17, 17);
        break;
    }
    return QIcon(pm);
}

} // namespace mavrel
