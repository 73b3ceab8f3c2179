// A performance played into a synthesizer, frame by frame: its notes at
// their times, a count-in before it, a loop over some of its bars, another
// performance taking over at the next bar, and the mix of its instruments.
// The same code renders a file and feeds the audio device.
#pragma once

#include "synthesizer.h"

#include "accompaniment/performance.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <queue>
#include <vector>

namespace mavrel::sound {

using accompaniment::Instrument;
using accompaniment::InstrumentCount;
using accompaniment::Performance;

// A performance ready to be played: the notes of all its tracks in one
// list, by start.
struct Schedule {
    struct Event {
        std::int64_t start;       // ticks
        std::int32_t length;      // ticks
        std::uint8_t instrument;  // an Instrument
        std::uint8_t pitch;
        std::uint8_t velocity;
    };
    Performance performance;
    std::vector<Event> events;
    double framesPerTick = 1;
};

std::shared_ptr<const Schedule> makeSchedule(Performance performance);

// The mixer: a volume (0 to 1) and a mute for each instrument. The click
// is muted until asked for; the count-in is heard at the click's volume
// whether the click is muted or not.
struct Mix {
    std::array<double, InstrumentCount> volume{0.8, 0.8, 0.8, 0.8};
    std::array<bool, InstrumentCount> muted{false, false, false, true};
};

// The synthesizer's channel of each instrument. The click and the count-in
// have drum channels of their own, so that the mixer sets them apart from
// the drums.
int channelOf(Instrument instrument);
inline constexpr int CountInChannel = 11;

class Sequencer {
public:
    explicit Sequencer(Synthesizer& synth);

    // Plays the schedule from its played bar `index` (0 for the first),
    // after the count-in: notes timed in ticks from 0, `countInLength`
    // ticks long, at the schedule's tempo.
    void start(std::shared_ptr<const Schedule> schedule, std::size_t index = 0,
               const std::vector<accompaniment::Note>& countIn = {}, std::int64_t countInLength = 0);
    // Every note stops at once.
    void stop();
    // The schedule that takes over where the next bar starts, at the same
    // place in the form; at once when nothing plays.
    void replace(std::shared_ptr<const Schedule> schedule);
    // Once chart bar `last` has been played, back to the latest `first`
    // played up to then. 0, 0: no loop.
    void setLoop(int first, int last);
    void setMix(const Mix& mix);

    // `frames` frames of interleaved stereo; silence when nothing plays.
    void render(std::int16_t* samples, int frames);

    std::int64_t frame() const { return m_frame; }
    // From start() until the music ends or stops.
    bool isPlaying() const { return m_playing; }

    // A played bar begins: when, in frames; its chart bar (1-based); its
    // place among the performance's played bars. Bar 0 marks the end.
    struct Mark {
        std::int64_t frame;
        int bar;
        std::size_t index;
    };
    // The marks made since the last call.
    std::vector<Mark> takeMarks();

private:
    struct Off {
        std::int64_t frame;
        std::uint8_t channel;
        std::uint8_t pitch;
        bool operator>(const Off& o) const { return frame > o.frame; }
    };
    struct Timed {
        std::int64_t frame;
        std::int64_t length;
        std::uint8_t pitch;
        std::uint8_t velocity;
    };

    std::int64_t frameOf(std::int64_t tick) const;
    std::int64_t boundaryTick() const;
    std::int64_t nextFrame() const;
    void playDue();
    void beginBar();
    void setPrograms();
    void applyMix();
    void noteOn(int channel, int pitch, int velocity, std::int64_t frames);

    Synthesizer& m_synth;
    std::shared_ptr<const Schedule> m_schedule, m_pending;
    std::int64_t m_frame = 0;
    bool m_playing = false;
    bool m_begun = false;             // a bar has been played
    std::size_t m_next = 0;           // the played bar whose start is the next boundary
    std::size_t m_event = 0;          // the next note to start
    std::int64_t m_originFrame = 0;   // where m_originTick is heard
    std::int64_t m_originTick = 0;
    std::vector<Timed> m_countIn;     // by frame
    std::size_t m_countInNext = 0;
    std::priority_queue<Off, std::vector<Off>, std::greater<Off>> m_offs;
    int m_loopFirst = 0, m_loopLast = 0;
    Mix m_mix, m_applied;
    bool m_mixApplied = false;
    std::vector<Mark> m_marks;
};

} // namespace mavrel::sound
