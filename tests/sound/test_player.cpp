// The player driven by a fake audio output that pulls the sound when the
// test says so and hears it at once: bars reported in order at their
// times, loops, pause, charts and tempi swapped at the next bar, the mixer
// measured in the samples, and what happens without a device or a
// SoundFont.
#include "sound/player.h"
#include "sound/soundfont.h"
#include "support/chartbuilder.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QIODevice>
#include <QMediaDevices>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>

namespace mavrel::sound {
namespace {

using test::ChartBuilder;

class FakeOutput : public AudioOutput {
public:
    void start(QIODevice* source) override
    {
        m_source = source;
        m_played = 0;
        if (!refusal.isEmpty())
            emit failed(refusal);
    }
    void suspend() override { suspended = true; }
    void resume() override { suspended = false; }
    void stop() override
    {
        m_source = nullptr;
        m_played = 0;
    }
    qint64 playedFrames() const override { return m_played; }

    // The loudness (RMS, full scale 1) of `frames` frames pulled now.
    double pull(qint64 frames)
    {
        std::vector<std::int16_t> samples(static_cast<std::size_t>(2 * frames));
        if (m_source)
            m_source->read(reinterpret_cast<char*>(samples.data()), 4 * frames);
        double sum = 0;
        for (const std::int16_t s : samples)
            sum += double(s) * s;
        m_played += frames;
        return std::sqrt(sum / double(samples.size())) / 32768;
    }

    QString refusal;
    bool suspended = false;

private:
    QIODevice* m_source = nullptr;
    qint64 m_played = 0;
};

// The smallest SoundFont installed, for speed.
QString testSoundFont()
{
    const QString small = QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2");
    return QFileInfo::exists(small) ? small : defaultSoundFont();
}

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (testSoundFont().isEmpty())
            GTEST_SKIP() << "no General MIDI SoundFont installed";
        auto output = std::make_unique<FakeOutput>();
        out = output.get();
        player = std::make_unique<Player>(std::move(output));
        QSignalSpy ready(player.get(), &Player::ready);
        player->setSoundFont(testSoundFont());
        ASSERT_TRUE(ready.wait(20000));
        QObject::connect(player.get(), &Player::barChanged, [this](int bar) {
            if (bar > 0)
                heard.push_back({bar, out->playedFrames()});
        });
    }

    // At 120 quarter notes a minute, a bar of 4/4 lasts two seconds.
    static constexpr qint64 Bar = 2 * SampleRate;
    static constexpr qint64 Block = 1024;

    // Pulls `frames` frames block by block, the player following; the
    // loudness of each block.
    std::vector<double> play(qint64 frames)
    {
        std::vector<double> levels;
        for (qint64 done = 0; done < frames; done += Block) {
            levels.push_back(out->pull(Block));
            player->update();
        }
        return levels;
    }
    std::vector<int> bars() const
    {
        std::vector<int> b;
        for (const auto& [bar, frame] : heard)
            b.push_back(bar);
        return b;
    }
    static double loudest(const std::vector<double>& levels, std::size_t from, std::size_t to)
    {
        double m = 0;
        for (std::size_t i = from; i < std::min(to, levels.size()); ++i)
            m = std::max(m, levels[i]);
        return m;
    }

    FakeOutput* out = nullptr;
    std::unique_ptr<Player> player;
    std::vector<std::pair<int, qint64>> heard;   // bar, the frame at which it was reported
};

TEST_F(PlayerTest, ReportsTheBarsOfTheFormAsTheyAreHeardThenFinishes)
{
    // Bars 1 2 1 2 3 4: a repeat, at 120.
    player->setChart(*ChartBuilder(4, 1).bars({"C", "F", "G7", "C"}).signs(2, 0, 1).style("Swing", 120).build());
    QSignalSpy finished(player.get(), &Player::finished);
    struct Case {
        int from, countIn;
        std::vector<int> bars;
    };
    for (const Case& c : {Case{0, 0, {1, 2, 1, 2, 3, 4}}, Case{3, 1, {3, 4}}}) {
        heard.clear();
        player->setCountIn(c.countIn);
        player->play(c.from);
        EXPECT_EQ(player->state(), Player::State::Playing);
        const std::vector<double> levels = play(Bar * qint64(c.bars.size() + c.countIn + 1));
        EXPECT_EQ(bars(), c.bars);
        for (std::size_t i = 0; i < heard.size(); ++i) {
            // Reported with the block in which it is heard.
            const qint64 at = Bar * qint64(i + c.countIn);
            EXPECT_GE(heard[i].second, at);
            EXPECT_LE(heard[i].second, at + Block);
        }
        // The count-in clicks: sound before the first bar.
        if (c.countIn) {
            EXPECT_GT(loudest(levels, 0, Bar / Block), 0.001);
        }
        EXPECT_EQ(player->state(), Player::State::Stopped);
    }
    EXPECT_EQ(finished.count(), 2);
}

TEST_F(PlayerTest, LoopsPausesAndResumes)
{
    player->setChart(*ChartBuilder(4, 1).bars({"C", "F", "G7", "C"}).style("Swing", 120).build());
    player->setLoop(2, 3);
    player->play();
    play(Bar * 5 + Block);
    EXPECT_EQ(bars(), (std::vector<int>{1, 2, 3, 2, 3, 2}));

    QSignalSpy states(player.get(), &Player::stateChanged);
    player->pause();
    EXPECT_TRUE(out->suspended);
    EXPECT_EQ(player->state(), Player::State::Paused);
    player->update();
    player->resume();
    EXPECT_FALSE(out->suspended);
    player->setLoop(0, 0);
    play(Bar * 3);
    EXPECT_EQ(bars(), (std::vector<int>{1, 2, 3, 2, 3, 2, 3, 4}));
    EXPECT_EQ(states.count(), 3);   // paused, playing, stopped at the end
    player->stop();
}

TEST_F(PlayerTest, ChangesAreHeardFromTheNextBar)
{
    player->setChart(*ChartBuilder(4, 1).bars({"C", "F", "G7", "C"}).style("Swing", 120).build());
    player->play();
    play(Bar / 2);
    // Half-way through bar 1: the tempo halves from bar 2.
    player->setTempo(60);
    play(Bar * 2);
    ASSERT_EQ(bars(), (std::vector<int>{1, 2}));
    EXPECT_LE(heard[1].second - Bar, Block);
    play(Bar * 2);
    ASSERT_EQ(bars(), (std::vector<int>{1, 2, 3}));
    EXPECT_LE(heard[2].second - 3 * Bar, Block);

    // Half-way through bar 3: bar 4 becomes silence for the band, and the
    // drums, the one instrument left under N.C., are muted.
    player->setChart(*ChartBuilder(4, 1).bars({"C", "F", "G7", "N.C."}).style("Swing", 60).build());
    player->setMuted(Instrument::Drums, true);
    const qint64 before = out->playedFrames();
    const std::vector<double> levels = play(Bar * 4 + Block);
    const auto bar4 = static_cast<std::size_t>((5 * Bar - before) / Block);
    EXPECT_GT(loudest(levels, 0, bar4), 0.001);   // the rest of bar 3 sounds
    EXPECT_LT(loudest(levels, bar4 + SampleRate / Block, bar4 + 2 * Bar / Block), 0.0005);
    EXPECT_EQ(bars(), (std::vector<int>{1, 2, 3, 4}));
}

// Each instrument muted, or at volume 0, is silent where it alone plays.
TEST_F(PlayerTest, TheMixerSilencesAnInstrument)
{
    struct Case {
        Instrument instrument;
        bool byVolume;
    };
    for (const Case& c : {Case{Instrument::Drums, false}, Case{Instrument::Bass, false}, Case{Instrument::Piano, true},
                          Case{Instrument::Click, false}}) {
        SCOPED_TRACE(static_cast<int>(c.instrument));
        player->setChart(*ChartBuilder(4, 1).bars({"C7", "F7", "C7", "G7"}).style("Swing", 120).build());
        for (int i = 0; i < InstrumentCount; ++i) {
            const auto other = static_cast<Instrument>(i);
            player->setMuted(other, other != c.instrument);
            player->setVolume(other, 0.8);
        }
        player->play();
        EXPECT_GT(loudest(play(Bar), 0, Bar / Block), 0.001);
        if (c.byVolume)
            player->setVolume(c.instrument, 0);
        else
            player->setMuted(c.instrument, true);
        const std::vector<double> levels = play(Bar);
        // What was sounding dies away within the first half-second.
        EXPECT_LT(loudest(levels, SampleRate / 2 / Block, levels.size()), 0.0005);
        player->stop();
    }
}

TEST(PlayerErrors, NoSoundFontNoDeviceAMessageAndNothingBlocks)
{
    auto output = std::make_unique<FakeOutput>();
    FakeOutput* out = output.get();
    Player player(std::move(output));
    QSignalSpy errors(&player, &Player::errorOccurred);
    player.setSoundFont(QStringLiteral("/nonexistent/piano.sf2"));
    player.play();
    ASSERT_TRUE(errors.wait(10000));
    EXPECT_TRUE(errors.takeFirst().at(0).toString().startsWith(QLatin1String("/nonexistent/piano.sf2 : ")));
    EXPECT_EQ(player.state(), Player::State::Stopped);

    if (testSoundFont().isEmpty())
        return;
    out->refusal = QStringLiteral("Aucune sortie audio");
    player.setSoundFont(testSoundFont());
    player.play();
    ASSERT_TRUE(errors.wait(20000));
    EXPECT_EQ(errors.takeFirst().at(0).toString(), out->refusal);
    EXPECT_EQ(player.state(), Player::State::Stopped);

    // The real device output, on a machine without one, says so.
    if (!QMediaDevices::audioOutputs().isEmpty())
        return;
    Player real;
    QSignalSpy realErrors(&real, &Player::errorOccurred);
    real.setSoundFont(testSoundFont());
    real.play();
    ASSERT_TRUE(realErrors.wait(20000));
    EXPECT_TRUE(realErrors.takeFirst().at(0).toString().startsWith(QLatin1String("Aucune sortie audio")));
}

} // namespace
} // namespace mavrel::sound
