// SPDX-License-Identifier: GPL-3.0-or-later
// The query language on a numbered text of 100 MB, already opened, and a
// numbered translation of the same size: Spanish prose, then Spanish-like
// prose over 200,000 forms (where words rarer than 1 in 10,000 occur). A
// phrase of two frequent words, a phrase with a rare word, wildcards,
// regular expressions over the vocabulary, and conditions on the
// translation beside the same search alone. Each figure also as a ratio to
// a reference measured in the same run: one plain pass over the text's
// bytes. Memory: what a query adds at its peak, beside the text's size.
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

// The most frequent forms, most frequent first.
std::vector<std::string> frequentForms(const WordIndex& index, size_t count)
{
    std::vector<std::uint32_t> ranks(index.vocabularySize());
    for (std::uint32_t r = 0; r < ranks.size(); ++r) ranks[r] = r;
    std::partial_sort(ranks.begin(), ranks.begin() + std::ptrdiff_t(std::min(count, ranks.size())), ranks.end(),
                      [&](std::uint32_t a, std::uint32_t b) { return index.occurrences(a) > index.occurrences(b); });
    std::vector<std::string> forms;
    for (size_t k = 0; k < std::min(count, ranks.size()); ++k) forms.emplace_back(index.lowerForm(ranks[k]));
    return forms;
}

// A word rarer than 1 in 10,000 and the word after it in its sentence;
// empty when the text has none.
std::string rarePhrase(const WordIndex& index)
{
    for (std::uint32_t rank = 0; rank < index.vocabularySize(); ++rank) {
        const size_t n = index.occurrences(rank);
        if (n * 10'000 >= index.size() || n * 100'000 < index.size()) continue;
        const WordId first = *index.postingsBegin(rank);
        if (first + 1 < index.size() && index.markerRun(first) == index.markerRun(first + 1)) {
            std::string phrase = toUtf8(index.span(first, 2), index.encoding());
            for (char& c : phrase)
                if (c == '\r' || c == '\n') c = ' ';
            return phrase;
        }
    }
    return {};
}

void run(const char* title, const std::string& sourceText, const std::string& targetText)
{
    QTemporaryDir dir;
    const QString source = dir.filePath("obra_ref.txt"), target = dir.filePath("oeuvre_ref.txt");
    const std::string numbered = numberText(sourceText);
    if (!writeFileSafely(source, numbered).ok()) fail("source");
    if (!writeFileSafely(target, numberText(targetText)).ok()) fail("target");

    Concordance text, translation;
    if (Status s = text.load(source); !s) fail(s.error().message);
    if (Status s = translation.load(target); !s) fail(s.error().message);
    const WordIndex& index = text.index();
    const double textMb = double(numbered.size()) / 1e6;
    std::printf("\n%s: numbered text %.1f MB, %zu words, %zu forms; its translation %.1f MB\n", title, textMb,
                index.size(), index.vocabularySize(), double(translation.text().size()) / 1e6);

    // The reference: one pass over every byte of the text.
    std::vector<double> passes;
    size_t blanks = 0;
    for (int run = 0; run < 5; ++run)
        passes.push_back(bench::timeIt([&] { blanks = size_t(std::count(text.text().begin(), text.text().end(), ' ')); }));
    std::sort(passes.begin(), passes.end());
    const double pass = passes[2];
    std::printf("reference: one pass over the text %.1f ms (%zu blanks)\n", pass * 1e3, blanks);

    auto show = [&](const char* what, const std::string& typed, const Timing& t, double goal) {
        std::printf("%-34s %-24s %9zu hits %8.1f ms (goal %4.0f ms, %6.2f x the pass)  adds %4.0f MB (%.2f x the text)\n",
                    what, ("\"" + typed + "\"").c_str(), t.hits, t.seconds * 1e3, goal * 1e3, t.seconds / pass,
                    t.addedMb, t.addedMb / textMb);
    };
    const std::vector<std::string> frequent = frequentForms(index, 2);
    const std::string pair = text.text().find(" de la ") != std::string_view::npos ? "de la" : frequent[0] + " " + frequent[1];
    show("a single form, as ever", frequent[0], timeSearch(text, request(frequent[0])), 0.5);
    show("two frequent words", pair, timeSearch(text, request(pair)), 0.5);
    if (const std::string rare = rarePhrase(index); !rare.empty())
        show("a phrase with a rare word", rare, timeSearch(text, request(rare)), 0.02);
    else
        std::printf("a phrase with a rare word: no word of this text is rarer than 1 in 10,000\n");
    const std::string anyBetween = frequent[0] + " * " + frequent[0];
    show("any word between two", anyBetween, timeSearch(text, request(anyBetween)), 0.5);
    show("wildcards in a phrase", "*ci?n* " + frequent[0], timeSearch(text, request("*ci?n* " + frequent[0])), 0.5);
    for (const char* regex : {"des.*", "[a-z]+(ción|sión)", ".*a.*e.*i.*", "(ca|pe)[a-zñ]{2,4}s?"})
        show("an expression over the vocabulary", regex,
             timeSearch(text, request(regex, QuerySyntax::RegularExpressions)), 0.2);

    std::printf("conditions on the translation, beside the same search alone:\n");
    const std::vector<std::string> targetFrequent = frequentForms(translation.index(), 3);
    const std::pair<std::string, std::string> conditions[] = {
        {pair, targetFrequent[0]}, {pair, targetFrequent[2]}, {frequent[1], targetFrequent[0] + " " + targetFrequent[1]},
        {"*mente", "*ción*"}};
    for (const auto& [typed, condition] : conditions) {
        const Timing alone = timeSearch(text, request(typed));
        for (const TranslationTest test : {TranslationTest::Contains, TranslationTest::Lacks}) {
            SearchRequest r = request(typed);
            r.condition = TranslationCondition{test, QString::fromStdString(condition), &translation};
            const Timing t = timeSearch(text, r);
            std::printf("  \"%s\" %s \"%s\": %zu of %zu hits, %.1f ms beside %.1f ms alone: %.2f x (goal 2)  adds %.0f MB\n",
                        typed.c_str(), test == TranslationTest::Contains ? "contiene" : "no contiene", condition.c_str(),
                        t.hits, alone.hits, t.seconds * 1e3, alone.seconds * 1e3, t.seconds / alone.seconds, t.addedMb);
        }
    }
}

int main(int argc, char** argv)
{
    const size_t bytes = (argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100) * 1'000'000;
    run("Spanish prose", bench::generateText(bytes, 1), bench::generateText(bytes, 2));
    run("Spanish-like prose over 200,000 forms", bench::generateRichText(bytes, 200'000, 1),
        bench::generateRichText(bytes, 200'000, 2));
    return 0;
}
