// A spinner: two arrow buttons beside a number box, stepping by one within a
// range. A step against either end changes nothing and reports nothing.
#pragma once

#include <QWidget>

class QToolButton;

namespace mavrel {

class SpinArrows : public QWidget {
    Q_OBJECT
public:
    explicit SpinArrows(QWidget* parent = nullptr);
    void setRange(int min, int max);
    int position() const { return m_position; }
    // Sets the position without reporting a step.
    void setPosition(int position);
    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    // A step that moved the position, with the direction of the arrow.
    void stepped(bool up);

private:
    void step(int delta);
    QToolButton* m_up;
    QToolButton* m_down;
    int m_min = 1;
    int m_max = 100;
    int m_position = 1;
};

} // namespace mavrel
