// The "Mesure" menu: the marks of a bar's place in the form (a section, an
// ending, segno, coda, a fermata, a direction, a change of meter) and the
// signs of its edges, for the bars it is shown for. The same menu sits in
// the menu bar and opens over the page. It says what the user chose; the
// window makes it a step of the history.
#pragma once

#include "document/chart.h"

#include <QMenu>

#include <vector>

class QActionGroup;

namespace mavrel {

class BarMarksMenu : public QMenu {
    Q_OBJECT
public:
    explicit BarMarksMenu(QWidget* parent = nullptr);

    // Names the bars in the menu's first line and checks the values they all
    // share; a value the bars do not share is left unchecked.
    void showMarksOf(const Chart& chart, const std::vector<int>& bars);

signals:
    // An empty name takes the section away.
    void sectionChosen(const QString& name);
    // "Autre…": a name the user types.
    void otherSectionRequested();
    void endingChosen(int ending);
    // SegnoFlag, CodaFlag or FermataFlag, set or taken away.
    void flagChosen(int flag, bool on);
    void directionChosen(mavrel::Direction direction);
    // An empty meter: no change of meter at these bars.
    void meterChosen(mavrel::TimeSignature time);
    // Edge 0 the left one (0 none, 1 start repeat, 2 double bar), 1 the right
    // one (0 none, 1 end repeat, 2 double bar).
    void barLineChosen(int edge, int sign);

private:
    QActionGroup* group(QMenu* menu);

    QAction* m_bars;
    QActionGroup* m_sections;
    QAction* m_otherSection;
    QActionGroup* m_endings;
    QAction* m_segno;
    QAction* m_coda;
    QAction* m_fermata;
    QActionGroup* m_directions;
    QActionGroup* m_meters;
    QActionGroup* m_left;
    QActionGroup* m_right;
};

} // namespace mavrel
