// SPDX-License-Identifier: GPL-3.0-or-later
// A collection of generated numbered pairs (1,000 pairs, 2 GB in all by
// default): the first opening (every text indexed, the indexes kept), the
// second (every index mapped from the store), a single-form query over all,
// and peak memory; against one read of every file, measured in the same run.
// bench_collection [PAIRS [MEGABYTES_PER_TEXT]]

#include "collection/collection_concordance.h"
#include "common/fileio.h"
#include "measure.h"
#include "numbering/numbering_engine.h"
#include "text_generator.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

using namespace solandre;

namespace {

void fail(const char* what)
{
    std::fprintf(stderr, "bench_collection: %s\n", what);
    std::exit(1);
}

// Every file of the folder read once, as the reference of the openings.
double readAll(const QString& folder, qint64& bytes)
{
    bytes = 0;
    return bench::timeIt([&] {
        std::unique_ptr<char[]> buffer(new char[1 << 20]);
        QDirIterator files(folder, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            if (!file.open(QIODevice::ReadOnly)) fail("read");
            for (qint64 n; (n = file.read(buffer.get(), 1 << 20)) > 0;) bytes += n;
        }
    });
}

} // namespace

int main(int argc, char** argv)
{
    const int pairs = argc > 1 ? std::atoi(argv[1]) : 1000;
    const size_t megabytes = argc > 2 ? size_t(std::atoi(argv[2])) : 1;
    QTemporaryDir work;
    const QString folder = work.filePath("collection"), cache = work.filePath("cache");
    QDir().mkpath(folder);
    // A few distinct texts, written under many names: generating 2 GB of prose would take longer than the work.
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
    qint64 bytes = 0;
    const double read = readAll(folder, bytes);
    std::printf("%d pairs, %.0f MB in all; one read of every file %.2f s\n", pairs, double(bytes) / 1e6, read);

    auto open = [&](const char* what) {
        CollectionStore store(folder, cache);
        CollectionConcordance concordance;
        double listed = 0;
        const bench::Figure f = bench::measure([&] {
            std::optional<Result<CollectionListing>> listing;
            listed = bench::timeIt([&] { listing.emplace(listCollection(folder, store)); });
            if (!*listing) fail("listing");
            if (!concordance.load(listing->value(), store).ok()) fail("load");
        });
        std::printf("  %-26s %8.2f s  (%5.2f x the read; listing %.2f s)  peak %6.0f MB, %.0f MB of it not "
                    "mapped from files\n",
                    what, f.seconds, f.seconds / read, listed, f.peakMb, bench::currentAnonymousMemoryMb());
        size_t hits = 0;
        const bench::Figure q = bench::measure([&] { hits = concordance.search(QStringLiteral("casa")); });
        std::printf("  %-26s %8.3f s  %zu hits  peak %6.0f MB\n", "  query \"casa\"", q.seconds, hits, q.peakMb);
    };
    open("first opening");
    open("second opening");
    return 0;
}
