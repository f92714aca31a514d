// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers a generated 100 MB text from file to file and prints MB/s, with the
// parts of the run: reading, numbering in memory, and the end-to-end run,
// which also writes and syncs the output to disk.
#include "common/fileio.h"
#include "numbering/number_files.h"
#include "numbering/numbering_engine.h"
#include "measure.h"
#include "text_generator.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace solandre;

namespace {

struct Figures {
    std::vector<double> seconds;
    void print(const char* what, double mb)
    {
        std::sort(seconds.begin(), seconds.end());
        const double median = seconds[seconds.size() / 2];
        std::printf("%-34s best %.3f s (%5.0f MB/s)  median %.3f s (%5.0f MB/s)\n", what,
                    seconds.front(), mb / seconds.front(), median, mb / median);
    }
};

} // namespace

int main()
{
    constexpr size_t kSize = 100'000'000;
    constexpr int kRuns = 5;
    QTemporaryDir dir;
    const QString input = dir.filePath("text.txt");
    const QString output = dir.filePath("text_source_ref.txt");
    if (!writeFileSafely(input, bench::generateText(kSize)).ok()) return 1;
    const double mb = double(QFileInfo(input).size()) / 1e6;

    Figures reading, inMemory, endToEnd;
    for (int run = 0; run < kRuns; ++run) {
        Result<Bytes> text = Bytes();
        reading.seconds.push_back(bench::timeIt([&] { text = readWholeFile(input); }));
        size_t written = 0;
        inMemory.seconds.push_back(bench::timeIt(
            [&] { numberText(text.value(), Encoding::Windows1252, [&](std::string_view p) { written += p.size(); }); }));

        Result<NumberedCopy> done = NumberedCopy{};
        endToEnd.seconds.push_back(bench::timeIt([&] { done = numberFile(input, output); }));
        if (!done) {
            std::fprintf(stderr, "%s\n", qPrintable(done.error().message));
            return 1;
        }
    }
    std::printf("numbering %.1f MB into %.1f MB of numbered text, %d runs\n", mb,
                double(QFileInfo(output).size()) / 1e6, kRuns);
    reading.print("reading the text whole", mb);
    inMemory.print("numbering in memory", mb);
    endToEnd.print("file to file (write, sync, rename)", mb);
    return 0;
}
