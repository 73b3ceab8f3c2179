// The tool bar's chord style and auto size: kept with the chart, one undo
// step each, and the page on screen drawn smoothed with them at every zoom.
#include "support/chartbuilder.h"
#include "test_page_support.h"

#include <QCheckBox>
#include <QComboBox>

namespace mavrel::test {
namespace {

class ChordStyleTest : public PageWindowTest {
protected:
    QComboBox* styleBox() { return window->findChild<QComboBox*>("chordStyleCombo"); }
    QCheckBox* autoBox() { return window->findChild<QCheckBox*>("autoSizeCheck"); }
    void chooseStyle(const QString& name)
    {
        const int i = styleBox()->findText(name);
        ASSERT_GE(i, 0);
        styleBox()->setCurrentIndex(i);
        emit styleBox()->activated(i);
    }
    // Pixels neither white nor black: edges smoothed.
    static int greys(const QImage& image)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y) & 0xFFFFFF;
                n += c != 0 && c != 0xFFFFFF;
            }
        return n;
    }
};

TEST_F(ChordStyleTest, TheToolBarChoosesStyleAndSizeAsUndoableSteps)
{
    const auto built = ChartBuilder().bars({"Bb7 F#m7b5", "C/E"}).build();
    change([&](Chart& c) { c = *built; });
    ASSERT_EQ(styleBox()->currentText(), QStringLiteral("Classique"));
    ASSERT_FALSE(autoBox()->isChecked());
    const int plainGreys = greys(window->editor()->pageImage());

    chooseStyle(QStringLiteral("Jazz"));
    EXPECT_EQ(chart().song.chordStyle, ChordStyle::Jazz);
    QTest::mouseClick(autoBox(), Qt::LeftButton);
    EXPECT_EQ(chart().song.autoSize, 1);
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage()));
    EXPECT_GT(greys(window->editor()->pageImage()), plainGreys) << "smoothed glyphs";

    menu("undoAction");
    EXPECT_EQ(chart().song.autoSize, 0);
    EXPECT_FALSE(autoBox()->isChecked());
    menu("undoAction");
    EXPECT_EQ(chart().song.chordStyle, ChordStyle::Classic);
    EXPECT_EQ(styleBox()->currentText(), QStringLiteral("Classique"));
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage()));
}

} // namespace
} // namespace mavrel::test
