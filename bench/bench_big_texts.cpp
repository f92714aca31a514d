// SPDX-License-Identifier: GPL-3.0-or-later
// Big texts: numbering, first and later openings, "Formas" on "*", viewer
// steps, at 100 MB and 1 GB (and a text of millions of distinct forms), each
// with its peak memory; and the UTF-8 twin of a Windows-1252 text.
// Usage: bench_big_texts [megabytes ...]   (default: 100 1000)
#include "common/encoding.h"
#include "common/fileio.h"
#include "common/text_file.h"
#include "numbering/number_files.h"
#include "numbering/numbering_engine.h"
#include "search/concordance.h"
#include "search/index_cache.h"
#include "measure.h"
#include "text_generator.h"
#include "viewer/context_scan.h"
#include "viewer/record_table.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <unistd.h>
#include <vector>

using namespace solandre;
using bench::Figure;
using bench::measure;

namespace {

void print(const char* what, const Figure& f, const char* note = "")
{
    std::printf("  %-44s %8.3f s   peak %7.0f MB  %s\n", what, f.seconds, f.peakMb, note);
}

void fail(const QString& message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::exit(1);
}

// A plain copy with its data on disk: what numbering is measured against.
double copyWithSync(const QString& from, const QString& to)
{
    return bench::timeIt([&] {
        QFile in(from), out(to);
        if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) fail("copy");
        std::vector<char> buffer(size_t(1) << 20);
        for (qint64 got; (got = in.read(buffer.data(), qint64(buffer.size()))) > 0;) out.write(buffer.data(), got);
        out.flush();
        fsync(out.handle());
    });
}

double grepScan(const QString& path)
{
    if (QStandardPaths::findExecutable("grep").isEmpty()) return -1;
    return bench::timeIt([&] {
        QProcess grep;
        grep.start("grep", {"-c", "-i", "-w", "casa", path});
        grep.waitForFinished(-1);
    });
}

Figure number(const QString& in, const QString& out)
{
    return measure([&] {
        if (auto copy = numberFile(in, out); !copy) fail(copy.error().message);
    });
}

void writeText(const QString& path, const std::string& text)
{
    if (Status written = writeFileSafely(path, text); !written) fail(written.error().message);
}

void benchSize(size_t megabytes, const QTemporaryDir& dir)
{
    std::printf("\n%zu MB of prose\n", megabytes);
    const QString plain = dir.filePath("obra.txt"), plain8 = dir.filePath("obra8.txt");
    const QString numbered = dir.filePath("obra_ref.txt"), numbered8 = dir.filePath("obra8_ref.txt");
    const QString target = dir.filePath("oeuvre_ref.txt");
    {
        const std::string text = bench::generateText(megabytes << 20, 1);
        writeText(plain, text);
        if (megabytes <= 200) writeText(plain8, toUtf8(text, Encoding::Windows1252));
    }
    {
        const std::string text = bench::generateText(megabytes << 20, 2);
        writeText(target, numberText(text));
    }

    const double copy = copyWithSync(plain, dir.filePath("copia.txt"));
    QFile::remove(dir.filePath("copia.txt"));
    std::printf("  %-44s %8.3f s\n", "copy with fsync", copy);
    const Figure numbering = number(plain, numbered);
    char note[128];
    std::snprintf(note, sizeof note, "%.2f x the copy", numbering.seconds / copy);
    print("numbering (Windows-1252)", numbering, note);
    if (QFile::exists(plain8)) {
        const Figure numbering8 = number(plain8, numbered8);
        std::snprintf(note, sizeof note, "%.2f x its Windows-1252 twin", numbering8.seconds / numbering.seconds);
        print("numbering (UTF-8 twin)", numbering8, note);
    }

    IndexCache cache(dir.filePath("cache"), 0);
    double textMb = 0, indexMb = 0;
    {
        Concordance concordance;
        const Figure first = measure([&] {
            if (Status s = concordance.load(numbered); !s) fail(s.error().message);
        });
        textMb = double(concordance.text().size()) / double(1 << 20);
        indexMb = double(concordance.index().bytesUsed()) / double(1 << 20);
        std::snprintf(note, sizeof note, "index %.0f MB = %.2f x the text", indexMb, indexMb / textMb);
        print("first opening (read and index)", first, note);
        if (!cache.store(concordance.textFile(), concordance.index())) fail("cache");

        if (QFile::exists(numbered8)) {
            Concordance twin;
            const Figure first8 = measure([&] {
                if (Status s = twin.load(numbered8); !s) fail(s.error().message);
            });
            std::snprintf(note, sizeof note, "%.2f x its Windows-1252 twin", first8.seconds / first.seconds);
            print("first opening (UTF-8 twin)", first8, note);
        }

        // "Formas" on "*": what the sort adds to the window's memory.
        const Figure search = measure([&] { concordance.search("*"); });
        std::snprintf(note, sizeof note, "%zu hits", concordance.grid().hitCount());
        print("search \"*\"", search, note);
        const double before = bench::currentMemoryMb();
        const Figure sort = measure([&] { concordance.sortByForm(); });
        std::snprintf(note, sizeof note, "adds %.0f MB to %.0f MB (%.1f %%)", sort.peakMb - before, before,
                      100.0 * (sort.peakMb - before) / before);
        print("\"Formas\" on \"*\"", sort, note);
    }
    {
        Concordance again;
        const Figure reopen = measure([&] {
            if (Status s = again.load(numbered, {}, &cache); !s) fail(s.error().message);
        });
        const double grep = grepScan(numbered);
        std::snprintf(note, sizeof note, "grep -c -i -w: %.3f s", grep);
        print("reopening, index from the cache", reopen, note);
        const Figure search = measure([&] { again.search("casa"); });
        std::snprintf(note, sizeof note, "%zu hits", again.grid().hitCount());
        print("then search \"casa\"", search, note);
    }
    {
        // The viewer: both texts mapped and their records found once, then steps.
        TextFile source, targetText;
        RecordTable sourceRecords, targetRecords;
        const Figure open = measure([&] {
            source = TextFile::open(numbered).value();
            targetText = TextFile::open(target).value();
            sourceRecords = *RecordTable::build(source.text());
            targetRecords = *RecordTable::build(targetText.text());
        });
        print("viewer opening (map, find the records)", open);
        std::mt19937 random(5);
        std::vector<double> steps;
        for (int k = 0; k < 200; ++k) {
            const std::string marker = sentenceMarker(1 + random() % sourceRecords.records());
            steps.push_back(bench::timeIt([&] {
                const ContextScan s = sourceRecords.find(marker);
                const ContextScan t = targetRecords.find(marker);
                const QString pane = decodeText(s.record, source.encoding());
                (void)wordsToMark(pane, u"casa");
                (void)decodeText(t.record, targetText.encoding());
            }));
        }
        std::sort(steps.begin(), steps.end());
        std::printf("  %-44s median %.3f ms, slowest %.3f ms\n", "viewer step", steps[steps.size() / 2] * 1e3,
                    steps.back() * 1e3);
    }
    for (const QString& f : {plain, plain8, numbered, numbered8, target}) QFile::remove(f);
}

void benchManyForms(const QTemporaryDir& dir)
{
    std::printf("\n100 MB of nearly all distinct forms\n");
    const QString plain = dir.filePath("formas.txt"), numbered = dir.filePath("formas_ref.txt");
    writeText(plain, bench::generateManyFormsText(100 << 20));
    print("numbering", number(plain, numbered));
    Concordance concordance;
    const Figure first = measure([&] {
        if (Status s = concordance.load(numbered); !s) fail(s.error().message);
    });
    char note[96];
    std::snprintf(note, sizeof note, "%zu words, %zu distinct forms", concordance.index().size(),
                  concordance.index().vocabularySize());
    print("first opening (read and index)", first, note);
    const Figure suffix = measure([&] { concordance.search("*ción"); });
    print("first suffix search (makes the suffix order)", suffix);
    QFile::remove(plain);
    QFile::remove(numbered);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<size_t> sizes;
    for (int k = 1; k < argc; ++k) sizes.push_back(size_t(std::atol(argv[k])));
    if (sizes.empty()) sizes = {100, 1000};
    QTemporaryDir dir;
    for (const size_t megabytes : sizes) benchSize(megabytes, dir);
    benchManyForms(dir);
    return 0;
}
