// FluidSynth with one SoundFont loaded: notes in, 16-bit stereo frames out.
// Not thread-safe: one thread at a time plays and renders.
#pragma once

#include "document/message.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace mavrel::sound {

inline constexpr int SampleRate = 44100;

class Synthesizer {
public:
    // Loads the SoundFont; an empty path takes the default one
    // (soundfont.h). See isValid().
    explicit Synthesizer(const QString& soundFont = {});
    ~Synthesizer();
    Synthesizer(const Synthesizer&) = delete;
    Synthesizer& operator=(const Synthesizer&) = delete;

    // False when no SoundFont is installed or the one named cannot be read:
    // error() says which, soundFont() names the file.
    bool isValid() const { return m_synth != nullptr; }
    const Message& error() const { return m_error; }
    const QString& soundFont() const { return m_soundFont; }

    void noteOn(int channel, int pitch, int velocity);
    void noteOff(int channel, int pitch);
    void controlChange(int channel, int controller, int value);
    // A General MIDI program, 0-based; on a drum channel, the drum kit.
    void programChange(int channel, int program);
    // The channel plays drum kits, as General MIDI's channel 10 does.
    void setDrumChannel(int channel);
    // Every voice of the channel (-1: of every channel) stops at once.
    void silence(int channel = -1);

    // `frames` frames of interleaved left and right samples.
    void render(std::int16_t* samples, int frames);

private:
    QString m_soundFont;
    Message m_error;
    void* m_settings = nullptr;   // fluid_settings_t
    void* m_synth = nullptr;      // fluid_synth_t
};

} // namespace mavrel::sound
