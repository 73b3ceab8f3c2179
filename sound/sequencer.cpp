#include "sequencer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mavrel::sound {

using accompaniment::Note;

std::shared_ptr<const Schedule> makeSchedule(Performance performance)
{
    auto s = std::make_shared<Schedule>();
    std::size_t count = 0;
    for (const accompaniment::Track& t : performance.tracks)
        count += t.notes.size();
    s->events.reserve(count);
    for (const accompaniment::Track& t : performance.tracks)
        for (const Note& n : t.notes)
            s->events.push_back({n.start, n.length, static_cast<std::uint8_t>(t.instrument), n.pitch, n.velocity});
    std::stable_sort(s->events.begin(), s->events.end(),
                     [](const Schedule::Event& a, const Schedule::Event& b) { return a.start < b.start; });
    const int tempo = std::max(1, performance.tempo);
    s->framesPerTick = double(SampleRate) * 60 / (double(tempo) * accompaniment::TicksPerQuarter);
    s->performance = std::move(performance);
    return s;
}

int channelOf(Instrument instrument)
{
    switch (instrument) {
    case Instrument::Piano:
        return 0;
    case Instrument::Bass:
        return 1;
    case Instrument::Drums:
        return 9;
    case Instrument::Click:
        return 10;
    }
    return 0;
}

Sequencer::Sequencer(Synthesizer& synth) : m_synth(synth)
{
    for (const int channel : {channelOf(Instrument::Drums), channelOf(Instrument::Click), CountInChannel})
        m_synth.setDrumChannel(channel);
}

void Sequencer::start(std::shared_ptr<const Schedule> schedule, std::size_t index,
                      const std::vector<Note>& countIn, std::int64_t countInLength)
{
    stop();
    m_schedule = std::move(schedule);
    m_pending.reset();
    if (!m_schedule)
        return;
    setPrograms();
    const double perTick = m_schedule->framesPerTick;
    for (const Note& n : countIn)
        m_countIn.push_back({m_frame + std::llround(double(n.start) * perTick),
                             std::max<std::int64_t>(1, std::llround(double(n.length) * perTick)), n.pitch,
                             n.velocity});
    std::sort(m_countIn.begin(), m_countIn.end(), [](const Timed& a, const Timed& b) { return a.frame < b.frame; });
    const auto& bars = m_schedule->performance.bars;
    m_next = std::min(index, bars.size());
    m_originFrame = m_frame + std::llround(double(std::max<std::int64_t>(countInLength, 0)) * perTick);
    m_originTick = boundaryTick();
    m_event = 0;
    m_begun = false;
    m_playing = true;
}

void Sequencer::stop()
{
    m_playing = false;
    m_countIn.clear();
    m_countInNext = 0;
    m_offs = {};
    m_synth.silence();
}

void Sequencer::replace(std::shared_ptr<const Schedule> schedule)
{
    if (m_playing) {
        m_pending = std::move(schedule);
    } else {
        m_schedule = std::move(schedule);
        m_pending.reset();
    }
}

void Sequencer::setLoop(int first, int last)
{
    m_loopFirst = first > 0 && last > 0 ? first : 0;
    m_loopLast = m_loopFirst ? last : 0;
}

void Sequencer::setMix(const Mix& mix) { m_mix = mix; }

std::vector<Sequencer::Mark> Sequencer::takeMarks()
{
    std::vector<Mark> marks;
    marks.swap(m_marks);
    return marks;
}

std::int64_t Sequencer::frameOf(std::int64_t tick) const
{
    return m_originFrame + std::llround(double(tick - m_originTick) * m_schedule->framesPerTick);
}

std::int64_t Sequencer::boundaryTick() const
{
    const auto& bars = m_schedule->performance.bars;
    return m_next < bars.size() ? bars[m_next].start : m_schedule->performance.end;
}

std::int64_t Sequencer::nextFrame() const
{
    std::int64_t next = std::numeric_limits<std::int64_t>::max();
    if (!m_offs.empty())
        next = m_offs.top().frame;
    if (m_countInNext < m_countIn.size())
        next = std::min(next, m_countIn[m_countInNext].frame);
    if (m_playing) {
        const std::int64_t boundary = boundaryTick();
        next = std::min(next, frameOf(boundary));
        if (m_event < m_schedule->events.size() && m_schedule->events[m_event].start < boundary)
            next = std::min(next, frameOf(m_schedule->events[m_event].start));
    }
    return next;
}

void Sequencer::noteOn(int channel, int pitch, int velocity, std::int64_t frames)
{
    m_synth.noteOn(channel, pitch, velocity);
    m_offs.push({m_frame + std::max<std::int64_t>(frames, 1), static_cast<std::uint8_t>(channel),
                 static_cast<std::uint8_t>(pitch)});
}

// What is due now, in this order: notes that end, the count-in, the bar
// that begins (a loop or another schedule may take over there), notes that
// begin.
void Sequencer::playDue()
{
    while (!m_offs.empty() && m_offs.top().frame <= m_frame) {
        m_synth.noteOff(m_offs.top().channel, m_offs.top().pitch);
        m_offs.pop();
    }
    for (; m_countInNext < m_countIn.size() && m_countIn[m_countInNext].frame <= m_frame; ++m_countInNext) {
        const Timed& n = m_countIn[m_countInNext];
        if (m_mix.volume[static_cast<int>(Instrument::Click)] > 0)
            noteOn(CountInChannel, n.pitch, n.velocity, n.frame + n.length - m_frame);
    }
    while (m_playing && frameOf(boundaryTick()) <= m_frame)
        beginBar();
    if (!m_playing)
        return;
    const std::int64_t boundary = boundaryTick();
    const auto& events = m_schedule->events;
    for (; m_event < events.size() && events[m_event].start < boundary; ++m_event) {
        const Schedule::Event& e = events[m_event];
        if (frameOf(e.start) > m_frame)
            break;
        if (!m_mix.muted[e.instrument])
            noteOn(channelOf(static_cast<Instrument>(e.instrument)), e.pitch, e.velocity,
                   frameOf(e.start + e.length) - m_frame);
    }
}

void Sequencer::beginBar()
{
    const std::int64_t at = frameOf(boundaryTick());
    std::size_t k = m_next;
    const auto* bars = &m_schedule->performance.bars;
    if (m_begun && m_loopFirst > 0 && k > 0 && k <= bars->size() && (*bars)[k - 1].bar == m_loopLast)
        for (std::size_t i = k; i-- > 0;)
            if ((*bars)[i].bar == m_loopFirst) {
                k = i;
                break;
            }
    if (m_pending) {
        m_schedule = std::move(m_pending);
        m_pending.reset();
        setPrograms();
        bars = &m_schedule->performance.bars;
        k = std::min(k, bars->size());
    }
    m_begun = true;
    m_next = k;
    m_originFrame = at;
    m_originTick = boundaryTick();
    const auto& events = m_schedule->events;
    m_event = static_cast<std::size_t>(
        std::lower_bound(events.begin(), events.end(), m_originTick,
                         [](const Schedule::Event& e, std::int64_t tick) { return e.start < tick; })
        - events.begin());
    if (k < bars->size()) {
        m_marks.push_back({at, (*bars)[k].bar, k});
        m_next = k + 1;
    } else {
        m_marks.push_back({at, 0, k});
        m_playing = false;
    }
}

void Sequencer::setPrograms()
{
    for (const accompaniment::Track& t : m_schedule->performance.tracks)
        if (t.instrument == Instrument::Bass || t.instrument == Instrument::Piano)
            m_synth.programChange(channelOf(t.instrument), t.program);
}

void Sequencer::applyMix()
{
    auto level = [](double volume) { return static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * 127)); };
    for (int i = 0; i < InstrumentCount; ++i) {
        const int channel = channelOf(static_cast<Instrument>(i));
        if (!m_mixApplied || level(m_mix.volume[i]) != level(m_applied.volume[i]))
            m_synth.controlChange(channel, 7, level(m_mix.volume[i]));
        if (m_mix.muted[i] && (!m_mixApplied || !m_applied.muted[i]))
            m_synth.silence(channel);
    }
    const int click = static_cast<int>(Instrument::Click);
    if (!m_mixApplied || level(m_mix.volume[click]) != level(m_applied.volume[click]))
        m_synth.controlChange(CountInChannel, 7, level(m_mix.volume[click]));
    m_applied = m_mix;
    m_mixApplied = true;
}

void Sequencer::render(std::int16_t* samples, int frames)
{
    applyMix();
    int done = 0;
    while (done < frames) {
        playDue();
        const std::int64_t next = nextFrame();
        const int n = static_cast<int>(std::clamp<std::int64_t>(next - m_frame, 1, frames - done));
        m_synth.render(samples + 2 * done, n);
        m_frame += n;
        done += n;
    }
    playDue();
}

} // namespace mavrel::sound
