// The transport: the band playing the chart being edited. It owns the
// player, the "Lecture" menu and the tool bar's transport controls (play and
// pause, stop, a loop over the selected bars, a count-in, the tempo and the
// style for the moment or saved into the chart, the mixer), and shows the
// bar being played on the page, scrolling the view to keep it in sight.
//
// The player is made the first time something is played, so that a window
// that never plays opens no audio device and loads no SoundFont.
#pragma once

#include "sound/audiooutput.h"

#include <QObject>

#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QMenu;
class QScrollArea;
class QSpinBox;
class QToolBar;
class QWidget;

namespace mavrel {

class ChartDocument;
class MixerDialog;
class PageView;
struct Chart;

namespace sound {
class Player;
}

class Transport : public QObject {
    Q_OBJECT
public:
    // The menu, the tool bar and the mixer belong to `window`.
    Transport(ChartDocument& document, QWidget* window);
    ~Transport() override;

    QMenu* menu() const { return m_menu; }
    QToolBar* toolBar() const { return m_toolBar; }
    MixerDialog* mixer() const { return m_mixer; }

    // Where the bar being played is shown.
    void setPage(PageView* view, QScrollArea* scrollArea);
    // The bar last pressed on the page: where "from the selected bar" starts
    // when no bars are selected.
    void setPressedBar(int bar) { m_pressedBar = bar; }

    // Where the sound goes; the system's audio device unless set before the
    // first play.
    using OutputFactory = std::function<std::unique_ptr<sound::AudioOutput>()>;
    void setOutputFactory(OutputFactory factory) { m_outputFactory = std::move(factory); }
    // The player, made when first asked for.
    sound::Player* player();
    // The bar highlighted as being played; 0 for none.
    int playedBar() const { return m_playedBar; }

public slots:
    // Plays from the start (or the loop's first bar), pauses, or resumes.
    void playPause();
    void stop();
    // From the first selected bar, else the bar last pressed.
    void playFromSelection();
    // The tempo and the style shown go into the song information, as one
    // step of the history.
    void saveIntoChart();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // For the status bar: the player's errors, what it is doing.
    void message(const QString& text);

private:
    void buildActions(QWidget* window);
    void buildToolBar(QWidget* window);
    void play(int fromBar);
    // Another window's band stops when this one starts.
    void stopOthers();
    void chartChanged();
    void chartReplaced();
    // The tempo and style of the moment dropped: the chart's are played.
    void forgetMomentChoices();
    // Hands the chart to the player when it differs from the one it plays.
    void passChart();
    void applyLoop();
    void playerStateChanged();
    void showPlayedBar(int bar, bool follow);
    // The tempo box shows the chart's tempo (for the style chosen) while no
    // tempo of the moment is chosen.
    void showChartTempo();
    void tempoChosen(int tempo);
    void styleChosen(int index);
    void mixerChanged(int channel, int volume, bool muted);
    void applyMix();

    ChartDocument& m_document;
    QWidget* m_window;
    sound::Player* m_player = nullptr;
    OutputFactory m_outputFactory;
    std::unique_ptr<Chart> m_heard;   // the chart the player was last given

    PageView* m_view = nullptr;
    QScrollArea* m_scrollArea = nullptr;
    int m_playedBar = 0;
    int m_pressedBar = 0;
    int m_tempo = 0;    // for the moment; 0: the chart's
    int m_style = -1;   // for the moment; -1: the chart's

    QMenu* m_menu = nullptr;
    QToolBar* m_toolBar = nullptr;
    QAction* m_playAction = nullptr;
    QAction* m_stopAction = nullptr;
    QAction* m_playFromAction = nullptr;
    QAction* m_loopAction = nullptr;
    QAction* m_countInAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_mixerAction = nullptr;
    QSpinBox* m_tempoBox = nullptr;
    QComboBox* m_styleBox = nullptr;
    MixerDialog* m_mixer = nullptr;
};

} // namespace mavrel
