// SPDX-License-Identifier: GPL-3.0-or-later
// A collection of generated numbered pairs (1,000 pairs, 2 GB in all by
// default): the first opening (every text indexed, the indexes kept), the
// second (every index mapped from the store), a cancel half-way through a
// first opening and the opening after it, queries over all, the candidates
// of one over every pair and its lines sorted across texts, and memory:
// the peak, and what the process holds beyond the pages of mapped files per
// pair. Against one read of every file and against indexing every source
// alone, one after another, both measured in the same run. Each
// opening runs in a process of its own, so that no figure carries memory
// over from another.
// bench_collection [PAIRS [MEGABYTES_PER_TEXT]]

#include "collection/collection_candidates.h"
#include "collection/collection_concordance.h"
#include "collection/collection_lines.h"
#include "common/fileio.h"
#include "measure.h"
#include "numbering/numbering_engine.h"
#include "search/word_index.h"
#include "text_generator.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <memory>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

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

// `work` in a child process, its figures printed there.
template <class F> void inItsOwnProcess(F&& work)
{
    std::fflush(stdout);
    const pid_t child = fork();
    if (child < 0) fail("fork");
    if (child == 0) {
        work();
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) fail("a measure failed");
}

struct Run {
    QString folder, cache;
    int pairs;
    double read;    // seconds
    double indexing; // seconds, every source indexed in memory, nothing kept
    double mb;      // of the collection
};

void open(const Run& run, const char* what, bool queries)
{
    // What the parent freed must not be counted, nor hide what this opening takes.
    malloc_trim(0);
    const double anonymousBefore = bench::currentAnonymousMemoryMb();
    CollectionStore store(run.folder, run.cache);
    CollectionConcordance concordance;
    double listed = 0;
    const bench::Figure f = bench::measure([&] {
        std::optional<Result<CollectionListing>> listing;
        listed = bench::timeIt([&] { listing.emplace(listCollection(run.folder, store)); });
        if (!*listing) fail("listing");
        if (!concordance.load(listing->value(), store).ok()) fail("load");
    });
    const double held = bench::currentAnonymousMemoryMb() - anonymousBefore;
    std::printf("  %-22s %7.2f s  %6.2f x the read, %4.2f x the indexing alone (listing %.2f s); peak %5.0f MB = "
                "%5.3f x the collection; held beyond mapped files %6.1f MB, %5.1f KB a pair\n",
                what, f.seconds, f.seconds / run.read, f.seconds / run.indexing, listed, f.peakMb, f.peakMb / run.mb,
                held, held * 1024 / run.pairs);
    if (!queries) return;
    auto query = [&](const char* typed, bool withCondition) {
        SearchRequest request;
        request.typed = QString::fromUtf8(typed);
        if (withCondition) request.condition = TranslationCondition{TranslationTest::Contains, QStringLiteral("noche"), nullptr};
        size_t hits = 0;
        const bench::Figure q = bench::measure([&] { hits = concordance.search(request).value(); });
        const double after = bench::currentAnonymousMemoryMb() - anonymousBefore;
        std::printf("    query %-24s %6.3f s  %5.3f x the read, %8zu hits; peak %5.0f MB; held %6.1f MB\n",
                    (QStringLiteral("\"") + request.typed + (withCondition ? "\" / \"noche\"" : "\"")).toUtf8().constData(),
                    q.seconds, q.seconds / run.read, hits, q.peakMb, after);
    };
    query("casa", false);
    query("cas*", false);
    query("*mente", false);
    query("casa", true);

    // The views of the last query but one, "casa" again.
    (void)concordance.search(QStringLiteral("casa"));
    size_t words = 0;
    const bench::Figure c = bench::measure([&] {
        const auto found = collectionCandidates(concordance, 10);
        if (!found) fail("candidates");
        words = found.value().best.size();
    });
    std::printf("    candidates of \"casa\"        %6.2f s  %5.3f x the read, %8zu words; peak %5.0f MB\n", c.seconds,
                c.seconds / run.read, words, c.peakMb);
    const bench::Figure l = bench::measure([&] {
        CollectionLines lines = CollectionLines::ofHits(concordance);
        if (!lines.sort(LineKey::Left1)) fail("sort");
    });
    std::printf("    lines sorted by the left     %6.2f s  %5.3f x the read; peak %5.0f MB\n", l.seconds,
                l.seconds / run.read, l.peakMb);
}

} // namespace

int main(int argc, char** argv)
{
    const int pairs = argc > 1 ? std::atoi(argv[1]) : 1000;
    const size_t megabytes = argc > 2 ? size_t(std::atoi(argv[2])) : 1;
    QTemporaryDir work;
    Run run{work.filePath("collection"), work.filePath("cache"), pairs, 0, 0, 0};
    QDir().mkpath(run.folder);
    {
        // A few distinct texts, written under many names: generating 2 GB of prose would take longer than the work.
        std::vector<std::string> sources, targets;
        for (unsigned seed = 1; seed <= 8; ++seed) {
            sources.push_back(numberText(bench::generateText(megabytes << 20, seed)));
            targets.push_back(numberText(bench::generateText(megabytes << 20, seed + 100)));
        }
        for (int k = 0; k < pairs; ++k) {
            const QString name = run.folder + QStringLiteral("/libro%1/cap%2").arg(k / 50).arg(k);
            QDir().mkpath(QFileInfo(name).path());
            if (!writeFileSafely(FileRef(name + "_source_ref.txt"), sources[size_t(k) % 8]).ok() ||
                !writeFileSafely(FileRef(name + "_cible_ref.txt"), targets[size_t(k) % 8]).ok())
                fail("write");
        }
    }
    qint64 bytes = 0;
    run.read = readAll(run.folder, bytes);
    run.mb = double(bytes) / (1 << 20);
    std::printf("%d pairs, %.0f MB in all; one read of every file %.2f s\n", pairs, run.mb, run.read);

    // Indexing alone, one text after another, nothing kept: what the first opening cannot do without.
    QDirIterator files(run.folder, {QStringLiteral("*_source_ref.txt")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        auto text = TextFile::open(FileRef(files.next()));
        if (!text) fail("open");
        run.indexing += bench::timeIt([&] { (void)WordIndex::build(text.value().text(), text.value().encoding()); });
    }
    std::printf("  %-22s %7.2f s  %6.2f x the read\n", "indexing alone", run.indexing, run.indexing / run.read);

    inItsOwnProcess([&] { open(run, "first opening", true); });
    inItsOwnProcess([&] { open(run, "second opening", true); });

    // A first opening cancelled half-way must leave a store the next opening trusts.
    QDir(run.cache).removeRecursively();
    inItsOwnProcess([&] {
        CollectionStore store(run.folder, run.cache);
        auto listing = listCollection(run.folder, store);
        if (!listing) fail("listing");
        CollectionConcordance concordance;
        const double cancelled = bench::timeIt([&] {
            const Status loaded = concordance.load(listing.value(), store, [](double done) { return done < 0.5; });
            if (loaded || !loaded.error().cancelled) fail("cancel");
        });
        std::printf("  %-22s %7.2f s  %6.2f x the read, %4.2f x the indexing alone\n", "cancelled half-way", cancelled,
                    cancelled / run.read, cancelled / run.indexing);
    });
    inItsOwnProcess([&] { open(run, "opening after it", false); });
    return 0;
}
