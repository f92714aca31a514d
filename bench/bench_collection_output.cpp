// SPDX-License-Identifier: GPL-3.0-or-later
// What is written from a collection's hits: the export of a single-form
// query's hits over every pair (TSV) and their results file, against the
// same writing done pair by pair with a single pair's export and results
// file, measured in the same run: the collection should cost what its pairs
// cost one by one.
// bench_collection_output [PAIRS [MEGABYTES_PER_TEXT]]

#include "collection/collection_output.h"
#include "common/fileio.h"
#include "measure.h"
#include "numbering/numbering_engine.h"
#include "search/concordance_lines.h"
#include "study/export_file.h"
#include "text_generator.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace solandre;

namespace {

void fail(const char* what)
{
    std::fprintf(stderr, "bench_collection_output: %s\n", what);
    std::exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    const int pairs = argc > 1 ? std::atoi(argv[1]) : 200;
    const size_t megabytes = argc > 2 ? size_t(std::atoi(argv[2])) : 1;
    QTemporaryDir work;
    const QString folder = work.filePath("collection"), cache = work.filePath("cache");
    QDir().mkpath(folder);
    std::vector<std::string> sources, targets;
    for (unsigned seed = 1; seed <= 8; ++seed) {
        sources.push_back(numberText(bench::generateText(megabytes << 20, seed)));
        targets.push_back(numberText(bench::generateText(megabytes << 20, seed + 100)));
    }
    for (int k = 0; k < pairs; ++k) {
        const QString name = folder + QStringLiteral("/libro%1/cap%2").arg(k / 50).arg(k);
        QDir().mkpath(QFileInfo(name).path());
        if (!writeFileSafely(FileRef(name + "_source_ref.txt"), sources[size_t(k) % 8]).ok() ||
            !writeFileSafely(FileRef(name + "_cible_ref.txt"), targets[size_t(k) % 8]).ok())
            fail("write");
    }
    CollectionStore store(folder, cache);
    auto listing = listCollection(folder, store);
    if (!listing) fail("listing");
    CollectionConcordance concordance;
    if (!concordance.load(listing.value(), store).ok()) fail("load");
    const size_t hits = concordance.search(QStringLiteral("casa"));
    std::printf("%d pairs of %zu MB texts; \"casa\": %zu hits\n", pairs, megabytes, hits);

    const QString out = work.filePath("out");
    const ResultsHeading heading = makeHeading(kCollectionPrefixes, folder, "hoy");
    auto each = [&](const std::function<Status(size_t member)>& write) {
        for (size_t m = 0; m < concordance.members(); ++m)
            if (!write(m)) fail("writing a pair");
    };
    struct Writing {
        const char* what;
        std::function<void()> pairByPair, collection;
    };
    const Writing writings[] = {
        {"export (TSV)",
         [&] {
             each([&](size_t m) {
                 const Concordance& c = concordance.concordance(m);
                 return exportLines(out, ConcordanceLines::ofGrid(c.grid()), c.file(),
                                    concordance.pair(m).pair.target, ExportFormat::Tsv);
             });
         },
         [&] {
             if (!exportCollection(out, concordance, ExportFormat::Tsv)) fail("export");
         }},
        {"results file",
         [&] {
             each([&](size_t m) {
                 return saveResultsFile(out, concordance.concordance(m), concordance.pair(m).pair.target, heading);
             });
         },
         [&] {
             if (!saveCollectionResults(out, concordance, heading)) fail("results file");
         }},
    };
    for (const Writing& w : writings) {
        const bench::Figure one = bench::measure(w.pairByPair);
        const bench::Figure all = bench::measure(w.collection);
        std::printf("  %-14s pair by pair %6.2f s, peak %5.0f MB; the collection %6.2f s (%4.2f x), peak %5.0f MB, "
                    "%.0f MB written\n",
                    w.what, one.seconds, one.peakMb, all.seconds, all.seconds / one.seconds, all.peakMb,
                    double(QFileInfo(out).size()) / 1e6);
    }
    return 0;
}
