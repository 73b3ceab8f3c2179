// The chord dialog, the transpose dialog and the About box, driven through their
// real widgets.
#include "dialogs/aboutdialog.h"
#include "dialogs/chorddialog.h"
#include "dialogs/transposedialog.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace mavrel {
namespace {

Chord chord(int root, const char* quality = "", bool flat = false)
{
    Chord a{};
    a.root = static_cast<std::uint8_t>(root);
    a.quality.assign(quality);
    a.flat = flat ? 1 : 0;
    return a;
}

bool sameBytes(const Bar& a, const Bar& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::unique_ptr<Chart> newChart()
{
    auto chart = std::make_unique<Chart>();
    for (Bar& b : chart->bars) {
        b.division = 1;
        b.shown = 1;
    }
    chart->info.columns = 4;
    chart->info.rows = 8;
    chart->info.count = 32;
    return chart;
}

// --- chord dialog placement ----------------------------------------------------------------

TEST(ChordDialogPosition, OpensBelowUnlessTheCursorIsLow)
{
    struct Row {
        QPoint cursor;
        int mainHeight, dialogHeight;
        QPoint expected;
    };
    const Row rows[] = {
        {{100, 297}, 567, 270, {100, 297}},   // exactly at Hm - Hd: below
        {{100, 298}, 567, 270, {100, 28}},    // one lower: above, bottom at the cursor
        {{40, 10}, 567, 270, {40, 10}},
        // Compared with the window's height, not with its place on the screen.
        {{900, 700}, 567, 270, {900, 430}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(chordDialogPosition(r.cursor, r.mainHeight, r.dialogHeight), r.expected)
            << r.cursor.x() << "," << r.cursor.y();
}

// --- chord dialog --------------------------------------------------------------------------

// The dialog with a chart of its own standing for the window's: what "OK"
// hands over is stored there, as the window stores it.
class ChordDialogTest : public ::testing::Test {
protected:
    std::unique_ptr<Chart> chart = newChart();
    int accepted = 0;
    ChordDialog dialog;

    void SetUp() override
    {
        QObject::connect(&dialog, &ChordDialog::chordAccepted, [this](int bar, int slot, const Chord& c) {
            chart->bar(bar).slot(slot) = c;
            ++accepted;
        });
    }

    QListWidget* roots() { return dialog.findChild<QListWidget*>("rootList"); }
    QListWidget* qualities() { return dialog.findChild<QListWidget*>("qualityList"); }
    QPushButton* ok() { return dialog.findChild<QPushButton*>("okButton"); }
    QPushButton* cancel() { return dialog.findChild<QPushButton*>("cancelButton"); }
    QCheckBox* flat() { return dialog.findChild<QCheckBox*>("flatCheck"); }
    QCheckBox* other() { return dialog.findChild<QCheckBox*>("otherCheck"); }
    QLineEdit* freeText() { return dialog.findChild<QLineEdit*>("freeTextEdit"); }

    // Opens the dialog on a bar as a left press with the chord tool does.
    void open(int bar, int region)
    {
        dialog.showAt(QPoint(200, 100), 567, bar, chart->bar(bar), region);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    void clickRow(QListWidget* list, int row)
    {
        QListWidgetItem* item = list->item(row);
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    }

    static int selectedRow(const QListWidget* list)
    {
        const auto rows = list->selectedItems();
        return rows.isEmpty() ? -1 : list->row(rows.first());
    }

    void typeChar(QWidget* w, char32_t c)
    {
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString::fromUcs4(&c, 1),
                            Qt::NoModifier);
    }
};

TEST_F(ChordDialogTest, FrameControlsAndTabOrder)
{
    EXPECT_EQ(dialog.windowTitle(), "Accords");
    EXPECT_FALSE(dialog.isModal());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_TRUE(dialog.windowFlags() & Qt::CustomizeWindowHint);
    EXPECT_EQ(dialog.size(), QSize(121, 243));

    struct Row {
        const char* name;
        QRect box;
    };
    const Row rows[] = {
        {"rootList", {8, 8, 49, 177}},   {"qualityList", {64, 8, 49, 137}},
        {"okButton", {64, 208, 49, 25}},  {"flatCheck", {8, 184, 49, 17}},
        {"freeTextEdit", {64, 176, 49, 21}},    {"otherCheck", {64, 152, 55, 17}},
        {"cancelButton", {8, 208, 49, 25}},
    };
    for (const Row& r : rows) {
        const QWidget* w = dialog.findChild<QWidget*>(r.name);
        ASSERT_TRUE(w) << r.name;
        EXPECT_EQ(w->geometry(), r.box) << r.name;
    }
    EXPECT_EQ(ok()->text(), "OK");
    EXPECT_EQ(cancel()->text(), "Annuler");
    EXPECT_EQ(flat()->text(), "b/#");
    EXPECT_EQ(other()->text(), "Autre");
    EXPECT_EQ(freeText()->maxLength(), 24);

    const QStringList rootItems = {"%", "C", "C#/Db", "D", "D#/Eb", "E", "F",
                                   "F#/Gb", "G", "G#/Ab", "A", "A#/Bb", "B"};
    ASSERT_EQ(roots()->count(), 13);
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(roots()->item(i)->text(), rootItems[i]);
    const QStringList qualityItems = {"", "m", "7", "M7", "m7", QString(QChar(0xF8)),
                                      "dim", "6", "9", "m6"};
    ASSERT_EQ(qualities()->count(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(qualities()->item(i)->text(), qualityItems[i]);

    // Tab order: the controls in the order the focus chain meets them.
    QStringList order;
    QWidget* w = roots();
    do {
        if (w->focusPolicy() & Qt::TabFocus && w->parentWidget() == &dialog)
            order << w->objectName();
        w = w->nextInFocusChain();
    } while (w != roots());
    EXPECT_EQ(order, QStringList({"rootList", "qualityList", "okButton", "flatCheck", "freeTextEdit",
                                  "otherCheck", "cancelButton"}));
}

TEST_F(ChordDialogTest, TheRegionChoosesTheSlotWhoseChordIsShown)
{
    Bar& bar = chart->bar(6);
    bar.division = 3;   // one slot a region
    for (int s = 1; s <= 4; ++s)
        bar.slot(s) = chord(2 * s);
    for (int r = 1; r <= 4; ++r) {
        dialog.setTarget(6, bar, r);
        EXPECT_EQ(dialog.currentBar(), 6);
        EXPECT_EQ(dialog.chosenSlot(), r);
        EXPECT_EQ(selectedRow(roots()), 2 * r) << "region " << r;
    }
}

TEST_F(ChordDialogTest, OkStoresWhatTheControlsShow)
{
    struct Row {
        const char* name;
        int root, quality;
        bool flat, other;
        const char* text;
        int storedRoot;
        const char* storedQuality;
    };
    const Row rows[] = {
        {"D#m7 in flats", 4, 4, true, false, "", 4, "m7"},
        {"\"%\" drops a list quality", 0, 4, false, false, "", 0, ""},
        {"\"%\" keeps a free text", 0, 0, false, true, "sus4", 0, "sus4"},
        {"empty free text wins over the list", 10, 2, false, true, "", 10, ""},
    };
    Bar& bar = chart->bar(9);
    bar.division = 3;
    bar.slot(1) = chord(1, "m");
    bar.slot(4) = chord(8, "7");
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const Bar before = bar;
        accepted = 0;
        open(9, 3);   // presets from the previous row's chord
        ASSERT_EQ(dialog.chosenSlot(), 3);
        clickRow(roots(), r.root);
        clickRow(qualities(), r.quality);
        if (flat()->isChecked() != r.flat)
            QTest::mouseClick(flat(), Qt::LeftButton);
        if (other()->isChecked() != r.other)
            QTest::mouseClick(other(), Qt::LeftButton);
        freeText()->clear();
        QTest::keyClicks(freeText(), r.text);
        ASSERT_EQ(flat()->isChecked(), r.flat);
        ASSERT_EQ(other()->isChecked(), r.other);
        QTest::mouseClick(ok(), Qt::LeftButton);

        EXPECT_EQ(bar.slot(3).root, r.storedRoot);
        EXPECT_EQ(bar.slot(3).quality.view(), r.storedQuality);
        EXPECT_EQ(bar.slot(3).flat, r.flat ? 1 : 0);
        Bar rest = bar;
        rest.slot(3) = before.slot(3);
        EXPECT_TRUE(sameBytes(rest, before)) << "other slots and fields stay";
        EXPECT_EQ(accepted, 1);
        EXPECT_FALSE(dialog.isVisible());
    }
}

// The last choice wins: a quality picked from the list drops the free text
// the slot was preset with, and typing a free text takes it again.
TEST_F(ChordDialogTest, PickingFromTheListOrTypingChoosesBetweenListAndFreeText)
{
    chart->bar(2).slot(1) = chord(3, "sus4");
    open(2, 1);
    ASSERT_TRUE(other()->isChecked());
    clickRow(roots(), 5);
    clickRow(qualities(), 1);
    EXPECT_FALSE(other()->isChecked());
    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_EQ(chart->bar(2).slot(1).root, 5);
    EXPECT_EQ(chart->bar(2).slot(1).quality.view(), "m");

    open(2, 1);
    ASSERT_FALSE(other()->isChecked());
    QTest::keyClicks(freeText(), "add9");
    EXPECT_TRUE(other()->isChecked());
    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_EQ(chart->bar(2).slot(1).quality.view(), "add9");
}

TEST_F(ChordDialogTest, CancelStoresNothing)
{
    chart->bar(3).slot(1) = chord(7, "9", true);
    const Bar before = chart->bar(3);
    open(3, 1);
    clickRow(roots(), 2);
    clickRow(qualities(), 1);
    QTest::mouseClick(cancel(), Qt::LeftButton);
    EXPECT_TRUE(sameBytes(chart->bar(3), before));
    EXPECT_EQ(accepted, 0);
    EXPECT_FALSE(dialog.isVisible());

    open(3, 1);
    QTest::keyClick(&dialog, Qt::Key_Escape);   // the same as "Annuler"
    EXPECT_TRUE(sameBytes(chart->bar(3), before));
    EXPECT_EQ(accepted, 0);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ChordDialogTest, DivisionOutOfRangeKeepsThePreviousSlot)
{
    chart->bar(1).division = 3;
    dialog.setTarget(1, chart->bar(1), 4);
    ASSERT_EQ(dialog.chosenSlot(), 4);

    chart->bar(7).division = 9;
    chart->bar(7).slot(4) = chord(12);
    open(7, 1);
    EXPECT_EQ(dialog.currentBar(), 7);
    EXPECT_EQ(dialog.chosenSlot(), 4);
    EXPECT_EQ(selectedRow(roots()), 12);
    clickRow(roots(), 3);
    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_EQ(chart->bar(7).slot(4).root, 3);
    EXPECT_EQ(chart->bar(7).slot(1).root, 0);
}

TEST_F(ChordDialogTest, NoSlotEverChosenStoresNothing)
{
    chart->bar(5).division = 0;
    const Bar before = chart->bar(5);
    open(5, 2);
    EXPECT_EQ(dialog.chosenSlot(), 0);
    EXPECT_EQ(selectedRow(roots()), -1);
    clickRow(roots(), 6);
    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_TRUE(sameBytes(chart->bar(5), before));
    EXPECT_EQ(accepted, 0);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ChordDialogTest, RootOutOfRangeIsNeverStored)
{
    chart->bar(5).slot(1) = chord(200, "m");
    const Bar before = chart->bar(5);
    open(5, 1);
    EXPECT_EQ(selectedRow(roots()), -1);
    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_TRUE(sameBytes(chart->bar(5), before));
    EXPECT_EQ(accepted, 0);
}

TEST_F(ChordDialogTest, ReopeningAChordAndPressingOkKeepsIt)
{
    struct Row {
        Chord slot;
        bool flatBefore;
        int root, quality;
        bool other;
        QString text;
        bool flatShown;
    };
    const Row rows[] = {
        {chord(11, "7", true), false, 11, 2, false, "", true},           // "Bb7"
        {chord(2, "\xF8", false), true, 2, 5, false, "", false},          // "C#ø"
        {chord(9, "7b9#11", true), false, 9, 0, true, "7b9#11", true},   // free text
        {chord(0, "", true), false, 0, 0, false, "", false},             // "%": box kept
        {chord(0, "", false), true, 0, 0, false, "", true},
        {chord(0, "N.C.", false), true, 0, 0, true, "N.C.", true},
        {chord(6, "\x80sus", false), false, 6, 0, true, QString(QChar(0x20AC)) + "sus", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text.toStdString() + " root " + std::to_string(r.root));
        chart->bar(12).slot(1) = r.slot;
        const Bar before = chart->bar(12);
        flat()->setChecked(r.flatBefore);
        open(12, 1);
        EXPECT_EQ(selectedRow(roots()), r.root);
        EXPECT_EQ(selectedRow(qualities()), r.quality);
        EXPECT_EQ(other()->isChecked(), r.other);
        EXPECT_EQ(freeText()->text(), r.text);
        EXPECT_EQ(flat()->isChecked(), r.flatShown);
        QTest::mouseClick(ok(), Qt::LeftButton);
        const Chord& after = chart->bar(12).slot(1);
        EXPECT_EQ(after.root, r.slot.root);
        EXPECT_EQ(after.quality.view(), r.slot.quality.view());
        if (r.slot.root != 0) {
            EXPECT_EQ(after.flat, r.slot.flat);
        }
        Bar rest = chart->bar(12);
        rest.slot(1).flat = before.slot(1).flat;
        EXPECT_TRUE(sameBytes(rest, before));
    }
}

TEST_F(ChordDialogTest, UnshowableQualityBytesSurviveAnUneditedOk)
{
    chart->bar(1).slot(1) = chord(3, "a\x81\x01" "b");   // 0x81 has no character; 0x01 is a control
    open(1, 1);
    EXPECT_TRUE(other()->isChecked());
    EXPECT_EQ(freeText()->text(), "ab");
    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_EQ(chart->bar(1).slot(1).quality.view(), "a\x81\x01" "b");

    open(1, 1);
    QTest::keyClicks(freeText(), "c");
    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_EQ(chart->bar(1).slot(1).quality.view(), "abc");
}

TEST_F(ChordDialogTest, FreeTextTakesOnlyWindows1252AndTwentyFourCharacters)
{
    open(1, 1);
    QTest::mouseClick(other(), Qt::LeftButton);
    clickRow(roots(), 1);
    QTest::keyClicks(freeText(), "m");
    typeChar(freeText(), 0x20AC);   // euro sign: byte 0x80
    typeChar(freeText(), 0x0142);   // l with stroke: not in Windows-1252
    typeChar(freeText(), 0x4E2D);
    typeChar(freeText(), 0x1F3B5);  // outside the basic plane
    typeChar(freeText(), 0xE9);
    EXPECT_EQ(freeText()->text(), QString("m") + QChar(0x20AC) + QChar(0xE9));

    QTest::keyClicks(freeText(), "1234567890123456789012345");
    EXPECT_EQ(freeText()->text().size(), 24);
    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_EQ(chart->bar(1).slot(1).quality.view(), "m\x80\xE9" "123456789012345678901");

    // A control character pasted from elsewhere is refused, and the box says why.
    open(1, 1);
    freeText()->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("7\tb9"));
    freeText()->paste();
    EXPECT_EQ(freeText()->text(), "");
    EXPECT_TRUE(QToolTip::text().contains("contrôle")) << QToolTip::text().toStdString();
}

TEST_F(ChordDialogTest, ASecondPressMovesAndRetargetsTheOpenDialog)
{
    chart->bar(2).division = 2;
    dialog.showAt(QPoint(300, 100), 567, 2, chart->bar(2), 4);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.pos(), QPoint(300, 100));
    EXPECT_EQ(dialog.chosenSlot(), 2);

    const int h = dialog.frameGeometry().height();
    dialog.showAt(QPoint(350, 500), 567, 8, chart->bar(8), 4);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.pos(), QPoint(350, 500 - h));
    EXPECT_EQ(dialog.currentBar(), 8);
    EXPECT_EQ(dialog.chosenSlot(), 1);
    clickRow(roots(), 5);
    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_EQ(chart->bar(8).slot(1).root, 5);
    EXPECT_EQ(chart->bar(2).slot(2).root, 0);
}

// --- transpose dialog ----------------------------------------------------------------------------

TEST(TransposeDialog, WindowAndControls)
{
    TransposeDialog form;
    EXPECT_EQ(form.windowTitle(), "Transposeur");
    EXPECT_FALSE(form.isModal());
    EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_EQ(form.size(), QSize(230, 95));

    struct Row {
        const char* name;
        QString text;
        QRect box;
    };
    const Row rows[] = {
        {"upButton", "+1", {16, 16, 33, 33}},
        {"downButton", "-1", {56, 16, 33, 33}},
        {"semitonesLabel", "Demi-tons", {96, 24, 100, 20}},
    };
    for (const Row& r : rows) {
        const QWidget* w = form.findChild<QWidget*>(r.name);
        ASSERT_TRUE(w) << r.name;
        EXPECT_EQ(w->geometry(), r.box) << r.name;
        EXPECT_EQ(w->font().pointSize(), 12) << r.name;
        EXPECT_TRUE(w->font().bold()) << r.name;
        const auto* b = qobject_cast<const QPushButton*>(w);
        EXPECT_EQ(b ? b->text() : qobject_cast<const QLabel*>(w)->text(), r.text);
    }
    QWidget* up = form.findChild<QWidget*>("upButton");
    QWidget* down = form.findChild<QWidget*>("downButton");
    EXPECT_EQ(up->nextInFocusChain(), down);

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.pos(), QPoint(429, 250));
    form.move(100, 120);
    form.hide();
    form.show();
    EXPECT_EQ(form.pos(), QPoint(100, 120));
}

TEST(TransposeDialog, EachPressAsksForOneSemitoneSpelledAsChosen)
{
    TransposeDialog form;
    QList<std::pair<int, Spelling>> asked;
    QObject::connect(&form, &TransposeDialog::transposeRequested,
                     [&](int n, Spelling s) { asked << std::make_pair(n, s); });
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* spelling = form.findChild<QComboBox*>("spellingCombo");
    EXPECT_EQ(spelling->currentText(), "garder");
    QTest::mouseClick(form.findChild<QPushButton*>("upButton"), Qt::LeftButton);
    spelling->setCurrentIndex(spelling->findText("selon la tonalité"));
    QTest::mouseClick(form.findChild<QPushButton*>("downButton"), Qt::LeftButton);
    spelling->setCurrentIndex(spelling->findText("bémols"));
    QTest::mouseClick(form.findChild<QPushButton*>("downButton"), Qt::LeftButton);
    EXPECT_EQ(asked, (QList<std::pair<int, Spelling>>{
                         {1, Spelling::Keep}, {-1, Spelling::Key}, {-1, Spelling::Flats}}));
    EXPECT_TRUE(form.isVisible());
}

// --- About box -----------------------------------------------------------------------------

TEST(About, CaptionTextAndClose)
{
    AboutDialog about;
    EXPECT_EQ(about.windowTitle(), "À propos de Mavrel");
    EXPECT_FALSE(about.isModal());
    const QList<QLabel*> labels = about.findChildren<QLabel*>();
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_EQ(labels.first()->text(), "Mavrel  Version " MAVREL_VERSION);

    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    QTest::mouseClick(about.findChild<QPushButton*>("okButton"), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
}

} // namespace
} // namespace mavrel
