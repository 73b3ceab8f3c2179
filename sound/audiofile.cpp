#include "audiofile.h"

#include "sequencer.h"

#include <FLAC/stream_encoder.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace mavrel::sound {

namespace {

void put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// libFLAC writes into memory: the header it rewrites at the end (the length
// and the checksum of the samples) is found again through seek and tell.
struct FlacBuffer {
    std::vector<std::uint8_t> bytes;
    std::size_t at = 0;
};

FLAC__StreamEncoderWriteStatus writeFlac(const FLAC__StreamEncoder*, const FLAC__byte data[], size_t size,
                                         uint32_t, uint32_t, void* client)
{
    auto& b = *static_cast<FlacBuffer*>(client);
    if (b.at + size > b.bytes.size())
        b.bytes.resize(b.at + size);
    std::memcpy(b.bytes.data() + b.at, data, size);
    b.at += size;
    return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
}

FLAC__StreamEncoderSeekStatus seekFlac(const FLAC__StreamEncoder*, FLAC__uint64 offset, void* client)
{
    auto& b = *static_cast<FlacBuffer*>(client);
    if (offset > b.bytes.size())
        return FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR;
    b.at = static_cast<std::size_t>(offset);
    return FLAC__STREAM_ENCODER_SEEK_STATUS_OK;
}

FLAC__StreamEncoderTellStatus tellFlac(const FLAC__StreamEncoder*, FLAC__uint64* offset, void* client)
{
    *offset = static_cast<const FlacBuffer*>(client)->at;
    return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
}

} // namespace

double durationOf(const accompaniment::Performance& performance)
{
    const int tempo = std::max(1, performance.tempo);
    return double(std::max<std::int64_t>(performance.end, 0)) * 60 / (double(tempo) * accompaniment::TicksPerQuarter);
}

std::vector<std::uint8_t> encodeWav(const std::vector<std::int16_t>& samples)
{
    const auto data = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out;
    out.reserve(44 + data);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    put(out, 36 + data, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(out, 16, 4);
    put(out, 1, 2);                        // PCM
    put(out, 2, 2);                        // stereo
    put(out, SampleRate, 4);
    put(out, SampleRate * 4, 4);           // bytes a second
    put(out, 4, 2);                        // bytes a frame
    put(out, 16, 2);                       // bits a sample
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put(out, data, 4);
    for (const std::int16_t s : samples)
        put(out, static_cast<std::uint16_t>(s), 2);
    return out;
}

std::vector<std::uint8_t> encodeFlac(const std::vector<std::int16_t>& samples)
{
    FLAC__StreamEncoder* encoder = FLAC__stream_encoder_new();
    if (!encoder)
        return {};
    FlacBuffer buffer;
    const std::size_t frames = samples.size() / 2;
    FLAC__stream_encoder_set_channels(encoder, 2);
    FLAC__stream_encoder_set_bits_per_sample(encoder, 16);
    FLAC__stream_encoder_set_sample_rate(encoder, SampleRate);
    FLAC__stream_encoder_set_compression_level(encoder, 5);
    FLAC__stream_encoder_set_total_samples_estimate(encoder, frames);
    bool ok = FLAC__stream_encoder_init_stream(encoder, writeFlac, seekFlac, tellFlac, nullptr, &buffer)
        == FLAC__STREAM_ENCODER_INIT_STATUS_OK;
    // In blocks, widened to the 32-bit samples libFLAC takes.
    std::vector<FLAC__int32> block;
    constexpr std::size_t BlockFrames = 4096;
    for (std::size_t at = 0; ok && at < frames; at += BlockFrames) {
        const std::size_t n = std::min(BlockFrames, frames - at);
        block.assign(samples.begin() + static_cast<std::ptrdiff_t>(2 * at),
                     samples.begin() + static_cast<std::ptrdiff_t>(2 * (at + n)));
        ok = FLAC__stream_encoder_process_interleaved(encoder, block.data(), static_cast<uint32_t>(n));
    }
    ok = FLAC__stream_encoder_finish(encoder) && ok;
    FLAC__stream_encoder_delete(encoder);
    if (!ok)
        return {};
    buffer.bytes.resize(std::max(buffer.at, buffer.bytes.size()));
    return std::move(buffer.bytes);
}

AudioFile renderAudio(const accompaniment::Performance& performance, AudioFormat format, const QString& soundFont)
{
    AudioFile file;
    const double seconds = durationOf(performance);
    if (seconds > MaxAudioMinutes * 60.0) {
        file.error = Message(QT_TRANSLATE_NOOP("Message",
                                               "Morceau trop long pour un fichier audio : %1 minutes (%2 au plus)."),
                             {std::to_string(static_cast<int>(std::ceil(seconds / 60))),
                              std::to_string(MaxAudioMinutes)});
        return file;
    }
    Synthesizer synth(soundFont);
    if (!synth.isValid()) {
        file.error = synth.error();
        file.fromSoundFont = true;
        file.soundFont = synth.soundFont();
        return file;
    }
    Sequencer sequencer(synth);
    const std::shared_ptr<const Schedule> schedule = makeSchedule(performance);
    const auto frames = static_cast<std::size_t>(std::llround(double(performance.end) * schedule->framesPerTick));
    sequencer.start(schedule);
    std::vector<std::int16_t> samples(2 * frames);
    constexpr std::size_t Block = 4096;
    for (std::size_t at = 0; at < frames; at += Block)
        sequencer.render(samples.data() + 2 * at, static_cast<int>(std::min(Block, frames - at)));
    // The last chord is held to the end: a few milliseconds' fade keeps its
    // cut from clicking.
    const std::size_t fade = std::min<std::size_t>(frames, SampleRate / 100);
    for (std::size_t i = 0; i < fade; ++i) {
        const double gain = double(i) / double(fade);
        for (int c = 0; c < 2; ++c) {
            std::int16_t& s = samples[2 * (frames - 1 - i) + c];
            s = static_cast<std::int16_t>(std::lround(s * gain));
        }
    }
    file.bytes = format == AudioFormat::Wav ? encodeWav(samples) : encodeFlac(samples);
    if (file.bytes.empty())
        file.error = Message(QT_TRANSLATE_NOOP("Message", "Mémoire insuffisante pour coder le son."));
    return file;
}

} // namespace mavrel::sound
