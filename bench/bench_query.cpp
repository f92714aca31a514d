// SPDX-License-Identifier: GPL-3.0-or-later
// The query language on a numbered Spanish text of 100 MB, already opened,
// and a numbered translation of the same size: a phrase of two frequent
// words, a phrase with a rare word, regular expressions over the vocabulary,
// and conditions on the translation beside the same search alone. Each
// figure also as a ratio to a reference measured in the same run: one plain
// pass over the text's bytes. Memory: what a query adds at its peak, beside
// the text's own size.
// Usage: bench_query [megabytes]   (default: 100)
#include "common/fileio.h"
#include "numbering/numbering_engine.h"
#include "search/concordance.h"
#include "measure.h"
#include "text_generator.h"

#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace solandre;

namespace {

void fail(const QString& message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::exit(1);
}

struct Timing {
    double seconds; // median of the runs
    double addedMb; // peak memory above what was held before
    size_t hits;
};

Timing timeSearch(Concordance& concordance, const SearchRequest& request, int runs = 5)
{
    std::vector<double> times;
    double added = 0;
    size_t hits = 0;
    for (int run = 0; run < runs; ++run) {
        concordance.grid().prepare(); // the earlier rows freed, as a new search frees them
        const double held = bench::currentMemoryMb();
        const bench::Figure f = bench::measure([&] {
            const Result<size_t> found = concordance.search(request);
            if (!found) fail(found.error().message);
            hits = found.value();
        });
        times.push_back(f.seconds);
        added = std::max(added, f.peakMb - held);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], added, hits};
}

SearchRequest request(const std::string& typed, QuerySyntax syntax = QuerySyntax::Patterns)
{
    SearchRequest r;
    r.typed = QString::fromStdString(typed);
    r.syntax = syntax;
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
    QTemporaryDir dir;
    const QString source = dir.filePath("obra_ref.txt"), target = dir.filePath("oeuvre_ref.txt");
    const std::string numbered = numberText(bench::generateText(megabytes * 1'000'000, 1));
    if (!writeFileSafely(source, numbered).ok()) fail("source");
    if (!writeFileSafely(target, numberText(bench::generateText(megabytes * 1'000'000, 2))).ok()) fail("target");

    Concordance text, translation;
    if (Status s = text.load(source); !s) fail(s.error().message);
    if (Status s = translation.load(target); !s) fail(s.error().message);
    const WordIndex& index = text.index();
    const double textMb = double(numbered.size()) / 1e6;
    std::printf("numbered text %.1f MB: %zu words, %zu forms; its translation %.1f MB\n", textMb, index.size(),
                index.vocabularySize(), double(translation.text().size()) / 1e6);

    // The reference: one pass over every byte of the text.
    std::vector<double> passes;
    size_t blanks = 0;
    for (int run = 0; run < 5; ++run)
        passes.push_back(bench::timeIt([&] { blanks = size_t(std::count(text.text().begin(), text.text().end(), ' ')); }));
    std::sort(passes.begin(), passes.end());
    const double pass = passes[2];
    std::printf("reference: one pass over the text %.1f ms (%zu blanks)\n\n", pass * 1e3, blanks);

    // A word rarer than 1 in 10,000 and the word after it in its sentence.
    std::string rare;
    for (std::uint32_t rank = 0; rank < index.vocabularySize() && rare.empty(); ++rank) {
        const size_t n = index.occurrences(rank);
        if (n * 10'000 >= index.size() || n * 100'000 < index.size()) continue;
        const WordId first = *index.postingsBegin(rank);
        if (first + 1 < index.size() && index.markerRun(first) == index.markerRun(first + 1))
            rare = toUtf8(index.span(first, 2), index.encoding());
    }
    for (char& c : rare)
        if (c == '\r' || c == '\n') c = ' ';

    auto show = [&](const char* what, const std::string& typed, const Timing& t, double goal) {
        std::printf("%-34s %-22s %9zu hits %8.1f ms (goal %6.0f ms, %5.2f x the pass)  adds %4.0f MB (%.2f x the text)\n",
                    what, ("\"" + typed + "\"").c_str(), t.hits, t.seconds * 1e3, goal * 1e3, t.seconds / pass,
                    t.addedMb, t.addedMb / textMb);
    };
    const Timing single = timeSearch(text, request("casa"));
    show("a single form, as ever", "casa", single, 0.5);
    const Timing frequent = timeSearch(text, request("de la"));
    show("two frequent words", "de la", frequent, 0.5);
    const Timing rarePhrase = timeSearch(text, request(rare));
    show("a phrase with a rare word", rare, rarePhrase, 0.02);
    const Timing anyWord = timeSearch(text, request("de * de"));
    show("any word between two", "de * de", anyWord, 0.5);
    const Timing wild = timeSearch(text, request("*ci?n* de"));
    show("wildcards in a phrase", "*ci?n* de", wild, 0.5);
    for (const char* regex : {"des.*", "[a-z]+(ción|sión)", ".*a.*e.*i.*", "(ca|pe)[a-zñ]{2,4}s?"}) {
        const Timing t = timeSearch(text, request(regex, QuerySyntax::RegularExpressions));
        show("an expression over the vocabulary", regex, t, 0.2);
    }

    std::printf("\nconditions on the translation, beside the same search alone:\n");
    for (const auto& [typed, condition] : {std::pair{"de la", "la"}, std::pair{"de la", "casa"},
                                           std::pair{"casa", "de la"}, std::pair{"*mente", "*ción*"}}) {
        const Timing alone = timeSearch(text, request(typed));
        for (const TranslationTest test : {TranslationTest::Contains, TranslationTest::Lacks}) {
            SearchRequest r = request(typed);
            r.condition = TranslationCondition{test, QString::fromUtf8(condition), &translation};
            const Timing t = timeSearch(text, r);
            std::printf("  \"%s\" %s \"%s\": %zu of %zu hits, %.1f ms, %.2f x the search alone (goal 2)  adds %.0f MB\n",
                        typed, test == TranslationTest::Contains ? "contiene" : "no contiene", condition, t.hits,
                        alone.hits, t.seconds * 1e3, t.seconds / alone.seconds, t.addedMb);
        }
    }
    return 0;
}
