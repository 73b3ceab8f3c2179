#include "chartdocument.h"

#include "document/bytedelta.h"
#include "document/layout.h"

#include <QFile>
#include <QFileInfo>
#include <QUndoCommand>
#include <QUndoStack>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace mavrel {

// One step of the history: the bytes of the chart the step changed, kept as
// one delta that undo and redo both apply. A step that empties or fills the
// selection also takes the selection back and forth; the selection changes
// outside the history too, so it is kept whole, not as a delta.
class ChartCommand : public QUndoCommand {
public:
    struct Selections {
        Selection before, after;
    };

    ChartCommand(ChartDocument& document, const QString& text, ByteDelta chart,
                 std::unique_ptr<Selections> selections, int mergeId, int session)
        : QUndoCommand(text),
          m_document(document),
          m_chart(std::move(chart)),
          m_selections(std::move(selections)),
          m_mergeId(mergeId),
          m_session(session)
    {
    }

    void redo() override { apply(false); }
    void undo() override { apply(true); }
    int id() const override { return m_mergeId; }

    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* next = static_cast<const ChartCommand*>(other);
        if (next->m_session != m_session || next->m_selections || m_selections)
            return false;
        // Both steps are applied: going back through both gives the state
        // before this one, and one delta from there covers the two.
        auto before = std::make_unique<Chart>(*m_document.m_chart);
        next->m_chart.apply(bytesOf(*before));
        m_chart.apply(bytesOf(*before));
        m_chart = ByteDelta::between(bytesOf(*before), bytesOf(*m_document.m_chart));
        setObsolete(m_chart.empty());
        return true;
    }

private:
    void apply(bool back)
    {
        m_chart.apply(bytesOf(*m_document.m_chart));
        if (m_selections)
            m_document.m_selection = back ? m_selections->before : m_selections->after;
        emit m_document.changed();
    }

    ChartDocument& m_document;
    ByteDelta m_chart;
    std::unique_ptr<Selections> m_selections;
    int m_mergeId;
    int m_session;
};

namespace {
enum MergeId { MarginMerge = 1 };
} // namespace

ChartDocument::ChartDocument(QObject* parent)
    : QObject(parent), m_chart(std::make_unique<Chart>()), m_undoStack(new QUndoStack(this))
{
    resetChart(*m_chart);
}

ChartDocument::~ChartDocument() = default;

QString ChartDocument::displayName() const
{
    if (m_fileName.isEmpty())
        return tr("Sans titre");
    return QFileInfo(QFile::decodeName(m_fileName)).fileName();
}

bool ChartDocument::isModified() const { return !m_undoStack->isClean(); }

void ChartDocument::startHistory()
{
    m_undoStack->clear();
    m_undoStack->setClean();
    emit replaced();
    emit changed();
}

void ChartDocument::reset()
{
    resetChart(*m_chart);
    m_setAside = {};
    m_selection.clear();
    m_fileName.clear();
    emit fileNameChanged();
    startHistory();
}

FileResult ChartDocument::load(const QByteArray& fileName)
{
    const FileResult r = loadChart(*m_chart, fileName.toStdString());
    if (!r.ok)
        return r;
    // The selection is kept: its bars are highlighted in the new chart, and
    // they are where a paste of the old chart's bars goes.
    m_fileName = fileName;
    m_setAside = r.warning;
    emit fileNameChanged();
    startHistory();
    return r;
}

void ChartDocument::setChart(const Chart& chart)
{
    *m_chart = chart;
    layoutChart(*m_chart);
    m_fileName.clear();
    m_setAside = {};
    emit fileNameChanged();
    startHistory();
    m_undoStack->resetClean();   // it lives nowhere yet: closing asks first
}

void ChartDocument::restore(const Chart& chart, const QByteArray& fileName)
{
    setChart(chart);
    m_fileName = fileName;
    emit fileNameChanged();
}

FileResult ChartDocument::save(const QByteArray& fileName)
{
    const FileResult r = saveChart(*m_chart, fileName.toStdString());
    if (!r.ok)
        return r;
    if (fileName != m_fileName) {
        m_fileName = fileName;
        emit fileNameChanged();
    }
    m_setAside = {};
    m_undoStack->setClean();
    return r;
}

void ChartDocument::edit(const QString& text, Edit change, int mergeId, int session)
{
    // The change runs on a copy, so that a step that changes nothing leaves
    // no trace in the history.
    auto after = std::make_unique<Chart>(*m_chart);
    Selection selectionAfter = m_selection;
    change(*after, selectionAfter);
    layoutChart(*after);
    ByteDelta chart = ByteDelta::between(bytesOf(*m_chart), bytesOf(*after));
    std::unique_ptr<ChartCommand::Selections> selections;
    if (std::memcmp(&selectionAfter, &m_selection, sizeof m_selection) != 0)
        selections.reset(new ChartCommand::Selections{m_selection, selectionAfter});
    if (chart.empty() && !selections)
        return;
    m_undoStack->push(new ChartCommand(*this, text, std::move(chart), std::move(selections), mergeId, session));
}

void ChartDocument::changeSong(const QString& text, const std::function<void(SongInfo&)>& change)
{
    edit(text, [&](Chart& c, Selection&) { change(c.song); });
}

void ChartDocument::changeBarMarks(const QString& text, const std::vector<int>& bars,
                                   const std::function<void(BarMarks&)>& change)
{
    edit(text, [&](Chart& c, Selection&) {
        for (int bar : bars)
            if (bar >= 1 && bar <= MaxBars)
                change(c.song.bar(bar));
    });
}

void ChartDocument::setChord(int bar, int slot, const Chord& chord)
{
    if (bar < 1 || bar > MaxBars || slot < 1 || slot > 4)
        return;
    edit(tr("la saisie de l'accord"), [=](Chart& c, Selection&) { c.bar(bar).slot(slot) = chord; });
}

void ChartDocument::typeBar(int bar, const TypedBar& typed)
{
    if (bar < 1 || bar > MaxBars || !typed.error.empty() || typed.count < 1 || typed.count > 4)
        return;
    edit(tr("la saisie de la mesure"),
         [&](Chart& c, Selection&) { storeTypedBar(c.bar(bar), c.song.bar(bar), typed); });
}

void ChartDocument::cycleDivision(int bar)
{
    if (bar < 1 || bar > MaxBars)
        return;
    edit(tr("le changement de division"), [=](Chart& c, Selection&) { mavrel::cycleDivision(c.bar(bar)); });
}

void ChartDocument::toggleShown(int bar)
{
    if (bar < 1 || bar > MaxBars)
        return;
    edit(m_chart->bar(bar).shown ? tr("l'effacement de la case") : tr("le retour de la case"),
         [=](Chart& c, Selection&) { mavrel::toggleShown(c.bar(bar)); });
}

void ChartDocument::cycleSign(int bar, int region)
{
    if (bar < 1 || bar > MaxBars)
        return;
    edit(tr("le changement de barre"), [=](Chart& c, Selection&) { mavrel::cycleSign(c.bar(bar), region); });
}

void ChartDocument::setBarLine(const std::vector<int>& bars, Edge edge, int sign)
{
    edit(tr("le changement de barre"), [&](Chart& c, Selection&) {
        for (int bar : bars)
            if (bar >= 1 && bar <= MaxBars)
                (edge == Edge::Left ? c.bar(bar).left : c.bar(bar).right) = static_cast<std::int16_t>(sign);
    });
}

bool ChartDocument::commitLabel(const std::string& text, int x, int y, int size, bool bold, int replacing)
{
    const int count = m_chart->info.labelCount;
    const bool replaces = replacing >= 1 && replacing <= count;
    if (!replaces && count >= MaxLabels)
        return false;
    edit(replaces ? tr("la modification du texte") : tr("la saisie du texte"), [=](Chart& c, Selection&) {
        // The label opened for editing leaves its place, the last label
        // moving into it, and comes back at the end.
        if (replaces)
            takeLabel(c, replacing);
        mavrel::commitLabel(c, text, x, y, size, bold);
    });
    return true;
}

void ChartDocument::removeLabel(int label)
{
    if (label < 1 || label > m_chart->info.labelCount)
        return;
    edit(tr("la suppression du texte"), [=](Chart& c, Selection&) { takeLabel(c, label); });
}

void ChartDocument::pasteBars(const Clipboard& clipboard)
{
    edit(tr("le collage"), [&clipboard](Chart& c, Selection& s) { mavrel::pasteBars(c, s, clipboard); });
}

void ChartDocument::clearSelectedBars()
{
    edit(tr("la suppression des cases"), [](Chart& c, Selection& s) { clearBars(c, s); });
}

Message ChartDocument::transpose(int steps, Spelling spelling)
{
    Message refused;
    edit(tr("la transposition"), [&](Chart& c, Selection&) { refused = mavrel::transpose(c, steps, spelling); });
    return refused;
}

bool ChartDocument::setGrid(int columns, int rows)
{
    if (columns < 1 || rows < 1 || long(columns) * rows > MaxBars)
        return false;
    edit(tr("le changement de grille"), [=](Chart& c, Selection&) {
        c.info.columns = columns;
        c.info.rows = rows;
    });
    return true;
}

void ChartDocument::setChordFontSize(int points)
{
    edit(tr("la taille des accords"), [=](Chart& c, Selection&) { c.info.fontSize = points; });
}

void ChartDocument::setChordBold(bool bold)
{
    edit(tr("le gras des accords"), [=](Chart& c, Selection&) { c.info.bold = bold ? 1 : 0; });
}

namespace {
// What the page-layout sliders can hold: half the page.
void clampToHalfPage(GridInfo& g)
{
    g.sideMargin = std::min(g.sideMargin, g.pageWidth / 2);
    g.topMargin = std::min(g.topMargin, g.pageHeight / 2);
    g.bottomMargin = std::min(g.bottomMargin, g.pageHeight / 2);
}
} // namespace

void ChartDocument::turnPage(bool clampMargins)
{
    edit(tr("la rotation de la page"), [=](Chart& c, Selection&) {
        std::swap(c.info.pageWidth, c.info.pageHeight);
        if (clampMargins)
            clampToHalfPage(c.info);
    });
}

void ChartDocument::setMargin(Margin margin, int pixels, int session)
{
    edit(tr("le changement de marge"), [=](Chart& c, Selection&) {
        switch (margin) {
        case Margin::Top: c.info.topMargin = pixels; break;
        case Margin::Bottom: c.info.bottomMargin = pixels; break;
        case Margin::Side: c.info.sideMargin = pixels; break;
        }
    }, MarginMerge, session);
}

void ChartDocument::clampMargins()
{
    edit(tr("le changement de marge"), [](Chart& c, Selection&) { clampToHalfPage(c.info); });
}

void ChartDocument::setSelection(const Selection& selection)
{
    m_selection = selection;
    emit changed();
}

void ChartDocument::clearSelection()
{
    m_selection.clear();
    emit changed();
}

void ChartDocument::copySelectedBars(Clipboard& clipboard)
{
    copyBars(*m_chart, m_selection, clipboard);
    emit changed();
}

} // namespace mavrel
