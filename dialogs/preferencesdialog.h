// "Préférences…": how the Jazz style writes chord qualities. The choice is
// the user's, for every chart; the dialog only says what was chosen.
#pragma once

#include "render/chordtype.h"

#include <QDialog>

class QComboBox;

namespace mavrel {

class PreferencesDialog : public QDialog {
    Q_OBJECT
public:
    explicit PreferencesDialog(QWidget* parent = nullptr);

    void setSymbols(const ChordSymbols& symbols);
    ChordSymbols symbols() const;

signals:
    // On "OK", with what the boxes show.
    void symbolsChosen(const mavrel::ChordSymbols& symbols);

private:
    QComboBox* m_major = nullptr;
    QComboBox* m_minor = nullptr;
    QComboBox* m_halfDiminished = nullptr;
    QComboBox* m_diminished = nullptr;
    QComboBox* m_augmented = nullptr;
    QComboBox* m_alterations = nullptr;
    QComboBox* m_bass = nullptr;
};

} // namespace mavrel
