// The main window's tool bar, driven through its real widgets: start-up
// state, tools, sizes and weight, the grid spinners, the page's orientation
// and page-layout mode with its margin track bars.
#include "test_mainwindow_support.h"

#include "dialogs/aboutdialog.h"
#include "dialogs/chorddialog.h"
#include "dialogs/transposedialog.h"

#include <QScreen>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

namespace mavrel::mainwindow_test {
namespace {

bool isDark(QRgb c) { return qGray(c) < 128; }

bool darkOnRow(const QImage& img, int y, int x0, int x1)
{
    for (int x = x0; x <= x1; ++x)
        if (isDark(img.pixel(x, y)))
            return true;
    return false;
}

bool darkOnColumn(const QImage& img, int x, int y0, int y1)
{
    for (int y = y0; y <= y1; ++y)
        if (isDark(img.pixel(x, y)))
            return true;
    return false;
}

// The four dash-dot guides of page-layout mode, looked for where no bar is:
// along the top and bottom guides left of the grid, along the side guides
// above it.
struct Guides {
    bool top, bottom, left, right;
};
Guides guidesOn(const QImage& img, const GridInfo& g)
{
    const int pw = img.width(), ph = img.height();
    // Column 0 and row 0 hold the page's own frame.
    return {darkOnRow(img, g.topMargin - 1, 1, g.sideMargin - 3),
            darkOnRow(img, ph - g.bottomMargin + 1, 1, g.sideMargin - 3),
            darkOnColumn(img, g.sideMargin - 1, 1, g.topMargin - 3),
            darkOnColumn(img, pw - g.sideMargin + 1, 1, g.topMargin - 3)};
}

// --- start-up -------------------------------------------------------------------------

TEST_F(MainWindowTest, StartsOnANewChartWithEveryControlInItsPlace)
{
    EXPECT_EQ(w->windowTitle(), "Sans titre[*] - Mavrel");
    EXPECT_FALSE(w->isWindowModified());
    // As large as the page needs, within the screen, never below its first
    // size, which holds the whole tool bar.
    QWidget* bar = child("toolBar");
    const int firstWidth = std::max(900, bar->sizeHint().width());
    const QRect screen = w->screen()->availableGeometry();
    EXPECT_GE(w->width(), firstWidth);
    EXPECT_GT(w->height(), 567);
    EXPECT_TRUE(screen.contains(w->geometry()) || w->width() == firstWidth)
        << w->geometry().x() << "," << w->geometry().y();

    // The tool bar spans the window; its controls keep their sizes and their
    // order from left to right, each whole inside the bar.
    EXPECT_EQ(bar->height(), 34);
    EXPECT_EQ(bar->width(), w->width());
    struct Row {
        const char* name;
        QSize size;
        const char* hint;
    };
    const char* across = "Nombre de cases en largeur";
    const char* down = "Nombre de cases en hauteur";
    const Row rows[] = {
        {"turnButton", {33, 31}, "Pour passer du format horizontal au format vertical"},
        {"columnsLabel", {}, nullptr},
        {"columnsBox", {25, 21}, across},
        {"columnsSpin", {15, 21}, across},
        {"rowsLabel", {}, nullptr},
        {"rowsBox", {25, 21}, down},
        {"rowsSpin", {15, 21}, down},
        {"chordToolButton", {33, 28},
         "Outils pour entrer les accords\nClic droit = divisions\nClic gauche = accords (A)"},
        {"eraserToolButton", {33, 28}, "Pour gommer une case (E)"},
        {"barLineToolButton", {33, 28}, "Pour mettre des doubles barres ou des barres de reprise (B)"},
        {"lassoToolButton", {33, 28}, "Lasso : sélection pour le copier-coller (L)"},
        {"textToolButton", {33, 28}, "Pour mettre du texte (T)"},
        {"sizeLabel", {}, nullptr},
        {"sizeCombo", {41, 21}, "Taille d'écriture, accord ou texte"},
        {"boldButton", {25, 20}, "Pour mettre en gras"},
        {"pageLayoutButton", {33, 32}, "Pour la mise en page"},
        {"zoomCombo", {72, 21}, "Zoom (Ctrl et la molette)"},
        {"chordStyleCombo", {82, 21}, "Écriture des accords : texte simple, ou comme sur un recueil de jazz"},
        {"autoSizeCheck", {}, nullptr},
    };
    int right = 0;
    for (const Row& r : rows) {
        QWidget* c = child(r.name);
        ASSERT_TRUE(c);
        EXPECT_TRUE(c->isVisible()) << r.name;
        const QRect box(c->mapTo(bar, QPoint(0, 0)), c->size());
        EXPECT_GE(box.left(), right) << r.name << " follows the one before";
        EXPECT_TRUE(bar->rect().contains(box)) << r.name;
        right = box.right() + 1;
        if (!r.size.isValid())
            continue;
        EXPECT_EQ(c->size(), r.size) << r.name;
        EXPECT_EQ(c->toolTip(), QString::fromUtf8(r.hint)) << r.name;
    }
    EXPECT_LE(child("zoomCombo")->mapTo(bar, QPoint(0, 0)).x(), 740) << "the bar keeps its span";
    for (const auto& [name, text] : {std::pair{"columnsLabel", "Cases &L"}, {"rowsLabel", "&H"}, {"sizeLabel", "&Taille :"}}) {
        auto* l = child<QLabel>(name);
        EXPECT_EQ(l->text(), QString::fromUtf8(text)) << name;
        EXPECT_TRUE(l->font().bold()) << name;
    }

    // Pictures: the drawn ones are dark on a light (clear) ground.
    for (const char* name : {"turnButton", "chordToolButton", "eraserToolButton", "barLineToolButton", "lassoToolButton",
                             "pageLayoutButton"}) {
        const QImage pic = child<QAbstractButton>(name)->icon().pixmap(QSize(20, 18)).toImage();
        ASSERT_FALSE(pic.isNull()) << name;
        int dark = 0;
        for (int y = 0; y < pic.height(); ++y)
            for (int x = 0; x < pic.width(); ++x)
                if (qAlpha(pic.pixel(x, y)) > 128 && isDark(pic.pixel(x, y)))
                    ++dark;
        EXPECT_GT(dark, 10) << name;
        EXPECT_LT(dark, pic.width() * pic.height() / 2) << name;
    }
    for (const char* name : {"textToolButton", "boldButton"}) {
        EXPECT_TRUE(button(name)->font().bold()) << name;
        EXPECT_EQ(button(name)->font().pointSize(), 10) << name;
    }
    EXPECT_EQ(button("textToolButton")->text(), "T");
    EXPECT_EQ(button("boldButton")->text(), "G");

    // The state New leaves.
    EXPECT_TRUE(button("chordToolButton")->isChecked());
    for (const char* name : {"eraserToolButton", "barLineToolButton", "lassoToolButton", "textToolButton", "pageLayoutButton"})
        EXPECT_FALSE(button(name)->isChecked()) << name;
    EXPECT_EQ(w->editor()->tool(), Tool::Chord);
    QStringList sizes;
    for (int i = 0; i < combo()->count(); ++i)
        sizes << combo()->itemText(i);
    EXPECT_EQ(sizes.join(' '), "8 9 10 11 12 14 16 18 20 22 24 26 28 36 48 72");
    EXPECT_EQ(combo()->currentText(), "10");
    EXPECT_TRUE(combo()->isEditable());
    EXPECT_TRUE(button("boldButton")->isChecked());
    EXPECT_EQ(spinner("columnsSpin")->position(), 4);
    EXPECT_EQ(spinner("rowsSpin")->position(), 8);
    EXPECT_EQ(child<QLineEdit>("columnsBox")->text(), "4");
    EXPECT_EQ(child<QLineEdit>("rowsBox")->text(), "8");
    EXPECT_EQ(w->chart().info.count, 32);
    EXPECT_TRUE(w->document().fileName().isEmpty());
    EXPECT_FALSE(action("undoAction")->isEnabled());
    EXPECT_FALSE(action("redoAction")->isEnabled());

    // The scroll box: the page is taller than the window and scrolls.
    EXPECT_GT(child<QScrollArea>("scrollArea")->verticalScrollBar()->maximum(), 0);
    QWidget* image = child("pageView");
    EXPECT_EQ(image->geometry(), QRect(25, 25, 565, 800));
    EXPECT_EQ(w->editor()->pageImage().size(), QSize(565, 800));
    EXPECT_TRUE(image->isVisible());
    EXPECT_EQ(edit1()->geometry(), QRect(216, 152, 25, 21));
    EXPECT_TRUE(edit1()->isHidden());
    EXPECT_EQ(w->editor()->labels()->fontSize(), 8);
    EXPECT_FALSE(edit1()->font().bold());
    for (const char* name : {"topMarginSlider", "bottomMarginSlider", "sideMarginSlider"}) {
        QSlider* t = track(name);
        EXPECT_TRUE(t->isHidden()) << name;
        EXPECT_EQ(t->tickPosition(), QSlider::NoTicks) << name;
        EXPECT_FALSE(t->focusPolicy() & Qt::TabFocus) << name;
    }
    EXPECT_EQ(track("topMarginSlider")->orientation(), Qt::Vertical);
    EXPECT_EQ(track("bottomMarginSlider")->orientation(), Qt::Vertical);
    EXPECT_EQ(track("sideMarginSlider")->orientation(), Qt::Horizontal);

    // The secondary windows: created, separate, hidden.
    for (QWidget* win : std::initializer_list<QWidget*>{w->editor()->chordDialog(), w->transposeDialog(), w->about()}) {
        ASSERT_TRUE(win);
        EXPECT_TRUE(win->isWindow()) << win->objectName().toStdString();
        EXPECT_FALSE(win->isVisible()) << win->objectName().toStdString();
    }
    EXPECT_EQ(w->about()->windowTitle(), "À propos de Mavrel");
#if __has_include("print/printpreview.h")
    ASSERT_TRUE(w->printPreview());
    EXPECT_TRUE(reinterpret_cast<QWidget*>(w->printPreview())->isWindow());
    EXPECT_FALSE(reinterpret_cast<QWidget*>(w->printPreview())->isVisible());
#endif
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MainWindowTest, MenuCaptionsAndShortcuts)
{
    using Keys = QList<QKeySequence>;
    struct Item {
        const char* name;
        const char* caption;
        Keys shortcuts;
    };
    struct Menu {
        const char* title;
        std::vector<Item> items;
    };
    Keys zoomIn = QKeySequence::keyBindings(QKeySequence::ZoomIn);
    for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)})
        if (!zoomIn.contains(key))
            zoomIn << key;
    const Menu menus[] = {
        {"&Fichier",
         {{"newAction", "&Nouveau", {QKeySequence(Qt::CTRL | Qt::Key_N)}},
          {"openAction", "&Ouvrir", {QKeySequence(Qt::CTRL | Qt::Key_O)}},
          {"recentFilesAction", "Fichiers &récents", {}},
          {"libraryAction", "&Bibliothèque", {QKeySequence(Qt::CTRL | Qt::Key_L)}},
          {"newSetListAction", "Nouvelle &liste de morceaux", {}},
          {"saveAction", "&Enregistrer", {QKeySequence(Qt::CTRL | Qt::Key_S)}},
          {"saveAsAction", "Enregistrer &sous…", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}},
          {"importAction", "&Importer…", {}},
          {"exportAction", "E&xporter…", {}},
          {"printAction", "Im&pression", {QKeySequence(Qt::CTRL | Qt::Key_P)}}}},
        {"É&dition",
         {{"undoAction", "&Annuler", {QKeySequence(Qt::CTRL | Qt::Key_Z)}},
          {"redoAction", "&Rétablir",
           {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}},
          {"copyAction", "&Copier", {QKeySequence(Qt::CTRL | Qt::Key_C)}},
          {"pasteAction", "C&oller", {QKeySequence(Qt::CTRL | Qt::Key_V)}},
          {"deleteAction", "&Supprimer", {QKeySequence(Qt::Key_Delete)}},
          {"chordEntryAction", "Saisie au c&lavier", {QKeySequence(Qt::CTRL | Qt::Key_E)}}}},
        {"&Affichage",
         {{"zoomInAction", "Zoom &avant", zoomIn},
          {"zoomOutAction", "Zoom a&rrière", QKeySequence::keyBindings(QKeySequence::ZoomOut)},
          {"actualSizeAction", "&Taille réelle", {QKeySequence(Qt::CTRL | Qt::Key_0)}},
          {"preferencesAction", "&Préférences…", {}}}},
        {"&Mesure",
         {{"barsAction", "Mesure 1", {}},
          {"sectionMenuAction", "&Section", {}},
          {"endingMenuAction", "&Fin de reprise", {}},
          {"segnoAction", "Se&gno", {}},
          {"codaAction", "Signe de &coda", {}},
          {"fermataAction", "&Point d'orgue", {}},
          {"directionMenuAction", "&Indication", {}},
          {"meterMenuAction", "C&hiffrage", {}},
          {"leftBarLineMenuAction", "&Barre de gauche", {}},
          {"rightBarLineMenuAction", "Barre de &droite", {}}}},
        {"F&onctions", {{"transposeAction", "&Transposer", {}}, {"songAction", "&Morceau…", {}}}},
        {"Le&cture",
         {{"playPauseAction", "&Lire / Pause", {QKeySequence(Qt::Key_Space)}},
          {"stopAction", "&Arrêter", {}},
          {"playFromBarAction", "Lire &depuis la mesure sélectionnée", {}},
          {"loopAction", "&Boucler sur la sélection", {}},
          {"countInAction", "Dé&compte", {}},
          {"saveTempoAction", "&Enregistrer dans la grille", {}},
          {"mixerAction", "&Mélangeur…", {}}}},
        {"Aid&e",
         {{"helpAction", "&Aide", QKeySequence::keyBindings(QKeySequence::HelpContents)},
          {"shortcutsAction", "&Raccourcis clavier", {}},
          {"aboutAction", "À &propos de Mavrel", {}}}},
    };
    const QList<QAction*> bar = w->menuBar()->actions();
    ASSERT_EQ(bar.size(), qsizetype(std::size(menus)));
    for (qsizetype m = 0; m < bar.size(); ++m) {
        EXPECT_EQ(bar[m]->text(), menus[m].title);
        ASSERT_TRUE(bar[m]->menu());
        QList<QAction*> items = bar[m]->menu()->actions();
        items.removeIf([](const QAction* a) { return a->isSeparator(); });
        ASSERT_EQ(items.size(), qsizetype(menus[m].items.size())) << menus[m].title;
        for (qsizetype i = 0; i < items.size(); ++i) {
            const Item& want = menus[m].items[i];
            EXPECT_EQ(items[i]->objectName(), want.name);
            EXPECT_EQ(items[i]->text(), QString::fromUtf8(want.caption)) << want.name;
            EXPECT_EQ(items[i]->shortcuts(), want.shortcuts) << want.name;
        }
    }
}

// --- tools ----------------------------------------------------------------------------

// Bar 1 lies at (70, 150), 106 x 72, on the page of a new chart: its inside
// shows whether it is drawn selected.
QRgb insideBar1(const QImage& page) { return page.pixel(80, 160) & 0xFFFFFF; }
constexpr QRgb CyanRgb = 0x00FFFF;
constexpr QRgb WhiteRgb = 0xFFFFFF;

TEST_F(MainWindowTest, ToolButtonsAreExclusiveAndSetTheMode)
{
    struct Row {
        const char* name;
        Tool mode;
    };
    const Row rows[] = {{"eraserToolButton", Tool::Eraser}, {"barLineToolButton", Tool::BarLine}, {"lassoToolButton", Tool::Lasso},
                        {"textToolButton", Tool::Text}, {"chordToolButton", Tool::Chord}, {"textToolButton", Tool::Text},
                        {"textToolButton", Tool::Text}};
    for (const Row& r : rows) {
        click(r.name);
        EXPECT_EQ(w->editor()->tool(), r.mode) << r.name;
        for (const char* other : {"chordToolButton", "eraserToolButton", "barLineToolButton", "lassoToolButton", "textToolButton"})
            EXPECT_EQ(button(other)->isChecked(), std::strcmp(other, r.name) == 0) << r.name << " " << other;
    }
}

TEST_F(MainWindowTest, ChordToolClickedAgainRunsItsStepsAgain)
{
    // A text typed into the size box and left there.
    combo()->setFocus();
    combo()->lineEdit()->selectAll();
    QTest::keyClicks(combo(), "xyz");
    ASSERT_EQ(combo()->currentText(), "xyz");
    markPage();
    click("chordToolButton");
    EXPECT_TRUE(button("chordToolButton")->isChecked());
    EXPECT_EQ(combo()->currentText(), "10");
    EXPECT_TRUE(button("boldButton")->isChecked());
    EXPECT_TRUE(redrawnSinceMark());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MainWindowTest, SwitchingToolsEmptiesTheSelectionExceptForTheLasso)
{
    click("lassoToolButton");
    lasso({60, 140}, {290, 300});   // bars 1, 2, 5 and 6
    ASSERT_EQ(w->selection().count, 4);
    ASSERT_EQ(insideBar1(w->editor()->pageImage()), CyanRgb);

    // The lasso again: the mode only, the page stays as it is.
    markPage();
    click("lassoToolButton");
    EXPECT_EQ(w->editor()->tool(), Tool::Lasso);
    EXPECT_EQ(w->selection().count, 4);
    EXPECT_FALSE(redrawnSinceMark());

    for (const char* name : {"chordToolButton", "eraserToolButton", "barLineToolButton", "textToolButton"}) {
        click("lassoToolButton");
        lasso({60, 140}, {290, 300});
        ASSERT_EQ(w->selection().count, 4) << name;
        click(name);
        EXPECT_EQ(w->selection().count, 0) << name;
        EXPECT_EQ(w->selection().anchor(), 1) << name << ": emptied, the anchor stays";
        EXPECT_EQ(insideBar1(w->editor()->pageImage()), WhiteRgb) << name;
    }
    EXPECT_FALSE(action("undoAction")->isEnabled()) << "selecting is no step of the history";
}

// --- size and weight --------------------------------------------------------------------

TEST_F(MainWindowTest, SizeInTheChordToolResizesEveryChord)
{
    markPage();
    chooseSize("14");
    EXPECT_EQ(w->chart().info.fontSize, 14);
    EXPECT_TRUE(redrawnSinceMark());
    EXPECT_EQ(w->editor()->labels()->fontSize(), 8);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MainWindowTest, SizeInTheTextToolResizesOnlyTheTextBox)
{
    click("textToolButton");
    EXPECT_EQ(combo()->currentText(), "8");   // the box's size, not the chords'
    EXPECT_FALSE(button("boldButton")->isChecked());

    const QByteArray before = chartBytes();
    markPage();
    chooseSize("14");
    EXPECT_EQ(w->editor()->labels()->fontSize(), 14);
    EXPECT_EQ(edit1()->width(), 14 * (0 + 1));
    EXPECT_EQ(chartBytes(), before);
    EXPECT_FALSE(redrawnSinceMark());

    // With three characters in the box.
    edit1()->setText("abc");
    chooseSize("20");
    EXPECT_EQ(edit1()->width(), 20 * (3 + 1));
    EXPECT_EQ(w->chart().info.fontSize, 10);
    // Its height follows the font: 72 points are 96 pixels.
    chooseSize("72");
    EXPECT_GT(edit1()->height(), 96);
    EXPECT_GE(edit1()->height(), edit1()->sizeHint().height());
    chooseSize("20");

    click("chordToolButton");
    EXPECT_EQ(combo()->currentText(), "10");
    click("textToolButton");
    EXPECT_EQ(combo()->currentText(), "20");
}

TEST_F(MainWindowTest, SizeInTheOtherToolsChangesNothing)
{
    for (const char* tool : {"eraserToolButton", "barLineToolButton", "lassoToolButton"}) {
        click(tool);
        const QByteArray before = chartBytes();
        const QSize box = edit1()->size();
        markPage();
        chooseSize("24");
        EXPECT_EQ(chartBytes(), before) << tool;
        EXPECT_EQ(w->editor()->labels()->fontSize(), 8) << tool;
        EXPECT_EQ(edit1()->size(), box) << tool;
        EXPECT_FALSE(redrawnSinceMark()) << tool;
    }
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MainWindowTest, BoldButtonActsOnTheChordsOrTheTextBox)
{
    // Chord tool: every chord, with a redraw.
    markPage();
    click("boldButton");
    EXPECT_FALSE(button("boldButton")->isChecked());
    EXPECT_EQ(w->chart().info.bold, 0);
    EXPECT_TRUE(redrawnSinceMark());
    click("boldButton");
    EXPECT_EQ(w->chart().info.bold, 1);

    // Text tool: the box only, no redraw.
    click("textToolButton");
    ASSERT_FALSE(button("boldButton")->isChecked());
    markPage();
    click("boldButton");
    EXPECT_TRUE(edit1()->font().bold());
    EXPECT_EQ(w->chart().info.bold, 1);
    EXPECT_FALSE(redrawnSinceMark());

    // Each tool shows its own weight again.
    click("chordToolButton");
    EXPECT_TRUE(button("boldButton")->isChecked());
    click("boldButton");
    click("textToolButton");
    EXPECT_TRUE(button("boldButton")->isChecked());
    click("chordToolButton");
    EXPECT_FALSE(button("boldButton")->isChecked());

    // Eraser: the button goes up and down and nothing else happens.
    click("eraserToolButton");
    const QByteArray before = chartBytes();
    markPage();
    click("boldButton");
    EXPECT_TRUE(button("boldButton")->isChecked());
    EXPECT_EQ(chartBytes(), before);
    EXPECT_TRUE(edit1()->font().bold());
    EXPECT_FALSE(redrawnSinceMark());
}

TEST_F(MainWindowTest, TypedWholeNumberActsLikeAListEntry)
{
    struct Row {
        const char* typed;
        int size;
    };
    // "1" and "7" begin list entries ("10", "72"): what was typed counts.
    for (const Row& r : {Row{"13", 13}, Row{"14", 14}, Row{"7", 7}, Row{"1", 1}, Row{"127", 127}}) {
        markPage();
        typeSize(r.typed);
        EXPECT_EQ(w->chart().info.fontSize, r.size) << r.typed;
        EXPECT_TRUE(redrawnSinceMark()) << r.typed;
    }
    click("textToolButton");
    typeSize("30");
    EXPECT_EQ(w->editor()->labels()->fontSize(), 30);
    EXPECT_EQ(edit1()->width(), 30);
    EXPECT_EQ(w->chart().info.fontSize, 127);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MainWindowTest, TypedTextThatIsNoSizeIsRefusedWithItsOwnText)
{
    for (const char* tool : {"chordToolButton", "textToolButton"}) {
        click(tool);
        for (const char* typed : {"abc", "0", "128", "12.5", "-3", "1 4", ""}) {
            messages.clear();
            const QByteArray before = chartBytes();
            const int boxSize = w->editor()->labels()->fontSize();
            markPage();
            typeSize(QString::fromLatin1(typed));
            EXPECT_EQ(messages, QStringList{QStringLiteral("'%1' n'est pas une valeur entière correcte.")
                                                .arg(QLatin1String(typed))})
                << tool << " " << typed;
            EXPECT_EQ(chartBytes(), before) << tool << " " << typed;
            EXPECT_EQ(w->editor()->labels()->fontSize(), boxSize) << tool << " " << typed;
            EXPECT_FALSE(redrawnSinceMark()) << tool << " " << typed;
        }
    }
    // The other tools do not read the box at all.
    messages.clear();
    click("eraserToolButton");
    typeSize("abc");
    EXPECT_TRUE(messages.isEmpty());
}

// --- grid size ------------------------------------------------------------------------

TEST_F(MainWindowTest, SpinnerAtOneStaysThereWithoutRedrawing)
{
    for (int i = 0; i < 3; ++i)
        step("columnsSpin", false);
    ASSERT_EQ(w->chart().info.columns, 1);
    markPage();
    step("columnsSpin", false);
    EXPECT_EQ(spinner("columnsSpin")->position(), 1);
    EXPECT_EQ(child<QLineEdit>("columnsBox")->text(), "1");
    EXPECT_EQ(w->chart().info.columns, 1);
    EXPECT_FALSE(redrawnSinceMark());

    for (int i = 0; i < 7; ++i)
        step("rowsSpin", false);
    ASSERT_EQ(w->chart().info.rows, 1);
    markPage();
    step("rowsSpin", false);
    EXPECT_EQ(spinner("rowsSpin")->position(), 1);
    EXPECT_EQ(child<QLineEdit>("rowsBox")->text(), "1");
    EXPECT_FALSE(redrawnSinceMark());
}

TEST_F(MainWindowTest, SpinnersReflowTheSameBars)
{
    change([](Chart& c) { c.bar(5).slot(1).root = 3; });   // a D in bar 5, to follow it
    const Chart& c = w->chart();
    markPage();
    step("columnsSpin", true);
    EXPECT_EQ(spinner("columnsSpin")->position(), 5);
    EXPECT_EQ(child<QLineEdit>("columnsBox")->text(), "5");
    EXPECT_EQ(c.info.columns, 5);
    EXPECT_EQ(c.info.count, 40);
    EXPECT_TRUE(redrawnSinceMark());
    EXPECT_EQ(c.bar(5).y, c.bar(1).y) << "bar 5 ends row 1";
    EXPECT_EQ(c.bar(5).slot(1).root, 3);

    step("rowsSpin", true);
    EXPECT_EQ(c.info.rows, 9);
    EXPECT_EQ(child<QLineEdit>("rowsBox")->text(), "9");
    EXPECT_EQ(c.info.count, 45);
}

TEST_F(MainWindowTest, StepPastFiveHundredBarsIsRefusedAndTold)
{
    for (int i = 0; i < 58; ++i)
        step("columnsSpin", true);
    ASSERT_EQ(w->chart().info.columns, 62);   // 62 x 8 = 496 bars
    ASSERT_TRUE(status().isEmpty());

    const QByteArray before = chartBytes();
    markPage();
    step("columnsSpin", true);   // 63 x 8 = 504
    EXPECT_EQ(spinner("columnsSpin")->position(), 62);
    EXPECT_EQ(child<QLineEdit>("columnsBox")->text(), "62");
    EXPECT_EQ(chartBytes(), before);
    EXPECT_FALSE(redrawnSinceMark());
    EXPECT_TRUE(status().contains("500")) << status().toStdString();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    step("rowsSpin", true);   // 62 x 9
    EXPECT_EQ(spinner("rowsSpin")->position(), 8);
    EXPECT_EQ(child<QLineEdit>("rowsBox")->text(), "8");
    EXPECT_EQ(chartBytes(), before);

    // Steps that stay within the limit go on working.
    step("columnsSpin", false);
    EXPECT_EQ(w->chart().info.columns, 61);
    EXPECT_EQ(child<QLineEdit>("columnsBox")->text(), "61");
    EXPECT_TRUE(redrawnSinceMark());
}

// --- orientation and page-layout mode ---------------------------------------------------

TEST_F(MainWindowTest, TurningThePageSwapsItsSidesAndNothingElse)
{
    const GridInfo before = w->chart().info;
    click("turnButton");
    const GridInfo& g = w->chart().info;
    EXPECT_EQ(g.pageWidth, 800);
    EXPECT_EQ(g.pageHeight, 565);
    EXPECT_EQ(w->editor()->pageImage().size(), QSize(800, 565));
    EXPECT_EQ(child("pageView")->geometry(), QRect(25, 25, 800, 565));
    EXPECT_EQ(g.topMargin, before.topMargin);
    EXPECT_EQ(g.bottomMargin, before.bottomMargin);
    EXPECT_EQ(g.sideMargin, before.sideMargin);
    EXPECT_EQ(g.columns, 4);
    EXPECT_EQ(g.rows, 8);
    EXPECT_EQ(g.barWidth, (800 - 140) / 4);
    EXPECT_EQ(g.barHeight, (565 - 220) / 8);
    EXPECT_FALSE(button("pageLayoutButton")->isChecked());
    EXPECT_TRUE(track("topMarginSlider")->isHidden());

    click("turnButton");
    EXPECT_EQ(w->editor()->pageImage().size(), QSize(565, 800));
    EXPECT_EQ(w->chart().info.barWidth, 106);
}

TEST_F(MainWindowTest, PageLayoutModePlacesTheTrackBarsAndDrawsTheGuides)
{
    struct Row {
        bool landscape;
        int halfW, halfH;
    };
    for (const Row& r : {Row{false, 282, 400}, Row{true, 400, 282}}) {
        if (r.landscape)
            click("turnButton");
        click("pageLayoutButton");
        ASSERT_TRUE(button("pageLayoutButton")->isChecked());
        QSlider* side = track("sideMarginSlider");
        QSlider* top = track("topMarginSlider");
        QSlider* bottom = track("bottomMarginSlider");
        EXPECT_EQ(side->geometry().topLeft(), QPoint(18, 0)) << r.landscape;
        EXPECT_EQ(side->width(), r.halfW + 14) << r.landscape;
        EXPECT_EQ(side->maximum(), r.halfW) << r.landscape;
        EXPECT_EQ(side->value(), 70) << r.landscape;
        EXPECT_EQ(top->geometry().topLeft(), QPoint(0, 18)) << r.landscape;
        EXPECT_EQ(top->height(), r.halfH + 14) << r.landscape;
        EXPECT_EQ(top->maximum(), r.halfH) << r.landscape;
        EXPECT_EQ(top->value(), 150) << r.landscape;
        EXPECT_EQ(bottom->geometry().topLeft(), QPoint(0, r.halfH + 14 + 7)) << r.landscape;
        EXPECT_EQ(bottom->height(), r.halfH + 14) << r.landscape;
        EXPECT_EQ(bottom->maximum(), r.halfH) << r.landscape;
        EXPECT_EQ(bottom->value(), r.halfH - 70) << r.landscape;
        for (QSlider* t : {side, top, bottom}) {
            EXPECT_EQ(t->minimum(), 0);
            EXPECT_TRUE(t->isVisible()) << t->objectName().toStdString();
        }
        // The page stays where it was; no margin moved.
        EXPECT_EQ(child("pageView")->pos(), QPoint(25, 25));
        const GridInfo& g = w->chart().info;
        EXPECT_EQ(g.topMargin, 150);
        EXPECT_EQ(g.bottomMargin, 70);
        EXPECT_EQ(g.sideMargin, 70);
        const Guides on = guidesOn(w->editor()->pageImage(), g);
        EXPECT_TRUE(on.top && on.bottom && on.left && on.right) << r.landscape;

        markPage();
        click("pageLayoutButton");
        EXPECT_TRUE(redrawnSinceMark());
        for (QSlider* t : {side, top, bottom})
            EXPECT_TRUE(t->isHidden()) << t->objectName().toStdString();
        const Guides off = guidesOn(w->editor()->pageImage(), g);
        EXPECT_FALSE(off.top || off.bottom || off.left || off.right) << r.landscape;
    }
}

TEST_F(MainWindowTest, MarginTrackBarsMoveTheirMarginsTheBottomOneReversed)
{
    click("pageLayoutButton");
    QSlider* top = track("topMarginSlider");
    QSlider* bottom = track("bottomMarginSlider");
    QSlider* side = track("sideMarginSlider");
    const GridInfo& g = w->chart().info;

    // Down the thumb goes, down goes the guide: top margin up, bottom margin down.
    markPage();
    QTest::keyClick(top, Qt::Key_Down);
    EXPECT_EQ(g.topMargin, 151);
    EXPECT_TRUE(redrawnSinceMark());
    markPage();
    QTest::keyClick(bottom, Qt::Key_Down);
    EXPECT_EQ(bottom->value(), 331);
    EXPECT_EQ(g.bottomMargin, 69);
    EXPECT_TRUE(redrawnSinceMark());
    QTest::keyClick(side, Qt::Key_Right);
    EXPECT_EQ(g.sideMargin, 71);

    // A click low on the bottom track bar moves its thumb down.
    QTest::mouseClick(bottom, Qt::LeftButton, {}, QPoint(bottom->width() / 2, bottom->height() - 3));
    EXPECT_GT(bottom->value(), 331);
    EXPECT_LT(g.bottomMargin, 69);
    EXPECT_EQ(g.bottomMargin, bottom->maximum() - bottom->value());
    QTest::mouseClick(top, Qt::LeftButton, {}, QPoint(top->width() / 2, 3));
    EXPECT_LT(g.topMargin, 151);

    const Guides on = guidesOn(w->editor()->pageImage(), g);
    EXPECT_TRUE(on.top && on.bottom && on.left && on.right);
}

TEST_F(MainWindowTest, TurningInPageLayoutModeReducesOnlyTheMarginsPastTheNewMaximum)
{
    click("pageLayoutButton");
    QSlider* top = track("topMarginSlider");
    QSlider* bottom = track("bottomMarginSlider");
    QSlider* side = track("sideMarginSlider");
    top->setValue(350);   // as a drag would
    ASSERT_EQ(w->chart().info.topMargin, 350);

    // Every position the bottom track bar reports while the page turns must
    // leave the bottom margin where it is: its position clamped for a moment
    // into the smaller range (282 of 282, margin 0) never reaches the chart.
    QList<int> bottomMargins;
    QObject::connect(bottom, &QSlider::valueChanged,
                     [&] { bottomMargins << w->chart().info.bottomMargin; });

    click("turnButton");
    const GridInfo& g = w->chart().info;
    EXPECT_EQ(g.pageWidth, 800);
    EXPECT_EQ(g.topMargin, 282);
    EXPECT_EQ(g.bottomMargin, 70);
    EXPECT_EQ(g.sideMargin, 70);
    for (int m : bottomMargins)
        EXPECT_EQ(m, 70);
    EXPECT_EQ(top->maximum(), 282);
    EXPECT_EQ(top->value(), 282);
    EXPECT_EQ(bottom->maximum(), 282);
    EXPECT_EQ(bottom->value(), 212);
    EXPECT_EQ(bottom->y(), 303);
    EXPECT_EQ(side->maximum(), 400);
    EXPECT_EQ(side->value(), 70);
    EXPECT_EQ(w->editor()->pageImage().size(), QSize(800, 565));
    EXPECT_TRUE(guidesOn(w->editor()->pageImage(), g).top);

    // Back to portrait: the reduced margin stays reduced.
    click("turnButton");
    EXPECT_EQ(g.topMargin, 282);
    EXPECT_EQ(g.bottomMargin, 70);
    EXPECT_EQ(top->maximum(), 400);
    EXPECT_EQ(top->value(), 282);
    EXPECT_EQ(bottom->value(), 330);
}

TEST_F(MainWindowTest, ABottomMarginPastTheNewMaximumIsReduced)
{
    click("pageLayoutButton");
    track("bottomMarginSlider")->setValue(0);   // bottom margin 400
    ASSERT_EQ(w->chart().info.bottomMargin, 400);
    track("topMarginSlider")->setValue(0);
    click("turnButton");
    EXPECT_EQ(w->chart().info.bottomMargin, 282);
    EXPECT_EQ(track("bottomMarginSlider")->value(), 0);
    EXPECT_EQ(w->chart().info.topMargin, 0);
}

} // namespace
} // namespace mavrel::mainwindow_test
