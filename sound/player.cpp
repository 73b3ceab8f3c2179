#include "player.h"

#include "accompaniment/arranger.h"

#include <QCoreApplication>
#include <QFile>
#include <QIODevice>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <mutex>

namespace mavrel::sound {

// The synthesizer as the audio output reads it, on the output's thread:
// every call from the player's thread takes the same lock, for no longer
// than the change it makes.
class SynthStream : public QIODevice {
public:
    SynthStream() { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return BlockFrames * 4 + QIODevice::bytesAvailable(); }

    void install(std::unique_ptr<Synthesizer> synth)
    {
        const std::lock_guard lock(m_mutex);
        m_sequencer.reset();
        m_synth = std::move(synth);
        m_sequencer = std::make_unique<Sequencer>(*m_synth);
    }

    // `f(Sequencer&)` under the lock; nothing before a synthesizer is there.
    template <class F>
    void with(F f)
    {
        const std::lock_guard lock(m_mutex);
        if (m_sequencer)
            f(*m_sequencer);
    }

    // The frames rendered from now on are counted from 0.
    void restart()
    {
        const std::lock_guard lock(m_mutex);
        m_base = m_sequencer ? m_sequencer->frame() : 0;
    }

    // The bars begun since the last call, their frames counted from
    // restart().
    std::vector<Sequencer::Mark> takeMarks()
    {
        const std::lock_guard lock(m_mutex);
        if (!m_sequencer)
            return {};
        std::vector<Sequencer::Mark> marks = m_sequencer->takeMarks();
        for (Sequencer::Mark& m : marks)
            m.frame -= m_base;
        return marks;
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const int frames = static_cast<int>(std::min<qint64>(maxSize / 4, BlockFrames));
        auto* samples = reinterpret_cast<std::int16_t*>(data);
        const std::lock_guard lock(m_mutex);
        if (m_sequencer)
            m_sequencer->render(samples, frames);
        else
            std::fill(samples, samples + 2 * frames, std::int16_t{0});
        return qint64(frames) * 4;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    static constexpr int BlockFrames = 2048;

    std::mutex m_mutex;
    std::unique_ptr<Synthesizer> m_synth;
    std::unique_ptr<Sequencer> m_sequencer;
    std::int64_t m_base = 0;
};

namespace {

QString messageText(const Message& message)
{
    const QString pattern = QCoreApplication::translate("Message", message.pattern());
    return QString::fromStdString(formatMessage(pattern.toStdString(), message.arguments()));
}

} // namespace

Player::Player(QObject* parent) : Player(makeDeviceOutput(), parent) {}

Player::Player(std::unique_ptr<AudioOutput> output, QObject* parent)
    : QObject(parent),
      m_output(std::move(output)),
      m_stream(std::make_unique<SynthStream>()),
      m_timer(new QTimer(this)),
      m_chart(std::make_unique<Chart>())
{
    resetChart(*m_chart);
    m_options.click = true;
    arrange();
    m_timer->setInterval(15);
    connect(m_timer, &QTimer::timeout, this, &Player::update);
    connect(m_output.get(), &AudioOutput::failed, this, &Player::fail);
}

Player::~Player()
{
    if (m_loader)
        m_loader->wait();
    m_output->stop();
    m_output.reset();
}

void Player::setSoundFont(const QString& path)
{
    if (m_loader)
        m_loader->wait();
    m_ready = false;
    m_loading = true;
    auto loaded = std::make_shared<std::unique_ptr<Synthesizer>>();
    QThread* loader = QThread::create([loaded, path] { *loaded = std::make_unique<Synthesizer>(path); });
    m_loader = loader;
    connect(loader, &QThread::finished, this, [this, loader, loaded] {
        loader->deleteLater();
        if (m_loader == loader)
            m_loader = nullptr;
        m_loading = m_loader != nullptr;
        std::unique_ptr<Synthesizer> synth = std::move(*loaded);
        if (!synth->isValid()) {
            const QString text = messageText(synth->error());
            m_waitingBar = -1;
            fail(synth->soundFont().isEmpty() ? text
                                              : QCoreApplication::translate("Message", "%1 : %2")
                                                    .arg(synth->soundFont(), text));
            return;
        }
        if (m_state != State::Stopped)
            stop();
        m_stream->install(std::move(synth));
        m_stream->with([this](Sequencer& s) {
            s.setMix(m_mix);
            s.setLoop(m_loopFirst, m_loopLast);
            s.replace(m_schedule);
        });
        m_ready = true;
        emit ready();
        if (m_waitingBar >= 0) {
            const int bar = m_waitingBar;
            m_waitingBar = -1;
            start(bar);
        }
    });
    loader->start();
}

void Player::arrange()
{
    m_schedule = makeSchedule(accompaniment::arrange(*m_chart, m_options));
    m_stream->with([this](Sequencer& s) { s.replace(m_schedule); });
}

void Player::setChart(const Chart& chart)
{
    *m_chart = chart;
    arrange();
}

void Player::setStyle(int style)
{
    m_options.style = style;
    arrange();
}

void Player::setTempo(int tempo)
{
    m_options.tempo = tempo;
    arrange();
}

void Player::setChoruses(int choruses)
{
    m_options.choruses = std::max(1, choruses);
    arrange();
}

void Player::setCountIn(int bars) { m_options.countInBars = std::clamp(bars, 0, 16); }

void Player::setLoop(int first, int last)
{
    m_loopFirst = first;
    m_loopLast = last;
    m_stream->with([first, last](Sequencer& s) { s.setLoop(first, last); });
}

void Player::setVolume(Instrument instrument, double volume)
{
    m_mix.volume[static_cast<int>(instrument)] = std::clamp(volume, 0.0, 1.0);
    m_stream->with([this](Sequencer& s) { s.setMix(m_mix); });
}

void Player::setMuted(Instrument instrument, bool muted)
{
    m_mix.muted[static_cast<int>(instrument)] = muted;
    m_stream->with([this](Sequencer& s) { s.setMix(m_mix); });
}

void Player::play(int fromBar)
{
    fromBar = std::max(fromBar, 0);
    if (m_ready) {
        start(fromBar);
        return;
    }
    m_waitingBar = fromBar;
    if (!m_loading)
        setSoundFont({});
}

void Player::start(int fromBar)
{
    m_output->stop();
    m_timer->stop();
    m_marks.clear();
    const auto& bars = m_schedule->performance.bars;
    std::size_t index = 0;
    if (fromBar > 0)
        index = static_cast<std::size_t>(
            std::find_if(bars.begin(), bars.end(), [fromBar](const auto& b) { return b.bar >= fromBar; })
            - bars.begin());

    // The count-in is the engine's, for the bar played first.
    std::vector<accompaniment::Note> countIn;
    std::int64_t countInLength = 0;
    if (m_options.countInBars > 0 && index < bars.size()) {
        accompaniment::Options o = m_options;
        o.fromBar = bars[index].bar;
        o.click = false;
        const Performance p = accompaniment::arrange(*m_chart, o);
        if (!p.bars.empty()) {
            countInLength = p.bars.front().start;
            for (const accompaniment::Track& t : p.tracks)
                if (t.instrument == Instrument::Click)
                    for (const accompaniment::Note& n : t.notes)
                        if (n.start < countInLength)
                            countIn.push_back(n);
        }
    }
    m_stream->with([&](Sequencer& s) {
        s.setMix(m_mix);
        s.setLoop(m_loopFirst, m_loopLast);
        s.start(m_schedule, index, countIn, countInLength);
    });
    m_stream->restart();
    m_bar = 0;
    setState(State::Playing);
    m_output->start(m_stream.get());
    m_timer->start();
}

void Player::pause()
{
    if (m_state != State::Playing)
        return;
    m_output->suspend();
    m_timer->stop();
    setState(State::Paused);
}

void Player::resume()
{
    if (m_state != State::Paused)
        return;
    m_output->resume();
    m_timer->start();
    setState(State::Playing);
}

void Player::stop()
{
    m_waitingBar = -1;
    m_output->stop();
    m_timer->stop();
    m_stream->with([](Sequencer& s) { s.stop(); });
    m_marks.clear();
    if (m_bar != 0) {
        m_bar = 0;
        emit barChanged(0);
    }
    setState(State::Stopped);
}

void Player::update()
{
    if (m_state != State::Playing)
        return;
    for (const Sequencer::Mark& m : m_stream->takeMarks())
        m_marks.push_back(m);
    const qint64 heard = m_output->playedFrames();
    while (!m_marks.empty() && m_marks.front().frame <= heard) {
        const Sequencer::Mark mark = m_marks.front();
        m_marks.pop_front();
        if (mark.bar == 0) {
            stop();
            emit finished();
            return;
        }
        m_bar = mark.bar;
        emit barChanged(mark.bar);
    }
}

void Player::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void Player::fail(const QString& message)
{
    stop();
    emit errorOccurred(message);
}

} // namespace mavrel::sound
