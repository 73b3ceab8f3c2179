// The song: the "Morceau…" dialog, and the "Mesure" menu of the marks of the
// bars, in the menu bar and over the page.
#include "mainwindow.h"

#include "barmarksmenu.h"
#include "charteditor.h"
#include "dialogs/songdialog.h"
#include "document/key.h"
#include "documentmanager.h"
#include "edit/chartdocument.h"
#include "labeleditor.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenuBar>

namespace mavrel {

void MainWindow::setUpSong()
{
    m_songDialog = new SongDialog(this);
    connect(m_songDialog, &SongDialog::songAccepted, this, [this](const SongChanges& changes) {
        m_document->changeSong(tr("la modification du morceau"), [&changes](SongInfo& song) { changes.applyTo(song); });
    });

    // Where a menu key would open a widget's own menu, the page's bars have
    // theirs.
    m_barMenuKey = new QAction(this);
    m_barMenuKey->setObjectName(QStringLiteral("barMenuKeyAction"));
    m_barMenuKey->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)});
    connect(m_barMenuKey, &QAction::triggered, this, &MainWindow::barMenuKey);
    addAction(m_barMenuKey);
    // The lasso's right click on a bar.
    connect(m_editor, &ChartEditor::barMenuRequested, m_barMenu, [this](QPoint at) { m_barMenu->popup(at); });
}

void MainWindow::showSongDialog()
{
    m_songDialog->setSong(chart().song, detectKey(chart()));
    m_songDialog->open();
}

void MainWindow::buildBarMenu()
{
    m_barMenu = new BarMarksMenu(this);
    menuBar()->addMenu(m_barMenu);
    connect(m_barMenu, &QMenu::aboutToShow, this,
            [this] { m_barMenu->showMarksOf(chart(), m_editor->markedBars()); });

    connect(m_barMenu, &BarMarksMenu::sectionChosen, this, [this](const QString& name) {
        changeMarks(tr("la section"), [text = name.toStdString()](BarMarks& m) {
            if (m.section.view() != text)
                setText(m.section, text);
        });
    });
    connect(m_barMenu, &BarMarksMenu::otherSectionRequested, this, &MainWindow::askSectionName);
    connect(m_barMenu, &BarMarksMenu::endingChosen, this, [this](int ending) {
        changeMarks(ending ? tr("la reprise %1.").arg(ending) : tr("la suppression de la reprise"),
                    [ending](BarMarks& m) { m.ending = static_cast<std::uint8_t>(ending); });
    });
    connect(m_barMenu, &BarMarksMenu::flagChosen, this, [this](int flag, bool on) {
        const QString step = flag == SegnoFlag ? tr("le segno")
            : flag == CodaFlag                 ? tr("le signe de coda")
                                               : tr("le point d'orgue");
        changeMarks(step, [flag, on](BarMarks& m) {
            m.flags = static_cast<std::uint8_t>(on ? m.flags | flag : m.flags & ~flag);
        });
    });
    connect(m_barMenu, &BarMarksMenu::directionChosen, this, [this](Direction direction) {
        changeMarks(tr("l'indication"), [direction](BarMarks& m) { m.direction = direction; });
    });
    connect(m_barMenu, &BarMarksMenu::meterChosen, this, [this](TimeSignature time) {
        changeMarks(tr("le chiffrage"), [time](BarMarks& m) { m.time = time; });
    });
    connect(m_barMenu, &BarMarksMenu::barLineChosen, this, [this](int edge, int sign) {
        m_editor->changeMarkedBars([this, edge, sign](const std::vector<int>& bars) {
            m_document->setBarLine(bars, edge == 0 ? ChartDocument::Edge::Left : ChartDocument::Edge::Right, sign);
        });
    });
}

void MainWindow::changeMarks(const QString& step, const std::function<void(BarMarks&)>& change)
{
    m_editor->changeMarkedBars(
        [&](const std::vector<int>& bars) { m_document->changeBarMarks(step, bars, change); });
}

void MainWindow::askSectionName()
{
    const BarMarks& first = chart().song.bar(m_editor->markedBars().front());
    const QString current = QString::fromUtf8(first.section.view().data(), qsizetype(first.section.size()));
    const std::optional<QString> name = DocumentManager::instance()->dialogs().sectionName(
        this, current, int(sizeof first.section.chars));
    if (!name)
        return;
    changeMarks(tr("la section"), [text = name->trimmed().toStdString()](BarMarks& m) {
        if (m.section.view() != text)
            setText(m.section, text);
    });
}

void MainWindow::barMenuKey()
{
    // A text box keeps its own menu (cut, copy, paste).
    QWidget* focus = QApplication::focusWidget();
    QLineEdit* textBox = m_editor->labels()->box();
    if (focus && (focus == textBox || focus == m_sizeCombo || focus == m_columnsBox || focus == m_rowsBox)) {
        const QPoint at = focus->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, at, focus->mapToGlobal(at));
        QApplication::sendEvent(focus == m_sizeCombo ? m_sizeCombo->lineEdit() : focus, &event);
        return;
    }
    m_barMenu->popup(m_editor->markedBarsMenuPoint());
}

} // namespace mavrel
