// Presses on the page, text labels, the lasso and the "Edition" menu.
#include "mainwindow.h"

#include "dialogs/chorddialog.h"
#include "document/win1252.h"
#include "pageview.h"

#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

namespace mavrel {

void MainWindow::pressPage(Qt::MouseButton button, int x, int y, QPoint globalPos)
{
    const Tool tool = m_chart->tool;
    if (tool == Tool::Chord || tool == Tool::Eraser || tool == Tool::BarLine)
        m_textBox->hide();   // its text stays for the next text-tool press

    int bar = -1, region = -1;
    hitTest(*m_chart, x, y, bar, region);

    switch (tool) {
    case Tool::Chord:
        if (bar < 1)
            break;
        if (button == Qt::RightButton) {
            cycleDivision(m_chart->bar(bar));
        } else if (button == Qt::LeftButton) {
            m_chordDialog->showAt(globalPos, frameGeometry().height(), bar, region);
        }
        break;
    case Tool::Eraser:
        if (bar >= 1)
            toggleShown(m_chart->bar(bar));
        break;
    case Tool::BarLine:
        if (bar >= 1)
            cycleSign(m_chart->bar(bar), region);
        break;
    case Tool::Text: {
        const int j = labelAt(*m_chart, x, y);
        if (j == -1) {
            m_textBox->move(m_pageView->pos() + QPoint(x, y));
            m_textBox->show();
            m_textBox->setFocus();
            break;
        }
        // Text typed in the box, perhaps a label taken out of the chart, is
        // put back before another label is opened, so that nothing is lost.
        if (!commitTextBox())
            break;
        const TextLabel label = takeLabel(*m_chart, j);
        const QString text = QString::fromStdString(win1252::toUtf8(label.text.view()));
        m_textBox->move(m_pageView->pos() + QPoint(label.x, label.y));
        m_textBox->setText(text);
        setTextBoxFont(label.size, label.bold != 0);
        setSizeComboTo(label.size);
        m_boldButton->setChecked(label.bold != 0);
        m_textBox->resize(effectivePoints(label.size) * (int(text.size()) + 1), m_textBox->height());
        m_textBox->show();
        m_textBox->setFocus();
        break;
    }
    case Tool::Lasso:
        m_lassoStart = QPoint(x, y);
        m_lassoActive = true;
        break;
    default:
        break;
    }
    redrawPage();
}

bool MainWindow::commitTextBox(const QString& heldBack)
{
    if (m_textBox->text().isEmpty())
        return true;
    const std::string text = win1252::fromUtf8(m_textBox->text().toStdString());
    const QPoint at = m_textBox->pos() - m_pageView->pos();
    if (!commitLabel(*m_chart, text, at.x(), at.y(), m_textBoxSize, m_textBoxBold)) {
        QString message = QStringLiteral("Une grille ne peut contenir plus de %1 textes : "
                                         "ce texte reste dans la zone de saisie.")
                              .arg(MaxLabels);
        if (!heldBack.isEmpty())
            message += QLatin1Char(' ') + heldBack;
        showMessage(message);
        return false;
    }
    m_textBox->clear();
    m_textBox->hide();
    redrawPage();
    return true;
}

void MainWindow::leaveChart()
{
    if (!m_textBox->text().isEmpty()) {
        const std::string text = win1252::fromUtf8(m_textBox->text().toStdString());
        const QPoint at = m_textBox->pos() - m_pageView->pos();
        commitLabel(*m_chart, text, at.x(), at.y(), m_textBoxSize, m_textBoxBold);
    }
    m_textBox->clear();
    m_textBox->hide();
    m_chordDialog->hide();
}

void MainWindow::textBoxKey(int key)
{
    if (key == '\r')
        commitTextBox();
    // Counted before the character goes in: room for it and one more.
    const int n = int(m_textBox->text().size());
    m_textBox->resize(effectivePoints(m_textBoxSize) * (n + 2), m_textBox->height());
}

// --- lasso ----------------------------------------------------------------------

void MainWindow::dragOnPage(int x, int y)
{
    if (!m_lassoActive)
        return;
    m_lassoCurrent = QPoint(x, y);
    redrawPage();
    m_page.canvas().focusRect(m_lassoStart.x(), m_lassoStart.y(), x, y);
    m_pageView->update();
}

void MainWindow::releasePage(Qt::MouseButton, int x, int y)
{
    if (!m_lassoActive)
        return;
    m_lassoActive = false;
    m_lassoCurrent = QPoint(x, y);
    int bar = -1, region = -1;
    hitTest(*m_chart, x, y, bar, region);
    finishLasso(*m_chart, m_selection, m_lassoStart.x(), m_lassoStart.y(), x, y, bar);
    redrawPage();
}

void MainWindow::copy()
{
    copyBars(*m_chart, m_selection, m_clipboard);
    redrawPage();
}

void MainWindow::paste()
{
    pasteBars(*m_chart, m_selection, m_clipboard);
    redrawPage();
}

void MainWindow::clearSelectedBars()
{
    clearBars(*m_chart, m_selection);
    redrawPage();
}

} // namespace mavrel
