// "Annuler" and "Rétablir": every kind of edit the window makes, taken back
// and made again through the menu and the shortcuts, gives back the chart's
// bytes, the page's pixels and the controls exactly as they were.
#include "app/spinarrows.h"
#include "dialogs/chorddialog.h"
#include "dialogs/transposedialog.h"
#include "test_page_support.h"

#include <QApplication>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionSlider>

#include <functional>

namespace mavrel::test {
namespace {

class UndoTest : public PageWindowTest {
protected:
    void SetUp() override
    {
        PageWindowTest::SetUp();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    QAction* undoAction() { return window->findChild<QAction*>("undoAction"); }
    QAction* redoAction() { return window->findChild<QAction*>("redoAction"); }

    // Keys go where the user's keys go: to the widget with the focus.
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers)
    {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target ? target : window.get(), k, modifiers);
    }

    template <class T = QWidget>
    T* control(const char* name) { return window->findChild<T*>(name); }

    void step(const char* spinner, bool up)
    {
        auto* s = control<SpinArrows>(spinner);
        QTest::mouseClick(up ? s->upButton() : s->downButton(), Qt::LeftButton);
    }

    // A drag of the slider's handle by `distance` pixels along it, in three moves.
    void dragHandle(const char* name, int distance)
    {
        auto* slider = control<QSlider>(name);
        QStyleOptionSlider o;
        o.initFrom(slider);
        o.orientation = slider->orientation();
        if (o.orientation == Qt::Horizontal)
            o.state |= QStyle::State_Horizontal;
        o.minimum = slider->minimum();
        o.maximum = slider->maximum();
        o.sliderPosition = o.sliderValue = slider->sliderPosition();
        o.upsideDown = (o.orientation == Qt::Vertical) != slider->invertedAppearance();
        const QPoint handle =
            slider->style()->subControlRect(QStyle::CC_Slider, &o, QStyle::SC_SliderHandle, slider).center();
        const QPoint along = o.orientation == Qt::Horizontal ? QPoint(distance, 0) : QPoint(0, distance);
        QTest::mousePress(slider, Qt::LeftButton, {}, handle);
        for (int k = 1; k <= 3; ++k)
            QTest::mouseMove(slider, handle + along * k / 3);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, handle + along);
    }

    // What the user sees of the chart: its bytes, the page, and every control
    // that shows part of it.
    struct State {
        QByteArray chart;
        QImage page;
        QStringList controls;
    };
    State state()
    {
        QStringList c;
        for (const char* name : {"columnsSpin", "rowsSpin"})
            c << QStringLiteral("%1 %2").arg(name).arg(control<SpinArrows>(name)->position());
        for (const char* name : {"columnsBox", "rowsBox"})
            c << QStringLiteral("%1 %2").arg(name, control<QLineEdit>(name)->text());
        c << "size " + sizeBox()->currentText();
        c << QStringLiteral("bold %1").arg(button("boldButton")->isChecked());
        for (const char* name : {"topMarginSlider", "bottomMarginSlider", "sideMarginSlider"}) {
            const auto* s = control<QSlider>(name);
            const QRect r = s->geometry();
            c << QStringLiteral("%1 shown %2 at %3 of %4, %5,%6 %7x%8")
                     .arg(name).arg(s->isVisible()).arg(s->value()).arg(s->maximum())
                     .arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
        }
        return {chartBytes(*window), window->editor()->pageImage().copy(), c};
    }
    void expectState(const State& expected, const std::string& when)
    {
        EXPECT_TRUE(chartBytes(*window) == expected.chart) << when;
        EXPECT_TRUE(sameImage(window->editor()->pageImage(), expected.page)) << when;
        EXPECT_EQ(state().controls, expected.controls) << when;
    }
};

TEST_F(UndoTest, EveryEditIsUndoneAndRedoneThroughTheMenuAndTheShortcuts)
{
    ChordDialog* dialog = window->editor()->chordDialog();
    auto row = [&](int r) {
        clickRow(dialog->findChild<QListWidget*>("rootList"), r);
        QTest::mouseClick(dialog->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    };
    auto typeInBox = [&](const char* text) {
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    };
    auto select = [&](QPoint from, QPoint to) {
        lasso();
        drag(from, to);
    };
    // Bars 6 and 7, whose centres lie at (228, 257) and (333, 257).
    const QPoint around6and7[] = {{200, 230}, {360, 280}};

    struct Step {
        const char* what;
        const char* caption;
        std::function<void()> setUp;   // nothing of the history
        std::function<void()> edit;
    };
    const Step steps[] = {
        {"chord", "la saisie de l'accord", [&] { chordTool(); }, [&] { press(leftOf(6)); row(3); }},
        {"division", "le changement de division", {}, [&] { press(centreOf(6), Qt::RightButton); }},
        {"eraser", "l'effacement de la case", [&] { eraser(); }, [&] { press(centreOf(7)); }},
        {"bar line", "le changement de barre", [&] { barLineTool(); }, [&] { press(leftOf(8)); }},
        {"label typed", "la saisie du texte", [&] { textTool(); },
         [&] { press({300, 60}); typeInBox("Titre"); }},
        {"label moved", "la modification du texte", {},
         [&] { press({301, 61}); press({350, 100}); typeInBox(" 2"); }},
        {"label emptied", "la suppression du texte", {},
         [&] {
             press({351, 101});
             edit->selectAll();
             QTest::keyClick(edit, Qt::Key_Backspace);
             QTest::keyClick(edit, Qt::Key_Return);
         }},
        {"paste", "le collage",
         [&] {
             select(around6and7[0], around6and7[1]);
             menu("copyAction");
             drag(centreOf(9), centreOf(9));
         },
         [&] { menu("pasteAction"); }},
        {"clear", "la suppression des cases", [&] { select(around6and7[0], around6and7[1]); },
         [&] { menu("deleteAction"); }},
        {"transposition", "la transposition", [&] { menu("transposeAction"); },
         [&] { window->transposeDialog()->findChild<QPushButton*>("upButton")->click(); }},
        {"columns", "le changement de grille", {}, [&] { step("columnsSpin", true); }},
        {"rows", "le changement de grille", {}, [&] { step("rowsSpin", false); }},
        {"chord size", "la taille des accords", [&] { chordTool(); }, [&] { chooseSize("14"); }},
        {"chord weight", "le gras des accords", {}, [&] { useTool("boldButton"); }},
        {"orientation", "la rotation de la page", {},
         [&] { QTest::mouseClick(control<QPushButton>("turnButton"), Qt::LeftButton); }},
        {"top margin", "le changement de marge", [&] { useTool("pageLayoutButton"); },
         [&] { dragHandle("topMarginSlider", 30); }},
        {"bottom margin", "le changement de marge", {}, [&] { dragHandle("bottomMarginSlider", -30); }},
        {"side margin", "le changement de marge", {}, [&] { dragHandle("sideMarginSlider", 40); }},
    };

    struct Way {
        const char* name;
        std::function<void()> undo, redo;
    };
    const Way ways[] = {
        {"menu", [&] { undoAction()->trigger(); }, [&] { redoAction()->trigger(); }},
        {"Ctrl+Z, Ctrl+Shift+Z", [&] { key(Qt::Key_Z, Qt::ControlModifier); },
         [&] { key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }},
        {"Ctrl+Z, Ctrl+Y", [&] { key(Qt::Key_Z, Qt::ControlModifier); }, [&] { key(Qt::Key_Y, Qt::ControlModifier); }},
    };

    std::vector<QByteArray> before, after;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        if (s.setUp)
            s.setUp();
        const State was = state();
        s.edit();
        const State is = state();
        ASSERT_FALSE(is.chart == was.chart) << "the edit changed nothing";
        EXPECT_EQ(undoAction()->text(), QStringLiteral("&Annuler %1").arg(s.caption));
        EXPECT_TRUE(undoAction()->isEnabled());
        EXPECT_FALSE(redoAction()->isEnabled());
        for (const Way& way : ways) {
            way.undo();
            expectState(was, std::string("undone by ") + way.name);
            EXPECT_EQ(redoAction()->text(), QStringLiteral("&Rétablir %1").arg(s.caption));
            EXPECT_TRUE(redoAction()->isEnabled());
            way.redo();
            expectState(is, std::string("redone by ") + way.name);
            EXPECT_FALSE(redoAction()->isEnabled());
        }
        before.push_back(was.chart);
        after.push_back(is.chart);
    }

    // The whole sequence back to the new chart and forward again, one step at
    // a time; the page is always the chart's.
    useTool("pageLayoutButton");
    for (std::size_t k = before.size(); k-- > 0;) {
        undoAction()->trigger();
        ASSERT_TRUE(chartBytes(*window) == before[k]) << steps[k].what;
        ASSERT_TRUE(sameImage(window->editor()->pageImage(), expectedPage())) << steps[k].what;
    }
    EXPECT_FALSE(undoAction()->isEnabled());
    EXPECT_EQ(undoAction()->text(), "&Annuler");
    for (std::size_t k = 0; k < after.size(); ++k) {
        key(Qt::Key_Y, Qt::ControlModifier);
        ASSERT_TRUE(chartBytes(*window) == after[k]) << steps[k].what;
        ASSERT_TRUE(sameImage(window->editor()->pageImage(), expectedPage())) << steps[k].what;
    }
    EXPECT_FALSE(redoAction()->isEnabled());
    EXPECT_EQ(redoAction()->text(), "&Rétablir");
}

// The box's label may be changed or gone once the history moves: the box
// closes, and the label stays as the chart has it.
TEST_F(UndoTest, UndoAndRedoCloseTheTextBoxAndLeaveItsLabel)
{
    textTool();
    for (const auto& [at, text] : {std::pair{QPoint(100, 50), "A"}, std::pair{QPoint(100, 200), "B"}}) {
        press(at);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    press({101, 51});
    QTest::keyClicks(edit, "2");
    ASSERT_EQ(edit->text(), "A2");

    menu("undoAction");
    EXPECT_FALSE(edit->isVisible());
    EXPECT_TRUE(edit->text().isEmpty());
    ASSERT_EQ(chart().info.labelCount, 1);
    EXPECT_EQ(chart().label(1).text.str(), "A");
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage())) << "drawn again";

    press({101, 51});
    menu("redoAction");
    EXPECT_FALSE(edit->isVisible());
    ASSERT_EQ(chart().info.labelCount, 2);
    EXPECT_EQ(chart().label(1).text.str(), "A");
    EXPECT_TRUE(sameImage(window->editor()->pageImage(), expectedPage()));
}

} // namespace
} // namespace mavrel::test
