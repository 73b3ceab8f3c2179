#include "songcommand.h"

#include "document/chordtext.h"
#include "document/key.h"
#include "document/text.h"
#include "fileformats.h"
#include "document/editing.h"
#include "files/formatnames.h"
#include "files/localfile.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <memory>

namespace mavrel {

namespace {

// The command line's texts, with the other commands'.
struct CommandLine {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

QString shown(const QByteArray& argument) { return QFile::decodeName(argument); }

// An argument as UTF-8, whatever the locale's encoding.
std::string utf8(const QByteArray& argument) { return QString::fromLocal8Bit(argument).toStdString(); }

constexpr int MaxTempo = 600;

// Reads one option's value into the command; false with `error` set when
// the value is wrong.
bool readValue(SongCommand& c, const QByteArray& option, const QByteArray& value, QString& error)
{
    auto text = [&](std::optional<std::string>& field, std::size_t capacity) {
        const std::string s = utf8(value);
        if (s.size() > capacity || text::hasControl(s)) {
            error = CommandLine::tr("%1 : %2 octets au plus, sans caractère de contrôle.")
                        .arg(QString::fromLatin1(option), QString::number(capacity));
            return false;
        }
        field = s;
        return true;
    };
    SongInfo song{};
    if (option == "--title")
        return text(c.title, sizeof song.title.chars);
    if (option == "--composer")
        return text(c.composer, sizeof song.composer.chars);
    if (option == "--style")
        return text(c.style, sizeof song.style.chars);
    if (option == "--key") {
        const Key key = value == "none" ? Key{} : readKey(value.toStdString());
        if (key.empty() && value != "none") {
            error = CommandLine::tr("--key : « %1 » n'est pas une tonalité (C, Bb, F#m... ou none).").arg(shown(value));
            return false;
        }
        c.key = key;
        return true;
    }
    if (option == "--tempo") {
        bool ok = false;
        const int tempo = value.toInt(&ok);
        if (!ok || tempo < 0 || tempo > MaxTempo) {
            error = CommandLine::tr("--tempo : « %1 » n'est pas un nombre de 0 à %2.").arg(shown(value)).arg(MaxTempo);
            return false;
        }
        c.tempo = tempo;
        return true;
    }
    // --time
    const std::optional<TimeSignature> time =
        value == "none" ? std::optional(TimeSignature{}) : readMeter(value.toStdString());
    if (!time) {
        error = CommandLine::tr("--time : « %1 » n'est pas un chiffrage (3/4, 6/8... ou none).").arg(shown(value));
        return false;
    }
    c.time = *time;
    return true;
}

void print(const QString& line) { std::fputs((line + QLatin1Char('\n')).toLocal8Bit().constData(), stdout); }

QString fromUtf8(std::string_view s) { return visibleText(QString::fromUtf8(s.data(), qsizetype(s.size()))); }

void printSong(const Chart& chart)
{
    const SongInfo& song = chart.song;
    print(CommandLine::tr("Titre : %1").arg(fromUtf8(song.title.view())).trimmed());
    print(CommandLine::tr("Compositeur : %1").arg(fromUtf8(song.composer.view())).trimmed());
    print(CommandLine::tr("Style : %1").arg(fromUtf8(song.style.view())).trimmed());
    if (!song.key.empty())
        print(CommandLine::tr("Tonalité : %1").arg(QString::fromStdString(keyText(song.key))));
    else if (const Key heard = detectKey(chart); !heard.empty())
        print(CommandLine::tr("Tonalité : non précisée (détectée : %1)").arg(QString::fromStdString(keyText(heard))));
    else
        print(CommandLine::tr("Tonalité : non précisée"));
    print(song.tempo ? CommandLine::tr("Tempo : %1").arg(song.tempo) : CommandLine::tr("Tempo : non précisé"));
    print(song.time.empty() ? CommandLine::tr("Chiffrage : non précisé (4/4)")
                            : CommandLine::tr("Chiffrage : %1/%2").arg(song.time.beats).arg(song.time.unit));
    for (int i = 1; i <= chart.info.count && i <= MaxBars; ++i)
        print(QStringLiteral("%1 : %2").arg(i).arg(fromUtf8(barText(chart.bar(i), song.bar(i)))));
}

} // namespace

std::optional<SongCommand> readSongCommand(const QByteArrayList& args, QString& error)
{
    SongCommand c;
    QByteArrayList given;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QByteArray& a = args.at(i);
        if (a == "--bar") {
            if (i + 2 >= args.size()) {
                error = CommandLine::tr("--bar : il manque N TEXTE.");
                return std::nullopt;
            }
            bool ok = false;
            const int bar = args.at(i + 1).toInt(&ok);
            if (!ok || bar < 1 || bar > MaxBars) {
                error = CommandLine::tr("--bar : « %1 » n'est pas un nombre de 1 à %2.").arg(shown(args.at(i + 1))).arg(MaxBars);
                return std::nullopt;
            }
            if (const TypedBar typed = readBar(utf8(args.at(i + 2))); !typed.error.empty()) {
                error = CommandLine::tr("--bar %1 : %2").arg(bar).arg(visibleText(messageText(typed.error)));
                return std::nullopt;
            }
            c.bars.emplace_back(bar, args.at(i + 2));
            i += 2;
            continue;
        }
        const bool valued = a == "-o" || a == "--title" || a == "--composer" || a == "--style" || a == "--key"
            || a == "--tempo" || a == "--time";
        if (valued) {
            if (given.contains(a)) {
                error = CommandLine::tr("%1 donné deux fois.").arg(QString::fromLatin1(a));
                return std::nullopt;
            }
            given << a;
            if (i + 1 >= args.size()) {
                error = CommandLine::tr("%1 : valeur manquante.").arg(QString::fromLatin1(a));
                return std::nullopt;
            }
            const QByteArray& value = args.at(++i);
            if (a == "-o")
                c.output = value;
            else if (!readValue(c, a, value, error))
                return std::nullopt;
            continue;
        }
        if (a.startsWith('-') && a.size() > 1) {
            error = CommandLine::tr("Option inconnue : « %1 ».").arg(shown(a));
            return std::nullopt;
        }
        if (!c.chart.isEmpty()) {
            error = CommandLine::tr("« %1 » en trop.").arg(shown(a));
            return std::nullopt;
        }
        c.chart = a;
    }
    if (c.chart.isEmpty())
        error = CommandLine::tr("Il manque GRILLE.bab.");
    else if (c.changes() && c.output.isEmpty())
        error = CommandLine::tr("Il manque -o SORTIE.");
    else if (given.contains("-o") && c.output.isEmpty())
        error = CommandLine::tr("-o : valeur manquante.");
    if (!error.isEmpty())
        return std::nullopt;
    return c;
}

int runSongCommand(const SongCommand& c)
{
    const FileFormat* format = nullptr;
    if (!c.output.isEmpty()) {
        format = fileFormats().forOutput(c.output.toStdString(), FileOperation::WriteChart);
        if (!format) {
            printError(unknownFormatMessage(c.output, extensionList(fileFormats().formats(FileOperation::WriteChart))));
            return 2;
        }
    }
    auto read = std::make_unique<Chart>();
    resetChart(*read);
    const std::string name = c.chart.toStdString();
    if (const FileResult r = fileFormats().forInput(name, FileOperation::ReadChart)->read(name, *read);
        !r.ok || !r.warning.empty()) {
        printError(fileMessage(r));
        if (!r.ok)
            return 1;
    }
    Chart& chart = *read;
    if (c.output.isEmpty()) {
        printSong(chart);
        return 0;
    }
    SongInfo& song = chart.song;
    if (c.title)
        setText(song.title, *c.title);
    if (c.composer)
        setText(song.composer, *c.composer);
    if (c.style)
        setText(song.style, *c.style);
    if (c.key)
        song.key = *c.key;
    if (c.tempo)
        song.tempo = static_cast<std::uint16_t>(*c.tempo);
    if (c.time)
        song.time = *c.time;
    for (const auto& [bar, text] : c.bars) {
        if (bar > chart.info.count) {
            printError(CommandLine::tr("--bar %1 : la grille n'a que %2 mesures.").arg(bar).arg(chart.info.count));
            return 2;
        }
        storeTypedBar(chart.bar(bar), song.bar(bar), readBar(utf8(text)));
    }
    const FileResult saved = format->write(chart, {}, c.output.toStdString());
    if (!saved.ok || !saved.warning.empty())
        printError(fileMessage(saved));
    return saved.ok ? 0 : 1;
}

} // namespace mavrel
