// SPDX-License-Identifier: GPL-3.0-or-later
// One context display on a generated 100 MB numbered pair: both files read
// whole and scanned for a marker, and the criterion's words found in the
// source record, as the viewer does at every step.
#include "common/encoding.h"
#include "common/fileio.h"
#include "numbering/numbering_engine.h"
#include "measure.h"
#include "text_generator.h"
#include "viewer/context_scan.h"

#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace solandre;

int main()
{
    QTemporaryDir dir;
    const QString source = dir.filePath("source_ref.txt");
    const QString target = dir.filePath("cible_ref.txt");
    if (!writeFileSafely(source, numberText(bench::generateText(100'000'000, 1))).ok() ||
        !writeFileSafely(target, numberText(bench::generateText(100'000'000, 2))).ok())
        return 1;

    for (const char* marker : {"[1]", "[700000]", "[1350000]"}) {
        std::vector<double> times;
        size_t marks = 0, record = 0;
        for (int run = 0; run < 7; ++run)
            times.push_back(bench::timeIt([&] {
                for (const QString& path : {source, target}) {
                    Result<Bytes> text = readWholeFile(path);
                    if (!text) std::exit(1);
                    const ContextScan scan = scanForMarker(text.value().view(), marker);
                    record = scan.record.size();
                    if (path == source)
                        marks = wordsToMark(decodeText(scan.record, Encoding::Windows1252), u"casa").size();
                }
            }));
        std::sort(times.begin(), times.end());
        std::printf("display of %-10s (record %zu bytes, %zu marked)  median %6.1f ms  best %6.1f ms\n",
                    marker, record, marks, times[times.size() / 2] * 1e3, times.front() * 1e3);
    }
    return 0;
}
