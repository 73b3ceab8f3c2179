#include "parts.h"

#include "editing.h"

namespace mavrel {

std::optional<Instrument> instrumentNamed(std::string_view name)
{
    if (name == "C")
        return Instrument::Concert;
    if (name == "Bb")
        return Instrument::BFlat;
    if (name == "Eb")
        return Instrument::EFlat;
    if (name == "F")
        return Instrument::F;
    return std::nullopt;
}

std::string_view instrumentMark(Instrument instrument)
{
    switch (instrument) {
    case Instrument::BFlat: return "Si\xE2\x99\xAD";
    case Instrument::EFlat: return "Mi\xE2\x99\xAD";
    case Instrument::F: return "Fa";
    case Instrument::Concert: break;
    }
    return "Ut";
}

int instrumentInterval(Instrument instrument)
{
    switch (instrument) {
    case Instrument::BFlat: return 2;
    case Instrument::EFlat: return 9;
    case Instrument::F: return 7;
    case Instrument::Concert: break;
    }
    return 0;
}

Chart partFor(const Chart& chart, Instrument instrument)
{
    Chart part = chart;
    if (instrument != Instrument::Concert)
        transpose(part, instrumentInterval(instrument), Spelling::Key);
    return part;
}

} // namespace mavrel
