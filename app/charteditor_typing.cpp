// Chords typed from the keyboard: the typing box over a bar, from bar to bar.
#include "charteditor.h"

#include "chordtypingbox.h"
#include "dialogs/chorddialog.h"
#include "document/chordtext.h"
#include "document/text.h"
#include "edit/chartdocument.h"
#include "files/localfile.h"

#include <QLineEdit>
#include <QScrollArea>

#include <algorithm>

namespace mavrel {

void ChartEditor::startChordEntry()
{
    selectTool(Tool::Chord);
    showChordEntryAt(std::clamp(m_lastBar, 1, std::max(1, chart().info.count)));
}

void ChartEditor::showChordEntryAt(int bar)
{
    m_entryBar = bar;
    m_entryRefused = false;
    const Bar& b = chart().bar(bar);
    const GridInfo& g = chart().info;
    const int height = std::max(22, m_chordEntry->sizeHint().height());
    const QPoint topLeft = contentsPoint(QPoint(b.x, b.y));
    const QPoint bottomRight = contentsPoint(QPoint(b.x + g.barWidth, b.y + g.barHeight));
    m_chordEntry->setGeometry(QRect(QPoint(topLeft.x(), (topLeft.y() + bottomRight.y() - height) / 2),
                                    QSize(std::max(bottomRight.x() - topLeft.x(), 60), height)));
    // Without control characters, which the box refuses.
    m_chordEntry->setText(QString::fromStdString(text::withoutControls(barText(b, chart().song.bar(bar)))));
    m_chordEntry->selectAll();
    m_chordEntry->show();
    m_chordEntry->raise();
    m_chordEntry->setFocus();
    m_scrollArea->ensureWidgetVisible(m_chordEntry);
    showStatus(tr("Mesure %1 : accords séparés par des espaces ; 3 accords = ¼ ¼ ½ "
                  "(« Dm7. » : ½ d'abord) ; signes autour : [A] 1. S Q |: 3/4 … f :| <D.C.>. "
                  "Tab : suivante, Échap : fin.")
                   .arg(bar));
}

int ChartEditor::barFromEntry(int bars) const
{
    return std::clamp(m_entryBar + bars, 1, std::max(1, chart().info.count));
}

bool ChartEditor::storeChordEntry(QString* notice)
{
    const TypedBar typed = readBar(m_chordEntry->text().toStdString());
    if (!typed.error.empty()) {
        showStatus(messageText(typed.error));
        return false;   // nothing stored; the text stays to be mended
    }
    m_document.typeBar(m_entryBar, typed);
    if (notice && !typed.notice.empty())
        *notice = messageText(typed.notice);
    return true;
}

void ChartEditor::acceptChordEntry(int direction)
{
    QString notice;
    if (!storeChordEntry(&notice))
        return;
    showChordEntryAt(barFromEntry(direction));
    if (!notice.isEmpty())   // in place of the next bar's hint
        showStatus(notice);
}

void ChartEditor::leaveChordEntry()
{
    QString notice;
    if (m_chordEntry->isModified() && !m_entryRefused && !storeChordEntry(&notice)) {
        m_entryRefused = true;
        showStatus(m_lastStatus + QLatin1Char(' ') + tr("Échap de nouveau : quitter sans enregistrer la mesure."));
        return;
    }
    closeChordEntry();
    if (!notice.isEmpty())
        showStatus(notice);
}

void ChartEditor::closeChordEntry()
{
    if (!m_entryBar)
        return;
    m_entryBar = 0;
    m_entryRefused = false;
    m_chordEntry->hide();
    showStatus(QString());
}

std::vector<int> ChartEditor::markedBars() const
{
    const int count = std::max(1, chart().info.count);
    std::vector<int> bars;
    const Selection& s = selection();
    for (int i = 0; i < s.count && i < MaxBars; ++i) {
        const int bar = s.entries[i];
        if (bar >= 1 && bar <= count && std::find(bars.begin(), bars.end(), bar) == bars.end())
            bars.push_back(bar);
    }
    if (bars.empty())
        bars.push_back(std::clamp(m_entryBar ? m_entryBar : m_lastBar, 1, count));
    return bars;
}

void ChartEditor::changeMarkedBars(const std::function<void(const std::vector<int>&)>& change)
{
    const int typing = m_entryBar;
    if (typing && m_chordEntry->isModified() && !storeChordEntry())
        return;
    change(markedBars());
    if (typing)
        showChordEntryAt(typing);
}

QPoint ChartEditor::markedBarsMenuPoint()
{
    const Bar& b = chart().bar(markedBars().front());
    const GridInfo& g = chart().info;
    const QPoint centre = contentsPoint(QPointF(b.x + g.barWidth / 2.0, b.y + g.barHeight / 2.0));
    m_scrollArea->ensureVisible(centre.x(), centre.y());
    return m_scrollContents->mapToGlobal(centre);
}

bool ChartEditor::moveChordEntry(int bar)
{
    if (!m_entryBar)
        return false;
    showChordEntryAt(bar);
    return true;
}

} // namespace mavrel
