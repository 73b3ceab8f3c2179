#include "pagetools.h"

#include "edit/chartdocument.h"
#include "render/page.h"

namespace mavrel {

namespace {
struct Hit {
    int bar = -1;
    int region = -1;
};

Hit hitAt(const ChartDocument& document, QPoint p)
{
    Hit h;
    hitTest(document.chart(), p.x(), p.y(), h.bar, h.region);
    return h;
}
} // namespace

void ChordTool::mousePressed(const PagePress& press)
{
    const Hit hit = hitAt(m_host.document(), press.point);
    if (hit.bar < 1)
        return;
    if (press.button == Qt::LeftButton && m_host.moveChordEntry(hit.bar))
        return;
    if (press.button == Qt::RightButton)
        m_host.document().cycleDivision(hit.bar);
    else if (press.button == Qt::LeftButton)
        m_host.openChordDialog(hit.bar, hit.region, press.globalPos);
}

void EraserTool::mousePressed(const PagePress& press)
{
    const Hit hit = hitAt(m_host.document(), press.point);
    if (hit.bar >= 1)
        m_host.document().toggleShown(hit.bar);
}

void BarLineTool::mousePressed(const PagePress& press)
{
    const Hit hit = hitAt(m_host.document(), press.point);
    if (hit.bar >= 1)
        m_host.document().cycleSign(hit.bar, hit.region);
}

void TextTool::mousePressed(const PagePress& press)
{
    if (m_host.labelAt(press.point) == -1) {
        m_host.openTextBox(press.point);   // the box moves there with its text
        return;
    }
    // What the box holds goes in first, so that nothing typed is lost; it may
    // move the labels about, so the label is looked for again.
    if (!m_host.commitTextBox())
        return;
    const int label = m_host.labelAt(press.point);
    if (label != -1)
        m_host.editLabel(label);
}

void LassoTool::mousePressed(const PagePress& press)
{
    m_start = press.point;
    m_button = press.button;
    m_globalStart = press.globalPos;
    m_dragging = true;
}

void LassoTool::mouseMoved(QPoint point)
{
    if (m_dragging)
        m_host.setBand(Band{m_start, point});
}

void LassoTool::mouseReleased(QPoint point)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    m_host.setBand(std::nullopt);
    const ChartDocument& document = m_host.document();
    const Hit hit = hitAt(document, point);
    // A right click on a selected bar keeps the selection, for its menu.
    const bool click = (point - m_start).manhattanLength() <= 2;
    const bool menu = m_button == Qt::RightButton && click && hit.bar >= 1;
    if (!menu || !document.selection().contains(hit.bar)) {
        Selection selection = document.selection();
        finishLasso(document.chart(), selection, m_start.x(), m_start.y(), point.x(), point.y(), hit.bar);
        m_host.document().setSelection(selection);
    }
    if (menu)
        m_host.openBarMenu(m_globalStart);
}

} // namespace mavrel
