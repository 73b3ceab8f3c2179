#include "cli.h"

#include "chartimport.h"
#include "document/editing.h"
#include "document/export.h"
#include "print/imagefile.h"
#include "print/sheetcommand.h"
#include "render/localfile.h"
#include "render/page.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>

#include <cstdio>
#include <new>

namespace mavrel {

namespace {

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

bool takeOutput(QByteArrayList& args, QByteArray& output)
{
    const qsizetype i = args.indexOf("-o");
    if (i < 0 || i + 1 >= args.size())
        return false;
    output = args.at(i + 1);
    args.remove(i, 2);
    return !output.isEmpty() && !args.contains("-o");
}

// Takes `name N` out of the arguments; false when it is missing or N is no
// number in [low, high].
bool takeNumber(QByteArrayList& args, const QByteArray& name, int low, int high, int& value)
{
    const qsizetype i = args.indexOf(name);
    if (i < 0 || i + 1 >= args.size())
        return false;
    bool ok = false;
    value = args.at(i + 1).toInt(&ok);
    args.remove(i, 2);
    return ok && value >= low && value <= high && !args.contains(name);
}

// Takes `--for NAME` out of the arguments when it is there; false when it is
// there with no instrument's name.
bool takeInstrument(QByteArrayList& args, Instrument& instrument)
{
    const qsizetype i = args.indexOf("--for");
    if (i < 0)
        return true;
    if (i + 1 >= args.size())
        return false;
    const std::optional<Instrument> named = instrumentNamed(args.at(i + 1).toStdString());
    args.remove(i, 2);
    if (!named)
        return false;
    instrument = *named;
    return !args.contains("--for");
}

bool isOption(const QByteArray& a) { return a.startsWith('-') && a.size() > 1; }

Command invalid()
{
    Command c;
    c.kind = Command::Invalid;
    return c;
}

void printError(const QString& message)
{
    std::fprintf(stderr, "mavrel : %s\n", message.toLocal8Bit().constData());
}

// A file read or written by a command, its message printed when that fails.
bool reported(const FileResult& r)
{
    if (!r.ok)
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

// The page with its longer side `size` pixels; no side falls below one pixel.
QImage thumbnail(const QImage& page, int size)
{
    const QSize fitted = page.size().scaled(size, size, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    return page.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

int runImport(const QByteArray& input, const QByteArray& folder, bool force)
{
    std::string text;
    if (!reported(readLinks(input, text)))
        return 1;
    const ireal::Playlist playlist = ireal::readPlaylist(text);
    if (playlist.songs.empty()) {
        printError(QCoreApplication::translate("CommandLine", "%1 : aucun lien iReal Pro.").arg(QFile::decodeName(input)));
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
    if (!reported(report.failure))
        return 1;
    const QString failed = failedSongsMessage(report);
    if (!failed.isEmpty()) {
        printError(failed);
        return 1;
    }
    return 0;
}

int runExport(const QByteArray& chartFile, const QByteArray& output)
{
    // A stream takes the first format.
    const std::optional<ExportFormat> format =
        isStream(output) ? ExportFormat::MusicXml : exportFormatFor(output.toStdString());
    if (!format)
        return refuseOutput(output, QCoreApplication::translate("CommandLine", ".musicxml, .ly ou .txt"));
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
    QByteArrayList args = arguments;
    if (args.isEmpty())
        return {};
    const QByteArray first = args.takeFirst();
    if (first == "-h" || first == "--help") {
        Command c;
        c.kind = Command::Help;
        return args.isEmpty() ? c : invalid();
    }
    if (first == "--version") {
        Command c;
        c.kind = Command::Version;
        return args.isEmpty() ? c : invalid();
    }

    Command c;
    if (first == "new") {
        c.kind = Command::New;
        if (!takeOutput(args, c.output) || !args.isEmpty())
            return invalid();
        return c;
    }
    if (first == "render") {
        c.kind = Command::Render;
        if (args.contains("--dpi") && !takeNumber(args, "--dpi", 1, MaxDpi, c.dpi))
            return invalid();
        if (!takeInstrument(args, c.instrument))
            return invalid();
        if (!takeOutput(args, c.output) || args.size() > 1)
            return invalid();
        c.charts = args;
    } else if (first == "thumbnail") {
        // As file managers call it: thumbnail -s SIZE CHART OUTPUT.
        c.kind = Command::Thumbnail;
        if (!takeNumber(args, "-s", 1, MaxThumbnailSize, c.size) || args.size() != 2)
            return invalid();
        c.charts = {args.at(0)};
        c.output = args.at(1);
        if (isOption(c.output))
            return invalid();
    } else if (first == "import") {
        c.kind = Command::Import;
        const qsizetype force = args.indexOf("--force");
        if (force >= 0) {
            c.force = true;
            args.remove(force);
        }
        if (!takeOutput(args, c.output) || args.size() != 1)
            return invalid();
        c.charts = args;   // the links: a file, or the link itself
        return isOption(c.charts.first()) ? invalid() : c;
    } else if (first == "export") {
        c.kind = Command::Export;
        if (!takeOutput(args, c.output) || args.size() != 1)
            return invalid();
        c.charts = args;
    } else if (first == "transpose") {
        c.kind = Command::Transpose;
        const qsizetype spelling = args.indexOf("--spelling");
        if (spelling >= 0) {
            if (spelling + 1 >= args.size())
                return invalid();
            const QByteArray name = args.at(spelling + 1);
            const std::pair<const char*, Spelling> names[] = {
                {"keep", Spelling::Keep}, {"flats", Spelling::Flats}, {"sharps", Spelling::Sharps}, {"key", Spelling::Key}};
            bool known = false;
            for (const auto& [n, value] : names)
                if (name == n) {
                    c.spelling = value;
                    known = true;
                }
            args.remove(spelling, 2);
            if (!known)
                return invalid();
        }
        if (!takeOutput(args, c.output) || args.size() != 2)
            return invalid();
        bool ok = false;
        c.steps = args.at(0).toInt(&ok);
        if (!ok)
            return invalid();
        c.charts = {args.at(1)};
    } else if (first == "sheet") {
        c.kind = Command::Sheet;
        if (!takeNumber(args, "--per", 1, 8, c.per)
            || (c.per != 1 && c.per != 2 && c.per != 4 && c.per != 8) || !takeInstrument(args, c.instrument))
            return invalid();
        if (!takeOutput(args, c.output) || args.isEmpty())
            return invalid();
        c.charts = args;
    } else {
        // The editor, on each chart given.
        c.charts = QByteArrayList{first} + args;
    }
    for (const QByteArray& a : c.charts)
        if (isOption(a))
            return invalid();
    return c;
}

QString usageText()
{
    return QCoreApplication::translate("CommandLine",
        "Utilisation :\n"
        "  mavrel [GRILLE.bab...]                       ouvre l'éditeur, une fenêtre par grille\n"
        "  mavrel new -o SORTIE.bab                     écrit une grille neuve\n"
        "  mavrel render [GRILLE.bab] -o SORTIE.png|SORTIE.pdf|SORTIE.svg [--dpi N] [--for Bb|Eb|F]\n"
        "                                               dessine la page d'une grille (en PNG à N points\n"
        "                                               par pouce, 96 par défaut)\n"
        "  mavrel thumbnail -s TAILLE GRILLE.bab SORTIE.png\n"
        "                                               dessine la vignette d'une grille (plus grand côté en pixels)\n"
        "  mavrel transpose DEMI-TONS GRILLE.bab -o SORTIE.bab [--spelling keep|flats|sharps|key]\n"
        "                                               transpose une grille (altérations : gardées,\n"
        "                                               bémols, dièses ou selon la tonalité)\n"
        "  mavrel sheet --per N [--for Bb|Eb|F] GRILLE.bab... -o SORTIE.pdf|SORTIE.png\n"
        "                                               compose des feuilles de 1, 2, 4 ou 8 grilles :\n"
        "                                               un recueil d'autant de pages qu'il faut en PDF,\n"
        "                                               une seule feuille en PNG\n"
        "  mavrel import LIENS -o DOSSIER [--force]     une grille par morceau d'une liste iReal Pro\n"
        "                                               (page HTML, texte ou lien irealb://)\n"
        "  mavrel export GRILLE.bab -o SORTIE.musicxml|SORTIE.ly|SORTIE.txt\n"
        "                                               MusicXML, grille LilyPond ou lien iReal Pro\n"
        "  mavrel --version                             affiche la version\n"
        "  --for Bb|Eb|F : la partie d'un instrument en Si♭, Mi♭ ou Fa, transposée et marquée.\n"
        "  -o - écrit sur la sortie standard (en PNG pour une image).\n");
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
            reported({false, refused, command.charts.value(0).toStdString()});
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
        return reported(writePng(thumbnail(c.image(), command.size), command.output)) ? 0 : 1;
    }
    case Command::Transpose: {
        if (!isChartName(command.output))
            return refuseOutput(command.output, QStringLiteral(".bab"));
        StandaloneChart c;
        if (!load(c, command.charts.first()))
            return 1;
        const Message refused = transpose(c.chart(), command.steps, command.spelling);
        if (!refused.empty()) {
            reported({false, refused, command.charts.first().toStdString()});
            return 1;
        }
        return save(c, command.output) ? 0 : 1;
    }
    case Command::Sheet:
        return runSheetCommand(command.per, command.charts, command.output, command.instrument);
    case Command::Import:
        return runImport(command.charts.first(), command.output, command.force);
    case Command::Export:
        return runExport(command.charts.first(), command.output);
    case Command::Help:
        std::fputs(usageText().toLocal8Bit().constData(), stdout);
        return 0;
    case Command::Version:
        std::fputs("mavrel " MAVREL_VERSION "\n", stdout);
        return 0;
    case Command::Invalid:
    case Command::Editor:
        break;
    }
    std::fputs(usageText().toLocal8Bit().constData(), stderr);
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
