// The band playing a chart through the audio device: play from a bar or
// the start, pause, stop, a loop over some bars, a count-in, the style and
// the tempo changed for the moment, and a mixer. The synthesizer renders on
// the audio output's thread; the chart, the options and the mixer change
// here, on the caller's thread, and are heard from the next bar (the mixer
// at once).
#pragma once

#include "audiooutput.h"
#include "sequencer.h"

#include "accompaniment/performance.h"
#include "document/chart.h"

#include <QObject>
#include <QString>

#include <deque>
#include <memory>

class QThread;
class QTimer;

namespace mavrel::sound {

class SynthStream;

class Player : public QObject {
    Q_OBJECT

public:
    enum class State { Stopped, Playing, Paused };
    Q_ENUM(State)

    // Through the system's default audio device.
    explicit Player(QObject* parent = nullptr);
    // Through `output`.
    explicit Player(std::unique_ptr<AudioOutput> output, QObject* parent = nullptr);
    ~Player() override;

    // Loads the SoundFont in the background (empty: the default one, the
    // one loaded first when this is never called). ready() follows, or
    // errorOccurred().
    void setSoundFont(const QString& path);
    bool isReady() const { return m_ready; }

    // The chart played. While it plays, a new one is heard from the next
    // bar, at the same place in the form.
    void setChart(const Chart& chart);
    // For the moment, not in the chart: a Style (-1 the chart's), quarter
    // notes a minute (0 the chart's), times through the form.
    void setStyle(int style);
    void setTempo(int tempo);
    void setChoruses(int choruses);
    // Bars of click before the music, in the meter of the bar played first.
    void setCountIn(int bars);
    // Once chart bar `last` is played, back to the latest `first`; 0, 0 for
    // none.
    void setLoop(int first, int last);

    void setVolume(Instrument instrument, double volume);   // 0..1
    void setMuted(Instrument instrument, bool muted);
    double volume(Instrument instrument) const { return m_mix.volume[static_cast<int>(instrument)]; }
    bool isMuted(Instrument instrument) const { return m_mix.muted[static_cast<int>(instrument)]; }

    // The performance as arranged for the chart and the options above.
    const Performance& performance() const { return m_schedule->performance; }

    State state() const { return m_state; }
    // The chart bar heard now (1-based); 0 when none.
    int bar() const { return m_bar; }

public slots:
    // From the first time chart bar `fromBar` is played (0: the start),
    // after the count-in.
    void play(int fromBar = 0);
    void pause();
    void resume();
    void stop();
    // Follows the sound heard: a timer calls it while playing.
    void update();

signals:
    void ready();
    // The chart bar heard now, 1-based, as the sound reaches the ear.
    void barChanged(int bar);
    void stateChanged(mavrel::sound::Player::State state);
    // The music has played to its end.
    void finished();
    // Nothing can be played: no SoundFont, no audio device...
    void errorOccurred(const QString& message);

private:
    void arrange();
    void start(int fromBar);
    void setState(State state);
    void fail(const QString& message);

    std::unique_ptr<AudioOutput> m_output;
    std::unique_ptr<SynthStream> m_stream;
    QThread* m_loader = nullptr;
    QTimer* m_timer = nullptr;

    std::unique_ptr<Chart> m_chart;
    accompaniment::Options m_options;
    std::shared_ptr<const Schedule> m_schedule;
    Mix m_mix;
    int m_loopFirst = 0, m_loopLast = 0;

    bool m_ready = false;
    bool m_loading = false;
    int m_waitingBar = -1;   // play() asked before the SoundFont was loaded
    State m_state = State::Stopped;
    int m_bar = 0;
    std::deque<Sequencer::Mark> m_marks;
};

} // namespace mavrel::sound
