// The extension of a chart file: what a chart holds beyond the records that
// chart files have always carried (the song information, and the qualities
// longer than a chord record's 8 characters), after the last label, where
// earlier versions never read. Self-describing and versioned:
//
//   "MAVREL"     6 bytes
//   version      uint16, this writer's (1)
//   readable     uint16, the oldest version that can read it (1)
//   length       uint32, the bytes of the chunks that follow
//   chunks       each a 4-letter tag, a uint32 length and that many bytes
//   checksum     uint32, the CRC-32 of everything before it
//
// Chunks (integers little-endian, texts a length byte and UTF-8, qualities
// a length byte and Windows-1252):
//   "SONG"  tempo u16, meter beats u8 and unit u8, key tonic u8, flat u8 and
//           minor u8, chord style u8, auto size u8, title, composer, style
//   "MARK"  count u16, then for each bar that has marks: bar u16, meter
//           beats u8 and unit u8, ending u8, flags u8, direction u8, section
//   "QUAL"  count u16, then for each quality longer than a record holds:
//           bar u16, slot u8, quality
// A tag in capitals must be understood; a reader skips a chunk whose tag
// starts with a small letter that it does not know, and says so.
#pragma once

#include "chart.h"
#include "message.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace mavrel {

inline constexpr std::uint16_t ExtensionVersion = 1;
// No extension is longer: the song, a mark for every bar, a long quality in
// every slot, and their bookkeeping.
inline constexpr std::size_t MaxExtensionSize =
    18 + 8 + (9 + 3 + 127 + 127 + 63) + 8 + 2 + MaxBars * (7 + 1 + 15) + 8 + 2 + MaxBars * 4 * (4 + MaxQualityLength);

// The extension for the chart's laid-out bars, or nothing when the chart
// has no song information and no long quality: such a chart is written as
// chart files always were.
std::vector<std::uint8_t> encodeExtension(const Chart& chart);

// Reads an extension from the bytes that follow a chart file's labels into
// the song information and the qualities of the chart's laid-out bars. Bytes
// that do not start as an extension are no extension (they change nothing).
// One that is damaged, cut short or written by a later version changes
// nothing either, and the message says what was set aside.
Message decodeExtension(std::span<const std::uint8_t> bytes, Chart& chart);

// Makes the checksum of an extension (from its first byte) right again, its
// length as the extension says, so that tests and the fuzzer reach the
// chunks behind it. False when the bytes are no extension or too short.
bool signExtension(std::vector<std::uint8_t>& extension);

} // namespace mavrel
