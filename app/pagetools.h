// The tools of the page: one small class each, to which the window hands the
// presses, moves and releases on the page. A tool changes the chart only
// through the document's edits.
#pragma once

#include <QPoint>

#include <optional>

namespace mavrel {

class ChartDocument;

enum class Tool { Chord, Eraser, BarLine, Text, Lasso };

// The lasso's band: a dotted rectangle between the press and the pointer.
struct Band {
    QPoint start;
    QPoint end;
};

// What a tool asks of the window that holds the page.
class PageToolHost {
public:
    virtual ~PageToolHost() = default;
    virtual ChartDocument& document() = 0;
    // Places the chord dialog by the cursor on that region of that bar.
    virtual void openChordDialog(int bar, int region, QPoint globalPos) = 0;
    // While chords are typed from the keyboard, a press takes the typing box
    // to the pressed bar; false when no box is open.
    virtual bool moveChordEntry(int bar) = 0;
    // The label under a page point, but the one open in the text box; -1
    // for none.
    virtual int labelAt(QPoint pagePoint) const = 0;
    // Shows the text box at a free point of the page, its text kept.
    virtual void openTextBox(QPoint pagePoint) = 0;
    // Puts what the text box holds into the chart; false when it could not.
    virtual bool commitTextBox() = 0;
    // Opens a label in the text box for editing.
    virtual void editLabel(int label) = 0;
    // The lasso's band over the page, in page pixels; none when it is done.
    virtual void setBand(std::optional<Band> band) = 0;
    // The menu of the marks of the selected bars, by the cursor.
    virtual void openBarMenu(QPoint globalPos) = 0;
};

struct PagePress {
    Qt::MouseButton button;
    QPoint point;       // page pixels
    QPoint globalPos;   // screen, for the chord dialog
};

class PageTool {
public:
    explicit PageTool(PageToolHost& host) : m_host(host) {}
    virtual ~PageTool() = default;

    virtual void mousePressed(const PagePress& press) = 0;
    virtual void mouseMoved(QPoint) {}
    virtual void mouseReleased(QPoint) {}
    // Tools that work on bars hide the text box when they press the page;
    // its text stays for the next text-tool press.
    virtual bool hidesTextBox() const { return true; }

protected:
    PageToolHost& m_host;
};

// Left press: the chord dialog on the pressed slot; right press: the next
// division of the bar.
class ChordTool : public PageTool {
public:
    using PageTool::PageTool;
    void mousePressed(const PagePress& press) override;
};

// Hides a bar, or shows it again.
class EraserTool : public PageTool {
public:
    using PageTool::PageTool;
    void mousePressed(const PagePress& press) override;
};

// The next sign of the pressed edge: start and end repeats, double bars,
// second lines.
class BarLineTool : public PageTool {
public:
    using PageTool::PageTool;
    void mousePressed(const PagePress& press) override;
};

// Opens the text box on a free point, or on a label to edit it.
class TextTool : public PageTool {
public:
    using PageTool::PageTool;
    void mousePressed(const PagePress& press) override;
    bool hidesTextBox() const override { return false; }
};

// A click selects the bar under it, a drag the bars whose centres it encloses,
// with either button. A right click on a bar also opens the menu of the
// selected bars' marks; on a selected bar the selection stays as it is.
class LassoTool : public PageTool {
public:
    using PageTool::PageTool;
    void mousePressed(const PagePress& press) override;
    void mouseMoved(QPoint point) override;
    void mouseReleased(QPoint point) override;
    bool hidesTextBox() const override { return false; }
    bool isDragging() const { return m_dragging; }

private:
    bool m_dragging = false;
    QPoint m_start;
    Qt::MouseButton m_button = Qt::LeftButton;
    QPoint m_globalStart;
};

} // namespace mavrel
