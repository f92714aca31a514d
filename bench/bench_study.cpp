// SPDX-License-Identifier: GPL-3.0-or-later
// What is read from a search besides its list, on a numbered text of about
// 17 million words ("*" lists them all) and a numbered target: the
// concordance lines (opening, lines read where a window scrolls to, each
// sort, with the memory each adds), the frequency list, the export of a
// common form's lines and the translation candidates of a form.
// Usage: bench_study [megabytes]   (default: 100)
#include "common/fileio.h"
#include "numbering/numbering_engine.h"
#include "search/concordance.h"
#include "search/frequencies.h"
#include "search/concordance_lines.h"
#include "study/candidates.h"
#include "study/export_file.h"
#include "measure.h"
#include "text_generator.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <random>

using namespace solandre;
using bench::Figure;
using bench::measure;

namespace {

void print(const char* what, const Figure& f, const char* note = "")
{
    std::printf("  %-40s %8.3f s   peak %7.0f MB  %s\n", what, f.seconds, f.peakMb, note);
}

void fail(const QString& message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
    QTemporaryDir dir;
    const QString source = dir.filePath("obra_ref.txt"), target = dir.filePath("oeuvre_ref.txt");
    if (!writeFileSafely(source, numberText(bench::generateText(megabytes << 20, 1))).ok()) fail("source");
    if (!writeFileSafely(target, numberText(bench::generateText(megabytes << 20, 2))).ok()) fail("target");
    std::printf("%zu MB of prose and a target of the same size\n", megabytes);

    Concordance concordance;
    if (Status s = concordance.load(source); !s) fail(s.error().message);
    concordance.search("*");
    char note[160];

    ConcordanceLines lines;
    const double before = bench::currentMemoryMb();
    const Figure open = measure([&] { lines = ConcordanceLines::ofGrid(concordance.grid()); });
    std::snprintf(note, sizeof note, "%zu lines, adds %.0f MB", lines.size(), bench::currentMemoryMb() - before);
    print("lines of \"*\"", open, note);

    // A window shows some thirty lines wherever its scroll bar is put.
    std::mt19937 random(3);
    const Figure screens = measure([&] {
        for (int screen = 0; screen < 100; ++screen) {
            const size_t top = random() % (lines.size() - 30);
            for (size_t k = top; k < top + 30; ++k) (void)lines.line(k);
        }
    });
    std::snprintf(note, sizeof note, "%.2f ms a screen", screens.seconds * 10);
    print("100 screens of 30 lines", screens, note);

    const std::pair<LineKey, const char*> keys[] = {{LineKey::Form, "sort by the form"},
                                                    {LineKey::Left1, "sort by the 1st word left"},
                                                    {LineKey::Left2, "sort by the 2nd word left"},
                                                    {LineKey::Right1, "sort by the 1st word right"},
                                                    {LineKey::Right2, "sort by the 2nd word right"}};
    for (const auto& [key, what] : keys) {
        const double held = bench::currentMemoryMb();
        const Figure sort = measure([&] { lines.sort(key); });
        std::snprintf(note, sizeof note, "adds %.0f MB while it runs", sort.peakMb - held);
        print(what, sort, note);
    }

    std::vector<FormFrequency> list;
    const Figure frequencies = measure([&] {
        list = countForms(concordance.grid());
        sortFrequencies(list, FrequencyOrder::ByCount);
    });
    std::snprintf(note, sizeof note, "%zu forms", list.size());
    print("frequency list of \"*\", by count", frequencies, note);

    concordance.search("casa");
    const ConcordanceLines common = ConcordanceLines::ofGrid(concordance.grid());
    const QString out = dir.filePath("casa.csv");
    const Figure exported = measure([&] {
        if (Status s = exportLines(out, common, source, target, ExportFormat::Csv); !s) fail(s.error().message);
    });
    std::snprintf(note, sizeof note, "%zu lines, %.0f MB", common.size(), double(QFileInfo(out).size()) / 1e6);
    print("export of \"casa\" with both sentences", exported, note);
    const QString workbook = dir.filePath("casa.xlsx");
    const Figure spreadsheet = measure([&] {
        if (Status s = exportLines(workbook, common, source, target, ExportFormat::Xlsx); !s) fail(s.error().message);
    });
    std::snprintf(note, sizeof note, "%.1f times the CSV, %.0f MB", spreadsheet.seconds / exported.seconds,
                  double(QFileInfo(workbook).size()) / 1e6);
    print("the same as an .xlsx workbook", spreadsheet, note);

    for (const char* form : {"casa", "*"}) {
        Result<CandidateList> found = Error{};
        const Figure candidates = measure([&] { found = candidatesOf(concordance.index(), form, target, 10); });
        if (!found) fail(found.error().message);
        std::snprintf(note, sizeof note, "%llu pairs, %llu with the form",
                      (unsigned long long)found.value().pairs, (unsigned long long)found.value().withForm);
        print(("candidates of \"" + std::string(form) + "\"").c_str(), candidates, note);
    }
    return 0;
}
