// The text box of the page, in which labels are typed and edited: where it
// stands, its font, the label it was opened on, and what goes into the chart
// from it. Nothing typed is lost: the box's text goes into the chart before
// another label is opened, and before the chart is saved, printed or left.
#pragma once

#include <QObject>
#include <QPoint>
#include <QString>

class QLineEdit;

namespace mavrel {

class ChartDocument;
class PageView;

class LabelEditor : public QObject {
    Q_OBJECT
public:
    // The box is a child of `area`, over `view`, the page it writes on.
    LabelEditor(ChartDocument& document, QWidget* area, const PageView* view, QObject* parent = nullptr);

    QLineEdit* box() const { return m_box; }
    // The label open in the box, which the page does not draw meanwhile; 0
    // for none.
    int editedLabel() const { return m_editedLabel; }
    // The font the next label takes, as the size box and the bold button
    // show it in the text tool.
    int fontSize() const { return m_size; }
    bool isBold() const { return m_bold; }
    void setBold(bool bold);
    // A new size makes the box wide enough for its text and one more character.
    void setFontSize(int points);

    // Shows the box at a free point of the page, with the text it holds.
    void openAt(QPoint pagePoint);
    // Opens a label of the chart in the box for editing.
    void edit(int label);
    // Hides the box; its text stays for the next press of the text tool.
    void hide();
    // Puts the label typed in the box into the chart; a box opened on a label
    // and emptied removes it. When the chart is full the text stays in the
    // box and the message ends with `heldBack`, what did not happen because of it.
    bool commit(const QString& heldBack = QString());
    // Whether the box holds something the chart does not: text typed, or a
    // label opened and changed since.
    bool changesChart() const;
    // Empties and hides the box; a label opened in it stays as it was.
    void close();
    // Before the chart is replaced: text in the box goes into the chart being
    // left, or goes with it when that chart is full.
    void leaveChart();
    // Puts the box over its page point, its font and width at the page's zoom.
    void place();

signals:
    // The label left out of the page changed: the page must be drawn again.
    void editedLabelChanged();
    // The box was shown, hidden or resized.
    void geometryChanged();
    // The box took a label's font, for the size box and the bold button.
    void fontChanged(int points, bool bold);
    void message(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setEditedLabel(int label);

    ChartDocument& m_document;
    const PageView* m_view;
    QLineEdit* m_box;
    int m_editedLabel = 0;
    int m_size = 8;
    bool m_bold = false;
    QPoint m_at;   // the box's top-left corner in page pixels
    // The box is this many times its font size wide: room for the text and more.
    int m_units = 3;
};

} // namespace mavrel
