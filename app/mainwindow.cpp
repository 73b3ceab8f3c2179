#include "mainwindow.h"

#include "charteditor.h"
#include "dialogs/aboutdialog.h"
#include "dialogs/chorddialog.h"
#include "dialogs/transposedialog.h"
#include "documentmanager.h"
#include "edit/chartdocument.h"
#include "labeleditor.h"
#include "print/printpreview.h"
#include "files/localfile.h"
#include "transport.h"

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
#include <QToolBar>
#include <QToolButton>
#include <QUndoGroup>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace mavrel {

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), m_document(DocumentManager::instance()->addDocument(this))
{
    setObjectName(QStringLiteral("MainWindow"));
    move(141, 125);

    m_editor = new ChartEditor(*m_document, this);
    setCentralWidget(m_editor);
    buildMenus();
    buildToolBar();
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    // Wide enough for the whole tool bar, whatever its captions' language.
    resize(std::max(900, m_toolBar->sizeHint().width()), 567);

    connect(m_editor, &ChartEditor::status, this, &MainWindow::showStatus);
    connect(m_editor, &ChartEditor::message, this, &MainWindow::showMessage);
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
    setUpSong();

    // The band playing the chart: its menu before "Aide", its tool bar in a
    // row of its own under the editing one.
    m_transport = new Transport(*m_document, this);
    menuBar()->insertMenu(menuBar()->actions().constLast(), m_transport->menu());
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, m_transport->toolBar());
    m_transport->setPage(m_editor->pageView(), m_editor->scrollArea());
    connect(m_editor, &ChartEditor::barPressed, m_transport, &Transport::setPressedBar);
    connect(m_transport, &Transport::message, this, [this](const QString& text) { showStatus(text); });

    connect(m_document, &ChartDocument::changed, this, &MainWindow::syncToolBar);
    connect(m_document, &ChartDocument::fileNameChanged, this, &MainWindow::updateTitle);
    connect(m_document->undoStack(), &QUndoStack::cleanChanged, this,
            [this](bool clean) { setWindowModified(!clean); });

    updateTitle();
    syncToolBar();
    m_editor->selectTool(Tool::Chord);
    restoreHabits();
    setUpFileWatch();
}

MainWindow::~MainWindow()
{
    // The editor goes first: nothing it shows may outlive the chart.
    delete m_editor;
    m_editor = nullptr;
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
    if (!m_editor)
        return QMainWindow::eventFilter(watched, event);
    if ((watched == m_editor->labels()->box() || watched == m_sizeCombo) && event->type() == QEvent::ShortcutOverride) {
        // The menu's Del, Ctrl+C and Ctrl+V act on bars, even while the text
        // box or the size box has the keyboard focus.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste)
            || key->key() == Qt::Key_Delete) {
            event->ignore();
            return true;
        }
    }
    if (toolBarKey(watched, event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

} // namespace mavrel
