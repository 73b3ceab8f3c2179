// The band's styles: how a chart's style text and meter choose one, their
// names on the command line, and their tempo when the chart gives none.
#pragma once

#include "performance.h"

#include <optional>
#include <string_view>

namespace mavrel::accompaniment {

// The style a song's style text names ("Medium Swing", "Bossa Nova",
// "Jazz Waltz", iReal Pro's names, French ones such as "Valse"), in any
// letter case; a text that names none is swing, or a waltz in three.
Style styleOf(const SongInfo& song);

// The style of a command-line name: "swing", "ballad", "bossa", "latin",
// "pop" or "rock", "funk", "waltz", "shuffle".
std::optional<Style> styleNamed(std::string_view name);
// The command-line name of a style ("pop" for Pop).
std::string_view styleName(Style style);

// Quarter notes a minute for a song that gives no tempo: the style's, made
// slower or faster by the words of its style text ("Slow", "Medium Up",
// "Up Tempo", "Lent", "Rapide").
int defaultTempo(Style style, std::string_view styleText = {});

} // namespace mavrel::accompaniment
