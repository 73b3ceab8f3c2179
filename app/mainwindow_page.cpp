// The page: presses, drags and releases handed to the current tool, the chord
// dialog and the text box the tools open.
#include "mainwindow.h"

#include "dialogs/chorddialog.h"
#include "document/text.h"
#include "document/win1252.h"
#include "pageview.h"

#include <QLineEdit>
#include <QToolButton>
#include <QUndoStack>

namespace mavrel {

void MainWindow::pressPage(Qt::MouseButton button, QPoint point, QPoint globalPos)
{
    int bar = -1, region = -1;
    hitTest(chart(), point.x(), point.y(), bar, region);
    if (bar >= 1)
        m_lastBar = bar;   // where typing chords starts
    PageTool& tool = *m_tools[int(m_tool)];
    if (tool.hidesTextBox()) {
        m_textBox->hide();   // its text stays for the next text-tool press
        layoutScrollContents();
    }
    tool.mousePressed({button, point, globalPos});
}

void MainWindow::dragOnPage(QPoint point) { m_tools[int(m_tool)]->mouseMoved(point); }

void MainWindow::releasePage(QPoint point) { m_tools[int(m_tool)]->mouseReleased(point); }

void MainWindow::openChordDialog(int bar, int region, QPoint globalPos)
{
    m_chordDialog->showAt(globalPos, frameGeometry().height(), bar, chart().bar(bar), region);
}

void MainWindow::setBand(std::optional<Band> band) { m_pageView->setBand(band); }

// --- the text box ------------------------------------------------------------------------

int MainWindow::labelAt(QPoint p) const
{
    return mavrel::labelAt(chart(), p.x(), p.y(), m_editedLabel);
}

void MainWindow::openTextBox(QPoint pagePoint)
{
    m_textBoxAt = pagePoint;
    placeTextBox();
    m_textBox->show();
    m_textBox->setFocus();
    layoutScrollContents();
}

void MainWindow::editLabel(int label)
{
    const TextLabel& t = chart().label(label);
    // The box refuses control characters: a label that holds some, read
    // from a file, comes in without them, or no key could change it.
    const QString text = QString::fromStdString(text::withoutControls(win1252::toUtf8(t.text.view())));
    m_editedLabel = label;
    m_textBoxAt = QPoint(t.x, t.y);
    m_textBox->setText(text);
    m_textBoxUnits = int(text.size()) + 1;
    setTextBoxFont(t.size, t.bold != 0);
    setSizeComboTo(t.size);
    m_boldButton->setChecked(t.bold != 0);
    m_textBox->show();
    m_textBox->setFocus();
    chartChanged();   // the label shows in the box, not on the page
}

bool MainWindow::commitTextBox(const QString& heldBack)
{
    const int replacing = m_editedLabel;
    if (m_textBox->text().isEmpty()) {
        // A label opened and emptied is a label removed.
        if (replacing) {
            m_editedLabel = 0;
            m_document->removeLabel(replacing);
            closeTextBox();
        }
        return true;
    }
    const std::string text = win1252::fromUtf8(m_textBox->text().toStdString());
    const QPoint at = textBoxPoint();
    const int steps = m_document->undoStack()->index();
    m_editedLabel = 0;   // drawn again by the step below, at its new place
    if (!m_document->commitLabel(text, at.x(), at.y(), m_textBoxSize, m_textBoxBold, replacing)) {
        m_editedLabel = replacing;
        QString message = tr("Une grille ne peut contenir plus de %1 textes : "
                             "ce texte reste dans la zone de saisie.")
                              .arg(MaxLabels);
        if (!heldBack.isEmpty())
            message += QLatin1Char(' ') + heldBack;
        showMessage(message);
        return false;
    }
    // The last label committed as it was makes no step, and nothing else
    // draws it again.
    if (replacing && m_document->undoStack()->index() == steps)
        chartChanged();
    closeTextBox();
    return true;
}

bool MainWindow::textBoxChangesChart() const
{
    const std::string text = win1252::fromUtf8(m_textBox->text().toStdString());
    if (!m_editedLabel)
        return !text.empty();
    const TextLabel& t = chart().label(m_editedLabel);
    const QPoint at = textBoxPoint();
    return t.text.view() != text || t.x != at.x() || t.y != at.y() || t.size != m_textBoxSize
        || (t.bold != 0) != m_textBoxBold;
}

void MainWindow::closeTextBox()
{
    const bool wasEditing = m_editedLabel != 0;
    m_editedLabel = 0;
    m_textBox->clear();
    m_textBox->hide();
    if (wasEditing)
        chartChanged();   // the label shows on the page again
    else
        layoutScrollContents();
}

void MainWindow::leaveChart()
{
    const int replacing = m_editedLabel;
    m_editedLabel = 0;
    if (!m_textBox->text().isEmpty()) {
        const std::string text = win1252::fromUtf8(m_textBox->text().toStdString());
        const QPoint at = textBoxPoint();
        m_document->commitLabel(text, at.x(), at.y(), m_textBoxSize, m_textBoxBold, replacing);
    }
    closeTextBox();
    closeChordEntry();
    m_chordDialog->hide();
}

void MainWindow::textBoxKey(int key)
{
    if (key == '\r')
        commitTextBox(QString());
    // Counted before the character goes in: room for it and one more.
    m_textBoxUnits = int(m_textBox->text().size()) + 2;
    placeTextBox();
}

} // namespace mavrel
