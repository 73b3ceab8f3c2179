// The page on screen: shows the page image one to one, with the lasso's band
// over it, and reports presses, moves and releases in page pixels. Qt keeps
// the mouse on the widget from press to release, so a release outside the
// page still reaches it.
#pragma once

#include "pagetools.h"

#include <QImage>
#include <QWidget>

#include <optional>

namespace mavrel {

class PageView : public QWidget {
    Q_OBJECT
public:
    explicit PageView(QWidget* parent = nullptr);
    void setImage(const QImage* image);
    // The band is drawn over the page, never into it.
    void setBand(std::optional<Band> band);

signals:
    void pressed(Qt::MouseButton button, QPoint point, QPoint globalPos);
    void moved(QPoint point);
    void released(QPoint point);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    const QImage* m_image = nullptr;
    std::optional<Band> m_band;
};

} // namespace mavrel
