// SPDX-License-Identifier: GPL-3.0-or-later
// The sentence aligner on the hand-aligned German-French document (bead
// precision, recall and F1, beads with an empty side left out of the count)
// and on generated text pairs of 7,000 and 50,000 sentences a side with
// merges, splits, drops and a long untranslated passage (time, peak memory,
// F1 against the generator, and a digest of the beads and their confidences
// that changes with any change of the result).
//
// Usage: bench_align [folder with dev.de.txt, dev.fr.txt, dev.gold] [sentences ...]
#include "align/aligner.h"
#include "aligned_pairs.h"
#include "measure.h"

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace solandre;
using namespace solandre::bench;

namespace {

std::vector<std::string> readLines(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::uint32_t> numbers(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::uint32_t> values;
    for (std::uint32_t value; in >> value;)
        values.push_back(value);
    return values;
}

std::filesystem::path devFolder(int argc, char** argv)
{
    std::vector<std::filesystem::path> candidates;
    if (argc > 1) candidates.emplace_back(argv[1]);
    if (const char* fromEnvironment = std::getenv("SOLANDRE_ALIGN_DEV"))
        candidates.emplace_back(fromEnvironment);
    candidates.emplace_back("../shared/align-dev");
    candidates.emplace_back("/work/shared/align-dev");
    for (const auto& folder : candidates)
        if (std::filesystem::exists(folder / "dev.gold")) return folder;
    return {};
}

std::uint64_t digest(const std::vector<Bead>& beads)
{
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&](std::uint64_t v) { h = (h ^ v) * 1099511628211ull; };
    for (const Bead& b : beads) {
        mix(b.sourceFirst);
        mix(b.sourceCount);
        mix(b.targetFirst);
        mix(b.targetCount);
        mix(std::bit_cast<std::uint32_t>(b.confidence));
    }
    return h;
}

void benchDevDocument(const std::filesystem::path& folder)
{
    const std::vector<std::string> german = readLines(folder / "dev.de.txt");
    const std::vector<std::string> french = readLines(folder / "dev.fr.txt");
    std::set<Sides> gold, swapped;
    for (const std::string& line : readLines(folder / "dev.gold")) {
        const auto tab = line.find('\t');
        if (tab == std::string::npos) continue;
        const Sides sides{numbers(line.substr(0, tab)), numbers(line.substr(tab + 1))};
        if (sides.first.empty() || sides.second.empty()) continue;
        gold.insert(sides);
        swapped.insert({sides.second, sides.first});
    }
    std::printf("Hand-aligned document (%s): %zu German, %zu French sentences, %zu beads "
                "with both sides\n",
                folder.c_str(), german.size(), french.size(), gold.size());
    for (const bool reversed : {false, true}) {
        std::optional<std::vector<Bead>> beads;
        const double took = bench::timeIt([&] {
            beads = reversed ? alignSentences(views(french), views(german)) : alignSentences(views(german), views(french));
        });
        const Score s = score(*beads, reversed ? swapped : gold);
        std::printf("  %s  precision %.3f  recall %.3f  F1 %.3f  %.3f s  digest %016llx\n",
                    reversed ? "French->German" : "German->French", s.precision, s.recall, s.f1,
                    took, static_cast<unsigned long long>(digest(*beads)));
    }
}

void benchGenerated(std::size_t sentences)
{
    const GeneratedPair pair = generatePair(sentences, 7);
    std::optional<std::vector<Bead>> beads;
    const bench::Figure f = bench::measure([&] { beads = alignSentences(views(pair.source), views(pair.target)); });
    const Score s = score(*beads, pair.gold);
    std::printf("Generated pair, %zu x %zu sentences: %.2f s, peak memory %.0f MB, F1 %.3f, "
                "digest %016llx\n",
                pair.source.size(), pair.target.size(), f.seconds, f.peakMb, s.f1,
                static_cast<unsigned long long>(digest(*beads)));
}

} // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path folder = devFolder(argc, argv);
    if (folder.empty())
        std::printf("Hand-aligned document not found (give its folder or set "
                    "SOLANDRE_ALIGN_DEV); skipped.\n");
    else
        benchDevDocument(folder);
    // More sizes on the command line after the folder: bench_align DIR 200000
    std::vector<std::size_t> sizes;
    for (int k = 2; k < argc; ++k)
        sizes.push_back(std::strtoul(argv[k], nullptr, 10));
    if (sizes.empty()) sizes = {7000, 50000};
    for (const std::size_t sentences : sizes)
        benchGenerated(sentences);
    return 0;
}
