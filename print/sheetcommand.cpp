#include "sheetcommand.h"

#include "document/chart.h"
#include "imagefile.h"
#include "printing.h"
#include "render/localfile.h"
#include "render/page.h"
#include "render/sheet.h"

#include <cstdio>

namespace mavrel {

namespace {

const ImageFormat SheetFormats[] = {
    {"png", encodePng},
    {"pdf", encodeSheetPdf},
};

void printError(const QString& message)
{
    std::fprintf(stderr, "mavrel : %s\n", message.toLocal8Bit().constData());
}

int usage()
{
    std::fputs("Utilisation : mavrel sheet --per N GRILLE.bab [GRILLE.bab ...] -o SORTIE.png|SORTIE.pdf\n"
               "  N = 1, 2, 4 ou 8 ; au plus N grilles, placées dans l'ordre.\n",
               stderr);
    return 2;
}

} // namespace

int runSheetCommand(int per, const QByteArrayList& charts, const QByteArray& output)
{
    const int layout = layoutFromCount(per);
    if (layout < 0 || charts.isEmpty() || charts.size() > per)
        return usage();
    const ImageFormat* format = formatFor(output, SheetFormats);
    if (!format) {
        printError(unknownFormatMessage(output, suffixList(SheetFormats)));
        return usage();
    }

    // Blank pages first; each chart then goes into the sheet as soon as it is
    // drawn, so that one full-size page at most is alive at a time.
    Sheet sheet;
    if (!sheet.compose(layout)) {
        printError(QStringLiteral("Mémoire insuffisante pour composer la feuille."));
        return 1;
    }
    for (int i = 0; i < charts.size(); ++i) {
        StandaloneChart chart;
        const FileResult r = chart.load(charts.at(i));
        if (!r.ok) {
            printError(fileMessage(r));
            return 1;
        }
        const QImage& page = chart.image();
        if (page.isNull() || !sheet.placePage(layout, i + 1, page)) {
            printError(QStringLiteral("Mémoire insuffisante pour dessiner la page de « %1 ».")
                           .arg(charts.at(i)));
            return 1;
        }
    }

    const FileResult written = writeImage(sheet.composed(), *format, output);
    if (!written.ok) {
        printError(fileMessage(written));
        return 1;
    }
    return 0;
}

} // namespace mavrel
