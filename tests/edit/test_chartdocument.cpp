// The chart document's history: every kind of edit undone and redone back to
// the same bytes, steps named for the menu, one step per gesture, and the
// document's own files and clean state.
#include "edit/chartdocument.h"
#include "render/page.h"

#include <QTemporaryDir>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace mavrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytes(const Chart& c)
{
    const auto* p = reinterpret_cast<const std::uint8_t*>(&c);
    return Bytes(p, p + sizeof c);
}

Chord chord(int root, const char* quality, bool flat = false)
{
    Chord c{};
    c.root = static_cast<std::uint8_t>(root);
    c.quality.assign(quality);
    c.flat = flat;
    return c;
}

// A document and a page kept the way the main window keeps its page: redrawn
// each time the document says it changed.
class Document : public ::testing::Test {
protected:
    ChartDocument doc;
    Page page;

    void SetUp() override
    {
        QObject::connect(&doc, &ChartDocument::changed, [this] { redraw(); });
        redraw();
    }
    void redraw() { page.draw(doc.chart(), doc.selection(), false); }
    QUndoStack& stack() { return *doc.undoStack(); }
    bool pageIsCurrent()
    {
        Page fresh;
        fresh.draw(doc.chart(), doc.selection(), false);
        return fresh.image() == page.image();
    }
};

// Random edits of every kind on a random chart: each undo gives back the
// bytes the chart had before that step, each redo those after it, and the
// page kept from the document's signals is at every step a fresh drawing.
TEST_F(Document, RandomEditsUndoAndRedoToTheSameBytes)
{
    std::mt19937 random(2024);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    auto start = std::make_unique<Chart>();
    resetChart(*start);
    for (int i = 1; i <= MaxBars; ++i) {
        Bar& b = start->bar(i);
        b.division = static_cast<std::uint8_t>(pick(1, 5));
        for (int s = 1; s <= 4; ++s)
            b.slot(s) = chord(pick(0, 12), pick(0, 1) ? "m7" : "", pick(0, 1));
    }
    doc.setChart(*start);

    static const char* const Qualities[] = {"", "7", "m", "sus4", "\xF8"};
    static const char* const TypedBars[] = {"[A] |: Dm7 G7", "1. C f :| <D.C.>", "3/4 S N.C.", "Q Bb7sus4(b9)"};
    Clipboard clipboard;
    std::vector<Bytes> states{bytes(doc.chart())};
    for (int step = 0; step < 300; ++step) {
        const int bar = pick(1, doc.chart().info.count);
        switch (pick(0, 17)) {
        case 0: doc.setChord(bar, pick(1, 4), chord(pick(0, 12), Qualities[pick(0, 4)], pick(0, 1))); break;
        case 1: doc.cycleDivision(bar); break;
        case 2: doc.toggleShown(bar); break;
        case 3: doc.cycleSign(bar, pick(1, 4)); break;
        case 4: doc.commitLabel("Titre", pick(0, 500), pick(0, 700), pick(6, 30), pick(0, 1)); break;
        case 5:
            doc.commitLabel("Coda", pick(0, 500), pick(0, 700), 12, false,
                            pick(0, doc.chart().info.labelCount));
            break;
        case 6: doc.removeLabel(pick(0, doc.chart().info.labelCount)); break;   // 0: none, nothing removed
        case 7: {
            Selection s;
            for (int k = 0, n = pick(1, 20); k < n; ++k)
                s.entries[s.count++] = static_cast<std::int16_t>(pick(1, doc.chart().info.count));
            doc.setSelection(s);
            if (pick(0, 1))
                doc.copySelectedBars(clipboard);
            else
                doc.clearSelectedBars();
            break;
        }
        case 8: {
            Selection s;
            s.entries[s.count++] = static_cast<std::int16_t>(bar);
            doc.setSelection(s);
            doc.pasteBars(clipboard);
            break;
        }
        case 9: doc.transpose(pick(-13, 13)); break;
        case 10: doc.setGrid(pick(1, 25), pick(1, 20)); break;
        case 11: doc.setChordFontSize(pick(6, 40)); break;
        case 12: doc.setChordBold(pick(0, 1)); break;
        case 13: doc.turnPage(pick(0, 1)); break;
        case 14: doc.setMargin(Margin(pick(0, 2)), pick(0, 300), pick(0, 3)); break;
        case 15: doc.clampMargins(); break;
        case 16: doc.typeBar(bar, readBar(TypedBars[pick(0, 3)])); break;
        default: doc.setBarLine({bar, pick(1, 20)}, ChartDocument::Edge(pick(0, 1)), pick(0, 2)); break;
        }
        ASSERT_TRUE(pageIsCurrent()) << "step " << step;
        // A new step, a step merged into the last, or none.
        states.resize(std::size_t(stack().index()) + 1);
        states.back() = bytes(doc.chart());
    }
    ASSERT_GT(stack().count(), 150);
    while (stack().canUndo()) {
        stack().undo();
        ASSERT_EQ(bytes(doc.chart()), states[std::size_t(stack().index())]) << "undo to " << stack().index();
        ASSERT_TRUE(pageIsCurrent());
    }
    EXPECT_EQ(bytes(doc.chart()), bytes(*start));
    while (stack().canRedo()) {
        stack().redo();
        ASSERT_EQ(bytes(doc.chart()), states[std::size_t(stack().index())]) << "redo to " << stack().index();
    }
    EXPECT_TRUE(pageIsCurrent());
}

TEST_F(Document, EachStepIsNamedForTheMenu)
{
    Selection first;
    first.entries[first.count++] = 1;
    doc.setSelection(first);
    struct Row {
        std::function<void()> edit;
        const char* text;
    };
    const Row rows[] = {
        {[&] { doc.setChord(1, 1, chord(3, "m")); }, "la saisie de l'accord"},
        {[&] { doc.cycleDivision(2); }, "le changement de division"},
        {[&] { doc.toggleShown(2); }, "l'effacement de la case"},
        {[&] { doc.toggleShown(2); }, "le retour de la case"},
        {[&] { doc.cycleSign(2, 1); }, "le changement de barre"},
        {[&] { doc.commitLabel("Titre", 10, 10, 12, true); }, "la saisie du texte"},
        {[&] { doc.commitLabel("Titre", 20, 10, 12, true, 1); }, "la modification du texte"},
        {[&] { doc.removeLabel(1); }, "la suppression du texte"},
        {[&] { doc.transpose(1); }, "la transposition"},
        {[&] { doc.setGrid(5, 8); }, "le changement de grille"},
        {[&] { doc.setChordFontSize(14); }, "la taille des accords"},
        {[&] { doc.setChordBold(false); }, "le gras des accords"},
        {[&] { doc.turnPage(false); }, "la rotation de la page"},
        {[&] { doc.setMargin(Margin::Top, 100, 1); }, "le changement de marge"},
        {[&] { doc.clearSelectedBars(); }, "la suppression des cases"},
        {[&] { doc.typeBar(3, readBar("[A] C")); }, "la saisie de la mesure"},
        {[&] { doc.setBarLine({3, 4}, ChartDocument::Edge::Right, 1); }, "le changement de barre"},
    };
    for (const Row& r : rows) {
        r.edit();
        EXPECT_EQ(stack().undoText().toStdString(), r.text);
    }
}

TEST_F(Document, OneDragIsOneStepAndEditsThatChangeNothingLeaveNone)
{
    const Bytes before = bytes(doc.chart());
    for (int m = 151; m <= 200; ++m)
        doc.setMargin(Margin::Top, m, 7);
    EXPECT_EQ(stack().count(), 1);
    doc.setMargin(Margin::Top, 190, 8);   // another drag
    EXPECT_EQ(stack().count(), 2);
    stack().undo();
    stack().undo();
    EXPECT_EQ(bytes(doc.chart()), before);

    // A drag that comes back where it started leaves no step at all.
    stack().clear();
    doc.setMargin(Margin::Side, 90, 9);
    doc.setMargin(Margin::Side, 70, 9);
    EXPECT_EQ(stack().count(), 0);

    doc.setChord(3, 1, doc.chart().bar(3).slot(1));
    doc.setGrid(4, 8);
    doc.clampMargins();
    doc.transpose(12);
    EXPECT_EQ(stack().count(), 0);
    // Nor does a transposition refused, which says why.
    doc.setChord(3, 1, chord(1, "m7(b9,#11,b13)add9,no5/G"));
    EXPECT_FALSE(doc.transpose(1).empty());
    EXPECT_EQ(stack().count(), 1);
    EXPECT_FALSE(doc.setGrid(25, 21));   // 525 bars
    EXPECT_EQ(doc.chart().info.columns, 4);
}

// Clearing empties the selection; its undo brings the bars and their
// highlight back.
TEST_F(Document, UndoingAClearSelectsTheBarsAgain)
{
    doc.setChord(5, 1, chord(8, "7"));
    Selection s;
    s.entries[s.count++] = 5;
    s.entries[s.count++] = 6;
    doc.setSelection(s);
    doc.clearSelectedBars();
    EXPECT_EQ(doc.selection().count, 0);
    EXPECT_EQ(doc.chart().bar(5).slot(1).root, 0);
    stack().undo();
    EXPECT_EQ(doc.selection().count, 2);
    EXPECT_EQ(doc.chart().bar(5).slot(1).root, 8);
    EXPECT_TRUE(pageIsCurrent());
}

TEST_F(Document, FilesStartAHistoryAndSavingMarksItClean)
{
    QTemporaryDir dir;
    const QByteArray file = QFile::encodeName(dir.filePath("song.bab"));
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.displayName(), "Sans titre");
    doc.setChordBold(false);
    EXPECT_TRUE(doc.isModified());
    ASSERT_TRUE(doc.save(file).ok);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.fileName(), file);
    EXPECT_EQ(doc.displayName(), "song.bab");

    doc.setChordFontSize(20);
    EXPECT_TRUE(doc.isModified());
    stack().undo();
    EXPECT_FALSE(doc.isModified());   // back to what the file holds
    stack().redo();

    const FileResult failed = doc.load(QFile::encodeName(dir.filePath("absent.bab")));
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(doc.chart().info.fontSize, 20);   // nothing of the chart changed
    EXPECT_TRUE(stack().canUndo());

    ASSERT_TRUE(doc.load(file).ok);
    EXPECT_EQ(doc.chart().info.fontSize, 10);
    EXPECT_FALSE(stack().canUndo());
    EXPECT_FALSE(doc.isModified());
    doc.reset();
    EXPECT_TRUE(doc.fileName().isEmpty());
    EXPECT_FALSE(stack().canUndo());
}

} // namespace
} // namespace mavrel
