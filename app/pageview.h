// m_pageView: shows the page image one to one and reports mouse presses, moves and
// releases in page pixels. Qt keeps the mouse on the widget from press to
// release, so a release outside the page still reaches it.
#pragma once

#include <QImage>
#include <QWidget>

namespace mavrel {

class PageView : public QWidget {
    Q_OBJECT
public:
    explicit PageView(QWidget* parent = nullptr);
    void setImage(const QImage* image);

signals:
    void pressed(Qt::MouseButton button, int x, int y, QPoint globalPos);
    void moved(int x, int y);
    void released(Qt::MouseButton button, int x, int y);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    const QImage* m_image = nullptr;
};

} // namespace mavrel
