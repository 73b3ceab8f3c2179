// The chart editor: the page of a chart in its scroll box, at a zoom, with
// what is laid over it (the text box, the box in which chords are typed, the
// margin sliders of the page layout) and the tool that presses, drags and
// releases on it. It shows the chart of a document and changes it only
// through the document's edits; the window around it holds the menus and the
// tool bar, which drive it.
#pragma once

#include "charttextvalidator.h"
#include "edit/chartdocument.h"
#include "pagetools.h"
#include "render/page.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QLineEdit;
class QScrollArea;
class QSlider;

namespace mavrel {

class ChordDialog;
class ChordTypingBox;
class LabelEditor;
class PageView;

class ChartEditor : public QWidget, private PageToolHost {
    Q_OBJECT
public:
    explicit ChartEditor(ChartDocument& document, QWidget* parent = nullptr);
    ~ChartEditor() override;

    ChartDocument& document() override { return m_document; }
    const Chart& chart() const;
    const Selection& selection() const;
    // The page as the view shows it, at the zoom.
    const QImage& pageImage() const { return m_shownPage; }
    PageView* pageView() const { return m_pageView; }
    QScrollArea* scrollArea() const { return m_scrollArea; }
    // Draws the page again, as when the chord symbols change.
    void refreshPage() { refreshPageView(); }
    LabelEditor* labels() const { return m_labels; }
    // The chord dialog, beside the window; it follows the pressed bar.
    ChordDialog* chordDialog() const { return m_chordDialog; }

    Tool tool() const { return m_tool; }
    // Chooses a tool; each but the lasso empties the selection.
    void selectTool(Tool tool);

    // The page's zoom on screen, in percent: one of ZoomLevels, else clamped
    // to their range.
    static constexpr int ZoomLevels[] = {50, 75, 100, 125, 150, 200, 300, 400};
    int zoom() const { return m_zoom; }
    void setZoom(int percent);
    void zoomIn();
    void zoomOut();

    // Page-layout mode: the margins' guides on the page and their sliders.
    bool isPageLayoutShown() const { return m_pageLayout; }
    void setPageLayoutShown(bool shown);

    // The size and weight of what the tool writes: every chord with the chord
    // tool, the text box with the text tool; the other tools take none.
    // A size that is no whole number from 1 to 127 is refused with a message.
    void setWritingSize(const QString& text);
    void setWritingBold(bool bold);

    // The grid: false, with the reason in the status bar, when it would hold
    // more bars than a chart can.
    bool setGrid(int columns, int rows);
    void turnPage();

    // Chords typed from the keyboard, from the bar last pressed.
    void startChordEntry();

    // The bars the marks of the "Mesure" menu go to: the selected ones, else
    // the bar being typed, else the bar last pressed.
    std::vector<int> markedBars() const;
    // One step on the marked bars. The bar being typed goes in first, and
    // the box then shows it with its new marks; a text the bar cannot take
    // stops the change, its reason in the status bar.
    void changeMarkedBars(const std::function<void(const std::vector<int>&)>& change);
    // Where the menu of the marked bars opens from the keyboard: the first
    // one's centre, scrolled into view, in global coordinates.
    QPoint markedBarsMenuPoint();

    // The label in the text box into the chart, before the chart is saved,
    // printed or exported; see LabelEditor::commit.
    bool commitLabel(const QString& heldBack);
    // Whether closing now would lose something: text in the box not yet in the chart.
    bool holdsUnsavedText() const;
    // Before the chart is replaced: text in the box goes into the chart being
    // left (or goes with it when that chart is full), and what points into
    // that chart (the chord dialog, the typing box) closes.
    void leaveChart();
    // Before a step of the history is undone or redone: what the dialog and
    // the boxes were opened on may change, so they close.
    void closeForHistory();

signals:
    void toolChanged(Tool tool);
    void zoomChanged(int percent);
    void pageLayoutChanged(bool shown);
    // The size and weight the size box and the bold button should show.
    void writingChanged(int size, bool bold);
    // For the status bar; a timeout of 0 keeps it until the next one.
    void status(const QString& text, int timeout);
    // A message the user must read.
    void message(const QString& text);
    // A bar pressed on the page, whatever the tool.
    void barPressed(int bar);
    // The menu of the selected bars' marks, asked for by the lasso's right click.
    void barMenuRequested(QPoint globalPos);

private:
    // PageToolHost.
    void openChordDialog(int bar, int region, QPoint globalPos) override;
    bool moveChordEntry(int bar) override;
    int labelAt(QPoint pagePoint) const override;
    void openTextBox(QPoint pagePoint) override;
    bool commitTextBox() override;
    void editLabel(int label) override;
    void setBand(std::optional<Band> band) override;
    void openBarMenu(QPoint globalPos) override;

    void pressPage(Qt::MouseButton button, QPoint point, QPoint globalPos);
    void wheelOnPage(int steps, QPoint anchor);

    // Redraws the page from the chart: the one place the editor follows the document.
    void chartChanged();
    // The page as the view shows it: drawn as vectors at the zoom and the
    // screen's pixel ratio, smoothed as on paper.
    void refreshPageView();
    // Zooms, keeping the page point under `anchor` (page view pixels) where it is.
    void zoomAround(int percent, QPoint anchor);
    // A page point in the coordinates of the scroll area's contents.
    QPoint contentsPoint(QPointF pagePoint) const;
    void layoutScrollContents();
    void placeMarginSliders();
    void marginMoved(Margin margin, int pixels, const QSlider* slider);
    // The box takes only what a chart keeps, and says so when it refuses a
    // control character.
    void setTextValidator(QLineEdit* box, ChartTextValidator::Characters characters);
    void showStatus(const QString& text, int timeout = 0);

    // Chords typed from the keyboard.
    void showChordEntryAt(int bar);
    void acceptChordEntry(int direction);
    // Escape: the bar stored if it was changed, then the box closed. A text
    // the bar cannot take keeps the box open with its message; a second
    // Escape then leaves without storing.
    void leaveChordEntry();
    // Stores the box's text in its bar; false, with the reason in the status
    // bar, when the text is no bar.
    bool storeChordEntry(QString* notice = nullptr);
    void closeChordEntry();
    // The laid-out bar `bars` bars from the entry's.
    int barFromEntry(int bars) const;

    ChartDocument& m_document;
    Page m_page;
    std::array<std::unique_ptr<PageTool>, 5> m_tools;
    Tool m_tool = Tool::Chord;
    int m_zoom = 100;
    QImage m_shownPage;
    bool m_pageLayout = false;
    // Consecutive moves of one slider drag are one step of the history.
    int m_marginSession = 0;
    // The bar last pressed, where typing chords starts; the bar being typed.
    int m_lastBar = 1;
    int m_entryBar = 0;
    // The text in the typing box was refused on Escape, and not changed since.
    bool m_entryRefused = false;
    QString m_lastStatus;

    QScrollArea* m_scrollArea;
    QWidget* m_scrollContents;
    PageView* m_pageView;
    LabelEditor* m_labels;
    ChordTypingBox* m_chordEntry;
    QSlider* m_topMarginSlider;
    QSlider* m_bottomMarginSlider;
    QSlider* m_sideMarginSlider;
    ChordDialog* m_chordDialog;
};

} // namespace mavrel
