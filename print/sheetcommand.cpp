#include "sheetcommand.h"

#include "document/chart.h"
#include "printing.h"
#include "render/page.h"
#include "render/sheet.h"

#include <QFileInfo>
#include <QImage>

#include <cstdio>

namespace mavrel {

namespace {

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

int runSheetCommand(int per, const QStringList& charts, const QString& output)
{
    const int layout = layoutFromCount(per);
    const QString suffix = QFileInfo(output).suffix().toLower();
    if (layout < 0 || charts.isEmpty() || charts.size() > per
        || (suffix != QLatin1String("png") && suffix != QLatin1String("pdf")))
        return usage();

    Sheet sheet;
    for (int i = 0; i < charts.size(); ++i) {
        StandaloneChart chart;
        const FileResult r = chart.load(charts.at(i));
        if (!r.ok) {
            printError(QString::fromStdString(r.message));
            return 1;
        }
        sheet.copyPage(i + 1, chart.image());
    }
    sheet.compose(layout);

    if (suffix == QLatin1String("png")) {
        if (!sheet.composed().convertToFormat(QImage::Format_RGB888).save(output, "PNG")) {
            printError(QStringLiteral("Impossible d'écrire l'image « %1 ».").arg(output));
            return 1;
        }
    } else if (!writeSheetPdf(sheet.composed(), output)) {
        printError(QStringLiteral("Impossible d'écrire le fichier « %1 ».").arg(output));
        return 1;
    }
    return 0;
}

} // namespace mavrel
