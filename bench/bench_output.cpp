// SPDX-License-Identifier: GPL-3.0-or-later
// Saving and printing: the results file of 100,000 hits of a generated 100 MB
// numbered pair (reading both texts, finding the segments, writing safely),
// and a 10,000-hit list printed to a PDF file.
#include "common/fileio.h"
#include "numbering/numbering_engine.h"
#include "platform/qt_printer.h"
#include "search/concordance.h"
#include "search/results_file.h"
#include "windows/search/list_printout.h"
#include "measure.h"
#include "text_generator.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

using namespace solandre;

namespace {

void benchSaving(const QTemporaryDir& dir)
{
    const QString source = dir.filePath("source_ref.txt");
    const QString target = dir.filePath("cible_ref.txt");
    if (!writeFileSafely(source, numberText(bench::generateText(100'000'000, 1))).ok() ||
        !writeFileSafely(target, numberText(bench::generateText(100'000'000, 2))).ok())
        std::exit(1);
    Concordance concordance;
    if (!concordance.load(source).ok()) std::exit(1);
    // Every 170th word: hits spread over the whole text.
    WordList hits;
    for (WordId w = 0; w < concordance.index().size() && hits.size() < 100'000; w += 170)
        hits.push_back(w);
    concordance.grid().showHits(std::move(hits));

    const QString results = dir.filePath("resultados.txt");
    const ResultsHeading heading = makeHeading(kPreparedTextsPrefixes, "Obra", "07/12/2026");
    const double seconds = bench::timeIt([&] {
        if (!saveResultsFile(results, concordance, target, heading).ok()) std::exit(1);
    });
    std::printf("saving %zu hits of a 100 MB pair: %.3f s (%.1f MB written)\n",
                concordance.grid().hitCount(), seconds, double(QFileInfo(results).size()) / 1e6);
}

void benchPrinting(const QTemporaryDir& dir)
{
    std::string text;
    for (int s = 1; s <= 10'000; ++s) text += "[" + std::to_string(s) + "] casa.\r\n";
    Concordance concordance(text);
    concordance.search("casa");
    QtPrinter pdf;
    pdf.device().setOutputFormat(QPrinter::PdfFormat);
    pdf.device().setOutputFileName(dir.filePath("lista.pdf"));
    const double seconds = bench::timeIt([&] {
        if (!printResultList(pdf, concordance.grid())) std::exit(1);
    });
    std::printf("printing a list of %zu hits to PDF: %.3f s (%.1f kB)\n",
                concordance.grid().hitCount(), seconds,
                double(QFileInfo(dir.filePath("lista.pdf")).size()) / 1e3);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    benchSaving(dir);
    benchPrinting(dir);
    return 0;
}
