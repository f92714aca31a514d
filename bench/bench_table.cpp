// SPDX-License-Identifier: GPL-3.0-or-later
// The speed and memory table: each piece of work on big texts beside a
// reference measured in the same run (one scan of the same file by grep, a
// sort of the same keys), as a ratio, with the peak of resident memory; and
// beside the figures the same program measured before (bench/table_before.tsv).
// Each row runs in a process of its own, so that its peak is its own.
//
// Usage: bench_table [megabytes] [--only key,key...] [--save file.tsv]
//   megabytes (default 100, or SOLANDRE_BENCH_MB): the size of the "100 MB"
//   rows; the "1 GB" rows take ten times as much, the aligner 2,000 sentence
//   pairs a megabyte. `bench_table 10` takes about a minute.
//   Keys: open lines search-peak many-forms open-big forms-big bounds viewer-big align
#include "align/aligner.h"
#include "align/alignment_dp.h"
#include "align/alignment_pass.h"
#include "align/anchors.h"
#include "align/coarse_line.h"
#include "align/first_band.h"
#include "align/scoring_crew.h"
#include "aligned_pairs.h"
#include "common/bytes.h"
#include "common/fileio.h"
#include "common/pod_array.h"
#include "common/text_file.h"
#include "measure.h"
#include "numbering/numbering_engine.h"
#include "search/concordance.h"
#include "search/concordance_lines.h"
#include "search/form_dictionary.h"
#include "search/index_cache.h"
#include "search/line_keys.h"
#include "text_generator.h"
#include "viewer/record_table.h"
#include "viewer/viewed_pair.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <sys/resource.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace solandre;
using bench::Figure;
using bench::measure;

namespace {

struct Figures {
    double seconds = -1, reference = -1, peakMb = -1;
};

struct Row {
    std::string key;     // the same in every run, for the figures before
    std::string what;    // the work
    std::string against; // the reference, when there is one
    Figures now;
    std::string goal;
    bool met = true;
    std::string note;
};

[[noreturn]] void fail(const QString& message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::exit(1);
}

std::string format(const char* pattern, double a, double b = 0, double c = 0)
{
    char text[160];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

std::string megabytesName(size_t megabytes)
{
    return megabytes >= 1000 && megabytes % 1000 == 0 ? std::to_string(megabytes / 1000) + " GB"
                                                      : std::to_string(megabytes) + " MB";
}

// What a row's process is given.
struct Setup {
    size_t megabytes = 100; // of the text the row reads
    std::string text, target, cache;
    double scan = -1;  // one scan of the text
    double prose = -1; // the first opening of prose of the same size
    double scale() const { return double(megabytes) / 100.0; }
};

Row makeRow(std::string key, std::string what, std::string against, const Figure& f, double reference)
{
    Row row;
    row.key = std::move(key);
    row.what = std::move(what);
    row.against = std::move(against);
    row.now = {f.seconds, reference, f.peakMb};
    return row;
}

double textMb(const Setup& setup) { return double(std::filesystem::file_size(setup.text)) / double(1 << 20); }

void load(Concordance& concordance, const Setup& setup)
{
    if (Status s = concordance.load(QString::fromStdString(setup.text)); !s) fail(s.error().message);
}

// Seconds of processor time of the whole process (every thread) in `work`:
// with the other core busy, what an opening on two threads costs at best.
template <class F> double processorSeconds(F&& work)
{
    auto now = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
    };
    const double start = now();
    work();
    return now() - start;
}

// ---- the rows, each measured in its own process

std::vector<Row> firstOpening(const Setup& setup, bool big)
{
    Concordance concordance;
    double cpu = 0;
    const Figure f = measure([&] { cpu = processorSeconds([&] { load(concordance, setup); }); });
    Row row = makeRow(big ? "open-big" : "open", "first opening, " + megabytesName(setup.megabytes), "scan", f,
                      setup.scan);
    const double ratio = f.seconds / setup.scan;
    if (big) {
        const double limit = 1.3 * textMb(setup) + 50;
        row.goal = format("<= 2.3x scan, peak <= %.0f MB", limit);
        row.met = ratio <= 2.3 && f.peakMb <= limit;
    } else {
        row.goal = "<= 3x scan";
        row.met = ratio <= 3;
    }
    row.note = format("index %.0f MB, %.2f s of processor", double(concordance.index().bytesUsed()) / double(1 << 20),
                      cpu);
    return {row};
}

std::vector<Row> searchPeak(const Setup& setup)
{
    size_t hits = 0;
    // As the command line searches: its cache filled on the way, and waited
    // for before the end.
    const Figure f = measure([&] {
        Concordance concordance;
        IndexCache cache(QString::fromStdString(setup.cache), 0);
        if (Status s = concordance.load(QString::fromStdString(setup.text), {}, &cache); !s)
            fail(s.error().message);
        hits = concordance.search("casa");
    });
    const double limit = 1.3 * textMb(setup) + 50;
    Row row = makeRow("search-peak", "a search, " + megabytesName(setup.megabytes), "scan", f, setup.scan);
    row.goal = format("peak <= %.0f MB", limit);
    row.met = f.peakMb <= limit;
    row.note = format("%.0f hits", double(hits));
    return {row};
}

// What bounds an opening of many distinct forms on this machine, both
// halves of the text at once as the opening does: for each form, one read of
// a random slot of a table as big as its half's dictionary table (the misses
// that finding the forms cannot do without), all reads asked for ahead; and
// the forms' first 8 bytes, as numbers, sorted by std::sort.
struct FormsBound {
    double reads = 0, sort = 0;
};
FormsBound formsBound(const WordIndex& index)
{
    const size_t n = index.vocabularySize(), half = (n + 1) / 2;
    std::vector<std::uint64_t> keys(n);
    for (size_t k = 0; k < n; ++k) {
        // A fixed shuffle, so that neighbours in byte order are not met together.
        const std::string_view form = index.lowerForm(std::uint32_t(k * 2654435761u % n));
        std::uint64_t key = 0;
        for (size_t b = 0; b < 8; ++b) key = key << 8 | (b < form.size() ? static_cast<unsigned char>(form[b]) : 0);
        keys[k] = key;
    }
    // As the dictionaries size their tables: three quarters full at most.
    size_t tableSize = 1;
    while (4 * half > 3 * tableSize) tableSize *= 2;
    std::vector<std::uint32_t> tables[2] = {std::vector<std::uint32_t>(tableSize, 1),
                                            std::vector<std::uint32_t>(tableSize, 1)};
    auto bothHalves = [&](auto&& work) {
        return bench::timeIt([&] {
            std::thread other([&] { work(1, keys.data() + half, n - half); });
            work(0, keys.data(), half);
            other.join();
        });
    };
    std::uint64_t found[2] = {0, 0};
    FormsBound bound;
    bound.reads = bothHalves([&](int t, const std::uint64_t* k, size_t count) {
        const std::uint32_t* table = tables[t].data();
        std::uint64_t sum = 0;
        for (size_t i = 0; i < count; ++i) {
            const auto slot = [&](size_t at) { return ((k[at] * 0x9E3779B97F4A7C15ull) >> 32) & (tableSize - 1); };
            if (i + 32 < count) __builtin_prefetch(table + slot(i + 32));
            sum += table[slot(i)];
        }
        found[t] = sum;
    });
    bound.sort = bothHalves([&](int, std::uint64_t* k, size_t count) { std::sort(k, k + count); });
    if (found[0] + found[1] != n) fail("bench_table: the slots read do not add up");
    return bound;
}

// Pages of memory the process has been handed (minor page faults) so far.
double pagesFaulted()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_minflt);
}

// As many fresh pages faulted in, half on each of two threads.
double faultingIn(double pages)
{
    const auto bytes = size_t(pages / 2) * 4096;
    Bytes blocks[2] = {Bytes(bytes), Bytes(bytes)};
    return bench::timeIt([&] {
        auto touch = [&](Bytes& block) {
            for (size_t k = 0; k < block.size(); k += 4096) block.data()[k] = 1;
        };
        std::thread other([&] { touch(blocks[1]); });
        touch(blocks[0]);
        other.join();
    });
}

std::vector<Row> manyForms(const Setup& setup)
{
    Concordance concordance;
    double cpu = 0, pages = 0;
    // When the building reported its steps done: the parts scanned and
    // their forms sorted (0.7, the last time), the vocabulary merged (0.9),
    // the lists written (1).
    using Clock = std::chrono::steady_clock;
    Clock::time_point start, scanned, merged, listed;
    const Progress steps = [&](double done) {
        const Clock::time_point now = Clock::now();
        if (done <= 0.7) scanned = now;
        if (done >= 0.9 && merged == Clock::time_point()) merged = now;
        if (done >= 1.0) listed = now;
        return true;
    };
    const Figure f = measure([&] {
        pages = pagesFaulted();
        start = Clock::now();
        cpu = processorSeconds([&] {
            if (Status s = concordance.load(QString::fromStdString(setup.text), steps); !s) fail(s.error().message);
        });
        pages = pagesFaulted() - pages;
    });
    auto seconds = [](Clock::time_point from, Clock::time_point to) {
        return std::chrono::duration<double>(to - from).count();
    };
    const double limit = 600 * setup.scale();
    Row row = makeRow("many-forms", megabytesName(setup.megabytes) + " of nearly all distinct forms", "prose", f,
                      setup.prose);
    row.goal = format("<= 5x prose, peak <= %.0f MB", limit);
    row.met = f.seconds <= 5 * setup.prose && f.peakMb <= limit;
    const FormsBound bound = formsBound(concordance.index());
    row.note = format("%.1f M forms, %.2f s of processor", double(concordance.index().vocabularySize()) / 1e6, cpu) +
               format("; the parts scanned and their forms sorted in %.2f s, the vocabulary merged in %.2f s, "
                      "the lists in %.2f s",
                      seconds(start, scanned), seconds(scanned, merged), seconds(merged, listed)) +
               format("; bounds, on two threads: its %.0f K fresh pages faulted in alone %.2f s,", pages / 1e3,
                      faultingIn(pages)) +
               format(" a random slot read per form in tables of the halves' size %.2f s, the forms' first 8 bytes "
                      "sorted by std::sort %.2f s",
                      bound.reads, bound.sort);
    return {row};
}

std::vector<Row> formsOfAll(const Setup& setup)
{
    Concordance concordance;
    load(concordance, setup);
    concordance.search("*");
    const Figure f = measure([&] { concordance.sortByForm(); });
    Row row = makeRow("forms-big", "\"Formas\" on \"*\", " + megabytesName(setup.megabytes), "scan", f, setup.scan);
    row.goal = "<= 4.5x scan";
    row.met = f.seconds <= 4.5 * setup.scan;
    row.note = format("%.1f M hits", double(concordance.grid().hitCount()) / 1e6);
    return {row};
}

// What bounds an opening on this machine, beside the scan: memory the
// system has not handed out yet, faulted in a page at a time as the index
// is written (in the blocks the index uses, the first time and again), and
// a copy of the text into memory already there.
std::vector<Row> memoryBounds(const Setup& setup)
{
    const size_t bytes = std::filesystem::file_size(setup.text);
    auto faultIn = [&] {
        Bytes block(bytes);
        const double seconds = bench::timeIt([&] {
            for (size_t k = 0; k < bytes; k += 4096) block.data()[k] = 1;
        });
        return std::pair{seconds, std::move(block)};
    };
    std::vector<Row> rows;
    const std::string size = format("%.0f MB", double(bytes) / double(1 << 20));
    auto add = [&](std::string key, std::string what, double seconds) {
        Row row = makeRow(std::move(key), std::move(what), "scan", {seconds, -1}, setup.scan);
        row.goal = "(a bound)";
        rows.push_back(row);
    };
    auto [first, block] = faultIn();
    add("bound-fresh", "fresh memory faulted in, " + size, first);
    block = Bytes();
    auto [again, reused] = faultIn();
    add("bound-fresh-again", "the same, freed and faulted in again", again);
    const TextFile text = TextFile::open(QString::fromStdString(setup.text)).value();
    double copy = 1e30;
    for (int run = 0; run < 3; ++run)
        copy = std::min(copy, bench::timeIt([&] { std::memcpy(reused.data(), text.text().data(), text.text().size()); }));
    add("bound-copy", "a copy of the text, " + size, copy);
    return rows;
}

std::vector<Row> viewerOpening(const Setup& setup)
{
    ViewedPair pair;
    const Figure f = measure([&] {
        openViewedPair(QString::fromStdString(setup.text), QString::fromStdString(setup.target), pair);
    });
    const double limit = 0.3 * setup.scale() / 10;
    Row row = makeRow("viewer-big", "viewer opening, " + megabytesName(setup.megabytes) + " pair", "scan", f,
                      setup.scan);
    row.goal = format("<= %.2f s", limit);
    row.met = f.seconds <= limit;
    // What bounds it: the opening of the files alone (their encoding read),
    // the tables built on files already opened, and one pass over the pages
    // of both, freshly mapped, finding nothing; each for both texts in turn,
    // where the opening does the two at once.
    double opening = 1e30, pass = 1e30, tables = 1e30;
    for (int run = 0; run < 3; ++run) {
        TextFile source, target;
        opening = std::min(opening, bench::timeIt([&] {
            source = TextFile::open(QString::fromStdString(setup.text)).value();
            target = TextFile::open(QString::fromStdString(setup.target)).value();
        }));
        RecordTable sourceTable, targetTable;
        tables = std::min(tables, bench::timeIt([&] {
            sourceTable = *RecordTable::build(source.text());
            targetTable = *RecordTable::build(target.text());
        }));
        TextFile a = TextFile::open(QString::fromStdString(setup.text)).value();
        TextFile b = TextFile::open(QString::fromStdString(setup.target)).value();
        volatile size_t found = 0; // kept, so that the pass is not left out
        pass = std::min(pass, bench::timeIt([&] {
            for (const std::string_view text : {a.text(), b.text()})
                found = found + (std::memchr(text.data(), 1, text.size()) != nullptr);
        }));
    }
    row.note = format("files opened %.3f s, their tables built %.3f s, one pass over their pages %.3f s", opening,
                      tables, pass);
    return {row};
}

// What bounds the aligner: a sweep of its first pass's band, as every pass
// makes several (each widening of a band, then the confidences), measured
// on the same texts: every bead's score alone (both cores), and the scores
// with the sums over them.
struct SweepBound {
    double cellsPerRow = 0, scoring = -1, sweep = -1;
    // The same scores alone for a later pass's band: around the first
    // pass's path, with the model learned from it; and a sweep of it with
    // all its scores kept from the sweep before, as most of a later pass's
    // sweeps after its first are.
    double laterCellsPerRow = 0, laterScoring = -1, laterKeptSweep = -1;
};

// Every bead's score alone in `band` (both cores), as a sweep makes them.
double scoresAlone(const align::Band& band, const align::BeadModel& model)
{
    using namespace align;
    constexpr std::uint32_t kRows = 512;
    std::vector<float> scores;
    return bench::timeIt([&] {
        ScoringCrew crew(band, model);
        for (std::uint32_t row = 0; row <= band.lastRow(); row += kRows) {
            const std::uint32_t end = std::min(band.lastRow() + 1, row + kRows);
            const std::size_t from = band.index(row, band.lo(row));
            const std::size_t to = end <= band.lastRow() ? band.index(end, band.lo(end)) : band.cells();
            scores.resize((to - from) * kShapeCount);
            crew.start(row, end, scores.data());
            crew.finish();
        }
    });
}

SweepBound firstBandSweep(const bench::GeneratedPair& pair)
{
    using namespace align;
    const std::vector<std::string_view> source = bench::views(pair.source), target = bench::views(pair.target);
    Texts texts;
    FormTable targetForms;
    texts.source = readSide(source, texts.forms);
    texts.target = readSide(target, targetForms);
    absorbForms(texts.forms, targetForms, texts.target);
    const auto rows = static_cast<std::uint32_t>(source.size());
    const auto columns = static_cast<std::uint32_t>(target.size());
    const Progress none;
    bool cancelled = false;
    const ProgressSpan span(none, cancelled, 0, 1);
    DpTables tables;
    const std::vector<Anchor> anchors = findAnchors(texts.source, texts.target, texts.forms);
    const std::optional<CoarseLine> blocks = coarseLine(texts.source, texts.target, tables, span);
    const PassModel first(texts, anchorCenter(anchors, rows, columns), blocks->ratio);
    FirstBand firstBands = firstBand(anchors, *blocks, rows, columns);
    const Band band = firstBands.band;

    SweepBound bound;
    bound.cellsPerRow = double(band.cells()) / double(rows + 1);
    bound.scoring = scoresAlone(band, first.beadModel());
    bound.sweep = bench::timeIt([&] { bestPath(band, first.beadModel(), tables, span); });
    const std::optional<std::vector<Bead>> path =
        alignInBand(first.beadModel(), std::move(firstBands.band), std::move(firstBands.halfWidth), tables, span);
    tables = {};
    const PassModel learned(texts, *path);
    std::vector<std::uint32_t> halfWidth;
    const Band later = bandAlong(*path, rows, columns, kLaterHalfWidth, halfWidth);
    bound.laterCellsPerRow = double(later.cells()) / double(rows + 1);
    bound.laterScoring = scoresAlone(later, learned.beadModel());
    KeptScores kept(later.cells());
    bestPath(later, learned.beadModel(), tables, span, 0, &kept);
    bound.laterKeptSweep = bench::timeIt([&] { bestPath(later, learned.beadModel(), tables, span, 0, &kept); });
    return bound;
}

std::vector<Row> aligner(const Setup& setup)
{
    const size_t sentences = setup.megabytes * 2000;
    const bench::GeneratedPair pair = bench::generatePair(sentences, 7);
    const double before = bench::currentMemoryMb();
    std::optional<std::vector<Bead>> beads;
    double read = -1; // memory once the texts are read (their forms and lengths)
    // When the aligner's stages end, as its progress tells: the texts read,
    // the first look (anchors and the block line), the first pass.
    constexpr double kStageEnd[] = {0.05, 0.1, 0.45};
    double stageEnd[3] = {-1, -1, -1};
    std::chrono::steady_clock::time_point start;
    const Figure f = measure([&] {
        start = std::chrono::steady_clock::now();
        beads = alignSentences(bench::views(pair.source), bench::views(pair.target), [&](double done) {
            if (read < 0 && done >= 0.05) read = bench::currentMemoryMb() - before;
            for (int k = 0; k < 3; ++k)
                if (stageEnd[k] < 0 && done >= kStageEnd[k])
                    stageEnd[k] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            return true;
        });
    });
    const double perPair = (f.peakMb - before) * 1024 / double(sentences);
    const double limit = 10 * setup.scale();
    Row row = makeRow("align", format("aligner, %.0f x %.0f sentences", double(pair.source.size()),
                                      double(pair.target.size())),
                      "", f, -1);
    row.goal = format("<= 1 KB a pair, <= %.1f s", limit);
    row.met = perPair <= 1.0 && f.seconds <= limit;
    row.note = format("%.2f KB a pair (%.2f KB with the texts), F1 %.3f", perPair,
                      f.peakMb * 1024 / double(sentences), bench::score(*beads, pair.gold).f1) +
               format("; the texts read, %.2f KB a pair", read * 1024 / double(sentences));
    row.note += format("; texts read in %.2f s, first look %.2f s, ", stageEnd[0], stageEnd[1] - stageEnd[0]) +
                format("first pass %.2f s, later passes %.2f s", stageEnd[2] - stageEnd[1], f.seconds - stageEnd[2]);
    const SweepBound bound = firstBandSweep(pair);
    row.note += format("; one sweep of the first band (%.0f cells a row): its scores %.3f s, with the sums %.3f s",
                       bound.cellsPerRow, bound.scoring, bound.sweep);
    row.note += format("; the scores alone of a later pass's band (%.0f cells a row) %.3f s, its sweep with every "
                       "score kept %.3f s",
                       bound.laterCellsPerRow, bound.laterScoring, bound.laterKeptSweep);
    return {row};
}

// The keys of a sort sorted alone: each line's key and place as one 64-bit
// number, by std::sort.
double sortOfKeys(const ConcordanceLines& lines, LineKey key)
{
    LineKeyReader reader(*lines.index(), key);
    std::vector<std::uint64_t> keys(lines.size());
    for (size_t k = 0; k < lines.size(); ++k) keys[k] = std::uint64_t(reader.rank(lines.hit(k))) << 32 | k;
    return bench::timeIt([&] { std::sort(keys.begin(), keys.end()); });
}

// What bounds a sort of the lines: its keys read from the text in text
// order, one counting pass and one placing pass over them (in memory
// already there: on this machine a fresh page may cost anything from a
// tenth of a millisecond a megabyte to several), the least any sort of them
// does; and one array the size of the list in fresh memory, as the sort's
// own.
struct Bound {
    double reading, counting, fresh;
};
Bound sortBound(const ConcordanceLines& lines, LineKey key)
{
    // In arrays of pages given back when freed, so that the next row's peak
    // is its own.
    PodArray<WordId> hits;
    hits.resize(lines.size());
    for (size_t k = 0; k < lines.size(); ++k) hits[k] = lines.hit(k);
    std::sort(hits.begin(), hits.end());
    PodArray<std::uint32_t> keys, scattered, placed;
    keys.resize(hits.size());
    Bound bound;
    bound.reading = bench::timeIt([&] {
        LineKeyReader reader(*lines.index(), key);
        for (size_t k = 0; k < hits.size(); ++k) keys[k] = reader.rank(hits[k]);
    });
    scattered.resize(keys.size());
    for (size_t k = 0; k < keys.size(); ++k) scattered[k] = keys[(k * 2654435761u) % keys.size()];
    const std::uint32_t top = keys.empty() ? 0 : *std::max_element(keys.begin(), keys.end());
    std::vector<std::uint32_t> next(size_t(top) + 2, 0);
    placed.resize(scattered.size());
    std::fill(placed.begin(), placed.end(), 0);
    bound.counting = bench::timeIt([&] {
        for (const std::uint32_t k : scattered) ++next[k + 1];
        for (size_t k = 1; k < next.size(); ++k) next[k] += next[k - 1];
        for (size_t k = 0; k < scattered.size(); ++k) placed[next[scattered[k]]++] = std::uint32_t(k);
    });
    PodArray<std::uint32_t> fresh;
    bound.fresh = bench::timeIt([&] {
        fresh.resize(hits.size());
        for (size_t k = 0; k < fresh.size(); k += 1024) fresh[k] = 1;
    });
    return bound;
}

std::vector<Row> lineSorts(const Setup& setup)
{
    Concordance concordance;
    load(concordance, setup);
    concordance.search("*");
    ConcordanceLines lines = ConcordanceLines::ofGrid(concordance.grid());
    const std::pair<LineKey, const char*> keys[] = {{LineKey::Form, "form"},
                                                    {LineKey::Left1, "1st word left"},
                                                    {LineKey::Left2, "2nd word left"},
                                                    {LineKey::Right1, "1st word right"},
                                                    {LineKey::Right2, "2nd word right"}};
    const double limit = 1.5 * setup.scale();
    std::vector<Row> rows;
    for (const auto& [key, name] : keys) {
        const double reference = sortOfKeys(lines, key);
        const Figure f = measure([&] { lines.sort(key); });
        const Bound bound = sortBound(lines, key);
        std::string code = std::string("lines-") + name;
        std::replace(code.begin(), code.end(), ' ', '-');
        Row row = makeRow(code, format("sort of %.1f M lines, ", double(lines.size()) / 1e6) + name, "key sort", f,
                          reference);
        row.goal = format("<= %.2f s", limit);
        row.met = f.seconds <= limit;
        row.note = format("keys read on one thread %.3f s, counted and placed %.3f s, an array of fresh memory %.3f s",
                          bound.reading, bound.counting, bound.fresh);
        rows.push_back(row);
    }
    return rows;
}

std::vector<Row> runRow(const std::string& key, const Setup& setup)
{
    if (key == "open") return firstOpening(setup, false);
    if (key == "open-big") return firstOpening(setup, true);
    if (key == "lines") return lineSorts(setup);
    if (key == "search-peak") return searchPeak(setup);
    if (key == "many-forms") return manyForms(setup);
    if (key == "forms-big") return formsOfAll(setup);
    if (key == "bounds") return memoryBounds(setup);
    if (key == "viewer-big") return viewerOpening(setup);
    if (key == "align") return aligner(setup);
    fail(QString("bench_table: no row %1").arg(QString::fromStdString(key)));
}

// ---- between the processes: a row as one line of tab-separated fields

void writeRow(const Row& row)
{
    std::printf("ROW\t%s\t%s\t%s\t%.6f\t%.6f\t%.1f\t%s\t%d\t%s\n", row.key.c_str(), row.what.c_str(),
                row.against.c_str(), row.now.seconds, row.now.reference, row.now.peakMb, row.goal.c_str(),
                row.met ? 1 : 0, row.note.c_str());
}

std::vector<Row> readRows(const std::string& output)
{
    std::vector<Row> rows;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields;
        std::istringstream parts(line);
        for (std::string field; std::getline(parts, field, '\t');) fields.push_back(field);
        if (fields.size() < 9 || fields[0] != "ROW") continue;
        Row row;
        row.key = fields[1];
        row.what = fields[2];
        row.against = fields[3];
        row.now = {std::stod(fields[4]), std::stod(fields[5]), std::stod(fields[6])};
        row.goal = fields[7];
        row.met = fields[8] == "1";
        row.note = fields.size() > 9 ? fields[9] : "";
        rows.push_back(row);
    }
    return rows;
}

std::vector<Row> inProcessOfItsOwn(const std::string& key, const Setup& setup)
{
    QStringList arguments{"--row", QString::fromStdString(key), "--mb", QString::number(setup.megabytes)};
    auto add = [&](const char* option, const std::string& value) {
        if (!value.empty()) arguments << option << QString::fromStdString(value);
    };
    add("--text", setup.text);
    add("--target", setup.target);
    add("--cache", setup.cache);
    arguments << "--scan" << QString::number(setup.scan, 'g', 9) << "--prose" << QString::number(setup.prose, 'g', 9);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QString::fromStdString(std::filesystem::read_symlink("/proc/self/exe").string()), arguments);
    if (!child.waitForFinished(-1) || child.exitCode() != 0) fail(QString("bench_table: row %1 failed").arg(key.c_str()));
    return readRows(child.readAllStandardOutput().toStdString());
}

// ---- the figures before, and the table

using Before = std::map<std::string, Figures>;

std::string beforeKey(const std::string& key, size_t megabytes) { return key + "@" + std::to_string(megabytes); }

Before readBefore(const std::string& path)
{
    Before before;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string key;
        Figures f;
        if (fields >> key >> f.seconds >> f.reference >> f.peakMb) before[key] = f;
    }
    return before;
}

std::string describe(const Figures& f, const std::string& against)
{
    if (f.seconds < 0) return "-";
    std::string text = format("%.2f s", f.seconds);
    if (f.reference > 0) text += format(" = %.2fx ", f.seconds / f.reference) + against;
    if (f.peakMb >= 0) text += format(", %.0f MB", f.peakMb);
    return text;
}

void print(const std::vector<Row>& rows, size_t megabytes, const Before& before)
{
    std::printf("\n%-40s %-33s %-33s %-28s\n", "work", "before", "now", "goal");
    for (const Row& row : rows) {
        const auto was = before.find(beforeKey(row.key, megabytes));
        const std::string then = was == before.end() ? "-" : describe(was->second, row.against);
        const char* verdict = row.goal == "(a bound)" ? "" : row.met ? "met" : "NOT MET";
        std::printf("%-40s %-33s %-33s %-28s %s  %s\n", row.what.c_str(), then.c_str(),
                    describe(row.now, row.against).c_str(), row.goal.c_str(), verdict, row.note.c_str());
    }
    std::printf("scan: LC_ALL=C grep -c -i -w casa of the same file (the best of three); key sort: std::sort of the "
                "lines' keys and places as 64-bit numbers; peaks are of resident memory.\n"
                "Notes: the parts of a row's work that bound it, measured in the same run.\n");
}

void save(const std::vector<Row>& rows, size_t megabytes, const std::string& path)
{
    std::ofstream out(path, std::ios::app);
    for (const Row& row : rows)
        out << beforeKey(row.key, megabytes) << '\t' << row.now.seconds << '\t' << row.now.reference << '\t'
            << row.now.peakMb << '\n';
}

void writeText(const std::string& path, const std::string& text)
{
    if (Status written = writeFileSafely(QString::fromStdString(path), text); !written) fail(written.error().message);
}

// One scan of a file by a regular-expression tool, the best of three (the
// file is in the system's cache by then). The texts are Windows-1252, read
// as bytes: a UTF-8 locale would send grep down its slow road for them.
double grepScan(const std::string& path)
{
    if (QStandardPaths::findExecutable("grep").isEmpty()) fail("bench_table: grep is needed as the reference");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C");
    double best = 1e30;
    for (int run = 0; run < 3; ++run)
        best = std::min(best, bench::timeIt([&] {
                            QProcess grep;
                            grep.setProcessEnvironment(environment);
                            grep.start("grep", {"-c", "-i", "-w", "casa", QString::fromStdString(path)});
                            grep.waitForFinished(-1);
                        }));
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    size_t megabytes = 100;
    if (const char* fromEnvironment = std::getenv("SOLANDRE_BENCH_MB"))
        megabytes = std::strtoul(fromEnvironment, nullptr, 10);
    std::set<std::string> only;
    std::string savePath, row;
    Setup given;
    for (int k = 1; k < argc; ++k) {
        const std::string option = argv[k];
        const bool hasValue = k + 1 < argc;
        if (option == "--only" && hasValue) {
            std::istringstream keys(argv[++k]);
            for (std::string key; std::getline(keys, key, ',');) only.insert(key);
        } else if (option == "--save" && hasValue) {
            savePath = argv[++k];
        } else if (option == "--row" && hasValue) {
            row = argv[++k];
        } else if (option == "--mb" && hasValue) {
            given.megabytes = std::strtoul(argv[++k], nullptr, 10);
        } else if (option == "--text" && hasValue) {
            given.text = argv[++k];
        } else if (option == "--target" && hasValue) {
            given.target = argv[++k];
        } else if (option == "--cache" && hasValue) {
            given.cache = argv[++k];
        } else if (option == "--scan" && hasValue) {
            given.scan = std::strtod(argv[++k], nullptr);
        } else if (option == "--prose" && hasValue) {
            given.prose = std::strtod(argv[++k], nullptr);
        } else {
            megabytes = std::strtoul(argv[k], nullptr, 10);
        }
    }
    if (!row.empty()) {
        for (const Row& r : runRow(row, given)) writeRow(r);
        return 0;
    }
    if (megabytes == 0) fail("bench_table [megabytes] [--only key,key...] [--save file.tsv]");
    auto wanted = [&](std::initializer_list<const char*> keys) {
        return only.empty() || std::any_of(keys.begin(), keys.end(), [&](const char* k) { return only.count(k) > 0; });
    };

    QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(name).toStdString(); };
    std::vector<Row> rows;
    auto run = [&](const char* key, const Setup& setup) {
        if (!wanted({key})) return;
        std::printf("  %s...\n", key);
        std::fflush(stdout);
        for (const Row& r : inProcessOfItsOwn(key, setup)) rows.push_back(r);
    };

    if (wanted({"open", "lines", "search-peak", "many-forms"})) {
        std::printf("%s of prose\n", megabytesName(megabytes).c_str());
        Setup prose;
        prose.megabytes = megabytes;
        prose.text = path("obra_ref.txt");
        prose.cache = path("cache");
        writeText(prose.text, numberText(bench::generateText(megabytes << 20, 1)));
        prose.scan = grepScan(prose.text);
        // The many-forms row compares with the prose's first opening.
        if (!only.empty() && only.count("many-forms")) only.insert("open");
        run("open", prose);
        run("lines", prose);
        run("search-peak", prose);
        if (wanted({"many-forms"})) {
            Setup many = prose;
            many.text = path("formas_ref.txt");
            for (const Row& r : rows)
                if (r.key == "open") many.prose = r.now.seconds;
            writeText(many.text, numberText(bench::generateManyFormsText(megabytes << 20)));
            run("many-forms", many);
            std::filesystem::remove(many.text);
        }
        std::filesystem::remove(prose.text);
    }
    if (wanted({"open-big", "forms-big", "bounds", "viewer-big"})) {
        std::printf("%s of prose\n", megabytesName(megabytes * 10).c_str());
        Setup big;
        big.megabytes = megabytes * 10;
        big.text = path("obra_grande_ref.txt");
        writeText(big.text, numberText(bench::generateText(big.megabytes << 20, 1)));
        big.scan = grepScan(big.text);
        run("open-big", big);
        run("forms-big", big);
        run("bounds", big);
        if (wanted({"viewer-big"})) {
            big.target = path("oeuvre_grande_ref.txt");
            writeText(big.target, numberText(bench::generateText(big.megabytes << 20, 2)));
            run("viewer-big", big);
        }
    }
    Setup pairs;
    pairs.megabytes = megabytes;
    run("align", pairs);

    print(rows, megabytes, readBefore(SOLANDRE_BENCH_DIR "/table_before.tsv"));
    if (!savePath.empty()) save(rows, megabytes, savePath);
    return 0;
}
