#include "bandformats.h"

#include "audiofile.h"
#include "accompaniment/arranger.h"
#include "accompaniment/midifile.h"
#include "accompaniment/style.h"
#include "document/fileformat.h"

#include <QFile>

namespace mavrel {

accompaniment::Options bandOptions(const WriteOptions& options)
{
    accompaniment::Options band;
    if (const auto style = accompaniment::styleNamed(options.style))
        band.style = static_cast<int>(*style);
    band.tempo = options.tempo;
    band.choruses = options.choruses;
    return band;
}

namespace {

class BandFormat : public FileFormat {
public:
    enum class Kind { Midi, Wav, Flac };

    BandFormat(const char* name, std::string shortName, std::vector<std::string> extensions, Kind kind)
        : FileFormat(name, std::move(shortName), std::move(extensions), {FileOperation::ExportChart}), m_kind(kind)
    {
    }

    bool playsTheBand() const override { return true; }

    FileResult write(const Chart& chart, const WriteOptions& options, const std::string& fileName) const override
    {
        const accompaniment::Performance p = accompaniment::arrange(chart, bandOptions(options));
        std::vector<std::uint8_t> bytes;
        if (m_kind == Kind::Midi) {
            bytes = accompaniment::midiFile(p, chart.song.title.view());
        } else {
            sound::AudioFile file =
                sound::renderAudio(p, m_kind == Kind::Flac ? sound::AudioFormat::Flac : sound::AudioFormat::Wav,
                                   QFile::decodeName(QByteArray::fromStdString(options.soundFont)));
            if (!file.error.empty())
                return FileResult::failure(file.error, file.fromSoundFont ? QFile::encodeName(file.soundFont).toStdString()
                                                                          : fileName);
            bytes = std::move(file.bytes);
        }
        return writeFile(fileName, bytes);
    }

private:
    Kind m_kind;
};

} // namespace

void addBandFormats(FormatRegistry& formats)
{
    using Kind = BandFormat::Kind;
    formats.add(std::make_unique<BandFormat>(QT_TRANSLATE_NOOP("Message", "Accompagnement MIDI"), "midi",
                                             std::vector<std::string>{"mid", "midi"}, Kind::Midi));
    formats.add(std::make_unique<BandFormat>(QT_TRANSLATE_NOOP("Message", "Accompagnement en son WAV"), "wav",
                                             std::vector<std::string>{"wav"}, Kind::Wav));
    formats.add(std::make_unique<BandFormat>(QT_TRANSLATE_NOOP("Message", "Accompagnement en son FLAC"), "flac",
                                             std::vector<std::string>{"flac"}, Kind::Flac));
}

} // namespace mavrel
