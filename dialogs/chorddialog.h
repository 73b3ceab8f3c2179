// The chord dialog ("Accords"): the one way to put a chord into a bar slot.
#pragma once

#include "document/chart.h"

#include <QDialog>
#include <QPoint>

#include <functional>
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
    ChordDialog(Chart& chart, std::function<void()> redraw, QWidget* parent = nullptr);

    // Targets the slot of `bar` that `region` addresses and presets the
    // controls from it. The caller positions and shows the dialog.
    void setTarget(int bar, int region);

    // Places the dialog by the press rule, targets it and shows it; a second
    // call while it is open moves and retargets it.
    void showAt(QPoint cursor, int mainOuterHeight, int bar, int region);

    int currentBar() const { return m_bar; }
    // 1..4, or 0 while no slot has been chosen since start-up.
    int chosenSlot() const { return m_slot; }

public slots:
    void acceptChord();   // "Ok"
    void cancel();   // "Cancel"

protected:
    void reject() override;

private:
    Chart& m_chart;
    std::function<void()> m_redraw;
    int m_bar = 0;
    int m_slot = 0;
    // The free text as the slot held it, so that "Ok" without an edit gives
    // back the very bytes even where the box cannot show them.
    std::string m_presetFreeText;

    QListWidget* m_roots;
    QListWidget* m_qualities;
    QPushButton* m_ok;
    QCheckBox* m_flat;
    QLineEdit* m_freeText;
    QCheckBox* m_other;
    QPushButton* m_cancel;
};

} // namespace mavrel
