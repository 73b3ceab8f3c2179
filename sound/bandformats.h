// The band playing a chart, as formats of the registry: its Standard MIDI
// File, and its sound in WAV or FLAC rendered through FluidSynth.
#pragma once

namespace mavrel {

class FormatRegistry;
struct WriteOptions;
namespace accompaniment {
struct Options;
}

void addBandFormats(FormatRegistry& formats);

// How the band plays as the options of the writing ask: their style's name,
// tempo and choruses.
accompaniment::Options bandOptions(const WriteOptions& options);

} // namespace mavrel
