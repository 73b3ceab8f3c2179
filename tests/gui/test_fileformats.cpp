// Every format the program knows, as the command line and the windows take
// them: what each operation writes for a name, and how the formats are named
// to the user.
#include "app/fileformats.h"
#include "files/formatnames.h"

#include <gtest/gtest.h>

namespace mavrel {
namespace {

using Op = FileOperation;

// The pictures beside the chart formats; the chart formats' own cases are
// the document layer's.
TEST(FileFormats, EachOperationTakesTheFormatItsNameAsksFor)
{
    struct Row {
        Op operation;
        const char* name;
        const char* expected;   // short name, empty when refused
    };
    const Row rows[] = {
        {Op::WritePage, "page.PNG", "png"},  {Op::WritePage, "page.pdf", "pdf"},
        {Op::WritePage, "page.svg", "svg"},  {Op::WritePage, "page.jpg", ""},
        {Op::WritePage, "page.bab", ""},     {Op::WritePage, "-", "png"},
        {Op::WriteSheets, "f.png", "png"},   {Op::WriteSheets, "f.Pdf", "pdf"},
        {Op::WriteSheets, "f.svg", ""},      {Op::WriteSheets, "/dev/null", "png"},
        {Op::ExportChart, "-", "musicxml"},  {Op::ExportChart, "a.png", ""},
        {Op::WriteChart, "a.bab", "bab"},    {Op::WriteChart, "a.pdf", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const FileFormat* format = fileFormats().forOutput(r.name, r.operation);
        EXPECT_EQ(format ? format->shortName() : std::string(), r.expected);
    }
}

TEST(FileFormats, AreNamedAsTheUserReadsThem)
{
    const FormatList exports = fileFormats().formats(Op::ExportChart);
    EXPECT_EQ(nameFilters(exports),
              "MusicXML (*.musicxml *.xml);;Grille LilyPond (*.ly);;Lien iReal Pro (*.txt);;"
              "Accompagnement MIDI (*.mid *.midi);;Accompagnement en son WAV (*.wav);;"
              "Accompagnement en son FLAC (*.flac)");
    EXPECT_EQ(formatOfFilter(exports, "Grille LilyPond (*.ly)"), fileFormats().named("lilypond"));
    EXPECT_EQ(formatOfFilter(exports, "Tous les fichiers (*)"), nullptr);
    EXPECT_EQ(nameFilters(fileFormats().formats(Op::ImportCharts)), "Listes iReal Pro (*.html *.htm *.txt)");
    EXPECT_EQ(extensionList(fileFormats().formats(Op::WritePage)), ".png, .pdf ou .svg");
    EXPECT_EQ(extensionList(fileFormats().formats(Op::WriteChart)), ".bab");
    EXPECT_EQ(nameList(exports), "MusicXML, Grille LilyPond, Lien iReal Pro, Accompagnement MIDI, "
                                 "Accompagnement en son WAV ou Accompagnement en son FLAC");
}

} // namespace
} // namespace mavrel
