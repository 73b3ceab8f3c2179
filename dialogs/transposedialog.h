// The transpose dialog ("Transposeur"): asks for every chord of the chart to
// move a semitone per press, and stays open beside the chart for repeated presses.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace mavrel {

class TransposeDialog : public QDialog {
    Q_OBJECT
public:
    explicit TransposeDialog(QWidget* parent = nullptr);

signals:
    // A press: move every chord of the chart by `steps` semitones.
    void transposeRequested(int steps);

private:
    QPushButton* m_up;
    QPushButton* m_down;
    QLabel* m_label;
};

} // namespace mavrel
