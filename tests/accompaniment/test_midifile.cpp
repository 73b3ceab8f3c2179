// MIDI files of performances, read back by the readers musicians' programs
// use: mido (python3-mido) note by note, and MMA's file of the same chart
// for its length. Skipped where they are not installed.
#include "accompaniment/arranger.h"
#include "accompaniment/midifile.h"
#include "document/editing.h"
#include "support/chartbuilder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

namespace mavrel::accompaniment {
namespace {

using test::ChartBuilder;
namespace fs = std::filesystem;

// A Python that has mido, or empty.
std::string python()
{
    for (const char* candidate : {"python3", "/usr/bin/python3"})
        if (std::system((std::string(candidate) + " -c 'import mido' >/dev/null 2>&1").c_str()) == 0)
            return candidate;
    return {};
}

class MidiFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path() / ("mavrel-midi-" + std::to_string(getpid()));
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        const fs::path path = m_folder / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                     static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }
    // The report of tests/accompaniment/midi_report.py, line by line.
    std::vector<std::string> report(const std::string& python, const std::string& midi)
    {
        const fs::path out = m_folder / "report.txt";
        const std::string command = python + " " MAVREL_SOURCE_DIR "/tests/accompaniment/midi_report.py '" + midi
            + "' > '" + out.string() + "' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0);
        std::ifstream in(out);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    double length(const std::vector<std::string>& lines)
    {
        for (const std::string& line : lines)
            if (line.starts_with("length "))
                return std::stod(line.substr(7));
        return -1;
    }

    fs::path m_folder;
};

TEST_F(MidiFileTest, MidoReadsEveryNoteTempoAndMeter)
{
    const std::string py = python();
    if (py.empty())
        GTEST_SKIP() << "python3-mido is not installed";
    // A repeat, a bar of 3/4 back to 4/4, N.C., a slash bass.
    const auto chart = ChartBuilder(4, 2)
                           .bars({"Dm7 G7", "CM7", "Am7b5 D7b9", "G7/B", "Cm", "N.C.", "F7 Bb7", "C"})
                           .signs(2, 1, 0)
                           .signs(4, 0, 1)
                           .meter(5, 3, 4)
                           .meter(6, 4, 4)
                           .style("Medium Swing", 160)
                           .build();
    for (const int countIn : {0, 1}) {
        Options o;
        o.countInBars = countIn;
        const Performance p = arrange(*chart, o);
        const std::vector<std::string> lines = report(py, write("song.mid", midiFile(p, "Titre")));

        // Bars 1 2 3 4 2 3 4 5 6 7 8, one of them in 3/4, at 160 quarters a
        // minute, after the count-in bar.
        const double quarters = countIn * 4 + 10 * 4 + 3;
        EXPECT_NEAR(length(lines), quarters * 60 / 160, 1e-3);

        std::vector<std::string> expected = {"format 1 480", "track Titre", "tempo 0 375000", "time 0 4 4"};
        const int bar5 = (countIn + 7) * 1920;
        expected.push_back("time " + std::to_string(bar5) + " 3 4");
        expected.push_back("time " + std::to_string(bar5 + 1440) + " 4 4");
        std::vector<std::tuple<std::int64_t, std::int64_t, int, int, int>> notes, read;
        for (const Track& t : p.tracks) {
            if (t.notes.empty() && t.instrument == Instrument::Click)
                continue;
            expected.push_back("track " + t.name);
            expected.push_back("program " + std::to_string(t.channel) + " " + std::to_string(t.program));
            expected.push_back("hanging 0");
            expected.push_back("end " + std::to_string(p.end));
            for (const Note& n : t.notes)
                notes.emplace_back(n.start, n.start + n.length, t.channel, n.pitch, n.velocity);
        }
        for (const std::string& line : lines) {
            std::istringstream in(line);
            std::string word;
            in >> word;
            if (word == "note") {
                std::int64_t start, end;
                int channel, pitch, velocity;
                in >> start >> end >> channel >> pitch >> velocity;
                read.emplace_back(start, end, channel, pitch, velocity);
            } else if (word != "length") {
                EXPECT_NE(std::find(expected.begin(), expected.end(), line), expected.end()) << line;
            }
        }
        for (const std::string& line : expected)
            EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
        std::sort(notes.begin(), notes.end());
        std::sort(read.begin(), read.end());
        EXPECT_EQ(read, notes);
        EXPECT_TRUE(std::any_of(read.begin(), read.end(), [](const auto& n) { return std::get<2>(n) == 9; }));
    }
}

// MMA plays the same chart, written in its own language, at the same tempo:
// the two files end within a beat of each other.
TEST_F(MidiFileTest, EndsWithMmaOfTheSameChart)
{
    const std::string py = python();
    if (py.empty() || std::system("command -v mma >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3-mido or MMA is not installed";
    struct Case {
        const char* style;
        const char* groove;
        int beats;
    };
    const Case cases[] = {{"Swing", "Swing", 4}, {"Bossa Nova", "BossaNova", 4}, {"Jazz Waltz", "JazzWaltz", 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        // A blues with its last four bars repeated.
        const auto chart = ChartBuilder(4, 3)
                               .bars({"C7", "F7", "C7", "Gm7 C7", "F7", "F#dim7", "C7", "A7", "Dm7", "G7", "C7 A7",
                                      "Dm7 G7"})
                               .signs(9, 1, 0)
                               .signs(12, 0, 1)
                               .style(c.style, 150)
                               .meter(0, c.beats, 4)
                               .build();
        const Performance p = arrange(*chart);
        const std::string ours = write("ours.mid", midiFile(p));

        // MMA's chord lines: a chord on the beat it starts, "/" while it lasts.
        std::string mma = "Tempo 150\nTime " + std::to_string(c.beats) + "\nGroove " + c.groove + "\n";
        int line = 1;
        for (const PlayedBar& bar : p.bars) {
            mma += std::to_string(line++);
            for (int beat = 0; beat < bar.meter.beats; ++beat) {
                std::string symbol = "/";
                for (const PlayedChord& chord : p.chords)
                    if (chord.start == bar.start + beat * TicksPerQuarter)
                        symbol = chordText(chart->bar(chord.bar).slot(chord.slot));
                mma += " " + symbol;
            }
            mma += "\n";
        }
        const std::string theirs = (m_folder / "theirs.mid").string();
        const std::string source = (m_folder / "chart.mma").string();
        std::ofstream(source) << mma;
        ASSERT_EQ(std::system(("mma '" + source + "' -f '" + theirs + "' >/dev/null 2>&1").c_str()), 0) << mma;
        EXPECT_EQ(p.bars.size(), 16u);
        EXPECT_NEAR(length(report(py, ours)), length(report(py, theirs)), 60.0 / 150);
    }
}

} // namespace
} // namespace mavrel::accompaniment
