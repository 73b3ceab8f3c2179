// The page in its scroll box: drawing it at the zoom, the margin sliders, the
// tools and the chord dialog they open.
#include "charteditor.h"

#include "chordtypingbox.h"
#include "dialogs/chorddialog.h"
#include "edit/chartdocument.h"
#include "files/localfile.h"
#include "labeleditor.h"
#include "pageview.h"

#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace mavrel {

namespace {
constexpr int ImageOffset = 25;   // the page's place in the scroll box
constexpr int TrackBarThickness = 22;
constexpr int StatusTimeout = 8000;
} // namespace

ChartEditor::ChartEditor(ChartDocument& document, QWidget* parent) : QWidget(parent), m_document(document)
{
    setObjectName(QStringLiteral("chartEditor"));
    PageToolHost& host = *this;
    m_tools[int(Tool::Chord)] = std::make_unique<ChordTool>(host);
    m_tools[int(Tool::Eraser)] = std::make_unique<EraserTool>(host);
    m_tools[int(Tool::BarLine)] = std::make_unique<BarLineTool>(host);
    m_tools[int(Tool::Text)] = std::make_unique<TextTool>(host);
    m_tools[int(Tool::Lasso)] = std::make_unique<LassoTool>(host);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setObjectName(QStringLiteral("scrollArea"));
    m_scrollArea->setBackgroundRole(QPalette::Dark);
    m_scrollArea->setWidgetResizable(false);
    layout->addWidget(m_scrollArea);

    m_scrollContents = new QWidget;
    m_scrollContents->setObjectName(QStringLiteral("scrollContents"));
    m_pageView = new PageView(m_scrollContents);
    m_pageView->setObjectName(QStringLiteral("pageView"));
    m_pageView->move(ImageOffset, ImageOffset);
    connect(m_pageView, &PageView::pressed, this, &ChartEditor::pressPage);
    connect(m_pageView, &PageView::moved, this, [this](QPoint p) { m_tools[int(m_tool)]->mouseMoved(p); });
    connect(m_pageView, &PageView::released, this, [this](QPoint p) { m_tools[int(m_tool)]->mouseReleased(p); });
    connect(m_pageView, &PageView::zoomWheel, this, &ChartEditor::wheelOnPage);

    m_chordEntry = new ChordTypingBox(m_scrollContents);
    connect(m_chordEntry, &ChordTypingBox::accepted, this, &ChartEditor::acceptChordEntry);
    connect(m_chordEntry, &ChordTypingBox::moveRequested, this,
            [this](int columns, int rows) { showChordEntryAt(barFromEntry(columns + rows * chart().info.columns)); });
    connect(m_chordEntry, &ChordTypingBox::leaveRequested, this, &ChartEditor::leaveChordEntry);
    connect(m_chordEntry, &QLineEdit::textEdited, this, [this] { m_entryRefused = false; });
    setTextValidator(m_chordEntry, ChartTextValidator::Characters::Any);

    m_labels = new LabelEditor(m_document, m_scrollContents, m_pageView, this);
    setTextValidator(m_labels->box(), ChartTextValidator::Characters::Windows1252);
    connect(m_labels, &LabelEditor::editedLabelChanged, this, &ChartEditor::chartChanged);
    connect(m_labels, &LabelEditor::geometryChanged, this, &ChartEditor::layoutScrollContents);
    connect(m_labels, &LabelEditor::fontChanged, this, &ChartEditor::writingChanged);
    connect(m_labels, &LabelEditor::message, this, &ChartEditor::message);

    auto trackBar = [this](const char* name, Qt::Orientation o) {
        auto* t = new QSlider(o, m_scrollContents);
        t->setObjectName(QString::fromLatin1(name));
        t->setTickPosition(QSlider::NoTicks);
        t->setFocusPolicy(Qt::ClickFocus);   // skipped by the Tab key
        t->hide();
        // A drag is one step of the history, however many moves it makes.
        connect(t, &QSlider::sliderPressed, this, [this] { ++m_marginSession; });
        return t;
    };
    // Vertical sliders have their minimum at the top.
    m_topMarginSlider = trackBar("topMarginSlider", Qt::Vertical);
    m_topMarginSlider->setInvertedAppearance(true);
    m_topMarginSlider->setInvertedControls(true);
    m_bottomMarginSlider = trackBar("bottomMarginSlider", Qt::Vertical);
    m_bottomMarginSlider->setInvertedAppearance(true);
    m_bottomMarginSlider->setInvertedControls(true);
    m_sideMarginSlider = trackBar("sideMarginSlider", Qt::Horizontal);
    connect(m_topMarginSlider, &QSlider::valueChanged, this,
            [this](int value) { marginMoved(Margin::Top, value, m_topMarginSlider); });
    // The bottom slider runs from the page's middle down to its edge.
    connect(m_bottomMarginSlider, &QSlider::valueChanged, this, [this](int value) {
        marginMoved(Margin::Bottom, m_bottomMarginSlider->maximum() - value, m_bottomMarginSlider);
    });
    connect(m_sideMarginSlider, &QSlider::valueChanged, this,
            [this](int value) { marginMoved(Margin::Side, value, m_sideMarginSlider); });

    m_scrollArea->setWidget(m_scrollContents);
    setFocusProxy(m_scrollArea);

    // The dialog says what the user chose; the chord goes in as an edit.
    m_chordDialog = new ChordDialog(this);
    connect(m_chordDialog, &ChordDialog::chordAccepted, &m_document, &ChartDocument::setChord);

    connect(&m_document, &ChartDocument::changed, this, &ChartEditor::chartChanged);
    chartChanged();
}

ChartEditor::~ChartEditor() = default;

const Chart& ChartEditor::chart() const { return m_document.chart(); }

const Selection& ChartEditor::selection() const { return m_document.selection(); }

void ChartEditor::setTextValidator(QLineEdit* box, ChartTextValidator::Characters characters)
{
    auto* validator = new ChartTextValidator(characters, box);
    box->setValidator(validator);
    // Pasted, mostly: no key types one.
    connect(box, &QLineEdit::inputRejected, this, [this, validator] {
        if (validator->refusedControl())
            showStatus(tr("Une grille ne garde pas les caractères de commande (tabulation, retour à la ligne…) : "
                          "ce texte n'a pas été pris."),
                       StatusTimeout);
    });
}

void ChartEditor::showStatus(const QString& text, int timeout)
{
    m_lastStatus = visibleText(text);
    emit status(m_lastStatus, timeout);
}

// --- following the chart -----------------------------------------------------------

void ChartEditor::chartChanged()
{
    refreshPageView();
    if (m_pageLayout)
        placeMarginSliders();
    if (m_tool == Tool::Chord)
        emit writingChanged(chart().info.fontSize, chart().info.bold != 0);
    layoutScrollContents();
}

void ChartEditor::refreshPageView()
{
    const double scale = m_zoom / 100.0;
    m_page.paintScreen(m_shownPage, chart(), selection(), m_pageLayout, m_labels->editedLabel(), scale,
                       m_pageView->devicePixelRatioF());
    m_pageView->setPage(&m_shownPage, scale);
}

void ChartEditor::layoutScrollContents()
{
    QRect r = m_pageView->geometry().adjusted(0, 0, ImageOffset, ImageOffset);
    for (QWidget* w : {static_cast<QWidget*>(m_topMarginSlider), static_cast<QWidget*>(m_bottomMarginSlider),
                       static_cast<QWidget*>(m_sideMarginSlider), static_cast<QWidget*>(m_labels->box())})
        if (w->isVisibleTo(m_scrollContents))
            r = r.united(w->geometry());
    m_scrollContents->resize(r.right() + 1, r.bottom() + 1);
}

QPoint ChartEditor::contentsPoint(QPointF pagePoint) const
{
    return m_pageView->pos() + m_pageView->widgetPoint(pagePoint).toPoint();
}

// --- tools, size and weight -----------------------------------------------------------

void ChartEditor::selectTool(Tool tool)
{
    m_tool = tool;
    emit toolChanged(tool);
    switch (tool) {
    case Tool::Lasso:
        return;   // the selection stays, to be copied or pasted
    case Tool::Chord:
        emit writingChanged(chart().info.fontSize, chart().info.bold != 0);
        break;
    case Tool::Text:
        emit writingChanged(m_labels->fontSize(), m_labels->isBold());
        break;
    case Tool::Eraser:
    case Tool::BarLine:
        break;
    }
    m_document.clearSelection();
}

void ChartEditor::setWritingSize(const QString& text)
{
    if (m_tool != Tool::Chord && m_tool != Tool::Text)
        return;
    bool ok = false;
    const int size = text.trimmed().toInt(&ok);
    if (!ok || size < 1 || size > 127) {
        emit message(tr("'%1' n'est pas une valeur entière correcte.").arg(text));
        return;
    }
    if (m_tool == Tool::Chord)
        m_document.setChordFontSize(size);
    else
        m_labels->setFontSize(size);
}

void ChartEditor::setWritingBold(bool bold)
{
    if (m_tool == Tool::Chord)
        m_document.setChordBold(bold);
    else if (m_tool == Tool::Text)
        m_labels->setBold(bold);
}

// --- zoom -------------------------------------------------------------------------

void ChartEditor::setZoom(int percent)
{
    m_zoom = std::clamp(percent, ZoomLevels[0], ZoomLevels[std::size(ZoomLevels) - 1]);
    refreshPageView();
    m_labels->place();
    if (m_entryBar)
        showChordEntryAt(m_entryBar);
    if (m_pageLayout)
        placeMarginSliders();
    layoutScrollContents();
    emit zoomChanged(m_zoom);
}

void ChartEditor::zoomAround(int percent, QPoint anchor)
{
    const QPoint cursor = m_pageView->mapTo(m_scrollArea->viewport(), anchor);
    const QPoint page = m_pageView->pagePoint(anchor);
    setZoom(percent);
    // The page point under the cursor stays under it.
    const QPoint now = contentsPoint(page);
    m_scrollArea->horizontalScrollBar()->setValue(now.x() - cursor.x());
    m_scrollArea->verticalScrollBar()->setValue(now.y() - cursor.y());
}

void ChartEditor::zoomIn()
{
    for (int level : ZoomLevels)
        if (level > m_zoom)
            return setZoom(level);
}

void ChartEditor::zoomOut()
{
    for (auto it = std::rbegin(ZoomLevels); it != std::rend(ZoomLevels); ++it)
        if (*it < m_zoom)
            return setZoom(*it);
}

void ChartEditor::wheelOnPage(int steps, QPoint anchor)
{
    int level = m_zoom;
    for (; steps > 0; --steps)
        level = *std::find_if(std::begin(ZoomLevels), std::end(ZoomLevels) - 1, [&](int z) { return z > level; });
    for (; steps < 0; ++steps)
        level = *std::find_if(std::rbegin(ZoomLevels), std::rend(ZoomLevels) - 1, [&](int z) { return z < level; });
    zoomAround(level, anchor);
}

// --- grid, page and margins -----------------------------------------------------------

bool ChartEditor::setGrid(int columns, int rows)
{
    if (!m_document.setGrid(columns, rows)) {
        showStatus(tr("Une grille compte au plus %1 cases : %2 × %3 dépasserait cette limite.")
                       .arg(MaxBars)
                       .arg(columns)
                       .arg(rows),
                   StatusTimeout);
        return false;
    }
    m_chordDialog->hide();   // bar numbers now stand for other places
    closeChordEntry();
    return true;
}

void ChartEditor::turnPage() { m_document.turnPage(m_pageLayout); }

void ChartEditor::setPageLayoutShown(bool shown)
{
    m_pageLayout = shown;
    if (shown) {
        m_document.clampMargins();
    } else {
        m_topMarginSlider->hide();
        m_bottomMarginSlider->hide();
        m_sideMarginSlider->hide();
    }
    chartChanged();   // the guides come or go
    emit pageLayoutChanged(shown);
}

void ChartEditor::placeMarginSliders()
{
    const GridInfo& g = chart().info;
    const int halfW = g.pageWidth / 2;
    const int halfH = g.pageHeight / 2;
    const double scale = m_zoom / 100.0;
    // Placing a slider only shows the margin: it changes nothing.
    auto place = [](QSlider* t, QRect box, int max, int position) {
        const QSignalBlocker block(t);
        t->setGeometry(box);
        t->setRange(0, max);
        t->setValue(position);
        t->show();
    };
    // At the zoom, each slider still runs along half the page.
    const int across = int(halfW * scale) + 14, down = int(halfH * scale) + 14;
    place(m_sideMarginSlider, {18, 0, across, TrackBarThickness}, halfW, g.sideMargin);
    place(m_topMarginSlider, {0, 18, TrackBarThickness, down}, halfH, g.topMargin);
    place(m_bottomMarginSlider, {0, m_topMarginSlider->height() + 7, TrackBarThickness, down}, halfH,
          halfH - g.bottomMargin);
}

void ChartEditor::marginMoved(Margin margin, int pixels, const QSlider* slider)
{
    // Keys and clicks beside the handle are a step each; a drag is one.
    if (!slider->isSliderDown())
        ++m_marginSession;
    m_document.setMargin(margin, pixels, m_marginSession);
}

// --- the page's tools ---------------------------------------------------------------

void ChartEditor::pressPage(Qt::MouseButton button, QPoint point, QPoint globalPos)
{
    int bar = -1, region = -1;
    hitTest(chart(), point.x(), point.y(), bar, region);
    if (bar >= 1) {
        m_lastBar = bar;   // where typing chords starts
        emit barPressed(bar);
    }
    PageTool& tool = *m_tools[int(m_tool)];
    if (tool.hidesTextBox())
        m_labels->hide();   // its text stays for the next text-tool press
    tool.mousePressed({button, point, globalPos});
}

void ChartEditor::openChordDialog(int bar, int region, QPoint globalPos)
{
    m_chordDialog->showAt(globalPos, window()->frameGeometry().height(), bar, chart().bar(bar), region);
}

void ChartEditor::setBand(std::optional<Band> band) { m_pageView->setBand(band); }

void ChartEditor::openBarMenu(QPoint globalPos) { emit barMenuRequested(globalPos); }

int ChartEditor::labelAt(QPoint p) const { return mavrel::labelAt(chart(), p.x(), p.y(), m_labels->editedLabel()); }

void ChartEditor::openTextBox(QPoint pagePoint) { m_labels->openAt(pagePoint); }

bool ChartEditor::commitTextBox() { return m_labels->commit(); }

void ChartEditor::editLabel(int label) { m_labels->edit(label); }

bool ChartEditor::commitLabel(const QString& heldBack) { return m_labels->commit(heldBack); }

bool ChartEditor::holdsUnsavedText() const { return m_labels->changesChart(); }

void ChartEditor::leaveChart()
{
    m_labels->leaveChart();
    closeChordEntry();
    m_chordDialog->hide();
}

void ChartEditor::closeForHistory()
{
    m_chordDialog->hide();
    closeChordEntry();
    if (m_labels->editedLabel())
        m_labels->close();
}

} // namespace mavrel
