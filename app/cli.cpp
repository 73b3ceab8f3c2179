#include "cli.h"

#include "chartimport.h"
#include "setlistcommands.h"
#include "accompaniment/arranger.h"
#include "accompaniment/midifile.h"
#include "accompaniment/style.h"
#include "document/chordtext.h"
#include "document/editing.h"
#include "document/export.h"
#include "print/imagefile.h"
#include "print/sheetcommand.h"
#include "render/localfile.h"
#include "render/page.h"
#include "sound/audiofile.h"
#include "sound/player.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QImage>

#include <cstdio>
#include <limits>
#include <new>
#include <optional>

namespace mavrel {

namespace {

bool isOption(const QByteArray& a) { return a.startsWith('-') && a.size() > 1; }

// What `render` writes; a format more is one line more. False when there
// was not enough memory to draw the page or to make the bytes.
struct PageFormat {
    const char* suffix;
    bool (*encode)(StandaloneChart& chart, int dpi, Instrument part, QByteArray& bytes);
};
const PageFormat PageFormats[] = {
    {"png",
     [](StandaloneChart& c, int dpi, Instrument part, QByteArray& bytes) {
         // At 96 dots per inch, the page the editor shows, pixel for pixel.
         QImage page = dpi == 96 ? c.image() : paintPageImage(c.chart(), dpi, part);
         if (dpi == 96)
             markPart(page, part);
         return !page.isNull() && encodePng(page, bytes);
     }},
    {"pdf", [](StandaloneChart& c, int, Instrument part, QByteArray& bytes) { return encodePagePdf(c.chart(), bytes, part); }},
    {"svg", [](StandaloneChart& c, int, Instrument part, QByteArray& bytes) { return encodePageSvg(c.chart(), bytes, part); }},
};

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

// Commands that write charts write nothing else, whatever the name says.
bool isChartName(const QByteArray& name)
{
    return isStream(name) || suffixOf(name) == "bab";
}

int refuseOutput(const QByteArray& output, const QString& expected)
{
    printError(unknownFormatMessage(output, expected));
    return 2;
}

bool load(StandaloneChart& c, const QByteArray& fileName)
{
    return reported(c.load(fileName));
}

bool save(StandaloneChart& c, const QByteArray& fileName)
{
    return reported(saveChart(c.chart(), fileName.toStdString()));
}

// The page with its longer side `size` pixels, drawn at that size; no side
// falls below one pixel. At the page's own size, the page the editor shows.
QImage thumbnail(StandaloneChart& c, int size)
{
    const QSize page = pageSize(c.chart());
    const QSize fitted = page.scaled(size, size, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    return fitted == page ? c.image() : paintPageImage(c.chart(), fitted);
}

int runImport(const QByteArray& input, const QByteArray& folder, bool force)
{
    std::string text;
    if (!reported(readLinks(input, text)))
        return 1;
    const ireal::Playlist playlist = ireal::readPlaylist(text);
    if (playlist.songs.empty()) {
        printError(CommandLine::tr("%1 : aucun lien iReal Pro.").arg(QFile::decodeName(input)));
        return 1;
    }
    const ImportReport report = importToFolder(playlist, folder, force);
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
    return 0;
}

// --- the band's files ----------------------------------------------------------

using accompaniment::Performance;

bool writeMidi(const Command&, const Chart& chart, const Performance& p, std::vector<std::uint8_t>& bytes)
{
    bytes = accompaniment::midiFile(p, chart.song.title.view());
    return true;
}

bool writeAudio(const Command& command, const Performance& p, sound::AudioFormat format,
                std::vector<std::uint8_t>& bytes)
{
    sound::AudioFile file = sound::renderAudio(p, format, QFile::decodeName(command.soundFont));
    if (!file.error.empty()) {
        reported(FileResult::failure(file.error, file.fromSoundFont ? QFile::encodeName(file.soundFont).toStdString()
                                                                    : command.output.toStdString()));
        return false;
    }
    bytes = std::move(file.bytes);
    return true;
}

bool writeWav(const Command& command, const Chart&, const Performance& p, std::vector<std::uint8_t>& bytes)
{
    return writeAudio(command, p, sound::AudioFormat::Wav, bytes);
}

bool writeFlac(const Command& command, const Chart&, const Performance& p, std::vector<std::uint8_t>& bytes)
{
    return writeAudio(command, p, sound::AudioFormat::Flac, bytes);
}

// What `export` writes of the band playing the chart; a format more is one
// line more. False, its message printed, when there are no bytes.
struct SoundFormat {
    const char* suffix;
    bool (*encode)(const Command& command, const Chart& chart, const Performance& p, std::vector<std::uint8_t>& bytes);
};
const SoundFormat SoundFormats[] = {
    {"mid", writeMidi},
    {"midi", writeMidi},
    {"wav", writeWav},
    {"flac", writeFlac},
};

accompaniment::Options bandOptions(const Command& command)
{
    accompaniment::Options o;
    o.style = command.style;
    o.tempo = command.tempo;
    o.choruses = command.choruses;
    return o;
}

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

int runSoundExport(const Command& command, const SoundFormat& format)
{
    StandaloneChart c;
    if (!load(c, command.charts.first()))
        return 1;
    const Performance p = accompaniment::arrange(c.chart(), bandOptions(command));
    printWarnings(p, command.charts.first());
    std::vector<std::uint8_t> bytes;
    if (!format.encode(command, c.chart(), p, bytes))
        return 1;
    return reported(writeFile(command.output.toStdString(), bytes)) ? 0 : 1;
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
    StandaloneChart c;
    if (!load(c, command.charts.first()))
        return 1;
    sound::Player player;
    player.setChart(c.chart());
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
        const QString chords = QString::fromStdString(barText(c.chart().bar(bar)));
        std::printf("%s\n", visibleText(CommandLine::tr("Mesure %1 : %2").arg(bar).arg(chords)).toLocal8Bit().constData());
        std::fflush(stdout);
    });
    player.setSoundFont(QFile::decodeName(command.soundFont));
    player.play();
    loop.exec();
    return status;
}

int runExport(const Command& command)
{
    const QByteArray& chartFile = command.charts.first();
    const QByteArray& output = command.output;
    if (isSetListName(chartFile) && !command.band)
        return exportSetList(chartFile, output);
    if (!isStream(output))
        for (const SoundFormat& sound : SoundFormats)
            if (suffixOf(output) == sound.suffix)
                return runSoundExport(command, sound);
    if (command.band) {
        printError(CommandLine::tr("--style, --tempo, --choruses et --soundfont : seulement vers .mid, .wav ou .flac."));
        return 2;
    }
    // A stream takes the first format.
    const std::optional<ExportFormat> format =
        isStream(output) ? ExportFormat::MusicXml : exportFormatFor(output.toStdString());
    if (!format)
        return refuseOutput(output, CommandLine::tr(".musicxml, .ly, .txt, .mid, .wav ou .flac"));
    StandaloneChart c;
    if (!load(c, chartFile))
        return 1;
    const std::string text = exportChart(c.chart(), *format);
    return reported(writeFile(output.toStdString(),
                              {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}))
        ? 0
        : 1;
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
        {"sheet", Command::Sheet}, {"songbook", Command::Songbook},
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
        args.takeOutput(c.output);
        args.expect(0, 1, {});
        c.charts = args.rest();
        break;
    case Command::Thumbnail: {
        // As file managers call it: thumbnail -s SIZE CHART OUTPUT.
        c.size = 0;
        args.takeNumber("-s", 1, MaxThumbnailSize, c.size);
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
        args.takeOutput(c.output);
        args.expect(1, std::numeric_limits<qsizetype>::max(), CommandLine::tr("GRILLE.bab"));
        c.charts = args.rest();
        break;
    case Command::Songbook:
        c.per = 1;
        args.takeNumber("--per", 1, 8, c.per);
        if (!args.failed() && c.per != 1 && c.per != 2 && c.per != 4 && c.per != 8)
            args.fail(CommandLine::tr("--per : « %1 » n'est pas 1, 2, 4 ou 8.").arg(c.per));
        c.forInstrument = args.takeInstrument(c.instrument);
        if (const std::optional<QByteArray> style = args.take("--chord-style")) {
            if (*style == "classic" || *style == "jazz")
                c.chordStyle = static_cast<int>(*style == "jazz" ? ChordStyle::Jazz : ChordStyle::Classic);
            else
                args.fail(CommandLine::tr("--chord-style : « %1 » n'est pas classic ou jazz.").arg(shown(*style)));
        }
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

// Each command's lines of the usage, in the order --help shows them.
const std::pair<Command::Kind, const char*> Usages[] = {
    {Command::Editor, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel [GRILLE.bab...]                       ouvre l'éditeur, une fenêtre par grille\n")},
    {Command::New, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel new -o SORTIE.bab                     écrit une grille neuve\n")},
    {Command::Render, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel render [GRILLE.bab] -o SORTIE.png|SORTIE.pdf|SORTIE.svg [--dpi N] [--for Bb|Eb|F]\n"
        "                                               dessine la page d'une grille (en PNG à N points\n"
        "                                               par pouce, de 1 à 2400, 96 par défaut)\n")},
    {Command::Thumbnail, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel thumbnail -s TAILLE GRILLE.bab SORTIE.png\n"
        "                                               dessine la vignette d'une grille (plus grand côté\n"
        "                                               en pixels, de 1 à 4096)\n")},
    {Command::Transpose, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel transpose DEMI-TONS GRILLE.bab -o SORTIE.bab [--spelling keep|flats|sharps|key]\n"
        "                                               transpose une grille (altérations : gardées,\n"
        "                                               bémols, dièses ou selon la tonalité)\n")},
    {Command::Sheet, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel sheet --per N [--for Bb|Eb|F] GRILLE.bab... -o SORTIE.pdf|SORTIE.png\n"
        "                                               compose des feuilles de 1, 2, 4 ou 8 grilles :\n"
        "                                               un recueil d'autant de pages qu'il faut en PDF,\n"
        "                                               une seule feuille en PNG\n")},
    {Command::Songbook, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel songbook LISTE.setlist|GRILLE.bab... -o RECUEIL.pdf [--per N] [--for Bb|Eb|F]\n"
        "                [--chord-style classic|jazz]\n"
        "                                               un recueil en PDF : page de titre, sommaire\n"
        "                                               avec liens et signets, 1, 2, 4 ou 8 grilles par\n"
        "                                               page, numéros de page ; chaque morceau d'une\n"
        "                                               liste dans sa tonalité et sa partie\n")},
    {Command::Import, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel import LIENS -o DOSSIER [--force]     une grille par morceau d'une liste iReal Pro\n"
        "                                               (page HTML, texte ou lien irealb://)\n")},
    {Command::Export, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel export GRILLE.bab -o SORTIE.musicxml|.ly|.txt|.mid|.wav|.flac [--style STYLE] [--tempo N]\n"
        "                [--choruses N] [--soundfont FICHIER.sf2]\n"
        "                                               MusicXML, grille LilyPond, lien iReal Pro ;\n"
        "                                               l'accompagnement en MIDI, WAV ou FLAC\n"
        "  mavrel export LISTE.setlist -o LISTE.html|DOSSIER/   page de liens iReal Pro, ou un MusicXML par morceau\n")},
    {Command::Play, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel play GRILLE.bab [--style STYLE] [--tempo N] [--choruses N] [--soundfont FICHIER.sf2]\n"
        "                                               joue l'accompagnement, une ligne par mesure\n")},
    {Command::Version, QT_TRANSLATE_NOOP("CommandLine",
        "  mavrel --version                             affiche la version\n")},
};

} // namespace

QString usageText(Command::Kind command)
{
    QString text = CommandLine::tr("Utilisation :\n");
    for (const auto& [kind, lines] : Usages)
        if (command == Command::Help || kind == command)
            text += CommandLine::tr(lines);
    if (command == Command::Help)
        return text
            + CommandLine::tr("  --for Bb|Eb|F : la partie d'un instrument en Si♭, Mi♭ ou Fa, transposée et marquée.\n"
                 "  --style STYLE : swing, ballad, bossa, latin, pop, funk, waltz ou shuffle ; --tempo : de 20 à 400\n"
                 "  noires par minute ; --choruses : de 1 à 99 fois la grille.\n"
                 "  -o - écrit sur la sortie standard (en PNG pour une image).\n");
    return text + CommandLine::tr("  mavrel --help : toutes les commandes.\n");
}

namespace {

int execute(const Command& command)
{
    switch (command.kind) {
    case Command::New: {
        if (!isChartName(command.output))
            return refuseOutput(command.output, QStringLiteral(".bab"));
        StandaloneChart c;
        return save(c, command.output) ? 0 : 1;
    }
    case Command::Render: {
        const PageFormat* format = formatFor(command.output, PageFormats);
        if (!format)
            return refuseOutput(command.output, suffixList(PageFormats));
        StandaloneChart c;
        if (!command.charts.isEmpty() && !load(c, command.charts.first()))
            return 1;
        if (const Message refused = makePart(c.chart(), command.instrument); !refused.empty()) {
            reported(FileResult::failure(refused, command.charts.value(0).toStdString()));
            return 1;
        }
        if (const QSize size = pageImageSize(c.chart(), command.dpi);
            format->suffix == QByteArrayLiteral("png") && !pictureFits(size)) {
            printError(CommandLine::tr("%1 : image trop grande, %2 × %3 pixels (%4 millions au plus).")
                           .arg(QFile::decodeName(command.output), QString::number(size.width()),
                                QString::number(size.height()), QString::number(MaxPicturePixels / 1000000)));
            return 1;
        }
        QByteArray bytes;
        if (!format->encode(c, command.dpi, command.instrument, bytes)) {
            printError(command.charts.isEmpty()
                           ? QCoreApplication::translate("CommandLine", "Mémoire insuffisante pour dessiner la page.")
                           : QCoreApplication::translate("CommandLine", "Mémoire insuffisante pour dessiner la page de « %1 ».")
                                 .arg(QFile::decodeName(command.charts.first())));
            return 1;
        }
        return reported(writeBytes(bytes, command.output)) ? 0 : 1;
    }
    case Command::Thumbnail: {
        // Always PNG: file managers choose the output's name.
        StandaloneChart c;
        if (!load(c, command.charts.first()))
            return 1;
        return reported(writePng(thumbnail(c, command.size), command.output)) ? 0 : 1;
    }
    case Command::Transpose: {
        if (!isChartName(command.output))
            return refuseOutput(command.output, QStringLiteral(".bab"));
        StandaloneChart c;
        if (!load(c, command.charts.first()))
            return 1;
        const Message refused = transpose(c.chart(), command.steps, command.spelling);
        if (!refused.empty()) {
            reported(FileResult::failure(refused, command.charts.first().toStdString()));
            return 1;
        }
        return save(c, command.output) ? 0 : 1;
    }
    case Command::Sheet:
        return runSheetCommand(command.per, command.charts, command.output, command.instrument);
    case Command::Songbook:
        return runSongbook(command.charts, command.output, command.per,
                           command.forInstrument ? std::optional(command.instrument) : std::nullopt,
                           command.chordStyle);
    case Command::Import:
        return runImport(command.charts.first(), command.output, command.force);
    case Command::Export:
        return runExport(command);
    case Command::Play:
        return runPlay(command);
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
    // Short of memory anywhere along the way, the command fails as a whole.
    try {
        return execute(command);
    } catch (const std::bad_alloc&) {
        printError(QCoreApplication::translate("CommandLine", "Mémoire insuffisante."));
        return 1;
    }
}

} // namespace mavrel
