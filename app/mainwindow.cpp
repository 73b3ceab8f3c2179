#include "mainwindow.h"

#include "charteditor.h"
#include "dialogs/aboutdialog.h"
#include "dialogs/chorddialog.h"
#include "dialogs/transposedialog.h"
#include "documentmanager.h"
#include "edit/chartdocument.h"
#include "labeleditor.h"
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

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);
    buildToolBar();
    m_editor = new ChartEditor(*m_document, central);
    layout->addWidget(m_editor);
    buildMenus();
    statusBar()->setObjectName(QStringLiteral("statusBar"));

    connect(m_editor, &ChartEditor::status, this, &MainWindow::showStatus);
    connect(m_editor, &ChartEditor::message, this, &MainWindow::showMessage);
    connect(m_editor, &ChartEditor::zoomChanged, this, [this](int percent) {
        const int index = m_zoomCombo->findData(percent);
        m_zoomCombo->setCurrentIndex(index);
        if (index < 0)
            m_zoomCombo->setEditText(tr("%1 %").arg(percent));
    });
    connect(m_editor, &ChartEditor::toolChanged, this, [this](Tool tool) {
        m_toolGroup->button(int(tool))->setChecked(true);
    });
    connect(m_editor, &ChartEditor::writingChanged, this, [this](int size, bool bold) {
        setSizeComboTo(size);
        m_boldButton->setChecked(bold);
    });
    connect(m_editor, &ChartEditor::pageLayoutChanged, m_pageLayoutButton, &QToolButton::setChecked);
    // The menu's Del, Ctrl+C and Ctrl+V act on bars even while these boxes
    // have the keyboard focus.
    m_editor->labels()->box()->installEventFilter(this);

    // The secondary windows, hidden. The dialogs say what the user chose;
    // the window turns it into edits.
    m_printPreview = new PrintPreview([this]() -> const Chart& { return chart(); }, this);
    m_transposeDialog = new TransposeDialog(this);
    connect(m_transposeDialog, &TransposeDialog::transposeRequested, this, [this](int steps, Spelling spelling) {
        m_editor->chordDialog()->hide();   // its chord is not the one shown any more
        if (const Message refused = m_document->transpose(steps, spelling); !refused.empty())
            showMessage(messageText(refused));
    });
    m_aboutDialog = new AboutDialog(this);

    connect(m_document, &ChartDocument::changed, this, &MainWindow::syncToolBar);
    connect(m_document, &ChartDocument::fileNameChanged, this, &MainWindow::updateTitle);
    connect(m_document->undoStack(), &QUndoStack::cleanChanged, this,
            [this](bool clean) { setWindowModified(!clean); });

    updateTitle();
    syncToolBar();
    m_editor->selectTool(Tool::Chord);
}

MainWindow::~MainWindow()
{
    // The editor goes first: nothing it shows may outlive the chart.
    delete m_editor;
    DocumentManager::instance()->closeDocument(m_document);
}

const Chart& MainWindow::chart() const { return m_document->chart(); }

const Selection& MainWindow::selection() const { return m_document->selection(); }

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
    m_toolPanel = new QWidget(centralWidget());
    m_toolPanel->setObjectName(QStringLiteral("toolPanel"));
    m_toolPanel->setFixedHeight(34);
    centralWidget()->layout()->addWidget(m_toolPanel);

    m_turnButton = new QPushButton(m_toolPanel);
    m_turnButton->setObjectName(QStringLiteral("turnButton"));
    m_turnButton->setGeometry(16, 2, 33, 31);
    m_turnButton->setIcon(toolIcon(ToolIcon::Turn));
    m_turnButton->setToolTip(tr("Pour passer du format horizontal au format vertical"));
    connect(m_turnButton, &QPushButton::clicked, this, [this] { m_editor->turnPage(); });

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

    // A spinner's step: the grid both spinners now show, or back to the chart's.
    auto stepGrid = [this] {
        if (!m_editor->setGrid(m_columnsSpin->position(), m_rowsSpin->position()))
            syncToolBar();
    };
    connect(m_columnsSpin, &SpinArrows::stepped, this, stepGrid);
    connect(m_rowsSpin, &SpinArrows::stepped, this, stepGrid);

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
        return b;
    };
    m_chordToolButton = tool("chordToolButton", {264, 4, 33, 28},
                        tr("Outils pour entrer les accords\nClic droit = divisions\nClic gauche = accords"));
    m_chordToolButton->setIcon(toolIcon(ToolIcon::Chord));
    auto* eraserButton = tool("eraserToolButton", {304, 4, 33, 28}, tr("Pour gommer une case"));
    eraserButton->setIcon(toolIcon(ToolIcon::Eraser));
    auto* barLineButton = tool("barLineToolButton", {344, 4, 33, 29},
                        tr("Pour mettre des double barres ou des barres de reprise"));
    barLineButton->setIcon(toolIcon(ToolIcon::BarLine));
    auto* lassoButton = tool("lassoToolButton", {384, 4, 33, 29},
                        tr("Lasso  : selection pour le copier coller "));
    lassoButton->setIcon(toolIcon(ToolIcon::Lasso));
    auto* textButton = tool("textToolButton", {424, 4, 33, 28}, tr("Pour mettre du texte"));
    textButton->setText(tr("T"));
    textButton->setFont(boldFont(10));
    const std::pair<QToolButton*, Tool> tools[] = {
        {m_chordToolButton, Tool::Chord}, {eraserButton, Tool::Eraser},
        {barLineButton, Tool::BarLine}, {lassoButton, Tool::Lasso}, {textButton, Tool::Text},
    };
    for (const auto& [button, t] : tools) {
        m_toolGroup->addButton(button, int(t));
        connect(button, &QToolButton::clicked, this, [this, t = t] { m_editor->selectTool(t); });
    }

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
            [this](int index) { m_editor->setWritingSize(m_sizeCombo->itemText(index)); });
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
    connect(m_boldButton, &QToolButton::clicked, this, [this](bool bold) { m_editor->setWritingBold(bold); });

    m_pageLayoutButton = new QToolButton(m_toolPanel);
    m_pageLayoutButton->setObjectName(QStringLiteral("pageLayoutButton"));
    m_pageLayoutButton->setGeometry(680, 1, 33, 32);
    m_pageLayoutButton->setCheckable(true);
    m_pageLayoutButton->setAutoRaise(true);
    m_pageLayoutButton->setIcon(toolIcon(ToolIcon::PageLayout));
    m_pageLayoutButton->setIconSize(QSize(20, 18));
    m_pageLayoutButton->setToolTip(tr("Pour la mise en page"));
    connect(m_pageLayoutButton, &QToolButton::clicked, this,
            [this](bool shown) { m_editor->setPageLayoutShown(shown); });

    m_zoomCombo = new QComboBox(m_toolPanel);
    m_zoomCombo->setObjectName(QStringLiteral("zoomCombo"));
    m_zoomCombo->setGeometry(724, 7, 72, 21);
    m_zoomCombo->setToolTip(tr("Zoom (Ctrl et la molette)"));
    for (int level : ChartEditor::ZoomLevels)
        m_zoomCombo->addItem(tr("%1 %").arg(level), level);
    m_zoomCombo->setCurrentIndex(m_zoomCombo->findData(100));
    connect(m_zoomCombo, &QComboBox::activated, this,
            [this](int index) { m_editor->setZoom(m_zoomCombo->itemData(index).toInt()); });
}

void MainWindow::syncToolBar()
{
    const GridInfo& g = chart().info;
    m_columnsSpin->setPosition(g.columns);
    m_columnsBox->setText(QString::number(g.columns));
    m_rowsSpin->setPosition(g.rows);
    m_rowsBox->setText(QString::number(g.rows));
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

void MainWindow::showMessage(const QString& text)
{
    DocumentManager::instance()->dialogs().tell(this, visibleText(text));
}

void MainWindow::showStatus(const QString& text, int timeout)
{
    if (text.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(visibleText(text), timeout);
}

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
            m_editor->setWritingSize(text);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace mavrel
