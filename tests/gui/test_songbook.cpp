// `mavrel songbook`, run as a user runs it, its PDF read back by real
// readers: pdfinfo and qpdf find no fault, pdftotext finds the titles in the
// contents and each chart on the page the contents give, and the outline and
// the links of the contents lead to those same pages.
#include "app/songbookdialog.h"
#include "document/chartfile.h"
#include "document/setlist.h"
#include "document/win1252.h"
#include "support/chartbuilder.h"
#include "support/pdfreader.h"
#include "gui/scripteddialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <map>

namespace mavrel {
namespace {

using test::ChartBuilder;

using test::Process;
using test::run;

// One chart per song, each with a chord no other has, so that the page that
// holds it can be told by its text.
struct Tune {
    const char* file;
    const char* title;
    const char* composer;
    std::initializer_list<std::string_view> bars;
};
const Tune Tunes[] = {
    {"autumn.bab", "Autumn Leaves", "Joseph Kosma", {"Am7 D7", "GM7", "CM7", "F#m7b5 B7", "Em"}},
    {"blue bossa #2.bab", "Blue Bossa", "Kenny Dorham", {"Cm6", "Fm7", "Dm7b5 G7", "Cm6"}},
    {"solar.bab", "Solar", "Miles Davis", {"CmM7", "Gm7 C7", "FM7", "Fm7 Bb7", "EbM7"}},
    {"été.bab", "Été indien", "Salvatore Cutugno", {"Dm", "Gm6", "A7sus4", "Dm"}},
};

class SongbookTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        if (QStandardPaths::findExecutable(QStringLiteral("qpdf")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "qpdf and poppler-utils are needed";
        QDir(dir.path()).mkdir(QStringLiteral("charts"));
        for (const Tune& t : Tunes) {
            // The title on the page too, where the iReal writer reads it.
            auto chart = ChartBuilder(4, 2)
                             .bars(t.bars)
                             .title(t.title, t.composer)
                             .label(win1252::fromUtf8(t.title), 200, 40, 18, true)
                             .build();
            ASSERT_TRUE(saveChart(*chart, path(QStringLiteral("charts/") + QString::fromUtf8(t.file))).ok);
        }
    }

    std::string path(const QString& name) const { return dir.filePath(name).toStdString(); }

    // A set list of these charts, in order, each as written.
    static SetList setList(const char* name, std::initializer_list<const char*> files)
    {
        SetList list;
        list.name = name;
        for (const char* file : files)
            list.songs.emplace_back().path = file;
        return list;
    }

    Process mavrel(const QStringList& args) { return run(QStringLiteral(MAVREL_EXE), args, dir.path()); }

    QString text(int page) { return test::pdfText(QStringLiteral("book.pdf"), page, dir.path()); }

    QJsonObject json(const QStringList& keys)
    {
        QStringList args{QStringLiteral("--json=2")};
        for (const QString& k : keys)
            args << QStringLiteral("--json-key=") + k;
        const Process r = run(QStringLiteral("qpdf"), args << QStringLiteral("book.pdf"), dir.path());
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        return QJsonDocument::fromJson(r.out).object();
    }

    // The contents: each title and the page number on its line.
    std::map<QString, int> contents(const QString& page)
    {
        std::map<QString, int> pages;
        for (const Tune& t : Tunes) {
            const QRegularExpression line(QRegularExpression::escape(QString::fromUtf8(t.title))
                                          + QStringLiteral("[^\\n]*?(\\d+|manquante)\\s*$"),
                                          QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
            const QRegularExpressionMatch m = line.match(page);
            if (m.hasMatch())
                pages[QString::fromUtf8(t.title)] = m.captured(1) == QLatin1String("manquante") ? -1 : m.captured(1).toInt();
        }
        return pages;
    }
};

TEST_F(SongbookTest, ContentsOutlineAndLinksLeadToEachChart)
{
    // Solar has gone from the disk: listed, not dropped.
    SetList list = setList("Vendredi soir — 1er set", {"charts/blue bossa #2.bab", "charts/solar.bab", "charts/autumn.bab", "charts/été.bab"});
    list.songs[2].key = *keyNamed("Bb");     // Autumn Leaves, from G up to Bb
    list.songs[3].part = Instrument::BFlat;  // Été indien for a clarinet: D minor read in E minor
    ASSERT_TRUE(saveSetList(list, path(QStringLiteral("gig.setlist"))).ok);
    QFile::remove(dir.filePath(QStringLiteral("charts/solar.bab")));

    const Process r = mavrel({QStringLiteral("songbook"), QStringLiteral("gig.setlist"), QStringLiteral("-o"),
                          QStringLiteral("book.pdf")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("solar.bab")) && r.err.contains(QStringLiteral("manquante")))
        << r.err.toStdString();

    const Process info = run(QStringLiteral("pdfinfo"), {QStringLiteral("book.pdf")}, dir.path());
    EXPECT_EQ(info.status, 0);
    EXPECT_TRUE(info.err.isEmpty()) << info.err.toStdString();
    EXPECT_TRUE(info.out.contains("Pages:           5")) << info.out.toStdString();
    const Process check = run(QStringLiteral("qpdf"), {QStringLiteral("--check"), QStringLiteral("book.pdf")}, dir.path());
    EXPECT_EQ(check.status, 0) << check.out.toStdString();

    EXPECT_TRUE(text(1).contains(QStringLiteral("Vendredi soir — 1er set")));
    const QString page2 = text(2);
    const std::map<QString, int> expected = {
        {QStringLiteral("Blue Bossa"), 3}, {QStringLiteral("Solar"), -1},
        {QStringLiteral("Autumn Leaves"), 4}, {QStringLiteral("Été indien"), 5}};
    EXPECT_EQ(contents(page2), expected) << page2.toStdString();
    // Keys as the musician reads them: Autumn Leaves, heard in E minor, moved
    // to the relative of B-flat; Été indien in the clarinet's part. A missing
    // chart is named by its file.
    EXPECT_TRUE(page2.contains(QRegularExpression(QStringLiteral("Autumn Leaves +Joseph Kosma +Gm "))))
        << page2.toStdString();
    EXPECT_TRUE(page2.contains(QRegularExpression(QStringLiteral("Été indien +Salvatore Cutugno +Em "))));
    EXPECT_TRUE(page2.contains(QRegularExpression(QStringLiteral("\\bsolar +manquante"))));

    // Each chart where the contents say, drawn as asked, numbered at the foot.
    const std::pair<int, QStringList> pages[] = {
        {3, {QStringLiteral("Cm6"), QStringLiteral("Fm7")}},
        {4, {QStringLiteral("Cm7"), QStringLiteral("BbM7"), QStringLiteral("F7")}},
        {5, {QStringLiteral("Em"), QStringLiteral("Am6"), QStringLiteral("Si♭")}},
    };
    for (const auto& [page, words] : pages) {
        const QString t = text(page);
        for (const QString& w : words)
            EXPECT_TRUE(t.contains(w)) << page << " " << w.toStdString() << "\n" << t.toStdString();
        EXPECT_TRUE(t.trimmed().endsWith(QString::number(page))) << t.toStdString();
    }

    // The outline: the contents, then each chart there is, at its page.
    QStringList titles;
    QList<int> targets;
    for (const QJsonValue& item : json({QStringLiteral("outlines")})[QStringLiteral("outlines")].toArray()) {
        titles << item[QStringLiteral("title")].toString();
        targets << item[QStringLiteral("destpageposfrom1")].toInt();
    }
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Sommaire"), QStringLiteral("Blue Bossa"),
                                   QStringLiteral("Autumn Leaves"), QStringLiteral("Été indien")}));
    EXPECT_EQ(targets, (QList<int>{2, 3, 4, 5}));

    // The links of the contents page: over each title's line, to its page.
    const QJsonObject doc = json({QStringLiteral("pages"), QStringLiteral("qpdf")});
    const QJsonObject objects = doc[QStringLiteral("qpdf")].toArray().at(1).toObject();
    const auto value = [&](const QString& ref) {
        return objects[QStringLiteral("obj:") + ref][QStringLiteral("value")];
    };
    std::map<QString, int> pageOf;
    const QJsonArray pageList = doc[QStringLiteral("pages")].toArray();
    for (int i = 0; i < pageList.size(); ++i)
        pageOf[pageList.at(i)[QStringLiteral("object")].toString()] = i + 1;
    QJsonValue annots = value(pageList.at(1)[QStringLiteral("object")].toString())[QStringLiteral("/Annots")];
    if (annots.isString())
        annots = value(annots.toString());
    QList<int> linked;
    QList<double> tops;
    for (const QJsonValue& a : annots.toArray()) {
        const QJsonValue link = value(a.toString());
        EXPECT_EQ(link[QStringLiteral("/Subtype")].toString(), QStringLiteral("/Link"));
        linked << pageOf[link[QStringLiteral("/Dest")].toArray().at(0).toString()];
        tops << link[QStringLiteral("/Rect")].toArray().at(3).toDouble();
    }
    EXPECT_EQ(linked, (QList<int>{3, 4, 5}));
    // Where pdftotext finds each title, from the top of the page: within its link.
    const QString boxes = QString::fromUtf8(
        run(QStringLiteral("pdftotext"),
            {QStringLiteral("-f"), QStringLiteral("2"), QStringLiteral("-l"), QStringLiteral("2"), QStringLiteral("-bbox"),
             QStringLiteral("book.pdf"), QStringLiteral("-")},
            dir.path())
            .out);
    const QStringList firstWords = {QStringLiteral("Blue"), QStringLiteral("Autumn"), QStringLiteral("Été")};
    ASSERT_EQ(tops.size(), firstWords.size());
    for (int i = 0; i < firstWords.size(); ++i) {
        const QRegularExpression word(QStringLiteral("yMin=\"([\\d.]+)\" xMax=\"[\\d.]+\" yMax=\"([\\d.]+)\">")
                                      + firstWords[i] + QStringLiteral("<"));
        const QRegularExpressionMatch m = word.match(boxes);
        ASSERT_TRUE(m.hasMatch()) << firstWords[i].toStdString();
        const double middle = 842 - (m.captured(1).toDouble() + m.captured(2).toDouble()) / 2;
        EXPECT_LT(middle, tops[i]);
        EXPECT_GT(middle, tops[i] - 20);
    }
}

TEST_F(SongbookTest, ChartsShareSheetsAsThePreviewComposesThem)
{
    QStringList args{QStringLiteral("songbook"), QStringLiteral("--per"), QStringLiteral("2"), QStringLiteral("-o"),
                     QStringLiteral("book.pdf"), QStringLiteral("--for"), QStringLiteral("Eb")};
    for (const Tune& t : Tunes)
        args << QStringLiteral("charts/") + QString::fromUtf8(t.file);
    const Process r = mavrel(args);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const std::map<QString, int> expected = {{QStringLiteral("Autumn Leaves"), 3}, {QStringLiteral("Blue Bossa"), 3},
                                             {QStringLiteral("Solar"), 4}, {QStringLiteral("Été indien"), 4}};
    EXPECT_EQ(contents(text(2)), expected);
    EXPECT_TRUE(text(1).contains(QStringLiteral("Recueil")));
    // Every part in E-flat: Solar's C minor read in A minor.
    EXPECT_TRUE(text(4).contains(QStringLiteral("AmM7"))) << text(4).toStdString();
}

// The dialog makes the book the command line makes: its name, charts per page
// and part as chosen, a missing chart listed as such; a chart it cannot read
// or a file it cannot write is told, naming it, and nothing is written.
TEST_F(SongbookTest, TheDialogWritesTheBookAsChosen)
{
    test::ScriptedDialogs dialogs;
    SetList list = setList("Samedi", {"charts/blue bossa #2.bab", "charts/solar.bab", "charts/autumn.bab"});
    list.songs[2].key = *keyNamed("Bb");
    QFile::remove(dir.filePath(QStringLiteral("charts/solar.bab")));

    SongbookDialog dialog;
    dialog.setSetList(list, dir.filePath(QStringLiteral("gig.setlist")));
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Recueil"));
    EXPECT_EQ(dialog.findChild<QLabel*>("songsLabel")->text(), QStringLiteral("3"));
    EXPECT_TRUE(dialog.findChild<QLabel*>("missingLabel")->text().contains(QStringLiteral("solar.bab")));
    dialog.findChild<QComboBox*>("perCombo")->setCurrentIndex(1);    // 2
    dialog.findChild<QComboBox*>("partCombo")->setCurrentIndex(3);   // Mi♭

    dialogs.saveAnswer(dir.filePath(QStringLiteral("book")));
    QTest::mouseClick(dialog.findChild<QPushButton*>("pdfButton"), Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('|').toStdString();
    EXPECT_TRUE(dialog.findChild<QLabel*>("statusLabel")->text().contains(QStringLiteral("book.pdf")));
    EXPECT_EQ(test::pdfPageCount(QStringLiteral("book.pdf"), dir.path()), 3);   // title, contents, one sheet
    EXPECT_TRUE(text(1).contains(QStringLiteral("Samedi")));
    const QString contentsPage = text(2);
    const std::map<QString, int> expected = {
        {QStringLiteral("Blue Bossa"), 3}, {QStringLiteral("Solar"), -1}, {QStringLiteral("Autumn Leaves"), 3}};
    EXPECT_EQ(contents(contentsPage), expected) << contentsPage.toStdString();
    // In the E-flat part: Autumn Leaves, moved to G minor, read in E minor.
    EXPECT_TRUE(contentsPage.contains(QRegularExpression(QStringLiteral("Autumn Leaves +Joseph Kosma +Em "))))
        << contentsPage.toStdString();

    // Nothing written, the file named: a chart that is no chart, a folder
    // that is not there.
    std::ofstream(path(QStringLiteral("charts/été.bab"))) << "not a chart";
    const std::pair<QStringList, QString> failures[] = {
        {{QStringLiteral("charts/blue bossa #2.bab"), QStringLiteral("charts/été.bab")}, QStringLiteral("été.bab")},
        {{QStringLiteral("charts/blue bossa #2.bab")}, QStringLiteral("nowhere")},
    };
    for (const auto& [charts, named] : failures) {
        QStringList files;
        for (const QString& c : charts)
            files << dir.filePath(c);
        dialog.setCharts(files);
        dialogs.messages.clear();
        const QString target = dir.filePath(QStringLiteral("nowhere/other.pdf"));
        dialogs.saveAnswer(named == QLatin1String("nowhere") ? target : dir.filePath(QStringLiteral("other.pdf")));
        QTest::mouseClick(dialog.findChild<QPushButton*>("pdfButton"), Qt::LeftButton);
        ASSERT_EQ(dialogs.messages.size(), 1) << named.toStdString();
        EXPECT_TRUE(dialogs.messages.first().contains(named)) << dialogs.messages.first().toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("other.pdf"))));
        EXPECT_TRUE(dialog.findChild<QLabel*>("statusLabel")->text().isEmpty());
    }
}

TEST_F(SongbookTest, RefusesWhatItCannotMake)
{
    std::ofstream(path(QStringLiteral("not.setlist"))) << "Autumn Leaves\n";
    const std::pair<QStringList, int> cases[] = {
        {{QStringLiteral("charts/solar.bab")}, 2},
        {{QStringLiteral("charts/solar.bab"), QStringLiteral("-o"), QStringLiteral("book.png")}, 2},
        {{QStringLiteral("--per"), QStringLiteral("3"), QStringLiteral("charts/solar.bab"), QStringLiteral("-o"),
          QStringLiteral("book.pdf")}, 2},
        {{QStringLiteral("--for"), QStringLiteral("G"), QStringLiteral("charts/solar.bab"), QStringLiteral("-o"),
          QStringLiteral("book.pdf")}, 2},
        {{QStringLiteral("--chord-style"), QStringLiteral("bebop"), QStringLiteral("charts/solar.bab"),
          QStringLiteral("-o"), QStringLiteral("book.pdf")}, 2},
        {{QStringLiteral("not.setlist"), QStringLiteral("charts/solar.bab"), QStringLiteral("-o"),
          QStringLiteral("book.pdf")}, 2},
        {{QStringLiteral("charts/solar.bab"), QStringLiteral("charts/gone.bab"), QStringLiteral("-o"),
          QStringLiteral("book.pdf")}, 1},
        {{QStringLiteral("not.setlist"), QStringLiteral("-o"), QStringLiteral("book.pdf")}, 1},
    };
    for (const auto& [args, status] : cases) {
        const Process r = mavrel(QStringList{QStringLiteral("songbook")} << args);
        EXPECT_EQ(r.status, status) << args.join(' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("book.pdf"))));
        if (status == 1) {
            EXPECT_TRUE(r.err.contains(QStringLiteral("gone.bab")) || r.err.contains(QStringLiteral("not.setlist")))
                << r.err.toStdString();
        }
    }
}

TEST_F(SongbookTest, APlaylistPageAndItsImportKeepTheSetListsOrder)
{
    SetList list = setList("Jeudi", {"charts/solar.bab", "charts/gone.bab", "charts/été.bab", "charts/autumn.bab"});
    ASSERT_TRUE(saveSetList(list, path(QStringLiteral("jeudi.setlist"))).ok);

    Process r = mavrel({QStringLiteral("export"), QStringLiteral("jeudi.setlist"), QStringLiteral("-o"),
                        QStringLiteral("jeudi.html")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("gone.bab"))) << r.err.toStdString();
    QFile page(dir.filePath(QStringLiteral("jeudi.html")));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_EQ(page.readAll().count("href=\"irealb://"), 4);   // the playlist, then its three songs

    r = mavrel({QStringLiteral("import"), QStringLiteral("jeudi.html"), QStringLiteral("-o"), QStringLiteral("in")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    SetList imported;
    std::vector<Message> warnings;
    ASSERT_TRUE(loadSetList(imported, path(QStringLiteral("in/Jeudi.setlist")), warnings).ok);
    EXPECT_EQ(imported.name, "Jeudi");
    std::vector<std::string> files;
    for (const SetListSong& s : imported.songs) {
        files.push_back(s.path);
        EXPECT_FALSE(s.missing) << s.path;
    }
    EXPECT_EQ(files, (std::vector<std::string>{"Solar.bab", "Été indien.bab", "Autumn Leaves.bab"}));

    // MusicXML: one file a song, in a folder made for them.
    r = mavrel({QStringLiteral("export"), QStringLiteral("in/Jeudi.setlist"), QStringLiteral("-o"),
                QStringLiteral("xml/")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("xml"))).entryList(QDir::Files),
              (QStringList{QStringLiteral("Autumn Leaves.musicxml"), QStringLiteral("Solar.musicxml"),
                           QStringLiteral("Été indien.musicxml")}));
    QFile xml(dir.filePath(QStringLiteral("xml/Solar.musicxml")));
    ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
    EXPECT_TRUE(xml.readAll().contains("<score-partwise"));
}

} // namespace
} // namespace mavrel
