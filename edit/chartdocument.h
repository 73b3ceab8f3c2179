// The chart being edited, with its selection, its file and its undo history.
// Every change to the chart goes through one of the edits below, each pushed
// on the undo stack as a command; the windows read the chart and redraw when
// the document says it changed.
#pragma once

#include "document/chart.h"
#include "document/chartfile.h"
#include "document/chordtext.h"
#include "document/editing.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QUndoStack;

namespace mavrel {

class ChartCommand;

enum class Margin { Top, Bottom, Side };

class ChartDocument : public QObject {
    Q_OBJECT
public:
    explicit ChartDocument(QObject* parent = nullptr);
    ~ChartDocument() override;

    const Chart& chart() const { return *m_chart; }
    // The selected bars, highlighted on the page; entry 1 is the paste anchor.
    const Selection& selection() const { return m_selection; }
    QUndoStack* undoStack() const { return m_undoStack; }

    // The chart's file as the system names it; empty for a chart never saved.
    const QByteArray& fileName() const { return m_fileName; }
    // The file's name for a title or a question: "Sans titre" when it has none.
    QString displayName() const;
    bool isModified() const;

    // Whole charts: each starts a new history, and a failed load changes
    // nothing.
    void reset();
    FileResult load(const QByteArray& fileName);
    // A chart made elsewhere (an import): not saved anywhere yet, so it counts
    // as changed.
    void setChart(const Chart& chart);
    // A chart brought back from a crash: it belongs to `fileName` (empty when
    // it never had one) but differs from what is there, so it counts as
    // changed and nothing is written until the user saves.
    void restore(const Chart& chart, const QByteArray& fileName);
    // Saves and makes the file the chart's own; the history is then clean.
    FileResult save(const QByteArray& fileName);

    // --- edits: one undoable step each, none when nothing would change ---------
    void setChord(int bar, int slot, const Chord& chord);
    // A bar typed from the keyboard: its division, the chords of its first
    // slots, its signs and the marks of its place in the form, in one step.
    void typeBar(int bar, const TypedBar& typed);
    void cycleDivision(int bar);
    void toggleShown(int bar);
    void cycleSign(int bar, int region);
    // The sign of the left edge (0 none, 1 start repeat, 2 double bar) or of
    // the right edge (0 none, 1 end repeat, 2 double bar) of each bar given.
    enum class Edge { Left, Right };
    void setBarLine(const std::vector<int>& bars, Edge edge, int sign);
    // Puts a label typed in the box on the page; `replacing` is the label the
    // box was opened on (it leaves its place), or 0 for a new one. False,
    // with nothing stored, when a new label would not fit.
    bool commitLabel(const std::string& text, int x, int y, int size, bool bold, int replacing = 0);
    void removeLabel(int label);
    void pasteBars(const Clipboard& clipboard);
    void clearSelectedBars();
    // Moves every chord by that many semitones, spelled as asked; twelve, as
    // they were spelled, give the chart back. A chord that cannot move leaves
    // the chart as it is: the message says which.
    Message transpose(int steps, Spelling spelling = Spelling::Keep);
    // False, with nothing changed, when the grid would hold more than MaxBars.
    bool setGrid(int columns, int rows);
    void setChordFontSize(int points);
    void setChordBold(bool bold);
    // Swaps the page's width and height; with `clampMargins`, margins larger
    // than half the new page are brought down to it, as the page-layout sliders
    // hold them.
    void turnPage(bool clampMargins);
    // One step for a whole slider drag: moves that share a session merge.
    void setMargin(Margin margin, int pixels, int session);
    // Brings margins larger than half the page down to it.
    void clampMargins();

    // --- the song: one step each -------------------------------------------------
    // Changes the song information (title, key, tempo...); `text` names the
    // step ("la modification du morceau").
    void changeSong(const QString& text, const std::function<void(SongInfo&)>& change);
    // Changes the marks of each of the bars given (a section, an ending...).
    void changeBarMarks(const QString& text, const std::vector<int>& bars,
                        const std::function<void(BarMarks&)>& change);

    // What the last load set aside: song information damaged or written by a
    // later version, which the next save loses. Empty for a chart that lost
    // nothing, and once it has been saved.
    const Message& setAside() const { return m_setAside; }

    // --- the selection: not an edit of its own -----------------------------------
    void setSelection(const Selection& selection);
    void clearSelection();
    // The selected bars into the clipboard; the selection empties.
    void copySelectedBars(Clipboard& clipboard);

signals:
    // The chart or the selection changed: what shows them must be redrawn.
    void changed();
    // The chart was replaced as a whole (new, loaded).
    void replaced();
    void fileNameChanged();

private:
    friend class ChartCommand;
    using Edit = std::function<void(Chart&, Selection&)>;
    // Runs the edit as one undoable step named `text`; `mergeId` and `session`
    // let consecutive steps of one gesture become one.
    void edit(const QString& text, Edit change, int mergeId = -1, int session = 0);
    void startHistory();

    std::unique_ptr<Chart> m_chart;   // 47 KB: kept off the stack
    Selection m_selection;
    QUndoStack* m_undoStack;
    QByteArray m_fileName;
    Message m_setAside;
};

} // namespace mavrel
