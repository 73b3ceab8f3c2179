#include "sheetcommand.h"

#include "document/chart.h"
#include "imagefile.h"
#include "printing.h"
#include "files/localfile.h"
#include "render/page.h"
#include "render/sheet.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <memory>
#include <vector>

namespace mavrel {

namespace {

enum class SheetOutput { Png, Pdf };
struct OutputFormat {
    const char* suffix;
    SheetOutput output;
};
const OutputFormat SheetFormats[] = {
    {"png", SheetOutput::Png},
    {"pdf", SheetOutput::Pdf},
};

int usage()
{
    std::fputs(QCoreApplication::translate("CommandLine",
                   "Utilisation : mavrel sheet --per N [--for Bb|Eb|F] GRILLE.bab... -o SORTIE.pdf|SORTIE.png\n"
                   "  N = 1, 2, 4 ou 8 grilles par feuille, placées dans l'ordre ; un PDF a autant\n"
                   "  de pages qu'il en faut, une image PNG une seule feuille.\n")
                   .toLocal8Bit()
                   .constData(),
               stderr);
    return 2;
}

QString charts(qsizetype n)
{
    return n == 1 ? QCoreApplication::translate("CommandLine", "1 grille") : QCoreApplication::translate("CommandLine", "%1 grilles").arg(n);
}

// One sheet, pixel for pixel: each chart is drawn and placed as soon as it is
// read, so that one full-size page at most is alive at a time.
int writeSheetPng(int layout, const QByteArrayList& files, const QByteArray& output, Instrument instrument)
{
    Sheet sheet;
    if (!sheet.compose(layout)) {
        printError(QCoreApplication::translate("CommandLine", "Mémoire insuffisante pour composer la feuille."));
        return 1;
    }
    for (int i = 0; i < files.size(); ++i) {
        StandaloneChart chart;
        const FileResult r = chart.load(files.at(i));
        if (!r.ok) {
            printError(fileMessage(r));
            return 1;
        }
        if (const Message refused = makePart(chart.chart(), instrument); !refused.empty()) {
            printError(fileMessage(FileResult::failure(refused, files.at(i).toStdString())));
            return 1;
        }
        QImage page = chart.image();
        markPart(page, instrument);
        if (page.isNull() || !sheet.placePage(layout, i + 1, page)) {
            printError(QCoreApplication::translate("CommandLine", "Mémoire insuffisante pour dessiner la page de « %1 ».")
                           .arg(QFile::decodeName(files.at(i))));
            return 1;
        }
    }
    const FileResult written = writePng(sheet.composed(), output);
    if (!written.ok) {
        printError(fileMessage(written));
        return 1;
    }
    return 0;
}

// The songbook: every chart read first, so that a chart that cannot be read
// leaves nothing written; then the sheets, one a page.
int writeSongbook(int layout, int per, const QByteArrayList& files, const QByteArray& output, Instrument instrument)
{
    std::vector<std::unique_ptr<Chart>> read;
    for (const QByteArray& file : files) {
        auto chart = std::make_unique<Chart>();
        resetChart(*chart);
        const FileResult r = loadChart(*chart, file.toStdString());
        if (!r.ok) {
            printError(fileMessage(r));
            return 1;
        }
        if (const Message refused = partProblem(*chart, instrument); !refused.empty()) {
            printError(fileMessage(FileResult::failure(refused, file.toStdString())));
            return 1;
        }
        read.push_back(std::move(chart));
    }
    std::vector<SheetCharts> sheets((read.size() + per - 1) / per);
    for (std::size_t i = 0; i < read.size(); ++i) {
        SheetCharts& sheet = sheets[i / per];
        sheet.layout = layout;
        sheet.instrument = instrument;
        sheet.charts[i % per] = read[i].get();
    }
    QByteArray bytes;
    if (!encodeSheetsPdf(sheets, bytes)) {
        printError(QCoreApplication::translate("CommandLine", "%1 : Mémoire insuffisante pour créer le document.").arg(QFile::decodeName(output)));
        return 1;
    }
    const FileResult written = writeBytes(bytes, output);
    if (!written.ok) {
        printError(fileMessage(written));
        return 1;
    }
    return 0;
}

} // namespace

int runSheetCommand(int per, const QByteArrayList& files, const QByteArray& output, Instrument instrument)
{
    const int layout = layoutFromCount(per);
    if (layout < 0 || files.isEmpty())
        return usage();
    const OutputFormat* format = formatFor(output, SheetFormats);
    if (!format) {
        printError(unknownFormatMessage(output, suffixList(SheetFormats)));
        return usage();
    }
    if (format->output == SheetOutput::Pdf)
        return writeSongbook(layout, per, files, output, instrument);
    if (files.size() > per) {
        printError(QCoreApplication::translate("CommandLine",
                                               "%1 : une image PNG ne contient qu'une feuille, soit %2 au plus, et %3 "
                                               "sont données ; un PDF en fait un recueil d'autant de pages qu'il faut.")
                       .arg(QFile::decodeName(output), charts(per), charts(files.size())));
        return 2;
    }
    return writeSheetPng(layout, files, output, instrument);
}

} // namespace mavrel
