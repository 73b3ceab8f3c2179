// The tool bar: the page's orientation, the grid's size, the tools, the size
// and weight of what is written, page-layout mode, the zoom and how the
// chords are written. Each control
// is one entry of a QToolBar, the gaps between the groups are fixed, so a new
// control is one line wherever it goes.
#include "mainwindow.h"

#include "charteditor.h"
#include "edit/chartdocument.h"
#include "labeleditor.h"
#include "spinarrows.h"
#include "toolicons.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

namespace mavrel {

namespace {

QFont boldFont(int points)
{
    QFont f;
    f.setPointSize(points);
    f.setBold(true);
    return f;
}

// The tool bar's height, and the size of each tool's button.
constexpr int BarHeight = 34;
constexpr QSize ToolButtonSize(33, 28);
constexpr QSize IconSize(20, 18);
// The grid boxes each take up to this many bars along their side; the chart
// itself holds MaxBars in all.
constexpr int MaxSide = 100;

} // namespace

void MainWindow::buildToolBar()
{
    m_toolBar = new QToolBar(tr("Outils"), this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    m_toolBar->setFixedHeight(BarHeight);
    m_toolBar->layout()->setContentsMargins(0, 0, 0, 0);
    m_toolBar->layout()->setSpacing(0);
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    // The space between two groups of controls.
    auto gap = [this](int width) {
        auto* g = new QWidget(m_toolBar);
        g->setFixedSize(width, 1);
        g->setFocusPolicy(Qt::NoFocus);
        m_toolBar->addWidget(g);
    };
    auto add = [this](QWidget* w, const char* name, QSize size = {}) {
        w->setObjectName(QString::fromLatin1(name));
        if (size.isValid())
            w->setFixedSize(size);
        m_toolBar->addWidget(w);
        return w;
    };
    auto label = [&](const char* name, const QString& text) {
        auto* l = new QLabel(text, m_toolBar);
        l->setFont(boldFont(8));
        add(l, name);
        gap(6);
        return l;
    };

    gap(16);
    m_turnButton = new QPushButton(toolIcon(ToolIcon::Turn), QString(), m_toolBar);
    m_turnButton->setToolTip(tr("Pour passer du format horizontal au format vertical"));
    add(m_turnButton, "turnButton", {33, 31});
    connect(m_turnButton, &QPushButton::clicked, this, [this] { m_editor->turnPage(); });

    // The grid: a number typed into either box (Enter, or leaving it) or a
    // step of its arrows, refused when the grid would hold too many bars.
    auto sideBox = [&](const char* boxName, const char* spinName, const QString& hint) {
        auto* box = new QLineEdit(m_toolBar);
        box->setToolTip(hint);
        box->setValidator(new QIntValidator(1, MaxSide, box));
        box->setAlignment(Qt::AlignRight);
        box->installEventFilter(this);   // Up, Down and Escape
        add(box, boxName, {25, 21});
        connect(box, &QLineEdit::editingFinished, this, &MainWindow::applyTypedGrid);
        auto* spin = new SpinArrows(m_toolBar);
        spin->setRange(1, MaxSide);
        spin->setToolTip(hint);
        add(spin, spinName, {15, 21});
        connect(spin, &SpinArrows::stepped, this, [this] {
            if (!m_editor->setGrid(m_columnsSpin->position(), m_rowsSpin->position()))
                syncToolBar();
        });
        return std::pair{box, spin};
    };
    gap(7);
    QLabel* columnsLabel = label("columnsLabel", tr("Cases &L"));
    std::tie(m_columnsBox, m_columnsSpin) = sideBox("columnsBox", "columnsSpin", tr("Nombre de cases en largeur"));
    columnsLabel->setBuddy(m_columnsBox);
    gap(8);
    QLabel* rowsLabel = label("rowsLabel", tr("&H"));
    std::tie(m_rowsBox, m_rowsSpin) = sideBox("rowsBox", "rowsSpin", tr("Nombre de cases en hauteur"));
    rowsLabel->setBuddy(m_rowsBox);

    // The tools: a button each, and a key that chooses it from anywhere in
    // the window but the text boxes, which take letters as text.
    m_toolGroup = new QButtonGroup(this);
    m_toolGroup->setExclusive(true);
    struct ToolEntry {
        Tool tool;
        const char* name;
        QString hint;
        QKeySequence key;
    };
    const ToolEntry tools[] = {
        {Tool::Chord, "chordTool",
         tr("Outils pour entrer les accords\nClic droit = divisions\nClic gauche = accords"),
         QKeySequence(tr("A", "shortcut of the chord tool"))},
        {Tool::Eraser, "eraserTool", tr("Pour gommer une case"), QKeySequence(tr("E", "shortcut of the eraser"))},
        {Tool::BarLine, "barLineTool", tr("Pour mettre des doubles barres ou des barres de reprise"),
         QKeySequence(tr("B", "shortcut of the bar-line tool"))},
        {Tool::Lasso, "lassoTool", tr("Lasso : sélection pour le copier-coller"),
         QKeySequence(tr("L", "shortcut of the lasso"))},
        {Tool::Text, "textTool", tr("Pour mettre du texte"), QKeySequence(tr("T", "shortcut of the text tool"))},
    };
    gap(48);
    for (const ToolEntry& t : tools) {
        if (t.tool != tools[0].tool)
            gap(7);
        auto* b = new QToolButton(m_toolBar);
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setIconSize(IconSize);
        b->setToolTip(tr("%1 (%2)").arg(t.hint, t.key.toString(QKeySequence::NativeText)));
        add(b, (QByteArray(t.name) + "Button").constData(), ToolButtonSize);
        m_toolGroup->addButton(b, int(t.tool));
        connect(b, &QToolButton::clicked, this, [this, tool = t.tool] { m_editor->selectTool(tool); });

        auto* choose = new QAction(t.hint.section(QLatin1Char('\n'), 0, 0), this);
        choose->setObjectName(QString::fromLatin1(t.name) + QStringLiteral("Action"));
        choose->setShortcut(t.key);
        addAction(choose);
        connect(choose, &QAction::triggered, this, [this, tool = t.tool] { m_editor->selectTool(tool); });
        m_toolActions.append(choose);
    }
    auto toolButton = [this](Tool t) { return static_cast<QToolButton*>(m_toolGroup->button(int(t))); };
    toolButton(Tool::Chord)->setIcon(toolIcon(ToolIcon::Chord));
    toolButton(Tool::Eraser)->setIcon(toolIcon(ToolIcon::Eraser));
    toolButton(Tool::BarLine)->setIcon(toolIcon(ToolIcon::BarLine));
    toolButton(Tool::Lasso)->setIcon(toolIcon(ToolIcon::Lasso));
    toolButton(Tool::Text)->setText(tr("T"));
    toolButton(Tool::Text)->setFont(boldFont(10));
    connect(m_editor, &ChartEditor::toolChanged, this, [this](Tool tool) { m_toolGroup->button(int(tool))->setChecked(true); });

    gap(23);
    QLabel* sizeLabel = label("sizeLabel", tr("&Taille :"));
    m_sizeCombo = new QComboBox(m_toolBar);
    m_sizeCombo->setEditable(true);
    m_sizeCombo->setInsertPolicy(QComboBox::NoInsert);
    // Completing "7" to "72" would change what the user typed.
    m_sizeCombo->setCompleter(nullptr);
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        m_sizeCombo->addItem(QString::number(size));
    m_sizeCombo->setCurrentIndex(0);
    m_sizeCombo->setToolTip(tr("Taille d'écriture, accord ou texte"));
    add(m_sizeCombo, "sizeCombo", {41, 21});
    sizeLabel->setBuddy(m_sizeCombo);
    connect(m_sizeCombo, &QComboBox::activated, this,
            [this](int index) { m_editor->setWritingSize(m_sizeCombo->itemText(index)); });
    // A typed size is taken on Enter (toolBarKey). The combo box has the
    // focus and hands keys to its text, so the filter sits on the combo box.
    m_sizeCombo->installEventFilter(this);

    m_boldButton = new QToolButton(m_toolBar);
    m_boldButton->setCheckable(true);
    m_boldButton->setAutoRaise(true);
    m_boldButton->setText(tr("G"));
    m_boldButton->setFont(boldFont(10));
    m_boldButton->setToolTip(tr("Pour mettre en gras"));
    add(m_boldButton, "boldButton", {25, 20});
    connect(m_boldButton, &QToolButton::clicked, this, [this](bool bold) { m_editor->setWritingBold(bold); });
    connect(m_editor, &ChartEditor::writingChanged, this, [this](int size, bool bold) {
        setSizeComboTo(size);
        m_boldButton->setChecked(bold);
    });

    gap(87);
    m_pageLayoutButton = new QToolButton(m_toolBar);
    m_pageLayoutButton->setCheckable(true);
    m_pageLayoutButton->setAutoRaise(true);
    m_pageLayoutButton->setIcon(toolIcon(ToolIcon::PageLayout));
    m_pageLayoutButton->setIconSize(IconSize);
    m_pageLayoutButton->setToolTip(tr("Pour la mise en page"));
    add(m_pageLayoutButton, "pageLayoutButton", {33, 32});
    connect(m_pageLayoutButton, &QToolButton::clicked, this,
            [this](bool shown) { m_editor->setPageLayoutShown(shown); });
    connect(m_editor, &ChartEditor::pageLayoutChanged, m_pageLayoutButton, &QToolButton::setChecked);

    gap(11);
    m_zoomCombo = new QComboBox(m_toolBar);
    m_zoomCombo->setToolTip(tr("Zoom (Ctrl et la molette)"));
    for (int level : ChartEditor::ZoomLevels)
        m_zoomCombo->addItem(tr("%1 %").arg(level), level);
    m_zoomCombo->setCurrentIndex(m_zoomCombo->findData(100));
    add(m_zoomCombo, "zoomCombo", {72, 21});
    connect(m_zoomCombo, &QComboBox::activated, this,
            [this](int index) { m_editor->setZoom(m_zoomCombo->itemData(index).toInt()); });
    connect(m_editor, &ChartEditor::zoomChanged, this, [this](int percent) {
        const int index = m_zoomCombo->findData(percent);
        m_zoomCombo->setCurrentIndex(index);
        if (index < 0)
            m_zoomCombo->setEditText(tr("%1 %").arg(percent));
    });

    // How the chart's chords are drawn, kept with the chart.
    gap(11);
    m_chordStyleCombo = new QComboBox(m_toolBar);
    QFont small = m_chordStyleCombo->font();
    small.setPointSize(8);
    m_chordStyleCombo->setFont(small);
    m_chordStyleCombo->addItem(tr("Classique"), int(ChordStyle::Classic));
    m_chordStyleCombo->addItem(tr("Jazz"), int(ChordStyle::Jazz));
    m_chordStyleCombo->setToolTip(tr("Écriture des accords : texte simple, ou comme sur un recueil de jazz"));
    add(m_chordStyleCombo, "chordStyleCombo", {82, 21});
    connect(m_chordStyleCombo, &QComboBox::activated, this, [this](int index) {
        const auto style = ChordStyle(m_chordStyleCombo->itemData(index).toInt());
        if (style != chart().song.chordStyle)
            m_document->changeSong(tr("l'écriture des accords"), [style](SongInfo& song) { song.chordStyle = style; });
    });
    gap(6);
    m_autoSizeCheck = new QCheckBox(tr("taille auto"), m_toolBar);
    m_autoSizeCheck->setToolTip(tr("Les accords à la plus grande taille que leurs cases permettent"));
    add(m_autoSizeCheck, "autoSizeCheck");
    connect(m_autoSizeCheck, &QCheckBox::clicked, this, [this](bool on) {
        m_document->changeSong(tr("la taille automatique des accords"),
                               [on](SongInfo& song) { song.autoSize = on ? 1 : 0; });
    });

    // Tab goes along the bar from left to right, then to the page.
    QWidget* order[] = {m_turnButton,      m_columnsBox,      m_rowsBox,          toolButton(Tool::Chord),
                        toolButton(Tool::Eraser), toolButton(Tool::BarLine), toolButton(Tool::Lasso),
                        toolButton(Tool::Text), m_sizeCombo, m_boldButton, m_pageLayoutButton, m_zoomCombo,
                        m_chordStyleCombo, m_autoSizeCheck, m_editor};
    for (QWidget* w : order) {
        if (w->focusPolicy() == Qt::NoFocus || w->focusPolicy() == Qt::ClickFocus)
            w->setFocusPolicy(Qt::StrongFocus);
        // Space presses the button that has the focus (toolBarKey).
        if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w))
            w->installEventFilter(this);
    }
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void MainWindow::syncToolBar()
{
    const GridInfo& g = chart().info;
    m_columnsSpin->setPosition(g.columns);
    m_columnsBox->setText(QString::number(g.columns));
    m_rowsSpin->setPosition(g.rows);
    m_rowsBox->setText(QString::number(g.rows));
    m_chordStyleCombo->setCurrentIndex(chart().song.chordStyle == ChordStyle::Jazz ? 1 : 0);
    m_autoSizeCheck->setChecked(chart().song.autoSize != 0);
}

void MainWindow::applyTypedGrid()
{
    if (!m_editor)
        return;   // the window is closing
    const int columns = m_columnsBox->text().toInt();
    const int rows = m_rowsBox->text().toInt();
    const GridInfo& g = chart().info;
    if (columns == g.columns && rows == g.rows)
        return;
    if (!m_editor->setGrid(columns, rows))
        syncToolBar();
}

void MainWindow::setSizeComboTo(int size)
{
    const QSignalBlocker block(m_sizeCombo);
    const int i = m_sizeCombo->findText(QString::number(size), Qt::MatchExactly);
    m_sizeCombo->setCurrentIndex(i);
    if (i < 0)
        m_sizeCombo->setEditText(QString());
}

bool MainWindow::toolBarKey(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && watched->parent() == m_toolBar) {
        // Space plays the chart from anywhere in the window, but a button or
        // a list reached by Tab takes it as Qt's controls do.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier
            && (qobject_cast<QAbstractButton*>(watched) || qobject_cast<QComboBox*>(watched))) {
            event->accept();
            return true;
        }
    }
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && (box == m_columnsBox || box == m_rowsBox)) {
        // A number left half typed (empty, 0) goes back to the chart's.
        if (event->type() == QEvent::FocusOut && !box->hasAcceptableInput())
            syncToolBar();
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            syncToolBar();
            return true;
        }
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            // The arrow keys step as the arrow buttons do.
            SpinArrows* spin = box == m_columnsBox ? m_columnsSpin : m_rowsSpin;
            QToolButton* arrow = key == Qt::Key_Up ? spin->upButton() : spin->downButton();
            applyTypedGrid();
            arrow->click();
            return true;
        }
        return false;
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
            m_editor->setWritingSize(text);
            return true;
        }
    }
    return false;
}

} // namespace mavrel
