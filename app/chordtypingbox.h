// The box in which a bar's chords are typed from the keyboard: it sits over
// the bar, holds its chords as text, and says where the user goes next.
#pragma once

#include <QLineEdit>

namespace mavrel {

class ChordTypingBox : public QLineEdit {
    Q_OBJECT
public:
    explicit ChordTypingBox(QWidget* parent = nullptr);

signals:
    // Tab or Enter (+1), Shift+Tab (-1): store the bar, then go to the next
    // or the previous one.
    void accepted(int direction);
    // Alt and an arrow: go to a neighbouring bar without storing.
    void moveRequested(int columns, int rows);
    // Escape: store the bar if it was changed, then leave.
    void leaveRequested();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace mavrel
