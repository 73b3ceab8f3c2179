#include "mainwindow.h"

#include "charttextvalidator.h"
#include "chordtypingbox.h"
#include "dialogs/aboutdialog.h"
#include "dialogs/chorddialog.h"
#include "dialogs/transposedialog.h"
#include "documentmanager.h"
#include "pageview.h"
#include "print/printpreview.h"
#include "render/localfile.h"
#include "spinarrows.h"
#include "toolicons.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QScrollArea>
#include <QSlider>
#include <QStatusBar>
#include <QToolButton>
#include <QUndoGroup>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace mavrel {

namespace {
constexpr int ZoomLevels[] = {50, 75, 100, 125, 150, 200, 300, 400};
constexpr int ImageOffset = 25;       // the page's place in the scroll box
constexpr int TrackBarThickness = 22;
constexpr int MaxTextLength = 100;    // what a label can hold
constexpr int EditBoxHeight = 21;

QFont boldFont(int points)
{
    QFont f;
    f.setPointSize(points);
    f.setBold(true);
    return f;
}
} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), m_document(DocumentManager::instance()->addDocument(this))
{
    setObjectName(QStringLiteral("MainWindow"));
    move(141, 125);
    resize(814, 567);

    PageToolHost& host = *this;
    m_tools[int(Tool::Chord)] = std::make_unique<ChordTool>(host);
    m_tools[int(Tool::Eraser)] = std::make_unique<EraserTool>(host);
    m_tools[int(Tool::BarLine)] = std::make_unique<BarLineTool>(host);
    m_tools[int(Tool::Text)] = std::make_unique<TextTool>(host);
    m_tools[int(Tool::Lasso)] = std::make_unique<LassoTool>(host);

    buildToolBar();
    buildPageArea();
    buildMenus();
    statusBar()->setObjectName(QStringLiteral("statusBar"));

    // The secondary windows, hidden. The dialogs say what the user chose;
    // the window turns it into edits.
    m_chordDialog = new ChordDialog(this);
    connect(m_chordDialog, &ChordDialog::chordAccepted, m_document, &ChartDocument::setChord);
    m_printPreview = new PrintPreview([this]() -> const Chart& { return chart(); }, this);
    m_transposeDialog = new TransposeDialog(this);
    connect(m_transposeDialog, &TransposeDialog::transposeRequested, this, [this](int steps, Spelling spelling) {
        m_chordDialog->hide();   // its chord is not the one shown any more
        if (const Message refused = m_document->transpose(steps, spelling); !refused.empty())
            showMessage(messageText(refused));
    });
    m_aboutDialog = new AboutDialog(this);

    connect(m_document, &ChartDocument::changed, this, &MainWindow::chartChanged);
    connect(m_document, &ChartDocument::fileNameChanged, this, &MainWindow::updateTitle);
    connect(m_document->undoStack(), &QUndoStack::cleanChanged, this,
            [this](bool clean) { setWindowModified(!clean); });

    updateTitle();
    m_chordToolButton->setChecked(true);
    selectTool(Tool::Chord);
}

MainWindow::~MainWindow() { DocumentManager::instance()->closeDocument(m_document); }

void MainWindow::bringToFront()
{
    show();
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
}

void MainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        DocumentManager::instance()->undoGroup()->setActiveStack(m_document->undoStack());
    QMainWindow::changeEvent(event);
}

void MainWindow::buildToolBar()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);

    m_toolPanel = new QWidget(central);
    m_toolPanel->setObjectName(QStringLiteral("toolPanel"));
    m_toolPanel->setFixedHeight(34);
    layout->addWidget(m_toolPanel);

    m_turnButton = new QPushButton(m_toolPanel);
    m_turnButton->setObjectName(QStringLiteral("turnButton"));
    m_turnButton->setGeometry(16, 2, 33, 31);
    m_turnButton->setIcon(toolIcon(ToolIcon::Turn));
    m_turnButton->setToolTip(tr("Pour passer du format horizontal au format vertical"));
    connect(m_turnButton, &QPushButton::clicked, this, &MainWindow::turnPage);

    auto label = [this](const char* name, const QString& text, int x, int y) {
        auto* l = new QLabel(text, m_toolPanel);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(boldFont(8));
        l->adjustSize();
        l->move(x, y);
    };
    label("columnsLabel", tr("Cases L"), 56, 10);
    label("rowsLabel", tr("H"), 160, 10);
    label("sizeLabel", tr("Fonts:"), 480, 10);

    auto numberBox = [this](const char* name, int x, const QString& hint) {
        auto* e = new QLineEdit(m_toolPanel);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(x, 9, 25, 21);
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        e->setToolTip(hint);
        return e;
    };
    auto spinner = [this](const char* name, int x, const QString& hint) {
        auto* u = new SpinArrows(m_toolPanel);
        u->setObjectName(QString::fromLatin1(name));
        u->setGeometry(x, 9, 15, 21);
        u->setRange(1, 100);
        u->setToolTip(hint);
        return u;
    };
    const QString across = tr("Nombre de cases en largeur");
    const QString down = tr("Nombre de cases en hauteur");
    m_columnsBox = numberBox("columnsBox", 112, across);
    m_columnsSpin = spinner("columnsSpin", 137, across);

    m_rowsBox = numberBox("rowsBox", 176, down);
    m_rowsSpin = spinner("rowsSpin", 201, down);

    connect(m_columnsSpin, &SpinArrows::stepped, this, &MainWindow::stepGrid);
    connect(m_rowsSpin, &SpinArrows::stepped, this, &MainWindow::stepGrid);

    m_toolGroup = new QButtonGroup(this);
    m_toolGroup->setExclusive(true);
    auto tool = [this](const char* name, QRect box, const QString& hint) {
        auto* b = new QToolButton(m_toolPanel);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(box);
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setToolTip(hint);
        b->setIconSize(QSize(20, 18));
        m_toolGroup->addButton(b);
        return b;
    };
    m_chordToolButton = tool("chordToolButton", {264, 4, 33, 28},
                        tr("Outils pour entrer les accords\nClic droit = divisions\nClic gauche = accords"));
    m_chordToolButton->setIcon(toolIcon(ToolIcon::Chord));
    m_eraserToolButton = tool("eraserToolButton", {304, 4, 33, 28}, tr("Pour gommer une case"));
    m_eraserToolButton->setIcon(toolIcon(ToolIcon::Eraser));
    m_barLineToolButton = tool("barLineToolButton", {344, 4, 33, 29},
                        tr("Pour mettre des double barres ou des barres de reprise"));
    m_barLineToolButton->setIcon(toolIcon(ToolIcon::BarLine));
    m_lassoToolButton = tool("lassoToolButton", {384, 4, 33, 29},
                        tr("Lasso  : selection pour le copier coller "));
    m_lassoToolButton->setIcon(toolIcon(ToolIcon::Lasso));
    m_textToolButton = tool("textToolButton", {424, 4, 33, 28}, tr("Pour mettre du texte"));
    m_textToolButton->setText(tr("T"));
    m_textToolButton->setFont(boldFont(10));
    const std::pair<QToolButton*, Tool> tools[] = {
        {m_chordToolButton, Tool::Chord}, {m_eraserToolButton, Tool::Eraser},
        {m_barLineToolButton, Tool::BarLine}, {m_lassoToolButton, Tool::Lasso}, {m_textToolButton, Tool::Text},
    };
    for (const auto& [button, t] : tools)
        connect(button, &QToolButton::clicked, this, [this, t = t] { selectTool(t); });

    m_sizeCombo = new QComboBox(m_toolPanel);
    m_sizeCombo->setObjectName(QStringLiteral("sizeCombo"));
    m_sizeCombo->setGeometry(528, 7, 41, 21);
    m_sizeCombo->setEditable(true);
    m_sizeCombo->setInsertPolicy(QComboBox::NoInsert);
    // Completing "7" to "72" would change what the user typed.
    m_sizeCombo->setCompleter(nullptr);
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        m_sizeCombo->addItem(QString::number(size));
    m_sizeCombo->setCurrentIndex(0);
    m_sizeCombo->setToolTip(tr("Taille ecriture , accord  ou texte"));
    connect(m_sizeCombo, &QComboBox::activated, this,
            [this](int index) { applySize(m_sizeCombo->itemText(index)); });
    // A typed size is taken on Enter (eventFilter). The combo box has the
    // focus and hands keys to its text, so the filter sits on the combo box.
    m_sizeCombo->installEventFilter(this);

    m_boldButton = new QToolButton(m_toolPanel);
    m_boldButton->setObjectName(QStringLiteral("boldButton"));
    m_boldButton->setGeometry(568, 8, 25, 20);
    m_boldButton->setCheckable(true);
    m_boldButton->setAutoRaise(true);
    m_boldButton->setText(tr("G"));
    m_boldButton->setFont(boldFont(10));
    m_boldButton->setToolTip(tr("Pour mettre en gras"));
    connect(m_boldButton, &QToolButton::clicked, this, &MainWindow::toggleBold);

    m_pageLayoutButton = new QToolButton(m_toolPanel);
    m_pageLayoutButton->setObjectName(QStringLiteral("pageLayoutButton"));
    m_pageLayoutButton->setGeometry(680, 1, 33, 32);
    m_pageLayoutButton->setCheckable(true);
    m_pageLayoutButton->setAutoRaise(true);
    m_pageLayoutButton->setIcon(toolIcon(ToolIcon::PageLayout));
    m_pageLayoutButton->setIconSize(QSize(20, 18));
    m_pageLayoutButton->setToolTip(tr("Pour la mise en page"));
    connect(m_pageLayoutButton, &QToolButton::clicked, this, &MainWindow::togglePageLayout);

    m_zoomCombo = new QComboBox(m_toolPanel);
    m_zoomCombo->setObjectName(QStringLiteral("zoomCombo"));
    m_zoomCombo->setGeometry(724, 7, 72, 21);
    m_zoomCombo->setToolTip(tr("Zoom (Ctrl et la molette)"));
    for (int level : ZoomLevels)
        m_zoomCombo->addItem(tr("%1 %").arg(level), level);
    m_zoomCombo->setCurrentIndex(m_zoomCombo->findData(100));
    connect(m_zoomCombo, &QComboBox::activated, this,
            [this](int index) { setZoom(m_zoomCombo->itemData(index).toInt()); });
}

void MainWindow::buildPageArea()
{
    m_scrollArea = new QScrollArea(centralWidget());
    m_scrollArea->setObjectName(QStringLiteral("scrollArea"));
    m_scrollArea->setBackgroundRole(QPalette::Dark);
    m_scrollArea->setWidgetResizable(false);
    centralWidget()->layout()->addWidget(m_scrollArea);

    m_scrollContents = new QWidget;
    m_scrollContents->setObjectName(QStringLiteral("scrollContents"));
    m_pageView = new PageView(m_scrollContents);
    m_pageView->setObjectName(QStringLiteral("pageView"));
    m_pageView->move(ImageOffset, ImageOffset);
    connect(m_pageView, &PageView::pressed, this, &MainWindow::pressPage);
    connect(m_pageView, &PageView::moved, this, &MainWindow::dragOnPage);
    connect(m_pageView, &PageView::released, this, &MainWindow::releasePage);
    connect(m_pageView, &PageView::zoomWheel, this, &MainWindow::wheelOnPage);

    m_chordEntry = new ChordTypingBox(m_scrollContents);
    connect(m_chordEntry, &ChordTypingBox::accepted, this, &MainWindow::acceptChordEntry);
    connect(m_chordEntry, &ChordTypingBox::moveRequested, this,
            [this](int columns, int rows) { showChordEntryAt(barFromEntry(columns + rows * chart().info.columns)); });
    connect(m_chordEntry, &ChordTypingBox::leaveRequested, this, &MainWindow::leaveChordEntry);
    connect(m_chordEntry, &QLineEdit::textEdited, this, [this] { m_entryRefused = false; });
    setTextValidator(m_chordEntry, ChartTextValidator::Characters::Any);

    m_textBox = new QLineEdit(m_scrollContents);
    m_textBox->setObjectName(QStringLiteral("textBox"));
    m_textBox->setMaxLength(MaxTextLength);
    setTextValidator(m_textBox, ChartTextValidator::Characters::Windows1252);
    m_textBox->hide();
    m_textBox->installEventFilter(this);
    m_textBoxAt = QPoint(216 - ImageOffset, 152 - ImageOffset);
    setTextBoxFont(8, false);
    m_textBox->setGeometry(216, 152, 25, EditBoxHeight);

    auto trackBar = [this](const char* name, Qt::Orientation o) {
        auto* t = new QSlider(o, m_scrollContents);
        t->setObjectName(QString::fromLatin1(name));
        t->setTickPosition(QSlider::NoTicks);
        t->setFocusPolicy(Qt::ClickFocus);   // skipped by the Tab key
        t->hide();
        return t;
    };
    // Vertical track bars have their minimum at the top.
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
    // A drag is one step of the history, however many moves it makes.
    for (QSlider* slider : {m_topMarginSlider, m_bottomMarginSlider, m_sideMarginSlider})
        connect(slider, &QSlider::sliderPressed, this, [this] { ++m_marginSession; });

    m_scrollArea->setWidget(m_scrollContents);
}

void MainWindow::setTextValidator(QLineEdit* box, ChartTextValidator::Characters characters)
{
    auto* validator = new ChartTextValidator(characters, box);
    box->setValidator(validator);
    // Pasted, mostly: no key types one.
    connect(box, &QLineEdit::inputRejected, this, [this, validator] {
        if (validator->refusedControl())
            showStatus(tr("Une grille ne garde pas les caractères de commande (tabulation, retour à la ligne…) : "
                          "ce texte n'a pas été pris."));
    });
}

void MainWindow::layoutScrollContents()
{
    QRect r = m_pageView->geometry().adjusted(0, 0, ImageOffset, ImageOffset);
    for (QWidget* w : {static_cast<QWidget*>(m_topMarginSlider), static_cast<QWidget*>(m_bottomMarginSlider),
                       static_cast<QWidget*>(m_sideMarginSlider), static_cast<QWidget*>(m_textBox)})
        if (w->isVisibleTo(m_scrollContents))
            r = r.united(w->geometry());
    m_scrollContents->resize(r.right() + 1, r.bottom() + 1);
}

// --- following the chart -----------------------------------------------------------

void MainWindow::chartChanged()
{
    m_page.draw(chart(), selection(), m_pageLayoutButton->isChecked(), m_editedLabel);
    refreshPageView();
    syncControls();
    layoutScrollContents();
}

void MainWindow::syncControls()
{
    const GridInfo& g = chart().info;
    m_columnsSpin->setPosition(g.columns);
    m_columnsBox->setText(QString::number(g.columns));
    m_rowsSpin->setPosition(g.rows);
    m_rowsBox->setText(QString::number(g.rows));
    if (m_tool == Tool::Chord) {
        setSizeComboTo(g.fontSize);
        m_boldButton->setChecked(g.bold != 0);
    }
    if (m_pageLayoutButton->isChecked())
        placeMarginSliders();
}

void MainWindow::refreshPageView()
{
    const double ratio = m_pageView->devicePixelRatioF();
    if (m_zoom == 100 && ratio == 1.0) {
        m_zoomedPage = QImage();
        m_pageView->setPage(&m_page.image(), 1.0);
        return;
    }
    // Drawn afresh at the zoom, not the page image enlarged.
    const double scale = m_zoom / 100.0;
    const GridInfo& g = chart().info;
    const QSize size = (QSizeF(g.pageWidth, g.pageHeight) * scale * ratio).toSize();
    m_zoomedPage = QImage(size, QImage::Format_RGB32);
    if (!m_zoomedPage.isNull()) {
        m_zoomedPage.setDevicePixelRatio(ratio);
        QPainter painter(&m_zoomedPage);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        m_page.paint(painter, chart(), selection(), m_pageLayoutButton->isChecked(), m_editedLabel);
    }
    m_pageView->setPage(&m_zoomedPage, scale);
}

QPoint MainWindow::contentsPoint(QPointF pagePoint) const
{
    return m_pageView->pos() + m_pageView->widgetPoint(pagePoint).toPoint();
}

void MainWindow::setZoom(int percent)
{
    percent = std::clamp(percent, ZoomLevels[0], ZoomLevels[std::size(ZoomLevels) - 1]);
    m_zoom = percent;
    const int index = m_zoomCombo->findData(percent);
    m_zoomCombo->setCurrentIndex(index);
    if (index < 0)
        m_zoomCombo->setEditText(tr("%1 %").arg(percent));
    refreshPageView();
    placeTextBox();
    if (m_entryBar)
        showChordEntryAt(m_entryBar);
    if (m_pageLayoutButton->isChecked())
        placeMarginSliders();
    layoutScrollContents();
}

void MainWindow::zoomAround(int percent, QPoint anchor)
{
    const QPoint cursor = m_pageView->mapTo(m_scrollArea->viewport(), anchor);
    const QPoint page = m_pageView->pagePoint(anchor);
    setZoom(percent);
    // The page point under the cursor stays under it.
    const QPoint now = contentsPoint(page);
    m_scrollArea->horizontalScrollBar()->setValue(now.x() - cursor.x());
    m_scrollArea->verticalScrollBar()->setValue(now.y() - cursor.y());
}

void MainWindow::zoomIn()
{
    for (int level : ZoomLevels)
        if (level > m_zoom)
            return setZoom(level);
}

void MainWindow::zoomOut()
{
    for (auto it = std::rbegin(ZoomLevels); it != std::rend(ZoomLevels); ++it)
        if (*it < m_zoom)
            return setZoom(*it);
}

void MainWindow::wheelOnPage(int steps, QPoint anchor)
{
    int level = m_zoom;
    for (; steps > 0; --steps)
        level = *std::find_if(std::begin(ZoomLevels), std::end(ZoomLevels) - 1, [&](int z) { return z > level; });
    for (; steps < 0; ++steps)
        level = *std::find_if(std::rbegin(ZoomLevels), std::rend(ZoomLevels) - 1, [&](int z) { return z < level; });
    zoomAround(level, anchor);
}

void MainWindow::placeMarginSliders()
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

void MainWindow::setSizeComboTo(int size)
{
    const QSignalBlocker block(m_sizeCombo);
    const int i = m_sizeCombo->findText(QString::number(size), Qt::MatchExactly);
    m_sizeCombo->setCurrentIndex(i);
    if (i < 0)
        m_sizeCombo->setEditText(QString());
}

void MainWindow::updateTitle()
{
    setWindowTitle(tr("%1[*] - Mavrel").arg(m_document->displayName()));
}

void MainWindow::setTextBoxFont(int points, bool bold)
{
    m_textBoxSize = points;
    m_textBoxBold = bold;
    placeTextBox();
}

void MainWindow::placeTextBox()
{
    const double scale = m_zoom / 100.0;
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(std::max(1, int(pointsToPixels(m_textBoxSize) * scale)));
    f.setBold(m_textBoxBold);
    m_textBox->setFont(f);
    // The box's height follows its font, so that large text is not cut.
    m_textBox->setGeometry(QRect(contentsPoint(m_textBoxAt),
                                 QSize(int(effectivePoints(m_textBoxSize) * m_textBoxUnits * scale),
                                       std::max(EditBoxHeight, m_textBox->sizeHint().height()))));
}

void MainWindow::showMessage(const QString& text)
{
    DocumentManager::instance()->dialogs().tell(this, visibleText(text));
}

void MainWindow::showStatus(const QString& text) { statusBar()->showMessage(visibleText(text), 8000); }

// --- keys -----------------------------------------------------------------------

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // The menu's Del, Ctrl+C and Ctrl+V act on bars, even while a text box
        // has the keyboard focus.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste)
            || key->key() == Qt::Key_Delete) {
            event->ignore();
            return true;
        }
    }
    if (watched == m_sizeCombo && event->type() == QEvent::KeyPress) {
        // Enter runs the change once, whether or not the text is one of the
        // list's entries (QComboBox would report those a second time).
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const QString text = m_sizeCombo->currentText();
            const int entry = m_sizeCombo->findText(text, Qt::MatchExactly);
            if (entry >= 0) {
                const QSignalBlocker block(m_sizeCombo);
                m_sizeCombo->setCurrentIndex(entry);
            }
            applySize(text);
            return true;
        }
    }
    if (watched == m_textBox && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            textBoxKey('\r');
        else if (!key->text().isEmpty())
            textBoxKey(key->text().at(0).unicode());
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace mavrel
