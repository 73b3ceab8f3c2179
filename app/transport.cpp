#include "transport.h"

#include "accompaniment/style.h"
#include "dialogs/mixerdialog.h"
#include "edit/chartdocument.h"
#include "pageview.h"
#include "sound/player.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QList>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QSettings>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cstring>

namespace mavrel {

namespace {

using accompaniment::Style;

// The tempo box's range, as the command line's --tempo.
constexpr int MinTempo = 20;
constexpr int MaxTempo = 400;

// A style as a song's style text names it, read back as the same style.
constexpr const char* StyleTexts[accompaniment::StyleCount] = {
    "Swing", "Ballad", "Bossa Nova", "Latin", "Pop", "Funk", "Jazz Waltz", "Shuffle",
};

// The mixer's settings, by channel in the band's order.
constexpr const char* ChannelKeys[MixerDialog::ChannelCount] = {"bass", "piano", "drums", "click"};
constexpr accompaniment::Instrument Instruments[MixerDialog::ChannelCount] = {
    accompaniment::Instrument::Bass, accompaniment::Instrument::Piano, accompaniment::Instrument::Drums,
    accompaniment::Instrument::Click,
};

QSettings settings() { return QSettings(QStringLiteral("Mavrel"), QStringLiteral("Mavrel")); }

// Every window's transport: one band plays at a time.
QList<Transport*>& transports()
{
    static QList<Transport*> all;
    return all;
}

QString mixerKey(int channel, const char* what)
{
    return QStringLiteral("mixer/%1/%2").arg(QLatin1String(ChannelKeys[channel]), QLatin1String(what));
}

} // namespace

Transport::Transport(ChartDocument& document, QWidget* window)
    : QObject(window), m_document(document), m_window(window), m_heard(std::make_unique<Chart>())
{
    m_mixer = new MixerDialog(window);
    {
        const sound::Mix defaults;
        QSettings s = settings();
        for (int c = 0; c < MixerDialog::ChannelCount; ++c) {
            const int volume = s.value(mixerKey(c, "volume"), qRound(defaults.volume[c] * 100)).toInt();
            const bool muted = s.value(mixerKey(c, "muted"), defaults.muted[c]).toBool();
            m_mixer->setChannel(c, std::clamp(volume, 0, 100), muted);
        }
    }
    connect(m_mixer, &MixerDialog::channelChanged, this, &Transport::mixerChanged);

    buildActions(window);
    buildToolBar(window);

    connect(&m_document, &ChartDocument::changed, this, &Transport::chartChanged);
    connect(&m_document, &ChartDocument::replaced, this, &Transport::chartReplaced);
    chartChanged();
    playerStateChanged();
    transports().append(this);
}

Transport::~Transport() { transports().removeOne(this); }

void Transport::buildActions(QWidget* window)
{
    m_menu = new QMenu(tr("Le&cture"), window);
    m_menu->setObjectName(QStringLiteral("playMenu"));
    auto add = [this](const char* name, const QString& caption, auto slot) {
        QAction* a = m_menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    m_playAction = add("playPauseAction", tr("&Lire / Pause"), &Transport::playPause);
    // A window shortcut: the text box and the chord typing box take Space
    // first, as text (a line edit claims every key that types something).
    m_playAction->setShortcut(QKeySequence(Qt::Key_Space));
    m_playAction->setToolTip(tr("Lire / Pause (Espace)"));
    m_stopAction = add("stopAction", tr("&Arrêter"), &Transport::stop);
    m_playFromAction =
        add("playFromBarAction", tr("Lire &depuis la mesure sélectionnée"), &Transport::playFromSelection);
    m_menu->addSeparator();
    m_loopAction = m_menu->addAction(tr("&Boucler sur la sélection"));
    m_loopAction->setObjectName(QStringLiteral("loopAction"));
    m_loopAction->setIconText(tr("Boucle"));
    m_loopAction->setCheckable(true);
    connect(m_loopAction, &QAction::toggled, this, &Transport::applyLoop);
    m_countInAction = m_menu->addAction(tr("Dé&compte"));
    m_countInAction->setObjectName(QStringLiteral("countInAction"));
    m_countInAction->setToolTip(tr("Une mesure de clic avant la musique"));
    m_countInAction->setCheckable(true);
    connect(m_countInAction, &QAction::toggled, this, [this](bool on) {
        if (m_player)
            m_player->setCountIn(on ? 1 : 0);
    });
    m_menu->addSeparator();
    m_saveAction = add("saveTempoAction", tr("&Enregistrer dans la grille"), &Transport::saveIntoChart);
    m_saveAction->setIconText(tr("Dans la grille"));
    m_saveAction->setToolTip(tr("Enregistrer le tempo et le style dans la grille"));
    m_mixerAction = add("mixerAction", tr("&Mélangeur…"), [this] {
        m_mixer->show();
        m_mixer->raise();
        m_mixer->activateWindow();
    });
    m_mixerAction->setIconText(tr("Mélangeur"));

    const QStyle* style = window->style();
    m_playAction->setIcon(style->standardIcon(QStyle::SP_MediaPlay));
    m_stopAction->setIcon(style->standardIcon(QStyle::SP_MediaStop));
}

void Transport::buildToolBar(QWidget* window)
{
    m_toolBar = new QToolBar(tr("Lecture"), window);
    m_toolBar->setObjectName(QStringLiteral("transportBar"));
    m_toolBar->setFloatable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonFollowStyle);
    m_toolBar->addAction(m_playAction);
    m_toolBar->addAction(m_stopAction);
    for (QAction* a : {m_playAction, m_stopAction})
        if (auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(a)))
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_loopAction);
    m_toolBar->addAction(m_countInAction);
    m_toolBar->addSeparator();

    auto* tempoLabel = new QLabel(tr("Tempo"), m_toolBar);
    tempoLabel->setContentsMargins(4, 0, 4, 0);
    m_toolBar->addWidget(tempoLabel);
    m_tempoBox = new QSpinBox(m_toolBar);
    m_tempoBox->setObjectName(QStringLiteral("tempoBox"));
    m_tempoBox->setRange(MinTempo, MaxTempo);
    m_tempoBox->setToolTip(tr("Tempo : noires par minute"));
    // A typed tempo is taken on Enter, not digit by digit.
    m_tempoBox->setKeyboardTracking(false);
    // Reached by a click only, never as the focus moves on from a box that
    // closes: the window's keys (Ctrl+Z...) stay the window's.
    m_tempoBox->setFocusPolicy(Qt::ClickFocus);
    // No tempo has a space in it: Space still plays and pauses from here.
    m_tempoBox->installEventFilter(this);
    tempoLabel->setBuddy(m_tempoBox);
    m_toolBar->addWidget(m_tempoBox);
    connect(m_tempoBox, &QSpinBox::valueChanged, this, &Transport::tempoChosen);

    m_styleBox = new QComboBox(m_toolBar);
    m_styleBox->setObjectName(QStringLiteral("styleBox"));
    m_styleBox->setToolTip(tr("Style de l'accompagnement"));
    m_styleBox->addItem(QString(), -1);
    const QString names[accompaniment::StyleCount] = {tr("Swing"),  tr("Ballade"), tr("Bossa nova"), tr("Latin"),
                                                      tr("Pop"),    tr("Funk"),    tr("Valse"),      tr("Shuffle")};
    for (int s = 0; s < accompaniment::StyleCount; ++s)
        m_styleBox->addItem(names[s], s);
    m_styleBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_styleBox->setFocusPolicy(Qt::ClickFocus);
    m_toolBar->addWidget(m_styleBox);
    connect(m_styleBox, &QComboBox::activated, this, &Transport::styleChosen);

    m_toolBar->addAction(m_saveAction);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_mixerAction);
}

bool Transport::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_tempoBox && event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier)
            return true;   // left unaccepted: the shortcut runs
    }
    return QObject::eventFilter(watched, event);
}

sound::Player* Transport::player()
{
    if (m_player)
        return m_player;
    m_player = m_outputFactory ? new sound::Player(m_outputFactory(), this) : new sound::Player(this);
    m_player->setCountIn(m_countInAction->isChecked() ? 1 : 0);
    m_player->setStyle(m_style);
    m_player->setTempo(m_tempo);
    applyMix();
    std::memset(static_cast<void*>(m_heard.get()), 0xff, sizeof(Chart));   // differs from any chart
    passChart();
    applyLoop();
    connect(m_player, &sound::Player::barChanged, this, [this](int bar) { showPlayedBar(bar, true); });
    connect(m_player, &sound::Player::stateChanged, this, &Transport::playerStateChanged);
    connect(m_player, &sound::Player::errorOccurred, this, &Transport::message);
    return m_player;
}

// --- playing ------------------------------------------------------------------------

void Transport::playPause()
{
    sound::Player* p = player();
    switch (p->state()) {
    case sound::Player::State::Playing:
        p->pause();
        break;
    case sound::Player::State::Paused:
        stopOthers();
        p->resume();
        break;
    case sound::Player::State::Stopped: {
        const Selection& selection = m_document.selection();
        int from = 0;
        if (m_loopAction->isChecked() && selection.count > 0)
            from = *std::min_element(selection.entries, selection.entries + selection.count);
        play(from);
        break;
    }
    }
}

void Transport::playFromSelection()
{
    const Selection& selection = m_document.selection();
    const int from = selection.count > 0 ? *std::min_element(selection.entries, selection.entries + selection.count)
                                         : m_pressedBar;
    play(std::max(from, 0));
}

void Transport::stopOthers()
{
    for (Transport* other : transports())
        if (other != this)
            other->stop();
}

void Transport::play(int fromBar)
{
    stopOthers();
    sound::Player* p = player();
    passChart();
    if (!p->isReady())
        emit message(tr("Chargement des sons…"));
    p->play(fromBar);
}

void Transport::stop()
{
    if (m_player)
        m_player->stop();
}

void Transport::playerStateChanged()
{
    const auto state = m_player ? m_player->state() : sound::Player::State::Stopped;
    const bool playing = state == sound::Player::State::Playing;
    m_playAction->setIcon(m_window->style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    m_stopAction->setEnabled(state != sound::Player::State::Stopped);
    if (playing)
        emit message(QString());
}

// --- following the chart ------------------------------------------------------------

void Transport::chartChanged()
{
    // Heard from the next bar while playing.
    passChart();
    applyLoop();
    showChartTempo();
    const Style style = accompaniment::styleOf(m_document.chart().song);
    m_styleBox->setItemText(0, tr("Grille (%1)").arg(m_styleBox->itemText(int(style) + 1)));
    showPlayedBar(m_playedBar, false);   // the bars may have moved
}

void Transport::chartReplaced()
{
    // Another chart: the choices of the moment were for the one left.
    stop();
    forgetMomentChoices();
    chartChanged();
}

void Transport::passChart()
{
    if (!m_player)
        return;
    const Chart& chart = m_document.chart();
    if (std::memcmp(static_cast<const void*>(&chart), m_heard.get(), sizeof(Chart)) == 0)
        return;
    *m_heard = chart;
    m_player->setChart(chart);
}

void Transport::applyLoop()
{
    if (!m_player)
        return;
    const Selection& selection = m_document.selection();
    if (!m_loopAction->isChecked() || selection.count <= 0) {
        m_player->setLoop(0, 0);
        return;
    }
    const auto [first, last] = std::minmax_element(selection.entries, selection.entries + selection.count);
    m_player->setLoop(*first, *last);
}

void Transport::setPage(PageView* view, QScrollArea* scrollArea)
{
    m_view = view;
    m_scrollArea = scrollArea;
    showPlayedBar(m_playedBar, true);
}

void Transport::showPlayedBar(int bar, bool follow)
{
    m_playedBar = bar;
    if (!m_view)
        return;
    const Chart& chart = m_document.chart();
    if (bar < 1 || bar > std::min(chart.info.count, MaxBars)) {
        m_view->setHighlight(std::nullopt);
        return;
    }
    const Bar& b = chart.bar(bar);
    // Neighbouring bars share their frame: the highlight covers both lines.
    const QRect rect(b.x, b.y, chart.info.barWidth + 1, chart.info.barHeight + 1);
    m_view->setHighlight(rect);
    if (!follow || !m_scrollArea || !m_scrollArea->widget())
        return;
    // The bar's centre in the scroll area's contents, with room for the bar
    // around it, at the view's zoom.
    const QRectF shown(m_view->widgetPoint(rect.topLeft()),
                       m_view->widgetPoint(QPointF(rect.right() + 1, rect.bottom() + 1)));
    const QPoint centre = m_view->mapTo(m_scrollArea->widget(), shown.center().toPoint());
    m_scrollArea->ensureVisible(centre.x(), centre.y(), int(shown.width() / 2) + 16, int(shown.height() / 2) + 16);
}

// --- tempo and style ----------------------------------------------------------------

void Transport::showChartTempo()
{
    if (m_tempo > 0)
        return;
    const SongInfo& song = m_document.chart().song;
    const Style style = m_style >= 0 ? Style(m_style) : accompaniment::styleOf(song);
    const int tempo = song.tempo > 0 ? song.tempo : accompaniment::defaultTempo(style, song.style.view());
    const QSignalBlocker block(m_tempoBox);
    m_tempoBox->setValue(tempo);
}

void Transport::tempoChosen(int tempo)
{
    m_tempo = tempo;
    if (m_player)
        m_player->setTempo(tempo);
}

void Transport::styleChosen(int index)
{
    m_style = m_styleBox->itemData(index).toInt();
    if (m_player)
        m_player->setStyle(m_style);
    showChartTempo();   // a style of its own tempo when the chart gives none
}

void Transport::forgetMomentChoices()
{
    m_tempo = 0;
    m_style = -1;
    m_styleBox->setCurrentIndex(0);
    if (m_player) {
        m_player->setTempo(0);
        m_player->setStyle(-1);
    }
}

void Transport::saveIntoChart()
{
    const int tempo = m_tempoBox->value();
    const int style = m_style;
    // The chart now says what was chosen for the moment.
    forgetMomentChoices();
    m_document.changeSong(tr("l'enregistrement du tempo et du style"), [&](SongInfo& song) {
        song.tempo = static_cast<std::uint16_t>(tempo);
        // A style text that already names the style ("Medium Swing") stays.
        if (style >= 0 && accompaniment::styleOf(song) != Style(style))
            setText(song.style, StyleTexts[style]);
    });
    showChartTempo();
}

// --- the mixer ----------------------------------------------------------------------

void Transport::mixerChanged(int channel, int volume, bool muted)
{
    QSettings s = settings();
    s.setValue(mixerKey(channel, "volume"), volume);
    s.setValue(mixerKey(channel, "muted"), muted);
    applyMix();
}

void Transport::applyMix()
{
    if (!m_player)
        return;
    for (int c = 0; c < MixerDialog::ChannelCount; ++c) {
        m_player->setVolume(Instruments[c], m_mixer->volume(c) / 100.0);
        m_player->setMuted(Instruments[c], m_mixer->isMuted(c));
    }
}

} // namespace mavrel
