// The main window's menus: a new chart, saving and opening through the file
// choosers, "Impression", the shortcuts of "Edition" over a focused text box,
// "À propos de Mavrel" and "Aide", and the chart given on the command line.
#include "test_mainwindow_support.h"

#include "app/desktop.h"
#include "app/helpwindow.h"
#include "dialogs/aboutdialog.h"
#include "dialogs/transposedialog.h"
#include "document/chartfile.h"
#if __has_include("print/printpreview.h")
#include "print/printpreview.h"
#define HAVE_PREVIEW
#endif

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QScrollBar>
#include <QTextBrowser>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <filesystem>
#include <functional>

namespace mavrel::mainwindow_test {
namespace {

class MainWindowFileTest : public MainWindowTest {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    void saveAs(const QString& answer)
    {
        saveAnswer = answer;
        action("saveAsAction")->trigger();
    }
    void open(const QString& answer)
    {
        openAnswer = answer;
        action("openAction")->trigger();
    }
    static void writeFile(const QString& name, const QByteArray& bytes)
    {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray readFile(const QString& name)
    {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The file the chart on screen saves to.
    QByteArray encoded()
    {
        const std::vector<std::uint8_t> bytes = encodeChart(w->chart());
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    }
    void saveKey() { QTest::keyClick(w.get(), Qt::Key_S, Qt::ControlModifier); }
    // The title as the window system shows it: "[*]" is the modified mark.
    QString shownTitle() { return w->windowHandle()->title(); }
};

// --- "Nouveau" --------------------------------------------------------------------------

TEST_F(MainWindowFileTest, NouveauResetsTheChartAndItsControls)
{
    step("columnsSpin", true);
    chooseSize("14");
    click("boldButton");
    click("turnButton");
    click("pageLayoutButton");
    click("eraserToolButton");

    action("newAction")->trigger();
    const GridInfo& g = w->chart().info;
    EXPECT_EQ(g.pageWidth, 565);
    EXPECT_EQ(g.pageHeight, 800);
    EXPECT_EQ(g.columns, 4);
    EXPECT_EQ(g.rows, 8);
    EXPECT_EQ(g.count, 32);
    EXPECT_EQ(g.fontSize, 10);
    EXPECT_EQ(g.bold, 1);
    EXPECT_EQ(spinner("columnsSpin")->position(), 4);
    EXPECT_EQ(child<QLineEdit>("columnsBox")->text(), "4");
    EXPECT_EQ(spinner("rowsSpin")->position(), 8);
    EXPECT_EQ(child<QLineEdit>("rowsBox")->text(), "8");
    EXPECT_EQ(combo()->currentText(), "10");
    EXPECT_TRUE(button("boldButton")->isChecked());
    EXPECT_TRUE(button("chordToolButton")->isChecked());
    EXPECT_FALSE(button("eraserToolButton")->isChecked());
    EXPECT_EQ(w->editor()->tool(), Tool::Chord);
    EXPECT_EQ(w->editor()->pageImage().size(), QSize(565, 800));
    EXPECT_EQ(child("pageView")->size(), QSize(565, 800));
    // Page-layout mode stays on, its track bars on the new page.
    EXPECT_TRUE(button("pageLayoutButton")->isChecked());
    EXPECT_TRUE(track("sideMarginSlider")->isVisible());
    EXPECT_EQ(track("sideMarginSlider")->geometry(), QRect(18, 0, 282 + 14, 22));
    EXPECT_EQ(track("sideMarginSlider")->value(), 70);
}

// --- "Enregistrer sous…" ----------------------------------------------------------------

TEST_F(MainWindowFileTest, SaveAsAddsTheExtensionOnlyWhenItIsMissing)
{
    struct Row {
        const char* chosen;
        const char* written;
    };
    const Row rows[] = {
        {"song", "song.bab"},         {"song.bab", "song.bab"},   {"SONG.BAB", "SONG.BAB"},
        {"song.Bab", "song.Bab"},     {"song.babx", "song.babx.bab"}, {"song.", "song..bab"},
        {"bab", "bab.bab"},
    };
    int n = 0;
    for (const Row& r : rows) {
        const QString folder = path(QString::number(++n));
        ASSERT_TRUE(QDir().mkpath(folder));
        saveAs(folder + '/' + r.chosen);
        EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{r.written}) << r.chosen;
        EXPECT_EQ(QFile(folder + '/' + r.written).size(), 2456) << r.chosen;
    }
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(w->document().fileName(), QFile::encodeName(path("7/bab.bab")));
}

TEST_F(MainWindowFileTest, SaveAsReplacesAFileWithoutAQuestion)
{
    writeFile(path("old.bab"), "not a chart");
    saveAs(path("old.bab"));
    EXPECT_TRUE(messages.isEmpty());
    QFile f(path("old.bab"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_EQ(bytes.size(), 2456);
    const QByteArray front = QByteArray::fromHex("01000000" "00000000" "20000000");
    EXPECT_EQ(bytes.left(12), front);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.bab"});
}

TEST_F(MainWindowFileTest, SaveAsCancelledOrFailingWritesNothing)
{
    const QByteArray before = chartBytes();
    saveAs(QString());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_TRUE(messages.isEmpty());

    saveAs(path("missing/song"));
    EXPECT_EQ(messages, QStringList{path("missing/song.bab") + " : Dossier « " + path("missing") + " » introuvable."});
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_EQ(chartBytes(), before);
}

// --- "Enregistrer", the modified mark and the question before changes are lost ------------

TEST_F(MainWindowFileTest, EnregistrerAsksForANameOnceAndTheMarkFollowsTheHistory)
{
    int asked = 0;
    dialogs.saveFile = [&](const UserDialogs::FileChoice&) {
        ++asked;
        return saveAnswer;
    };
    EXPECT_EQ(shownTitle(), "Sans titre - Mavrel");
    step("columnsSpin", true);
    EXPECT_TRUE(w->isWindowModified());
    EXPECT_EQ(shownTitle(), "Sans titre* - Mavrel");

    action("saveAction")->trigger();   // no name given: nothing saved
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(w->isWindowModified());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    saveAnswer = path("song");
    saveKey();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(readFile(path("song.bab")), encoded());
    EXPECT_FALSE(w->isWindowModified());
    EXPECT_EQ(shownTitle(), "song.bab - Mavrel");

    step("rowsSpin", true);
    EXPECT_EQ(shownTitle(), "song.bab* - Mavrel");
    saveKey();
    EXPECT_EQ(asked, 2) << "saved to the chart's own file";
    EXPECT_EQ(readFile(path("song.bab")), encoded());
    EXPECT_FALSE(w->isWindowModified());

    // Undoing away from the saved state marks the chart; coming back to it
    // clears the mark.
    action("undoAction")->trigger();
    EXPECT_TRUE(w->isWindowModified());
    action("redoAction")->trigger();
    EXPECT_FALSE(w->isWindowModified());
    click("boldButton");
    EXPECT_TRUE(w->isWindowModified());
    action("undoAction")->trigger();
    EXPECT_FALSE(w->isWindowModified());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MainWindowFileTest, EnregistrerSousMakesTheChosenFileTheChartsOwn)
{
    saveAs(path("first.bab"));
    const QByteArray first = readFile(path("first.bab"));
    step("columnsSpin", true);
    saveAs(path("second"));
    EXPECT_EQ(w->document().fileName(), QFile::encodeName(path("second.bab")));
    EXPECT_EQ(shownTitle(), "second.bab - Mavrel");
    EXPECT_FALSE(w->isWindowModified());

    step("rowsSpin", true);
    saveAnswer = path("never");
    saveKey();
    EXPECT_EQ(readFile(path("second.bab")), encoded());
    EXPECT_EQ(readFile(path("first.bab")), first);
    EXPECT_FALSE(QFile::exists(path("never.bab")));
}

// Each way of leaving a changed chart, with each answer to the question.
TEST_F(MainWindowFileTest, UnsavedChangesAreAskedAboutBeforeTheyAreLost)
{
    const QString pristine = path("new.bab");
    saveAs(pristine);
    step("rowsSpin", true);
    const QString other = path("other.bab");
    saveAs(other);
    int chosen = 0;
    dialogs.openFile = [&](const UserDialogs::FileChoice&) {
        ++chosen;
        return other;
    };

    struct Leave {
        const char* name;
        std::function<void()> run;
        std::function<bool()> left;   // whether the chart was left
    };
    auto opened = [&] { return w->document().fileName() == QFile::encodeName(other); };
    const Leave leaves[] = {
        {"Nouveau", [&] { action("newAction")->trigger(); }, [&] { return w->document().fileName().isEmpty(); }},
        {"Ouvrir", [&] { action("openAction")->trigger(); }, opened},
        {"command line", [&] { w->openChart(other); }, opened},
        {"closing", [&] { w->close(); }, [&] { return !w->isVisible(); }},
    };
    struct Answer {
        const char* name;
        QMessageBox::StandardButton button;
        bool saveFails, leaves, saves;
    };
    const Answer answers[] = {
        {"Enregistrer", QMessageBox::Save, false, true, true},
        {"Ne pas enregistrer", QMessageBox::Discard, false, true, false},
        {"Annuler", QMessageBox::Cancel, false, false, false},
        {"Enregistrer, failing", QMessageBox::Save, true, false, false},
    };
    int n = 0;
    for (const Leave& leave : leaves) {
        for (const Answer& a : answers) {
            SCOPED_TRACE(std::string(leave.name) + ", " + a.name);
            // A chart opened from its file, then changed.
            const QString folder = path(QString::number(++n));
            const QString song = folder + "/song.bab";
            ASSERT_TRUE(QDir().mkpath(folder) && QFile::copy(pristine, song));
            w->show();
            answer = QMessageBox::Discard;
            ASSERT_TRUE(w->openChart(song));
            step("columnsSpin", true);
            const QByteArray edited = chartBytes();
            const QByteArray editedFile = encoded();
            if (a.saveFails) {
                ASSERT_TRUE(QDir(folder).removeRecursively());
            }

            questions.clear();
            messages.clear();
            chosen = 0;
            answer = a.button;
            leave.run();
            EXPECT_EQ(questions, QStringList{"Enregistrer les modifications de « song.bab » ?"});
            EXPECT_EQ(leave.left(), a.leaves);
            EXPECT_EQ(readFile(song) == editedFile, a.saves);
            EXPECT_EQ(messages.size(), a.saveFails ? 1 : 0);
            if (!a.leaves) {
                EXPECT_EQ(chartBytes(), edited);
                EXPECT_TRUE(w->isWindowModified());
                EXPECT_TRUE(w->isVisible());
                EXPECT_EQ(chosen, 0) << "asked before the file dialog";
            }
        }
    }
}

TEST_F(MainWindowFileTest, TheQuestionComesOnlyWithSomethingToLose)
{
    action("newAction")->trigger();
    w->close();
    EXPECT_TRUE(questions.isEmpty());
    w->show();

    // Text typed in the box and not yet on the page counts.
    click("textToolButton");
    QTest::mouseClick(child("pageView"), Qt::LeftButton, {}, QPoint(20, 20));
    QTest::keyClicks(edit1(), "Coda");
    answer = QMessageBox::Cancel;
    action("newAction")->trigger();
    EXPECT_EQ(questions.size(), 1);
    EXPECT_EQ(edit1()->text(), "Coda");
    EXPECT_TRUE(edit1()->isVisible());

    // A chart never saved asks for a name; none given keeps it.
    answer = QMessageBox::Save;
    saveAnswer = QString();
    action("newAction")->trigger();
    EXPECT_EQ(edit1()->text(), "Coda");
    saveAnswer = path("coda");
    action("newAction")->trigger();
    EXPECT_EQ(questions, QStringList(3, "Enregistrer les modifications de « Sans titre » ?"));
    EXPECT_EQ(QFile(path("coda.bab")).size(), 2456 + 116) << "saved with its label";
    EXPECT_EQ(w->chart().info.labelCount, 0);
}

// --- "Ouvrir" --------------------------------------------------------------------------

TEST_F(MainWindowFileTest, OpenLoadsTheChartSetsTheSpinnersAndRecordsItsName)
{
    step("columnsSpin", true);
    step("rowsSpin", false);
    click("turnButton");
    saveAs(path("five.bab"));
    action("newAction")->trigger();
    ASSERT_EQ(w->chart().info.columns, 4);

    markPage();
    open(path("five.bab"));
    EXPECT_TRUE(messages.isEmpty());
    const GridInfo& g = w->chart().info;
    EXPECT_EQ(g.columns, 5);
    EXPECT_EQ(g.rows, 7);
    EXPECT_EQ(g.pageWidth, 800);
    EXPECT_EQ(spinner("columnsSpin")->position(), 5);
    EXPECT_EQ(child<QLineEdit>("columnsBox")->text(), "5");
    EXPECT_EQ(spinner("rowsSpin")->position(), 7);
    EXPECT_EQ(child<QLineEdit>("rowsBox")->text(), "7");
    EXPECT_EQ(w->editor()->pageImage().size(), QSize(800, 565));
    EXPECT_EQ(child("pageView")->size(), QSize(800, 565));
    EXPECT_TRUE(redrawnSinceMark());
    EXPECT_EQ(QFile::decodeName(w->document().fileName()), path("five.bab"));
    EXPECT_EQ(w->windowTitle(), "five.bab[*] - Mavrel");
    EXPECT_FALSE(w->isWindowModified());
    EXPECT_FALSE(action("undoAction")->isEnabled()) << "a new history";

    // A cancelled dialog changes nothing.
    open(QString());
    EXPECT_EQ(QFile::decodeName(w->document().fileName()), path("five.bab"));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MainWindowFileTest, FailedOpenShowsItsMessageAndChangesNothing)
{
    saveAs(path("good.bab"));
    open(path("good.bab"));
    step("columnsSpin", true);   // the chart on screen now differs from the file
    ASSERT_TRUE(messages.isEmpty());

    writeFile(path("short.bab"), QByteArray(100, '\0'));
    struct Row {
        QString file;
        QString message;
    };
    const Row rows[] = {
        {path("short.bab"), "Lecture au-delà de la fin de fichier."},
        {path("absent.bab"), "Fichier introuvable."},
        {path("nowhere/absent.bab"), "Dossier « " + path("nowhere") + " » introuvable."},
    };
    for (const Row& r : rows) {
        const std::string message = r.message.toStdString();
        messages.clear();
        const QByteArray before = chartBytes();
        const QImage page = w->editor()->pageImage().copy();
        open(r.file);
        EXPECT_EQ(messages, QStringList{r.file + " : " + r.message}) << message;
        EXPECT_EQ(chartBytes(), before) << message;
        EXPECT_EQ(w->editor()->pageImage(), page) << message;
        EXPECT_EQ(spinner("columnsSpin")->position(), 5);
        EXPECT_EQ(child<QLineEdit>("columnsBox")->text(), "5");
        EXPECT_EQ(spinner("rowsSpin")->position(), 8);
        EXPECT_EQ(QFile::decodeName(w->document().fileName()), path("good.bab"));
    }
}

// Qt shows the byte 0xE9 of a Latin-1 name as U+FFFD and gives that back from
// its dialogs: the file meant is still the one opened and replaced.
TEST_F(MainWindowFileTest, NamesThatAreNotUtf8OpenAndSaveTheirOwnFile)
{
    step("rowsSpin", true);
    const QByteArray raw = QFile::encodeName(dir.path()) + "/latin\xE9.bab";
    ASSERT_TRUE(saveChart(w->chart(), raw.toStdString()).ok);
    const QString shown = QFile::decodeName(raw);
    ASSERT_TRUE(shown.contains(QChar::ReplacementCharacter));

    action("newAction")->trigger();
    open(shown);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(' ').toStdString();
    EXPECT_EQ(w->chart().info.rows, 9);
    EXPECT_EQ(w->document().fileName(), raw);

    saveAs(shown);
    EXPECT_TRUE(messages.isEmpty());
    const std::filesystem::path folder = raw.left(raw.lastIndexOf('/')).toStdString();
    const std::filesystem::directory_iterator files(folder);
    EXPECT_EQ(std::distance(begin(files), end(files)), 1) << "no second file, under a name of Qt's";
    std::filesystem::remove(raw.toStdString());   // QTemporaryDir cannot see it
}

TEST_F(MainWindowFileTest, ALoadedChartShowsItsChordSizeAndWeightAtOnce)
{
    chooseSize("14");
    click("boldButton");
    saveAs(path("big.bab"));
    action("newAction")->trigger();
    ASSERT_EQ(combo()->currentText(), "10");
    ASSERT_TRUE(button("boldButton")->isChecked());

    open(path("big.bab"));
    EXPECT_EQ(combo()->currentText(), "14");
    EXPECT_FALSE(button("boldButton")->isChecked());
}

// --- the command line ---------------------------------------------------------------------

TEST_F(MainWindowFileTest, ChartGivenOnTheCommandLineIsOpened)
{
    step("rowsSpin", true);
    saveAs(path("nine.bab"));
    action("newAction")->trigger();

    MainWindow started;
    EXPECT_TRUE(started.openChart(path("nine.bab")));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(started.chart().info.rows, 9);
    EXPECT_EQ(started.findChild<QLineEdit*>("rowsBox")->text(), "9");
    EXPECT_EQ(QFile::decodeName(started.document().fileName()), path("nine.bab"));
}

TEST_F(MainWindowFileTest, ChartOnTheCommandLineThatCannotBeReadLeavesANewChart)
{
    const QByteArray fresh = chartBytes();
    writeFile(path("short.bab"), QByteArray(10, '\1'));
    for (const QString& file : {path("short.bab"), path("absent.bab")}) {
        MainWindow started;
        messages.clear();
        EXPECT_FALSE(started.openChart(file));
        EXPECT_EQ(messages.size(), 1) << file.toStdString();
        EXPECT_EQ(test::chartBytes(started), fresh) << file.toStdString();
        EXPECT_TRUE(started.findChild<QToolButton*>("chordToolButton")->isChecked());
    }
}

// --- "Impression" ---------------------------------------------------------------------

TEST_F(MainWindowFileTest, ImpressionLeavesPageLayoutModeFirst)
{
    click("lassoToolButton");
    lasso({60, 140}, {290, 300});
    click("pageLayoutButton");
    ASSERT_TRUE(track("topMarginSlider")->isVisible());

    action("printAction")->trigger();
    EXPECT_FALSE(button("pageLayoutButton")->isChecked());
    for (const char* name : {"topMarginSlider", "bottomMarginSlider", "sideMarginSlider"})
        EXPECT_TRUE(track(name)->isHidden()) << name;
    EXPECT_EQ(w->selection().count, 0);
    // The page the preview copies has neither guides nor selected bars.
    const QImage& page = w->editor()->pageImage();
    for (int x = 1; x < 66; ++x)
        ASSERT_EQ(page.pixel(x, 149) & 0xFFFFFF, 0xFFFFFFu) << x;
    EXPECT_EQ(page.pixel(80, 160) & 0xFFFFFF, 0xFFFFFFu);
#ifdef HAVE_PREVIEW
    QWidget* preview = w->printPreview();
    EXPECT_TRUE(preview->isVisible());
    EXPECT_TRUE(preview->isWindow());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
#endif
}

// --- "Edition" shortcuts over the text box ---------------------------------------------------

TEST_F(MainWindowFileTest, EditionShortcutsWinOverTheFocusedTextBox)
{
    // A text typed in the box, then a lasso round bars 1, 2, 5 and 6 with
    // the box still open.
    click("textToolButton");
    QTest::mouseClick(child("pageView"), Qt::LeftButton, {}, QPoint(20, 20));
    QLineEdit* box = edit1();
    ASSERT_TRUE(box->isVisible());
    QTest::keyClicks(box, "abc");
    ASSERT_EQ(box->text(), "abc");
    click("lassoToolButton");
    auto select = [&] {
        lasso({60, 140}, {290, 300});
        ASSERT_EQ(w->selection().count, 4);
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        box->setCursorPosition(0);
        ASSERT_TRUE(box->isVisible());
    };
    QApplication::clipboard()->setText("presse-papiers");

    QSignalSpy copied(action("copyAction"), &QAction::triggered);
    select();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copied.size(), 1);
    EXPECT_EQ(DocumentManager::instance()->clipboard().count, 4);
    EXPECT_EQ(QApplication::clipboard()->text(), "presse-papiers");
    EXPECT_EQ(box->text(), "abc");

    QSignalSpy pasted(action("pasteAction"), &QAction::triggered);
    change([](Chart& c) { c.bar(1).division = 3; });
    select();
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(pasted.size(), 1);
    EXPECT_EQ(w->chart().bar(1).division, 1);   // bar 1 of the clipboard went back in
    EXPECT_EQ(box->text(), "abc");

    QSignalSpy deleted(action("deleteAction"), &QAction::triggered);
    change([](Chart& c) { c.bar(2).division = 3; });
    select();
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(deleted.size(), 1);
    EXPECT_EQ(w->chart().bar(2).division, 1);
    EXPECT_EQ(w->selection().count, 0);
    EXPECT_EQ(box->text(), "abc");

    // So does the size box's own text.
    QComboBox* sizeBox = combo();
    sizeBox->setFocus();
    QTRY_VERIFY(sizeBox->hasFocus());
    sizeBox->lineEdit()->selectAll();
    QTest::keyClick(sizeBox, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copied.size(), 2);
    EXPECT_EQ(QApplication::clipboard()->text(), "presse-papiers");
    EXPECT_TRUE(messages.isEmpty());
}

// --- "À propos de Mavrel" and "Aide" ----------------------------------------------------------------------

TEST_F(MainWindowFileTest, AboutAndTransposeDialogShowBesideTheWindow)
{
    action("aboutAction")->trigger();
    AboutDialog* about = w->about();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(about));
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(about->windowTitle(), "À propos de Mavrel");
    // The main window goes on working beside it, and beside the transpose dialog.
    action("transposeAction")->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w->transposeDialog()));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    click("eraserToolButton");
    EXPECT_EQ(w->editor()->tool(), Tool::Eraser);
    EXPECT_TRUE(about->isVisible());
    EXPECT_TRUE(w->transposeDialog()->isVisible());
}

// "Aide" needs no other program: its window shows the document in the
// interface's language, a contents list that moves through it, and the keys
// of the window as its last section.
TEST_F(MainWindowFileTest, HelpIsShownInsideTheProgramWithItsContentsAndKeys)
{
    action("helpAction")->trigger();
    auto* help = w->findChild<HelpWindow*>();
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    const QString text = help->browser()->toPlainText();
    EXPECT_TRUE(text.contains("Aide de Mavrel"));
    ASSERT_GT(help->contents()->count(), 10);
    EXPECT_EQ(help->contents()->item(help->contents()->count() - 1)->text(), "Raccourcis clavier");
    EXPECT_TRUE(text.contains(QKeySequence(QKeySequence::Save).toString(QKeySequence::NativeText)));
    EXPECT_TRUE(text.contains("Enregistrer sous…"));

    // The contents list scrolls the document to the section chosen.
    help->resize(700, 400);
    help->showSection(HelpWindow::shortcutsAnchor());
    EXPECT_GT(help->browser()->verticalScrollBar()->value(), 0);

    // Asked again, the same window; in English, the English document.
    action("helpAction")->trigger();
    EXPECT_EQ(w->findChildren<HelpWindow*>().size(), 1);
    help->setDocument("en", {});
    EXPECT_TRUE(help->browser()->toPlainText().contains("Mavrel Help"));
    EXPECT_EQ(help->contents()->item(0)->text(), "The tool bar");
}

} // namespace
} // namespace mavrel::mainwindow_test
