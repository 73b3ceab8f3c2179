// The band in the editor: the "Lecture" menu and the transport tool bar,
// Space between playing and typing, the bar being played shown and
// followed on the page, changes heard while playing, the tempo and the
// style saved into the chart, and the mixer kept from one session to the
// next.
#include "test_page_support.h"

#include "accompaniment/style.h"
#include "app/pageview.h"
#include "app/transport.h"
#include "dialogs/mixerdialog.h"
#include "document/chordtext.h"
#include "sound/player.h"
#include "support/chartbuilder.h"

#include <QAudioDevice>
#include <QCheckBox>
#include <QComboBox>
#include <QMediaDevices>
#include <QMenuBar>
#include <QScrollArea>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

namespace mavrel::test {
namespace {

using sound::Player;

// Takes the sound and plays nothing: the player runs as with a device.
class SilentOutput : public sound::AudioOutput {
public:
    void start(QIODevice*) override {}
    void suspend() override {}
    void resume() override {}
    void stop() override {}
    qint64 playedFrames() const override { return 0; }
};

class TransportTest : public PageWindowTest {
protected:
    Transport* transport() { return window->transport(); }
    void silence() { transport()->setOutputFactory([] { return std::make_unique<SilentOutput>(); }); }
    QAction* action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
    template <class T>
    T* bar(const char* name) { return transport()->toolBar()->findChild<T*>(QString::fromLatin1(name)); }
    void setBars(std::initializer_list<std::string_view> bars, int columns = 4, int rows = 8)
    {
        window->document().setChart(*ChartBuilder(columns, rows).bars(bars).build());
    }
};

// The menu's captions and shortcuts are checked with the window's other menus.
TEST_F(TransportTest, TheToolBarHoldsTheTransportAndShowsWhole)
{
    EXPECT_TRUE(action("loopAction")->isCheckable());
    EXPECT_TRUE(action("countInAction")->isCheckable());
    for (const char* name : {"playPauseAction", "stopAction", "loopAction", "countInAction", "saveTempoAction",
                             "mixerAction"})
        EXPECT_TRUE(transport()->toolBar()->actions().contains(action(name))) << name;
    ASSERT_TRUE(bar<QSpinBox>("tempoBox"));
    ASSERT_TRUE(bar<QComboBox>("styleBox"));
    EXPECT_LE(transport()->toolBar()->sizeHint().width(), window->width());
}

TEST_F(TransportTest, SpaceTypesInTheTextBoxesAndPlaysEverywhereElse)
{
    silence();
    textTool();
    press({300, 60});
    ASSERT_EQ(QApplication::focusWidget(), edit);
    QTest::keyClicks(edit, "la fin");
    EXPECT_EQ(edit->text(), "la fin");
    chordTool();
    QTest::keyClick(window.get(), Qt::Key_E, Qt::ControlModifier);
    auto* entry = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_TRUE(entry);
    entry->clear();
    QTest::keyClicks(entry, "Dm7 G7");
    EXPECT_EQ(entry->text(), "Dm7 G7");
    QTest::keyClick(entry, Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(transport()->player()->state(), Player::State::Stopped);

    window->setFocus();
    QTest::keyClick(window.get(), Qt::Key_Space);
    QTRY_COMPARE_WITH_TIMEOUT(transport()->player()->state(), Player::State::Playing, 15000);
    // From the tempo box too, which has no use for a space.
    auto* tempo = bar<QSpinBox>("tempoBox");
    tempo->setFocus();
    QTest::keyClick(tempo, Qt::Key_Space);
    EXPECT_EQ(transport()->player()->state(), Player::State::Paused);
    window->setFocus();
    QTest::keyClick(window.get(), Qt::Key_Space);
    EXPECT_EQ(transport()->player()->state(), Player::State::Playing);
    // A tool bar button reached by Tab takes Space, as Qt's buttons do.
    auto* bold = window->findChild<QToolButton*>("boldButton");
    const bool wasBold = bold->isChecked();
    bold->setFocus();
    QTest::keyClick(bold, Qt::Key_Space);
    EXPECT_NE(bold->isChecked(), wasBold);
    EXPECT_EQ(transport()->player()->state(), Player::State::Playing);

    // One band at a time: another window's starts, this one stops.
    MainWindow other;
    other.transport()->setOutputFactory([] { return std::make_unique<SilentOutput>(); });
    other.transport()->playPause();
    QTRY_COMPARE_WITH_TIMEOUT(other.transport()->player()->state(), Player::State::Playing, 15000);
    EXPECT_EQ(transport()->player()->state(), Player::State::Stopped);
    EXPECT_FALSE(action("stopAction")->isEnabled());
}

TEST_F(TransportTest, WithoutAnAudioDeviceTheStatusBarSaysSoAndEditingGoesOn)
{
    if (!QMediaDevices::audioOutputs().isEmpty())
        GTEST_SKIP() << "this machine has an audio device";
    QTest::keyClick(window.get(), Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(window->statusBar()->currentMessage().contains("Aucune sortie audio"), 15000);
    EXPECT_EQ(transport()->player()->state(), Player::State::Stopped);
    QTest::keyClick(window.get(), Qt::Key_E, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "C7");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(chordText(chart().bar(1).slot(1)), "C7");
}

TEST_F(TransportTest, TheBarPlayedIsTintedOnScreenAndKeptInViewAtAnyZoom)
{
    silence();
    setBars({"C7"}, 4, 12);
    auto* view = static_cast<PageView*>(image);
    auto* area = window->centralWidget()->findChild<QScrollArea*>("scrollArea");
    Player* player = transport()->player();
    const struct {
        int zoom;
        int bar;
    } rows[] = {{100, 48}, {100, 1}, {200, 47}, {400, 22}, {50, 48}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.zoom * 1000 + row.bar);
        window->editor()->setZoom(row.zoom);
        emit player->barChanged(row.bar);
        const Bar& b = chart().bar(row.bar);
        ASSERT_TRUE(view->highlight());
        EXPECT_EQ(view->highlight()->topLeft(), QPoint(b.x, b.y));
        const QPointF centre = view->widgetPoint(view->highlight()->center());
        EXPECT_TRUE(area->viewport()->rect().contains(view->mapTo(area->viewport(), centre.toPoint())));
    }

    // Drawn over the page on screen, never into the page printed or exported.
    window->editor()->setZoom(100);
    emit player->barChanged(2);
    const QPoint inside(chart().bar(2).x + 5, chart().bar(2).y + 5);
    EXPECT_NE(view->grab().toImage().pixel(inside) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(window->editor()->pageImage().pixel(inside) & 0xFFFFFF, 0xFFFFFFu);
    emit player->barChanged(0);   // stopped
    EXPECT_FALSE(view->highlight());
    EXPECT_EQ(view->grab().toImage().pixel(inside) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(TransportTest, AnEditIsHandedToThePlayer)
{
    silence();
    setBars({"C7", "F7"});
    const Player* player = transport()->player();
    ASSERT_FALSE(player->performance().chords.empty());
    EXPECT_EQ(player->performance().chords.front().root, 1);
    window->document().setChord(1, 1, readBar("Bb7").chords[0]);
    EXPECT_EQ(player->performance().chords.front().root, 11);
}

TEST_F(TransportTest, TempoAndStyleForTheMomentThenSavedAsOneStep)
{
    silence();
    window->document().setChart(*ChartBuilder(4, 8).bars({"Dm7 G7", "Cmaj7"}).style("Bossa Nova").build());
    auto* tempo = bar<QSpinBox>("tempoBox");
    auto* style = bar<QComboBox>("styleBox");
    const Player* player = transport()->player();
    EXPECT_EQ(tempo->value(), accompaniment::defaultTempo(accompaniment::Style::BossaNova, "Bossa Nova"));
    EXPECT_EQ(style->itemText(0), "Grille (Bossa nova)");

    // For the moment: the player changes, the chart does not.
    const QByteArray before = chartBytes(*window);
    tempo->setValue(96);
    style->setCurrentIndex(style->findData(int(accompaniment::Style::Waltz)));
    emit style->activated(style->currentIndex());
    EXPECT_EQ(player->performance().tempo, 96);
    EXPECT_EQ(player->performance().style, accompaniment::Style::Waltz);
    EXPECT_EQ(chartBytes(*window), before);

    QUndoStack* history = window->document().undoStack();
    const int steps = history->count();
    action("saveTempoAction")->trigger();
    EXPECT_EQ(history->count(), steps + 1);
    EXPECT_EQ(chart().song.tempo, 96);
    EXPECT_EQ(chart().song.style.view(), "Jazz Waltz");
    EXPECT_EQ(style->currentIndex(), 0);
    EXPECT_EQ(style->itemText(0), "Grille (Valse)");
    EXPECT_EQ(tempo->value(), 96);
    EXPECT_EQ(player->performance().style, accompaniment::Style::Waltz);

    history->undo();
    EXPECT_EQ(chartBytes(*window), before);
    EXPECT_EQ(tempo->value(), accompaniment::defaultTempo(accompaniment::Style::BossaNova, "Bossa Nova"));

    // A style text that already names the style chosen is the chart's own.
    style->setCurrentIndex(style->findData(int(accompaniment::Style::BossaNova)));
    emit style->activated(style->currentIndex());
    action("saveTempoAction")->trigger();
    EXPECT_EQ(chart().song.style.view(), "Bossa Nova");
}

TEST_F(TransportTest, TheMixerIsHeardAtOnceAndKeptForTheNextSession)
{
    silence();
    const Player* player = transport()->player();
    action("mixerAction")->trigger();
    MixerDialog* mixer = transport()->mixer();
    ASSERT_TRUE(mixer->isVisible());
    EXPECT_TRUE(mixer->findChild<QCheckBox*>("clickMute")->isChecked());   // no click until asked for
    mixer->findChild<QSlider*>("bassVolume")->setValue(35);
    mixer->findChild<QCheckBox*>("drumsMute")->click();
    EXPECT_DOUBLE_EQ(player->volume(accompaniment::Instrument::Bass), 0.35);
    EXPECT_TRUE(player->isMuted(accompaniment::Instrument::Drums));

    MainWindow next;
    const MixerDialog* kept = next.transport()->mixer();
    EXPECT_EQ(kept->volume(MixerDialog::Bass), 35);
    EXPECT_TRUE(kept->isMuted(MixerDialog::Drums));
    EXPECT_FALSE(kept->isMuted(MixerDialog::Piano));
    QSettings(QStringLiteral("Mavrel"), QStringLiteral("Mavrel")).remove(QStringLiteral("mixer"));
}

} // namespace
} // namespace mavrel::test
