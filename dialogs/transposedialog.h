// The transpose dialog ("Transposeur"): asks for every chord of the chart to
// move a semitone per press, and stays open beside the chart for repeated presses.
#pragma once

#include "document/editing.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace mavrel {

class TransposeDialog : public QDialog {
    Q_OBJECT
public:
    explicit TransposeDialog(QWidget* parent = nullptr);

    // "Altérations :": how the moved chords are spelled.
    Spelling spelling() const;

signals:
    // A press: move every chord of the chart by `steps` semitones, spelled so.
    void transposeRequested(int steps, mavrel::Spelling spelling);

private:
    QPushButton* m_up;
    QPushButton* m_down;
    QLabel* m_label;
    QComboBox* m_spelling;
};

} // namespace mavrel
