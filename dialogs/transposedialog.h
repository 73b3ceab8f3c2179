// The transpose dialog ("Transposeur"): moves every chord of the chart a semitone
// per press, and stays open beside the chart for repeated presses.
#pragma once

#include "document/chart.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

namespace mavrel {

class TransposeDialog : public QDialog {
    Q_OBJECT
public:
    TransposeDialog(Chart& chart, std::function<void()> redraw, QWidget* parent = nullptr);

public slots:
    void transposeUp();   // "+1"
    void transposeDown();   // "-1"

private:
    Chart& m_chart;
    std::function<void()> m_redraw;
    QPushButton* m_up;
    QPushButton* m_down;
    QLabel* m_label;
};

} // namespace mavrel
