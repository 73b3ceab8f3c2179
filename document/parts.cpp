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

Message partProblem(const Chart& chart, Instrument instrument)
{
    if (instrument == Instrument::Concert)
        return {};
    const Message refused = transposeProblem(chart, instrumentInterval(instrument), Spelling::Key);
    if (refused.empty())
        return {};
    // One sentence per instrument, so that its name is translated with it.
    switch (instrument) {
    case Instrument::BFlat:
        return {QT_TRANSLATE_NOOP("Message", "Pas de partie en Si♭ : à la mesure %1, « %2 » ne tiendrait plus dans "
                                             "la grille avec sa basse transposée (24 caractères après la note)."),
                refused.arguments()};
    case Instrument::EFlat:
        return {QT_TRANSLATE_NOOP("Message", "Pas de partie en Mi♭ : à la mesure %1, « %2 » ne tiendrait plus dans "
                                             "la grille avec sa basse transposée (24 caractères après la note)."),
                refused.arguments()};
    case Instrument::F:
        return {QT_TRANSLATE_NOOP("Message", "Pas de partie en Fa : à la mesure %1, « %2 » ne tiendrait plus dans "
                                             "la grille avec sa basse transposée (24 caractères après la note)."),
                refused.arguments()};
    case Instrument::Concert:
        break;
    }
    return {};
}

Message makePart(Chart& chart, Instrument instrument)
{
    Message refused = partProblem(chart, instrument);
    if (refused.empty() && instrument != Instrument::Concert)
        transpose(chart, instrumentInterval(instrument), Spelling::Key);
    return refused;
}

} // namespace mavrel
