// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of other scripts: the first opening (read and index) and the
// numbering of 100 MB of Spanish in UTF-8 against its Windows-1252 twin, and
// of 100 MB of Chinese (cut into words by the dictionary) against the Spanish
// in UTF-8, each the best of a few runs in this same process.
// Usage: bench_scripts [megabytes [runs]]   (default: 100 3)
#include "common/encoding.h"
#include "common/fileio.h"
#include "measure.h"
#include "numbering/numbering_engine.h"
#include "search/concordance.h"
#include "text_generator.h"

#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace solandre;

namespace {

void fail(const QString& message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::exit(1);
}

void writeText(const QString& path, const std::string& text)
{
    if (Status written = writeFileSafely(path, text); !written) fail(written.error().message);
}

struct Text {
    const char* name;
    QString path;
    std::string plain; // before numbering
};

double bestOf(int runs, const std::function<void()>& work)
{
    double best = 1e9;
    for (int k = 0; k < runs; ++k) best = std::min(best, bench::timeIt(work));
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    const size_t megabytes = argc > 1 ? size_t(std::atol(argv[1])) : 100;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    QTemporaryDir dir;
    Text texts[] = {{"Spanish, Windows-1252", dir.filePath("obra.txt"), bench::generateText(megabytes << 20, 1)},
                    {"Spanish, UTF-8", dir.filePath("obra8.txt"), {}},
                    {"Chinese, UTF-8", dir.filePath("zh.txt"), bench::generateChineseText(megabytes << 20, 1)}};
    texts[1].plain = toUtf8(texts[0].plain, Encoding::Windows1252);
    std::printf("%zu MB texts, best of %d runs\n", megabytes, runs);

    double numbering[3], opening[3];
    for (int t = 0; t < 3; ++t) {
        const Encoding encoding = t == 0 ? Encoding::Windows1252 : Encoding::Utf8;
        numbering[t] = bestOf(runs, [&] { (void)numberText(texts[t].plain, encoding, [](std::string_view) {}); });
        writeText(texts[t].path, numberText(texts[t].plain, encoding));
        texts[t].plain.clear();
        texts[t].plain.shrink_to_fit();
        size_t words = 0;
        opening[t] = bestOf(runs, [&] {
            Concordance concordance;
            if (Status s = concordance.load(texts[t].path); !s) fail(s.error().message);
            words = concordance.index().size();
        });
        std::printf("  %-24s numbering %7.3f s   first opening %7.3f s   %zu words\n", texts[t].name, numbering[t],
                    opening[t], words);
    }
    std::printf("  Spanish UTF-8 / Windows-1252:  numbering %.2f x, first opening %.2f x\n", numbering[1] / numbering[0],
                opening[1] / opening[0]);
    std::printf("  Chinese / Spanish UTF-8:       numbering %.2f x, first opening %.2f x (goal: at most 3)\n",
                numbering[2] / numbering[1], opening[2] / opening[1]);
    return 0;
}
