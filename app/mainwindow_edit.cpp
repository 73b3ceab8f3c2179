// The tool bar, and the "Edition" and "Fonctions" menus.
#include "mainwindow.h"

#include "chordtypingbox.h"
#include "dialogs/chorddialog.h"
#include "document/chordtext.h"
#include "document/text.h"
#include "dialogs/transposedialog.h"
#include "documentmanager.h"
#include "pageview.h"
#include "render/localfile.h"
#include "spinarrows.h"

#include <QComboBox>
#include <QScrollArea>
#include <QStatusBar>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>
#include <QUndoStack>

#include <algorithm>

namespace mavrel {

// --- tools -----------------------------------------------------------------------------

void MainWindow::selectTool(Tool tool)
{
    m_tool = tool;
    switch (tool) {
    case Tool::Lasso:
        return;   // the selection stays, to be copied or pasted
    case Tool::Chord:
        setSizeComboTo(chart().info.fontSize);
        m_boldButton->setChecked(chart().info.bold != 0);
        break;
    case Tool::Text:
        setSizeComboTo(m_textBoxSize);
        m_boldButton->setChecked(m_textBoxBold);
        break;
    case Tool::Eraser:
    case Tool::BarLine:
        break;
    }
    m_document->clearSelection();
}

void MainWindow::applySize(const QString& text)
{
    if (m_tool != Tool::Chord && m_tool != Tool::Text)
        return;
    bool ok = false;
    const int size = text.trimmed().toInt(&ok);
    if (!ok || size < 1 || size > 127) {
        showMessage(tr("'%1' n'est pas une valeur entière correcte.").arg(text));
        return;
    }
    if (m_tool == Tool::Chord) {
        m_document->setChordFontSize(size);
    } else {
        m_textBoxUnits = int(m_textBox->text().size()) + 1;
        setTextBoxFont(size, m_textBoxBold);
    }
}

void MainWindow::toggleBold()
{
    if (m_tool == Tool::Chord)
        m_document->setChordBold(m_boldButton->isChecked());
    else if (m_tool == Tool::Text)
        setTextBoxFont(m_textBoxSize, m_boldButton->isChecked());
}

// --- grid, page and margins -----------------------------------------------------------

void MainWindow::stepGrid()
{
    const int columns = m_columnsSpin->position(), rows = m_rowsSpin->position();
    if (!m_document->setGrid(columns, rows)) {
        syncControls();   // the spinners go back to the grid
        showStatus(tr("Une grille compte au plus %1 cases : %2 × %3 dépasserait cette limite.")
                       .arg(MaxBars).arg(columns).arg(rows));
        return;
    }
    m_chordDialog->hide();   // bar numbers now stand for other places
    closeChordEntry();
}

void MainWindow::turnPage() { m_document->turnPage(m_pageLayoutButton->isChecked()); }

void MainWindow::togglePageLayout()
{
    if (m_pageLayoutButton->isChecked()) {
        m_document->clampMargins();
    } else {
        m_topMarginSlider->hide();
        m_bottomMarginSlider->hide();
        m_sideMarginSlider->hide();
    }
    chartChanged();   // the guides come or go
}

void MainWindow::marginMoved(Margin margin, int pixels, const QSlider* slider)
{
    // Keys and clicks beside the handle are a step each; a drag is one.
    if (!slider->isSliderDown())
        ++m_marginSession;
    m_document->setMargin(margin, pixels, m_marginSession);
}

// --- "Edition" --------------------------------------------------------------------------

void MainWindow::undo()
{
    // What the dialogs and the boxes were opened on may change: they close.
    m_chordDialog->hide();
    closeChordEntry();
    if (m_editedLabel)
        closeTextBox();
    m_document->undoStack()->undo();
}

void MainWindow::redo()
{
    m_chordDialog->hide();
    closeChordEntry();
    if (m_editedLabel)
        closeTextBox();
    m_document->undoStack()->redo();
}

// The clipboard is every window's: bars copied in one are pasted in any other.
void MainWindow::copy() { m_document->copySelectedBars(DocumentManager::instance()->clipboard()); }

void MainWindow::paste() { m_document->pasteBars(DocumentManager::instance()->clipboard()); }

void MainWindow::clearSelectedBars() { m_document->clearSelectedBars(); }

// --- chords typed from the keyboard ------------------------------------------------------

void MainWindow::startChordEntry()
{
    selectTool(Tool::Chord);
    m_chordToolButton->setChecked(true);
    showChordEntryAt(std::clamp(m_lastBar, 1, std::max(1, chart().info.count)));
}

void MainWindow::showChordEntryAt(int bar)
{
    m_entryBar = bar;
    m_entryRefused = false;
    const Bar& b = chart().bar(bar);
    const GridInfo& g = chart().info;
    const int height = std::max(22, m_chordEntry->sizeHint().height());
    const QPoint topLeft = contentsPoint(QPoint(b.x, b.y));
    const QPoint bottomRight = contentsPoint(QPoint(b.x + g.barWidth, b.y + g.barHeight));
    m_chordEntry->setGeometry(QRect(QPoint(topLeft.x(), (topLeft.y() + bottomRight.y() - height) / 2),
                                    QSize(std::max(bottomRight.x() - topLeft.x(), 60), height)));
    // Without control characters, which the box refuses.
    m_chordEntry->setText(QString::fromStdString(text::withoutControls(barText(b))));
    m_chordEntry->selectAll();
    m_chordEntry->show();
    m_chordEntry->raise();
    m_chordEntry->setFocus();
    m_scrollArea->ensureWidgetVisible(m_chordEntry);
    statusBar()->showMessage(tr("Mesure %1 : accords séparés par des espaces ; 3 accords = ¼ ¼ ½ "
                                "(« Dm7. » : ½ d'abord). Tab : suivante, Échap : fin.")
                                 .arg(bar));
}

int MainWindow::barFromEntry(int bars) const
{
    return std::clamp(m_entryBar + bars, 1, std::max(1, chart().info.count));
}

bool MainWindow::storeChordEntry(QString* notice)
{
    const TypedBar typed = readBar(m_chordEntry->text().toStdString());
    if (!typed.error.empty()) {
        statusBar()->showMessage(visibleText(messageText(typed.error)));
        return false;   // nothing stored; the text stays to be mended
    }
    m_document->setBarChords(m_entryBar, typed.division, typed.chords, typed.count);
    if (notice && !typed.notice.empty())
        *notice = messageText(typed.notice);
    return true;
}

void MainWindow::acceptChordEntry(int direction)
{
    QString notice;
    if (!storeChordEntry(&notice))
        return;
    showChordEntryAt(barFromEntry(direction));
    if (!notice.isEmpty())   // in place of the next bar's hint
        statusBar()->showMessage(notice);
}

void MainWindow::leaveChordEntry()
{
    QString notice;
    if (m_chordEntry->isModified() && !m_entryRefused && !storeChordEntry(&notice)) {
        m_entryRefused = true;
        statusBar()->showMessage(statusBar()->currentMessage() + QLatin1Char(' ')
                                 + tr("Échap de nouveau : quitter sans enregistrer la mesure."));
        return;
    }
    closeChordEntry();
    if (!notice.isEmpty())
        statusBar()->showMessage(notice);
}

void MainWindow::closeChordEntry()
{
    if (!m_entryBar)
        return;
    m_entryBar = 0;
    m_entryRefused = false;
    m_chordEntry->hide();
    statusBar()->clearMessage();
}

bool MainWindow::moveChordEntry(int bar)
{
    if (!m_entryBar)
        return false;
    showChordEntryAt(bar);
    return true;
}

// --- "Fonctions" ------------------------------------------------------------------------

void MainWindow::showTransposeDialog()
{
    m_transposeDialog->show();
    m_transposeDialog->raise();
}

} // namespace mavrel
