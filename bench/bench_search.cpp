// SPDX-License-Identifier: GPL-3.0-or-later
// The word index on generated 100 MB numbered texts (a small and a large
// vocabulary): loading (read and
// index), memory, and each kind of search, with the result grid filled as the
// search window fills it.
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

double median(std::vector<double> seconds)
{
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

} // namespace

void run(const char* title, const std::string& text, const char* const* forms, size_t count)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("text_source_ref.txt");
    const std::string numbered = numberText(text);
    if (!writeFileSafely(path, numbered).ok()) std::exit(1);
    std::printf("\n%s: numbered text of %.1f MB\n", title, double(numbered.size()) / 1e6);

    std::vector<double> loads;
    Concordance concordance;
    for (int run = 0; run < 3; ++run)
        loads.push_back(bench::timeIt([&] {
            if (!concordance.load(path).ok()) std::exit(1);
        }));
    const WordIndex& words = concordance.index();
    std::printf("load (read and index)   median %.3f s  best %.3f s\n", median(loads),
                *std::min_element(loads.begin(), loads.end()));
    std::printf("words %zu, vocabulary %zu, index %.1f MB (%.2f x the text)\n", words.size(),
                words.vocabularySize(), double(words.bytesUsed()) / 1e6,
                double(words.bytesUsed()) / double(numbered.size()));

    for (size_t f = 0; f < count; ++f) {
        const char* typed = forms[f];
        std::vector<double> times;
        size_t hits = 0;
        for (int run = 0; run < 7; ++run)
            times.push_back(bench::timeIt([&] { hits = concordance.search(QString::fromUtf8(typed)); }));
        std::printf("search %-10s %9zu hits  median %7.2f ms  first %7.2f ms\n", typed, hits,
                    median(times) * 1e3, times.front() * 1e3);
    }
    std::vector<double> sorts;
    for (int run = 0; run < 3; ++run) {
        concordance.search("*");
        sorts.push_back(bench::timeIt([&] { concordance.sortByForm(); }));
    }
    std::printf("sort of all %zu words by form  median %.3f s\n", concordance.grid().hitCount(),
                median(sorts));
}

int main()
{
    const char* common[] = {"casa", "Mañana", "cant*", "pe*", "*mente", "*ón", "c*o", "a*a", "*"};
    run("prose over a small vocabulary", bench::generateText(100'000'000), common, std::size(common));
    const char* rich[] = {"casa", "carime", "ca*", "pedro*", "*ción", "*es", "ca*ción", "s*a", "*"};
    run("prose over a large vocabulary", bench::generateRichText(100'000'000, 200'000), rich,
        std::size(rich));
    return 0;
}
