// Presses on the page, text labels, the lasso and the "Edition" menu.
#include "mainwindow.h"

#include "dialogs/chorddialog.h"
#include "document/win1252.h"
#include "pageimage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

namespace mavrel {

void TForm1::clic2(Qt::MouseButton button, int x, int y, QPoint globalPos)
{
    const TOutil tool = m_chart->outil;
    if (tool == OutilAccord || tool == OutilGomme || tool == OutilBarre)
        Edit1->hide();   // its text stays for the next text-tool press

    int bar = -1, region = -1;
    FindCase(*m_chart, x, y, bar, region);

    switch (tool) {
    case OutilAccord:
        if (bar < 1)
            break;
        if (button == Qt::RightButton) {
            cycleDivision(m_chart->bar(bar));
        } else if (button == Qt::LeftButton) {
            m_form2->showAt(globalPos, frameGeometry().height(), bar, region);
        }
        break;
    case OutilGomme:
        if (bar >= 1)
            toggleShown(m_chart->bar(bar));
        break;
    case OutilBarre:
        if (bar >= 1)
            cycleSign(m_chart->bar(bar), region);
        break;
    case OutilTexte: {
        const int j = FindText(*m_chart, x, y);
        if (j == -1) {
            Edit1->move(Image1->pos() + QPoint(x, y));
            Edit1->show();
            Edit1->setFocus();
            break;
        }
        // Text typed in the box, perhaps a label taken out of the chart, is
        // put back before another label is opened, so that nothing is lost.
        if (!commitEditBox())
            break;
        const TTexte label = takeLabel(*m_chart, j);
        const QString text = QString::fromStdString(win1252::toUtf8(label.text.view()));
        Edit1->move(Image1->pos() + QPoint(label.x, label.y));
        Edit1->setText(text);
        setEditFont(label.size, label.bold != 0);
        setComboToSize(label.size);
        SpeedButton6->setChecked(label.bold != 0);
        Edit1->resize(effectivePoints(label.size) * (int(text.size()) + 1), Edit1->height());
        Edit1->show();
        Edit1->setFocus();
        break;
    }
    case OutilLasso:
        m_lassoStart = QPoint(x, y);
        m_lassoActive = true;
        break;
    default:
        break;
    }
    DrawGrille();
}

bool TForm1::commitEditBox(const QString& heldBack)
{
    if (Edit1->text().isEmpty())
        return true;
    const std::string text = win1252::fromUtf8(Edit1->text().toStdString());
    const QPoint at = Edit1->pos() - Image1->pos();
    if (!commitLabel(*m_chart, text, at.x(), at.y(), m_editFontSize, m_editBold)) {
        QString message = QStringLiteral("Une grille ne peut contenir plus de %1 textes : "
                                         "ce texte reste dans la zone de saisie.")
                              .arg(MaxLabels);
        if (!heldBack.isEmpty())
            message += QLatin1Char(' ') + heldBack;
        showMessage(message);
        return false;
    }
    Edit1->clear();
    Edit1->hide();
    DrawGrille();
    return true;
}

void TForm1::leaveChart()
{
    if (!Edit1->text().isEmpty()) {
        const std::string text = win1252::fromUtf8(Edit1->text().toStdString());
        const QPoint at = Edit1->pos() - Image1->pos();
        commitLabel(*m_chart, text, at.x(), at.y(), m_editFontSize, m_editBold);
    }
    Edit1->clear();
    Edit1->hide();
    m_form2->hide();
}

void TForm1::Saisie(int key)
{
    if (key == '\r')
        commitEditBox();
    // Counted before the character goes in: room for it and one more.
    const int n = int(Edit1->text().size());
    Edit1->resize(effectivePoints(m_editFontSize) * (n + 2), Edit1->height());
}

// --- lasso ----------------------------------------------------------------------

void TForm1::selection(int x, int y)
{
    if (!m_lassoActive)
        return;
    m_lassoCurrent = QPoint(x, y);
    DrawGrille();
    m_page.canvas().focusRect(m_lassoStart.x(), m_lassoStart.y(), x, y);
    Image1->update();
}

void TForm1::finselection(Qt::MouseButton, int x, int y)
{
    if (!m_lassoActive)
        return;
    m_lassoActive = false;
    m_lassoCurrent = QPoint(x, y);
    int bar = -1, region = -1;
    FindCase(*m_chart, x, y, bar, region);
    finishLasso(*m_chart, m_selection, m_lassoStart.x(), m_lassoStart.y(), x, y, bar);
    DrawGrille();
}

void TForm1::Copier1Click()
{
    Copier(*m_chart, m_selection, m_clipboard);
    DrawGrille();
}

void TForm1::Coller1Click()
{
    Coller(*m_chart, m_selection, m_clipboard);
    DrawGrille();
}

void TForm1::Suprimer1Click()
{
    Suprimer(*m_chart, m_selection);
    DrawGrille();
}

} // namespace mavrel
