// The chord dialog ("Accords"): the one way to put a chord into a bar slot.
#pragma once

#include "document/chart.h"

#include <QDialog>
#include <QPoint>

#include <string>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace mavrel {

// Where the dialog's outer top-left corner goes for a press at `cursor`
// (screen coordinates). The test is against the main window's outer height,
// not against the screen: a low cursor opens the dialog above itself.
QPoint chordDialogPosition(QPoint cursor, int mainOuterHeight, int dialogOuterHeight);

class ChordDialog : public QDialog {
    Q_OBJECT
public:
    // With the main window as parent the dialog stays above it while the
    // user goes on pressing bars.
    explicit ChordDialog(QWidget* parent = nullptr);

    // Targets the slot of bar number `bar` (whose record is `record`) that
    // `region` addresses and presets the controls from it. The caller
    // positions and shows the dialog.
    void setTarget(int bar, const Bar& record, int region);

    // Places the dialog by the press rule, targets it and shows it; a second
    // call while it is open moves and retargets it.
    void showAt(QPoint cursor, int mainOuterHeight, int bar, const Bar& record, int region);

    int currentBar() const { return m_bar; }
    // 1..4, or 0 while no slot has been chosen since start-up.
    int chosenSlot() const { return m_slot; }

signals:
    // "Ok": the chord to store in that slot of that bar.
    void chordAccepted(int bar, int slot, const mavrel::Chord& chord);

public slots:
    void acceptChord();   // "Ok"
    void cancel();        // "Cancel"

protected:
    void reject() override;

private:
    int m_bar = 0;
    int m_slot = 0;
    // The free text as the slot held it, so that "Ok" without an edit gives
    // back the very bytes even where the box cannot show them.
    std::string m_presetFreeText;
    // The slot as it was: "Ok" keeps its spare byte and unused characters.
    Chord m_preset{};

    QListWidget* m_roots;
    QListWidget* m_qualities;
    QPushButton* m_ok;
    QCheckBox* m_flat;
    QLineEdit* m_freeText;
    QCheckBox* m_other;
    QPushButton* m_cancel;
};

} // namespace mavrel
