// A performance as an audio file, rendered offline through the synthesizer:
// WAV (16-bit stereo, 44.1 kHz) or FLAC of the same sound.
#pragma once

#include "accompaniment/performance.h"
#include "document/message.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace mavrel::sound {

enum class AudioFormat { Wav, Flac };

// However long the form, no audio file holds more: a WAV file of that
// length is a little over 200 MB.
inline constexpr int MaxAudioMinutes = 20;

// The seconds the performance lasts.
double durationOf(const accompaniment::Performance& performance);

struct AudioFile {
    std::vector<std::uint8_t> bytes;   // the whole file
    Message error;                     // when there are no bytes
    bool fromSoundFont = false;        // the error is about the SoundFont, named in soundFont
    QString soundFont;
};

// The file's bytes, encoded in memory; a performance longer than
// MaxAudioMinutes is refused before anything is rendered. An empty
// SoundFont path takes the default one.
AudioFile renderAudio(const accompaniment::Performance& performance, AudioFormat format,
                      const QString& soundFont = {});

// 16-bit stereo frames as a file.
std::vector<std::uint8_t> encodeWav(const std::vector<std::int16_t>& samples);
std::vector<std::uint8_t> encodeFlac(const std::vector<std::int16_t>& samples);

} // namespace mavrel::sound
