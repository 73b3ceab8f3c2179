#include "cli.h"

#include "document/editing.h"
#include "print/sheetcommand.h"
#include "render/page.h"

#include <QImage>

#include <cstdio>

namespace mavrel {

namespace {

bool takeOutput(QStringList& args, QString& output)
{
    const int i = args.indexOf(QStringLiteral("-o"));
    if (i < 0 || i + 1 >= args.size())
        return false;
    output = args.at(i + 1);
    args.remove(i, 2);
    return !output.isEmpty() && !args.contains(QStringLiteral("-o"));
}

bool isOption(const QString& a) { return a.startsWith(QLatin1Char('-')) && a.size() > 1; }

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

// A chart read or written by a command, its message printed when that fails.
bool reported(const FileResult& r)
{
    if (!r.ok)
        printError(QString::fromStdString(r.message));
    return r.ok;
}

int writePng(const QImage& page, const QString& path)
{
    if (!page.convertToFormat(QImage::Format_RGB888).save(path, "PNG")) {
        printError(QStringLiteral("Impossible d'écrire l'image « %1 ».").arg(path));
        return 1;
    }
    return 0;
}

} // namespace

Command parseCommandLine(const QStringList& arguments)
{
    QStringList args = arguments;
    if (args.isEmpty())
        return {};
    const QString first = args.takeFirst();
    if (first == QLatin1String("-h") || first == QLatin1String("--help")) {
        Command c;
        c.kind = Command::Help;
        return args.isEmpty() ? c : invalid();
    }

    Command c;
    if (first == QLatin1String("new")) {
        c.kind = Command::New;
        if (!takeOutput(args, c.output) || !args.isEmpty())
            return invalid();
        return c;
    }
    if (first == QLatin1String("render")) {
        c.kind = Command::Render;
        if (!takeOutput(args, c.output) || args.size() > 1)
            return invalid();
        c.charts = args;
    } else if (first == QLatin1String("transpose")) {
        c.kind = Command::Transpose;
        if (!takeOutput(args, c.output) || args.size() != 2)
            return invalid();
        bool ok = false;
        c.steps = args.at(0).toInt(&ok);
        if (!ok)
            return invalid();
        c.charts = {args.at(1)};
    } else if (first == QLatin1String("sheet")) {
        c.kind = Command::Sheet;
        const int i = args.indexOf(QStringLiteral("--per"));
        if (i < 0 || i + 1 >= args.size())
            return invalid();
        bool ok = false;
        c.per = args.at(i + 1).toInt(&ok);
        args.remove(i, 2);
        if (!ok || (c.per != 1 && c.per != 2 && c.per != 4 && c.per != 8))
            return invalid();
        if (!takeOutput(args, c.output) || args.isEmpty() || args.size() > c.per)
            return invalid();
        c.charts = args;
    } else {
        // The editor, on one chart at most.
        if (!args.isEmpty() || isOption(first))
            return invalid();
        c.charts = {first};
        return c;
    }
    for (const QString& a : c.charts)
        if (isOption(a))
            return invalid();
    return c;
}

QString usageText()
{
    return QStringLiteral(
        "Utilisation :\n"
        "  mavrel [GRILLE.bab]                          ouvre l'éditeur\n"
        "  mavrel new -o SORTIE.bab                     écrit une grille neuve\n"
        "  mavrel render [GRILLE.bab] -o SORTIE.png     dessine la page d'une grille\n"
        "  mavrel transpose DEMI-TONS GRILLE.bab -o SORTIE.bab\n"
        "                                               transpose une grille\n"
        "  mavrel sheet --per N GRILLE.bab... -o SORTIE.png|SORTIE.pdf\n"
        "                                               compose une composed de 1, 2, 4 ou 8 grilles\n");
}

int runCommand(const Command& command)
{
    switch (command.kind) {
    case Command::New:
        return reported(StandaloneChart().save(command.output)) ? 0 : 1;
    case Command::Render: {
        StandaloneChart c;
        if (!command.charts.isEmpty() && !reported(c.load(command.charts.first())))
            return 1;
        return writePng(c.image(), command.output);
    }
    case Command::Transpose: {
        StandaloneChart c;
        if (!reported(c.load(command.charts.first())))
            return 1;
        // Twelve semitones give back the chart.
        const int direction = command.steps < 0 ? -1 : 1;
        for (long i = 0; i < std::labs(long(command.steps)) % 12; ++i)
            transpose(c.chart(), direction);
        c.view().redraw();
        return reported(c.save(command.output)) ? 0 : 1;
    }
    case Command::Sheet:
        return runSheetCommand(command.per, command.charts, command.output);
    case Command::Help:
        std::fputs(usageText().toLocal8Bit().constData(), stdout);
        return 0;
    case Command::Invalid:
    case Command::Editor:
        break;
    }
    std::fputs(usageText().toLocal8Bit().constData(), stderr);
    return 2;
}

} // namespace mavrel
