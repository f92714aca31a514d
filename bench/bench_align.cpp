// SPDX-License-Identifier: GPL-3.0-or-later
// The sentence aligner on the hand-aligned German-French document (bead
// precision, recall and F1, beads with an empty side left out of the count)
// and on generated text pairs of 7,000 and 50,000 sentences a side with
// merges, splits, drops and a long untranslated passage (time, peak memory,
// F1 against the generator).
//
// Usage: bench_align [folder with dev.de.txt, dev.fr.txt, dev.gold]
#include "align/aligner.h"
#include "measure.h"


#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace solandre;

namespace {

using Sides = std::pair<std::vector<std::uint32_t>, std::vector<std::uint32_t>>;

struct Score {
    double precision = 0, recall = 0, f1 = 0;
};

// Beads with an empty side count neither as found nor as expected.
Score score(const std::vector<Bead>& found, const std::set<Sides>& expected)
{
    std::size_t proposed = 0, right = 0;
    for (const Bead& bead : found) {
        if (bead.sourceCount == 0 || bead.targetCount == 0) continue;
        Sides sides;
        for (std::uint32_t k = 0; k < bead.sourceCount; ++k)
            sides.first.push_back(bead.sourceFirst + k);
        for (std::uint32_t k = 0; k < bead.targetCount; ++k)
            sides.second.push_back(bead.targetFirst + k);
        ++proposed;
        right += expected.count(sides);
    }
    Score s;
    s.precision = proposed ? double(right) / double(proposed) : 0;
    s.recall = expected.empty() ? 0 : double(right) / double(expected.size());
    s.f1 = s.precision + s.recall > 0 ? 2 * s.precision * s.recall / (s.precision + s.recall) : 0;
    return s;
}

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

std::vector<std::string_view> views(const std::vector<std::string>& lines)
{
    return std::vector<std::string_view>(lines.begin(), lines.end());
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
        std::printf("  %s  precision %.3f  recall %.3f  F1 %.3f  %.3f s\n",
                    reversed ? "French->German" : "German->French", s.precision, s.recall, s.f1,
                    took);
    }
}

// A made-up language pair: the target renders each source word by a word of
// its own (one in 25, names, unchanged; numbers unchanged), drops and
// adds a few words and reorders a little, so lengths vary as in real
// translations.
class PairGenerator {
public:
    explicit PairGenerator(std::uint32_t seed) : random_(seed)
    {
        constexpr int kVocabulary = 30000;
        for (int k = 0; k < kVocabulary; ++k) {
            std::string source = word(1 + static_cast<int>(std::min(12.0, lengths_(random_))));
            std::string target =
                chance(0.04) ? source
                             : word(std::max<int>(1, static_cast<int>(source.size()) + noise(2)));
            sourceWords_.push_back(source);
            targetWords_.push_back(target);
        }
    }

    void sentence(std::string& source, std::string& target)
    {
        const int words =
            std::max(1, static_cast<int>(std::lround(std::exp(sentenceWords_(random_)))));
        std::vector<std::string> sourceTokens, targetTokens;
        for (int k = 0; k < words; ++k) {
            if (chance(0.03)) {
                const std::string number = std::to_string(random_() % 3000);
                sourceTokens.push_back(number);
                targetTokens.push_back(number);
                continue;
            }
            const std::size_t w = zipf();
            sourceTokens.push_back(sourceWords_[w]);
            if (chance(0.1)) continue;
            targetTokens.push_back(targetWords_[w]);
            if (chance(0.1)) targetTokens.push_back(targetWords_[zipf() % 50]);
        }
        for (std::size_t k = 1; k < targetTokens.size(); ++k)
            if (chance(0.2)) std::swap(targetTokens[k - 1], targetTokens[k]);
        const bool question = chance(0.05);
        source = join(sourceTokens) + (question ? "?" : ".");
        target = join(targetTokens) + (question ? "?" : ".");
        source[0] = static_cast<char>(std::toupper(source[0]));
        target[0] = static_cast<char>(std::toupper(target[0]));
    }

    bool chance(double p) { return std::uniform_real_distribution<>(0, 1)(random_) < p; }

private:
    std::string word(int letters)
    {
        std::string w;
        for (int k = 0; k < letters; ++k)
            w += static_cast<char>('a' + random_() % 26);
        return w;
    }
    int noise(int spread) { return static_cast<int>(random_() % (2 * spread + 1)) - spread; }
    std::size_t zipf()
    {
        // Rank ~ exp(uniform * log V): roughly Zipfian.
        const double r = std::exp(std::uniform_real_distribution<>(0, std::log(30000.0))(random_));
        return std::min<std::size_t>(sourceWords_.size() - 1, static_cast<std::size_t>(r) - 1);
    }
    static std::string join(const std::vector<std::string>& tokens)
    {
        std::string text;
        for (const std::string& token : tokens) {
            if (!text.empty()) text += ' ';
            text += token;
        }
        return text;
    }

    std::mt19937 random_;
    std::lognormal_distribution<> lengths_{1.5, 0.5};
    std::normal_distribution<> sentenceWords_{std::log(18.0), 0.6};
    std::vector<std::string> sourceWords_, targetWords_;
};

struct GeneratedPair {
    std::vector<std::string> source, target;
    std::set<Sides> gold;
};

// Sentence pairs with, at 2% each, a source or target sentence dropped, two
// target sentences merged, or one split in two; and a passage of 300 source
// sentences, 40% into the text, left untranslated.
GeneratedPair generatePair(std::size_t sentences, std::uint32_t seed)
{
    PairGenerator generator(seed);
    GeneratedPair pair;
    const std::size_t gapAt = sentences * 2 / 5;
    while (pair.source.size() < sentences) {
        std::string source, target;
        generator.sentence(source, target);
        const auto s = static_cast<std::uint32_t>(pair.source.size());
        const auto t = static_cast<std::uint32_t>(pair.target.size());
        if ((s >= gapAt && s < gapAt + 300) || generator.chance(0.02)) {
            pair.source.push_back(source); // no counterpart
        } else if (generator.chance(0.02)) {
            pair.target.push_back(target);
        } else if (generator.chance(0.02)) {
            std::string nextSource, nextTarget;
            generator.sentence(nextSource, nextTarget);
            pair.source.push_back(source);
            pair.source.push_back(nextSource);
            pair.target.push_back(target + " " + nextTarget);
            pair.gold.insert({{s, s + 1}, {t}});
        } else if (generator.chance(0.02) && target.find(' ') != std::string::npos) {
            const std::size_t cut = target.find(' ', target.size() / 2);
            const std::size_t at = cut == std::string::npos ? target.find(' ') : cut;
            pair.source.push_back(source);
            pair.target.push_back(target.substr(0, at) + ".");
            pair.target.push_back(target.substr(at + 1));
            pair.gold.insert({{s}, {t, t + 1}});
        } else {
            pair.source.push_back(source);
            pair.target.push_back(target);
            pair.gold.insert({{s}, {t}});
        }
    }
    return pair;
}

void benchGenerated(std::size_t sentences)
{
    const GeneratedPair pair = generatePair(sentences, 7);
    std::optional<std::vector<Bead>> beads;
    const bench::Figure f = bench::measure([&] { beads = alignSentences(views(pair.source), views(pair.target)); });
    const Score s = score(*beads, pair.gold);
    std::printf("Generated pair, %zu x %zu sentences: %.2f s, peak memory %.0f MB, F1 %.3f\n",
                pair.source.size(), pair.target.size(), f.seconds, f.peakMb, s.f1);
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
    benchGenerated(7000);
    benchGenerated(50000);
    return 0;
}
