// The song: the "Morceau…" dialog, and the "Mesure" menu of the marks of the
// bars, in the menu bar and over the page.
#include "mainwindow.h"

#include "barmarksmenu.h"
#include "chordtypingbox.h"
#include "dialogs/songdialog.h"
#include "dialogs/songtextvalidator.h"
#include "document/key.h"
#include "pageview.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollArea>

#include <algorithm>

namespace mavrel {

void MainWindow::setUpSong()
{
    m_songDialog = new SongDialog(this);
    connect(m_songDialog, &SongDialog::songAccepted, this, [this](const SongChanges& changes) {
        m_document.changeSong(tr("la modification du morceau"), [&changes](SongInfo& song) { changes.applyTo(song); });
    });

    // Where a menu key would open a widget's own menu, the page's bars have
    // theirs.
    auto* key = new QAction(this);
    key->setObjectName(QStringLiteral("barMenuKeyAction"));
    key->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)});
    connect(key, &QAction::triggered, this, &MainWindow::barMenuKey);
    addAction(key);
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
    connect(m_barMenu, &QMenu::aboutToShow, this, [this] { m_barMenu->showMarksOf(chart(), markedBars()); });

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
        changeMarkedBars([this, edge, sign](const std::vector<int>& bars) {
            m_document.setBarLine(bars, edge == 0 ? ChartDocument::Edge::Left : ChartDocument::Edge::Right, sign);
        });
    });
}

std::vector<int> MainWindow::markedBars() const
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

void MainWindow::changeMarkedBars(const std::function<void(const std::vector<int>&)>& change)
{
    const int typing = m_entryBar;
    if (typing && m_chordEntry->isModified() && !storeChordEntry())
        return;
    change(markedBars());
    if (typing)
        showChordEntryAt(typing);
}

void MainWindow::changeMarks(const QString& step, const std::function<void(BarMarks&)>& change)
{
    changeMarkedBars([&](const std::vector<int>& bars) { m_document.changeBarMarks(step, bars, change); });
}

void MainWindow::askSectionName()
{
    const std::vector<int> bars = markedBars();
    const BarMarks& first = chart().song.bar(bars.front());
    const QString current = QString::fromUtf8(first.section.view().data(), qsizetype(first.section.size()));
    std::optional<QString> name;
    if (m_textAsker) {
        name = m_textAsker(current);
    } else {
        QInputDialog dialog(this);
        dialog.setWindowTitle(tr("Section"));
        dialog.setLabelText(tr("&Nom de la section :"));
        dialog.setTextValue(current);
        dialog.setOkButtonText(tr("OK"));
        dialog.setCancelButtonText(tr("Annuler", "button"));
        if (auto* box = dialog.findChild<QLineEdit*>())
            box->setValidator(new SongTextValidator(int(sizeof first.section.chars), box));
        if (dialog.exec() == QDialog::Accepted)
            name = dialog.textValue();
    }
    if (!name)
        return;
    changeMarks(tr("la section"), [text = name->trimmed().toStdString()](BarMarks& m) {
        if (m.section.view() != text)
            setText(m.section, text);
    });
}

void MainWindow::openBarMenu(QPoint globalPos) { m_barMenu->popup(globalPos); }

void MainWindow::barMenuKey()
{
    // A text box keeps its own menu (cut, copy, paste).
    QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == m_textBox || focus == m_sizeCombo)) {
        const QPoint at = focus->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, at, focus->mapToGlobal(at));
        QApplication::sendEvent(focus == m_sizeCombo ? m_sizeCombo->lineEdit() : focus, &event);
        return;
    }
    const int bar = markedBars().front();
    const Bar& b = chart().bar(bar);
    const QPoint centre = contentsPoint(QPointF(b.x + chart().info.barWidth / 2.0, b.y + chart().info.barHeight / 2.0));
    m_scrollArea->ensureVisible(centre.x(), centre.y());
    openBarMenu(m_scrollContents->mapToGlobal(centre));
}

} // namespace mavrel
