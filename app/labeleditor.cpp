#include "labeleditor.h"

#include "document/text.h"
#include "document/win1252.h"
#include "edit/chartdocument.h"
#include "pageview.h"
#include "render/canvas.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QUndoStack>

#include <algorithm>

namespace mavrel {

namespace {
constexpr int MaxTextLength = 100;   // what a label can hold
constexpr int BoxHeight = 21;
} // namespace

LabelEditor::LabelEditor(ChartDocument& document, QWidget* area, const PageView* view, QObject* parent)
    : QObject(parent), m_document(document), m_view(view), m_box(new QLineEdit(area))
{
    m_box->setObjectName(QStringLiteral("textBox"));
    m_box->setMaxLength(MaxTextLength);
    m_box->hide();
    m_box->installEventFilter(this);
    // Where the box first stands when the text tool has not pressed the page yet.
    m_at = QPoint(191, 127);
    place();
    m_box->setGeometry(QRect(m_box->pos(), QSize(25, BoxHeight)));
}

void LabelEditor::setBold(bool bold)
{
    m_bold = bold;
    place();
}

void LabelEditor::setFontSize(int points)
{
    m_units = int(m_box->text().size()) + 1;
    m_size = points;
    place();
}

void LabelEditor::openAt(QPoint pagePoint)
{
    m_at = pagePoint;
    place();
    m_box->show();
    m_box->setFocus();
    emit geometryChanged();
}

void LabelEditor::edit(int label)
{
    const TextLabel& t = m_document.chart().label(label);
    // The box refuses control characters: a label that holds some, read
    // from a file, comes in without them, or no key could change it.
    const QString text = QString::fromStdString(text::withoutControls(win1252::toUtf8(t.text.view())));
    m_at = QPoint(t.x, t.y);
    m_box->setText(text);
    m_units = int(text.size()) + 1;
    m_size = t.size;
    m_bold = t.bold != 0;
    place();
    emit fontChanged(m_size, m_bold);
    m_box->show();
    m_box->setFocus();
    setEditedLabel(label);   // the label shows in the box, not on the page
}

void LabelEditor::hide()
{
    m_box->hide();
    emit geometryChanged();
}

bool LabelEditor::commit(const QString& heldBack)
{
    const int replacing = m_editedLabel;
    if (m_box->text().isEmpty()) {
        // A label opened and emptied is a label removed.
        if (replacing) {
            m_editedLabel = 0;
            m_document.removeLabel(replacing);
            close();
        }
        return true;
    }
    const std::string text = win1252::fromUtf8(m_box->text().toStdString());
    const int steps = m_document.undoStack()->index();
    m_editedLabel = 0;   // drawn again by the step below, at its new place
    if (!m_document.commitLabel(text, m_at.x(), m_at.y(), m_size, m_bold, replacing)) {
        m_editedLabel = replacing;
        QString text = tr("Une grille ne peut contenir plus de %1 textes : "
                          "ce texte reste dans la zone de saisie.")
                           .arg(MaxLabels);
        if (!heldBack.isEmpty())
            text += QLatin1Char(' ') + heldBack;
        emit message(text);
        return false;
    }
    // The last label committed as it was makes no step, and nothing else
    // draws it again.
    if (replacing && m_document.undoStack()->index() == steps)
        emit editedLabelChanged();
    close();
    return true;
}

bool LabelEditor::changesChart() const
{
    const std::string text = win1252::fromUtf8(m_box->text().toStdString());
    if (!m_editedLabel)
        return !text.empty();
    const TextLabel& t = m_document.chart().label(m_editedLabel);
    return t.text.view() != text || t.x != m_at.x() || t.y != m_at.y() || t.size != m_size
        || (t.bold != 0) != m_bold;
}

void LabelEditor::close()
{
    const bool wasEditing = m_editedLabel != 0;
    m_editedLabel = 0;
    m_box->clear();
    m_box->hide();
    if (wasEditing)
        emit editedLabelChanged();   // the label shows on the page again
    else
        emit geometryChanged();
}

void LabelEditor::leaveChart()
{
    const int replacing = m_editedLabel;
    m_editedLabel = 0;
    if (!m_box->text().isEmpty())
        m_document.commitLabel(win1252::fromUtf8(m_box->text().toStdString()), m_at.x(), m_at.y(), m_size, m_bold,
                               replacing);
    close();
}

void LabelEditor::place()
{
    const double scale = m_view->zoom();
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(std::max(1, int(pointsToPixels(m_size) * scale)));
    f.setBold(m_bold);
    m_box->setFont(f);
    // The box's height follows its font, so that large text is not cut.
    m_box->setGeometry(QRect(m_view->pos() + m_view->widgetPoint(m_at).toPoint(),
                             QSize(int(effectivePoints(m_size) * m_units * scale),
                                   std::max(BoxHeight, m_box->sizeHint().height()))));
}

void LabelEditor::setEditedLabel(int label)
{
    m_editedLabel = label;
    emit editedLabelChanged();
}

bool LabelEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_box && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter || !key->text().isEmpty()) {
            if (enter)
                commit();
            // Counted before the character goes in: room for it and one more.
            m_units = int(m_box->text().size()) + 2;
            place();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace mavrel
