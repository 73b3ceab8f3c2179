#include "cli.h"

#include "chartimport.h"
#include "fileformats.h"
#include "setlistcommands.h"
#include "accompaniment/arranger.h"
#include "accompaniment/performance.h"
#include "accompaniment/style.h"
#include "document/chordtext.h"
#include "document/editing.h"
#include "files/formatnames.h"
#include "files/localfile.h"
#include "render/chordtype.h"
#include "sound/bandformats.h"
#include "sound/player.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>

#include <cstdio>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace mavrel {

namespace {

bool isOption(const QByteArray& a) { return a.startsWith('-') && a.size() > 1; }

// A picture at 2400 dots per inch is 25 times the page each way: more is
// no sharper on any printer.
constexpr int MaxDpi = 2400;

// Far above the largest size file managers ask for (1024), and a page of that
// size still fits in memory many times over.
constexpr int MaxThumbnailSize = 4096;

// The band's tempo, in quarter notes a minute, and its choruses.
constexpr int MinTempo = 20;
constexpr int MaxTempo = 400;
constexpr int MaxChoruses = 99;

// The context of the command line's texts.
struct CommandLine {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

QString shown(const QByteArray& argument) { return QFile::decodeName(argument); }

// The arguments of a command, taken out one by one; the first thing found
// wrong is kept, in one line, and nothing is taken after it.
class Arguments {
public:
    explicit Arguments(QByteArrayList args) : m_args(std::move(args)) {}

    bool failed() const { return !m_error.isEmpty(); }
    const QString& error() const { return m_error; }
    void fail(const QString& error)
    {
        if (m_error.isEmpty())
            m_error = error;
    }
    const QByteArrayList& rest() const { return m_args; }

    bool takeFlag(const char* name)
    {
        const qsizetype i = m_args.indexOf(name);
        if (i < 0 || failed())
            return false;
        m_args.remove(i);
        if (m_args.contains(name))
            fail(CommandLine::tr("%1 donné deux fois.").arg(QLatin1String(name)));
        return true;
    }

    // `name VALUE`; nullopt when the option is absent or wrong.
    std::optional<QByteArray> take(const char* name)
    {
        const qsizetype i = m_args.indexOf(name);
        if (i < 0 || failed())
            return std::nullopt;
        if (i + 1 >= m_args.size()) {
            fail(CommandLine::tr("%1 : valeur manquante.").arg(QLatin1String(name)));
            return std::nullopt;
        }
        const QByteArray value = m_args.at(i + 1);
        m_args.remove(i, 2);
        if (m_args.contains(name)) {
            fail(CommandLine::tr("%1 donné deux fois.").arg(QLatin1String(name)));
            return std::nullopt;
        }
        return value;
    }

    // `name N` with N in [low, high]; `value` stays as it is when absent.
    void takeNumber(const char* name, int low, int high, int& value)
    {
        const std::optional<QByteArray> text = take(name);
        if (!text)
            return;
        bool ok = false;
        const int n = text->toInt(&ok);
        if (!ok || n < low || n > high)
            fail(CommandLine::tr("%1 : « %2 » n'est pas un nombre de %3 à %4.")
                     .arg(QLatin1String(name), shown(*text), QString::number(low), QString::number(high)));
        else
            value = n;
    }

    // True when --for was given.
    bool takeInstrument(Instrument& instrument)
    {
        const std::optional<QByteArray> name = take("--for");
        if (!name)
            return false;
        if (const std::optional<Instrument> named = instrumentNamed(name->toStdString()))
            instrument = *named;
        else
            fail(CommandLine::tr("--for : « %1 » n'est pas un instrument (Bb, Eb ou F).")
                     .arg(shown(*name)));
        return true;
    }

    // How the band plays the chart: --style, --tempo, --choruses, --soundfont.
    void takeBand(Command& c)
    {
        if (const std::optional<QByteArray> name = take("--style")) {
            if (const auto style = accompaniment::styleNamed(name->toLower().toStdString()))
                c.style = static_cast<int>(*style);
            else
                fail(CommandLine::tr("--style : « %1 » n'est pas un style (swing, ballad, bossa, latin, pop, funk, "
                                     "waltz ou shuffle).")
                         .arg(shown(*name)));
            c.band = true;
        }
        const int tempo = c.tempo, choruses = c.choruses;
        takeNumber("--tempo", MinTempo, MaxTempo, c.tempo);
        takeNumber("--choruses", 1, MaxChoruses, c.choruses);
        if (const std::optional<QByteArray> file = take("--soundfont")) {
            if (file->isEmpty())
                fail(CommandLine::tr("--soundfont : valeur manquante."));
            c.soundFont = *file;
            c.band = true;
        }
        c.band = c.band || tempo != c.tempo || choruses != c.choruses;
    }

    void takeChordStyle(std::optional<ChordStyle>& style)
    {
        const std::optional<QByteArray> name = take("--chord-style");
        if (!name)
            return;
        if (*name == "classic")
            style = ChordStyle::Classic;
        else if (*name == "jazz")
            style = ChordStyle::Jazz;
        else
            fail(CommandLine::tr("--chord-style : « %1 » n'est pas classic ou jazz.").arg(shown(*name)));
    }
    void takeOutput(QByteArray& output)
    {
        if (const std::optional<QByteArray> o = take("-o"); o && !o->isEmpty())
            output = *o;
        else if (!failed())
            fail(CommandLine::tr("Il manque -o SORTIE."));
    }

    // What is left: `low` to `high` names, none of them an option.
    void expect(qsizetype low, qsizetype high, const QString& missing)
    {
        if (failed())
            return;
        for (const QByteArray& a : m_args)
            if (isOption(a)) {
                fail(CommandLine::tr("Option inconnue : « %1 ».").arg(shown(a)));
                return;
            }
        if (m_args.size() < low)
            fail(CommandLine::tr("Il manque %1.").arg(missing));
        else if (m_args.size() > high)
            fail(CommandLine::tr("« %1 » en trop.").arg(shown(m_args.at(high))));
    }

private:
    QByteArrayList m_args;
    QString m_error;
};

Command invalid(Command::Kind misused, const QString& error)
{
    Command c;
    c.kind = Command::Invalid;
    c.misused = misused;
    c.error = error;
    return c;
}

// A file read or written by a command, its message printed when that fails.
bool reported(const FileResult& r)
{
    if (!r.ok || !r.warning.empty())
        printError(fileMessage(r));
    return r.ok;
}

// What the name asks the command to write, as the registry says; refused
// with the extensions the command writes when it asks for nothing it does.
const FileFormat* outputFormat(const QByteArray& output, FileOperation operation)
{
    const FileFormat* format = fileFormats().forOutput(output.toStdString(), operation);
    if (!format)
        printError(unknownFormatMessage(output, extensionList(fileFormats().formats(operation))));
    return format;
}

// The chart of a fresh start, kept off the stack.
std::unique_ptr<Chart> newChart()
{
    auto chart = std::make_unique<Chart>();
    resetChart(*chart);
    return chart;
}

// Reads the chart in the format its name asks for, the chart file's for any
// other name.
bool load(Chart& chart, const QByteArray& fileName)
{
    const std::string name = fileName.toStdString();
    return reported(fileFormats().forInput(name, FileOperation::ReadChart)->read(name, chart));
}

// Whether the instrument's part of the chart can be made; the message names
// the chart's file when it cannot.
bool partPossible(const Chart& chart, Instrument instrument, const QByteArray& fileName)
{
    const Message refused = partProblem(chart, instrument);
    return refused.empty() || reported(FileResult::failure(refused, fileName.toStdString()));
}

int runImport(const QByteArray& input, const QByteArray& folder, bool force)
{
    const std::string name = input.toStdString();
    SongList songs;
    const FileResult read = fileFormats().forInput(name, FileOperation::ImportCharts)->readSongs(name, songs);
    if (!reported(read))
        return 1;
    const ImportReport report = importToFolder(songs, folder, force);
    for (const ImportedSong& song : report.songs) {
        for (const std::string& warning : song.warnings)
            printError(QString::fromStdString(warning));
        if (!song.error.empty())
            printError(QString::fromStdString(song.error));
        else
            std::printf("%s\n", song.file.constData());
    }
    if (!report.setList.isEmpty())
        std::printf("%s\n", report.setList.constData());
    if (!reported(report.failure))
        return 1;
    const QString failed = failedSongsMessage(report);
    if (!failed.isEmpty()) {
        printError(failed);
        return 1;
    }
    // Songs of the list left unread were not imported either.
    return read.warning.empty() ? 0 : 1;
}

int runSheet(const Command& command)
{
    const FileFormat* format = outputFormat(command.output, FileOperation::WriteSheets);
    if (!format)
        return 2;
    if (format->onePage() && command.charts.size() > command.per) {
        FormatList books;
        for (const FileFormat* f : fileFormats().formats(FileOperation::WriteSheets))
            if (!f->onePage())
                books.push_back(f);
        auto charts = [](qsizetype n) {
            return n == 1 ? CommandLine::tr("1 grille") : CommandLine::tr("%1 grilles").arg(n);
        };
        printError(CommandLine::tr("%1 : un fichier %2 ne contient qu'une feuille, soit %3 au plus, et %4 sont "
                                   "données ; un fichier %5 en fait un recueil d'autant de pages qu'il faut.")
                       .arg(QFile::decodeName(command.output),
                            QLatin1Char('.') + QString::fromStdString(format->extensions().front()),
                            charts(command.per), charts(command.charts.size()), extensionList(books)));
        return 2;
    }
    // Every chart read first: one that cannot be read leaves nothing written.
    std::vector<std::unique_ptr<Chart>> charts;
    std::vector<const Chart*> order;
    for (const QByteArray& file : command.charts) {
        charts.push_back(newChart());
        if (!load(*charts.back(), file) || !partPossible(*charts.back(), command.instrument, file))
            return 1;
        order.push_back(charts.back().get());
    }
    WriteOptions options;
    options.instrument = command.instrument;
    options.perSheet = command.per;
    return reported(format->writeSheets(order, options, command.output.toStdString())) ? 0 : 1;
}

// --- the band's files ----------------------------------------------------------

using accompaniment::Performance;

// What the band could not play as written, as warnings about the chart.
void printWarnings(const Performance& p, const QByteArray& chartFile)
{
    for (const Message& warning : p.warnings) {
        FileResult r;
        r.fileName = chartFile.toStdString();
        r.warning = warning;
        printError(fileMessage(r));
    }
}

// Qt Multimedia tells standard error why it found no sound server; the user
// reads the command's own message instead.
QtMessageHandler qtMessages = nullptr;
void dropSoundServerMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.startsWith(QLatin1String("PulseAudioService")) && qtMessages)
        qtMessages(type, context, message);
}

// The band through the audio device, a line a bar as it is heard.
int runPlay(const Command& command)
{
    qtMessages = qInstallMessageHandler(dropSoundServerMessages);
    const auto chart = newChart();
    if (!load(*chart, command.charts.first()))
        return 1;
    sound::Player player;
    player.setChart(*chart);
    player.setStyle(command.style);
    player.setTempo(command.tempo);
    player.setChoruses(command.choruses);
    printWarnings(player.performance(), command.charts.first());

    QEventLoop loop;
    int status = 0;
    QObject::connect(&player, &sound::Player::errorOccurred, &loop, [&](const QString& message) {
        printError(message);
        status = 1;
        loop.quit();
    });
    QObject::connect(&player, &sound::Player::finished, &loop, &QEventLoop::quit);
    QObject::connect(&player, &sound::Player::barChanged, &loop, [&](int bar) {
        if (bar <= 0)
            return;
        const QString chords = QString::fromStdString(barText(chart->bar(bar)));
        std::printf("%s\n", visibleText(CommandLine::tr("Mesure %1 : %2").arg(bar).arg(chords)).toLocal8Bit().constData());
        std::fflush(stdout);
    });
    player.setSoundFont(QFile::decodeName(command.soundFont));
    player.play();
    loop.exec();
    return status;
}

// The band's options of the command, for the formats that play it.
WriteOptions bandWriteOptions(const Command& command)
{
    WriteOptions options;
    if (command.style >= 0)
        options.style = accompaniment::styleName(static_cast<accompaniment::Style>(command.style));
    options.tempo = command.tempo;
    options.choruses = command.choruses;
    options.soundFont = command.soundFont.toStdString();
    return options;
}

int runExport(const Command& command)
{
    const QByteArray& chartFile = command.charts.first();
    const QByteArray& output = command.output;
    if (isSetListName(chartFile) && !command.band)
        return exportSetList(chartFile, output);
    const FileFormat* format = outputFormat(output, FileOperation::ExportChart);
    if (!format)
        return 2;
    const auto chart = newChart();
    if (!load(*chart, chartFile))
        return 1;
    // The band: what it could not play as written, as warnings about the
    // chart, and its options, refused for a format it does not play into.
    WriteOptions options;
    if (format->playsTheBand()) {
        options = bandWriteOptions(command);
        printWarnings(accompaniment::arrange(*chart, bandOptions(options)), chartFile);
    } else if (command.band) {
        FormatList band;
        for (const FileFormat* f : fileFormats().formats(FileOperation::ExportChart))
            if (f->playsTheBand())
                band.push_back(f);
        printError(CommandLine::tr("--style, --tempo, --choruses et --soundfont : seulement vers %1.")
                       .arg(extensionList(band)));
        return 2;
    }
    return reported(format->write(*chart, options, output.toStdString())) ? 0 : 1;
}

} // namespace

Command parseCommandLine(const QByteArrayList& arguments)
{
    if (arguments.isEmpty())
        return {};
    const QByteArray first = arguments.first();
    Arguments args(arguments.mid(1));
    Command c;
    const std::pair<const char*, Command::Kind> commands[] = {
        {"-h", Command::Help}, {"--help", Command::Help}, {"--version", Command::Version},
        {"new", Command::New}, {"render", Command::Render}, {"thumbnail", Command::Thumbnail},
        {"import", Command::Import}, {"export", Command::Export}, {"play", Command::Play},
        {"transpose", Command::Transpose},
        {"sheet", Command::Sheet}, {"song", Command::Song}, {"songbook", Command::Songbook},
    };
    for (const auto& [name, kind] : commands)
        if (first == name)
            c.kind = kind;

    switch (c.kind) {
    case Command::Help:
    case Command::Version:
        args.expect(0, 0, {});
        break;
    case Command::New:
        args.takeOutput(c.output);
        args.expect(0, 0, {});
        break;
    case Command::Render:
        args.takeNumber("--dpi", 1, MaxDpi, c.dpi);
        args.takeInstrument(c.instrument);
        args.takeChordStyle(c.chordStyle);
        args.takeOutput(c.output);
        args.expect(0, 1, {});
        c.charts = args.rest();
        break;
    case Command::Thumbnail: {
        // As file managers call it: thumbnail -s SIZE CHART OUTPUT.
        c.size = 0;
        args.takeNumber("-s", 1, MaxThumbnailSize, c.size);
        args.takeChordStyle(c.chordStyle);
        if (!c.size)
            args.fail(CommandLine::tr("Il manque -s TAILLE."));
        args.expect(2, 2, CommandLine::tr("GRILLE.bab SORTIE.png"));
        if (!args.failed()) {
            c.charts = {args.rest().at(0)};
            c.output = args.rest().at(1);
        }
        break;
    }
    case Command::Import:
        c.force = args.takeFlag("--force");
        args.takeOutput(c.output);
        args.expect(1, 1, CommandLine::tr("LIENS"));
        c.charts = args.rest();   // the links: a file, or the link itself
        break;
    case Command::Export:
        args.takeBand(c);
        args.takeOutput(c.output);
        args.expect(1, 1, CommandLine::tr("GRILLE.bab"));
        c.charts = args.rest();
        break;
    case Command::Play:
        args.takeBand(c);
        args.expect(1, 1, CommandLine::tr("GRILLE.bab"));
        c.charts = args.rest();
        break;
    case Command::Transpose: {
        if (const std::optional<QByteArray> name = args.take("--spelling")) {
            const std::pair<const char*, Spelling> names[] = {
                {"keep", Spelling::Keep}, {"flats", Spelling::Flats},
                {"sharps", Spelling::Sharps}, {"key", Spelling::Key}};
            bool known = false;
            for (const auto& [n, value] : names)
                if (*name == n) {
                    c.spelling = value;
                    known = true;
                }
            if (!known)
                args.fail(CommandLine::tr("--spelling : « %1 » n'est pas keep, flats, sharps ou key.")
                              .arg(shown(*name)));
        }
        args.takeOutput(c.output);
        // Steps down are a number, not an option.
        const QByteArrayList rest = args.rest();
        bool ok = false;
        if (!rest.isEmpty())
            c.steps = rest.first().toInt(&ok);
        if (!ok) {
            args.expect(2, 2, CommandLine::tr("DEMI-TONS GRILLE.bab"));
            args.fail(CommandLine::tr("« %1 » n'est pas un nombre de demi-tons.").arg(shown(rest.value(0))));
            break;
        }
        Arguments chart(rest.mid(1));
        chart.expect(1, 1, CommandLine::tr("GRILLE.bab"));
        args.fail(chart.error());
        c.charts = chart.rest();
        break;
    }
    case Command::Sheet:
        c.per = 0;
        args.takeNumber("--per", 1, 8, c.per);
        if (!args.failed() && c.per != 1 && c.per != 2 && c.per != 4 && c.per != 8)
            args.fail(c.per ? CommandLine::tr("--per : « %1 » n'est pas 1, 2, 4 ou 8.").arg(c.per)
                            : CommandLine::tr("Il manque --per N."));
        args.takeInstrument(c.instrument);
        args.takeChordStyle(c.chordStyle);
        args.takeOutput(c.output);
        args.expect(1, std::numeric_limits<qsizetype>::max(), CommandLine::tr("GRILLE.bab"));
        c.charts = args.rest();
        break;
    case Command::Song: {
        QString error;
        if (const std::optional<SongCommand> song = readSongCommand(args.rest(), error))
            c.song = *song;
        else
            args.fail(error);
        break;
    }
    case Command::Songbook:
        c.per = 1;
        args.takeNumber("--per", 1, 8, c.per);
        if (!args.failed() && c.per != 1 && c.per != 2 && c.per != 4 && c.per != 8)
            args.fail(CommandLine::tr("--per : « %1 » n'est pas 1, 2, 4 ou 8.").arg(c.per));
        c.forInstrument = args.takeInstrument(c.instrument);
        args.takeChordStyle(c.chordStyle);
        args.takeOutput(c.output);
        args.expect(1, std::numeric_limits<qsizetype>::max(), CommandLine::tr("LISTE.setlist ou GRILLE.bab"));
        c.charts = args.rest();
        break;
    case Command::Editor:
        // The editor, on each chart given.
        c.charts = arguments;
        for (const QByteArray& a : c.charts)
            if (isOption(a))
                return invalid(Command::Editor, CommandLine::tr("Option inconnue : « %1 ».").arg(shown(a)));
        return c;
    case Command::Invalid:
        break;
    }
    if (args.failed())
        return invalid(c.kind, args.error());
    return c;
}

namespace {

// Each command's lines of the usage, in the order --help shows them, and
// what it writes: %1 lists the names it writes to, %2 the formats' names.
struct Usage {
    Command::Kind kind;
    const char* lines;
    std::optional<FileOperation> output;
};
const Usage Usages[] = {
    {Command::Editor, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel [GRILLE.bab|LISTE.setlist...]         ouvre l'éditeur, une fenêtre par grille ou liste\n"), {}},
    {Command::New, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel new -o %1\n"
        "                                               écrit une grille neuve\n"), FileOperation::WriteChart},
    {Command::Render, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel render [GRILLE.bab] -o %1 [--dpi N] [--for Bb|Eb|F]\n"
        "                [--chord-style classic|jazz]\n"
        "                                               dessine la page d'une grille (en PNG à N points\n"
        "                                               par pouce, de 1 à 2400, 96 par défaut)\n"),
     FileOperation::WritePage},
    {Command::Thumbnail, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel thumbnail -s TAILLE GRILLE.bab SORTIE.png [--chord-style classic|jazz]\n"
        "                                               dessine la vignette d'une grille (plus grand côté\n"
        "                                               en pixels, de 1 à 4096)\n"), {}},
    {Command::Transpose, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel transpose DEMI-TONS GRILLE.bab -o %1 [--spelling keep|flats|sharps|key]\n"
        "                                               transpose une grille (altérations : gardées,\n"
        "                                               bémols, dièses ou selon la tonalité)\n"),
     FileOperation::WriteChart},
    {Command::Sheet, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel sheet --per N [--for Bb|Eb|F] [--chord-style classic|jazz] GRILLE.bab... -o %1\n"
        "                                               compose des feuilles de 1, 2, 4 ou 8 grilles :\n"
        "                                               un recueil d'autant de pages qu'il faut en PDF,\n"
        "                                               une seule feuille en PNG\n"), FileOperation::WriteSheets},
    {Command::Songbook, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel songbook LISTE.setlist|GRILLE.bab... -o RECUEIL.pdf [--per N] [--for Bb|Eb|F]\n"
        "                [--chord-style classic|jazz]\n"
        "                                               un recueil en PDF : page de titre, sommaire\n"
        "                                               avec liens et signets, 1, 2, 4 ou 8 grilles par\n"
        "                                               page, numéros de page ; chaque morceau d'une\n"
        "                                               liste dans sa tonalité et sa partie\n"), {}},
    {Command::Import, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel import LIENS -o DOSSIER [--force]     une grille par morceau d'une liste iReal Pro\n"
        "                                               (page HTML, texte ou lien irealb://)\n"), {}},
    {Command::Export, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel export GRILLE.bab -o %1\n"
        "                [--style STYLE] [--tempo N] [--choruses N] [--soundfont FICHIER.sf2]\n"
        "                                               %2 ; le style, le tempo, les fois et le son\n"
        "                                               de l'accompagnement en MIDI, WAV ou FLAC\n"), FileOperation::ExportChart},
    {Command::Export, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel export LISTE.setlist -o LISTE.html|DOSSIER/\n"
        "                                               page de liens iReal Pro, ou un MusicXML par morceau\n"), {}},
    {Command::Play, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel play GRILLE.bab [--style STYLE] [--tempo N] [--choruses N] [--soundfont FICHIER.sf2]\n"
        "                                               joue l'accompagnement, une ligne par mesure\n"), {}},
    {Command::Song, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel song GRILLE.bab [-o SORTIE.bab] [--title T] [--composer C] [--style S] [--key Bb|Gm|none]\n"
        "              [--tempo N] [--time 3/4|none] [--bar N \"[A] |: Dm7 G7\"]...\n"
        "                                               sans -o, écrit le morceau et ses mesures telles\n"
        "                                               qu'on les tape ; avec, les change\n"), {}},
    {Command::Version, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel --version                             affiche la version\n"), {}},
};

// Where the descriptions of the commands start.
constexpr qsizetype DescriptionColumn = 47;

// "SORTIE.png|SORTIE.pdf": a name for each extension the formats write.
QString outputNames(const FormatList& formats)
{
    QStringList names;
    for (const FileFormat* format : formats)
        for (const std::string& extension : format->extensions())
            names << CommandLine::tr("SORTIE") + QLatin1Char('.') + QString::fromStdString(extension);
    return names.join(QLatin1Char('|'));
}

QString usageLines(const Usage& usage)
{
    const QString lines = CommandLine::tr(usage.lines);
    if (!usage.output)
        return lines;
    const FormatList formats = fileFormats().formats(*usage.output);
    QString filled = lines.contains(QLatin1String("%2")) ? lines.arg(outputNames(formats), nameList(formats))
                                                         : lines.arg(outputNames(formats));
    // A command line short enough keeps its description beside it, in the
    // column of the others.
    const qsizetype end = filled.indexOf(QLatin1Char('\n'));
    const QString indent(DescriptionColumn, QLatin1Char(' '));
    if (end >= 0 && end < DescriptionColumn && filled.mid(end + 1).startsWith(indent))
        filled = filled.left(end).leftJustified(DescriptionColumn) + filled.mid(end + 1 + DescriptionColumn);
    return filled;
}

} // namespace

QString usageText(Command::Kind command)
{
    QString text = CommandLine::tr("Utilisation :\n");
    for (const Usage& usage : Usages)
        if (command == Command::Help || usage.kind == command)
            text += usageLines(usage);
    if (command == Command::Help)
        return text
            + CommandLine::tr("  --for Bb|Eb|F : la partie d'un instrument en Si♭, Mi♭ ou Fa, transposée et marquée.\n"
                 "  --style STYLE : swing, ballad, bossa, latin, pop, funk, waltz ou shuffle ; --tempo : de 20 à 400\n"
                 "  noires par minute ; --choruses : de 1 à 99 fois la grille.\n"
                 "  --chord-style classic|jazz : les accords écrits en texte simple ou comme sur un\n"
                 "                 recueil de jazz, quel que soit le choix de la grille.\n"
                 "  -o - écrit sur la sortie standard (en PNG pour une image).\n");
    return text + CommandLine::tr("  mavrel --help : toutes les commandes.\n");
}

namespace {

int execute(const Command& command)
{
    switch (command.kind) {
    case Command::New: {
        const FileFormat* format = outputFormat(command.output, FileOperation::WriteChart);
        if (!format)
            return 2;
        return reported(format->write(*newChart(), {}, command.output.toStdString())) ? 0 : 1;
    }
    case Command::Render: {
        const FileFormat* format = outputFormat(command.output, FileOperation::WritePage);
        if (!format)
            return 2;
        const auto chart = newChart();
        const QByteArray source = command.charts.value(0);
        if (!command.charts.isEmpty() && !load(*chart, source))
            return 1;
        if (!partPossible(*chart, command.instrument, source))
            return 1;
        WriteOptions options;
        options.instrument = command.instrument;
        options.dpi = command.dpi;
        options.source = source.toStdString();
        return reported(format->writePage(*chart, options, command.output.toStdString())) ? 0 : 1;
    }
    case Command::Thumbnail: {
        // Always PNG: file managers choose the output's name.
        const auto chart = newChart();
        if (!load(*chart, command.charts.first()))
            return 1;
        WriteOptions options;
        options.fit = command.size;
        options.source = command.charts.first().toStdString();
        const FileFormat& png = *fileFormats().named("png");
        return reported(png.writePage(*chart, options, command.output.toStdString())) ? 0 : 1;
    }
    case Command::Transpose: {
        const FileFormat* format = outputFormat(command.output, FileOperation::WriteChart);
        if (!format)
            return 2;
        const auto chart = newChart();
        if (!load(*chart, command.charts.first()))
            return 1;
        const Message refused = transpose(*chart, command.steps, command.spelling);
        if (!refused.empty()) {
            reported(FileResult::failure(refused, command.charts.first().toStdString()));
            return 1;
        }
        return reported(format->write(*chart, {}, command.output.toStdString())) ? 0 : 1;
    }
    case Command::Sheet:
        return runSheet(command);
    case Command::Songbook:
        return runSongbook(command.charts, command.output, command.per,
                           command.forInstrument ? std::optional(command.instrument) : std::nullopt,
                           command.chordStyle ? static_cast<int>(*command.chordStyle) : -1);
    case Command::Import:
        return runImport(command.charts.first(), command.output, command.force);
    case Command::Export:
        return runExport(command);
    case Command::Play:
        return runPlay(command);
    case Command::Song:
        return runSongCommand(command.song);
    case Command::Help:
        std::fputs(usageText(Command::Help).toLocal8Bit().constData(), stdout);
        return 0;
    case Command::Version:
        std::fputs("mavrel " MAVREL_VERSION "\n", stdout);
        return 0;
    case Command::Invalid:
    case Command::Editor:
        break;
    }
    if (!command.error.isEmpty())
        printError(command.error);
    // The lines of the command misused; every command's when none was named.
    const bool none = command.misused == Command::Editor && command.error.isEmpty();
    std::fputs(usageText(none ? Command::Help : command.misused).toLocal8Bit().constData(), stderr);
    return 2;
}

} // namespace

int runCommand(const Command& command)
{
    setChordStyleOverride(command.chordStyle);
    // Short of memory anywhere along the way, the command fails as a whole.
    try {
        return execute(command);
    } catch (const std::bad_alloc&) {
        printError(QCoreApplication::translate("CommandLine", "Mémoire insuffisante."));
        return 1;
    }
}

} // namespace mavrel
