// A performance as a Standard MIDI File (type 1, 480 ticks a quarter note),
// the format every sequencer and notation program reads.
#pragma once

#include "performance.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace mavrel::accompaniment {

// The bytes of the file: first a track of the tempo and the meters (at the
// count-in and wherever a played bar changes meter), named with the title
// when there is one; then a track for each instrument that has notes, and
// for bass, piano and drums even without, each with its name (a meta
// event), its program (a program change) and its notes on its channel.
// Every track ends at the performance's end, with no note left sounding.
std::vector<std::uint8_t> midiFile(const Performance& performance, std::string_view title = {});

} // namespace mavrel::accompaniment
