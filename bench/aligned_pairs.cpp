// SPDX-License-Identifier: GPL-3.0-or-later
#include "aligned_pairs.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <random>

namespace solandre::bench {

namespace {

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

} // namespace

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


std::vector<std::string_view> views(const std::vector<std::string>& lines)
{
    return std::vector<std::string_view>(lines.begin(), lines.end());
}

} // namespace solandre::bench
