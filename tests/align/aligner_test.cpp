// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/aligner.h"
#include "support/parallel_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

using namespace solandre;
using test::Language;
using test::valleyText;

namespace {

std::vector<std::string_view> views(const std::vector<std::string>& lines)
{
    return {lines.begin(), lines.end()};
}

// Every sentence of both texts in exactly one bead, in order, in the shapes
// the aligner knows, with a confidence in [0, 1].
void expectCovers(const std::vector<Bead>& beads, std::size_t sources, std::size_t targets)
{
    std::uint32_t s = 0, t = 0;
    for (const Bead& bead : beads) {
        ASSERT_EQ(bead.sourceFirst, s);
        ASSERT_EQ(bead.targetFirst, t);
        ASSERT_GE(bead.sourceCount + bead.targetCount, 1u);
        ASSERT_LE(std::max(bead.sourceCount, bead.targetCount), 3u);
        ASSERT_LE(bead.sourceCount * bead.targetCount, 4u);
        ASSERT_GE(bead.confidence, 0.0f);
        ASSERT_LE(bead.confidence, 1.0f);
        s += bead.sourceCount;
        t += bead.targetCount;
    }
    EXPECT_EQ(s, sources);
    EXPECT_EQ(t, targets);
}

std::vector<Bead> align(const std::vector<std::string_view>& source,
                        const std::vector<std::string_view>& target)
{
    std::optional<std::vector<Bead>> beads = alignSentences(source, target);
    if (!beads) ADD_FAILURE() << "cancelled without being asked to";
    return beads.value_or(std::vector<Bead>{});
}

bool holds(const std::vector<Bead>& beads, const Bead& wanted)
{
    return std::any_of(beads.begin(), beads.end(), [&](const Bead& bead) {
        return bead.sourceFirst == wanted.sourceFirst && bead.sourceCount == wanted.sourceCount &&
               bead.targetFirst == wanted.targetFirst && bead.targetCount == wanted.targetCount;
    });
}

struct LanguagePair {
    const char* name;
    Language source, target;
};
const LanguagePair kPairs[] = {
    {"EnglishFrench", Language::English, Language::French},
    {"FrenchEnglish", Language::French, Language::English},
    {"EnglishSpanish", Language::English, Language::Spanish},
    {"SpanishEnglish", Language::Spanish, Language::English},
    {"FrenchSpanish", Language::French, Language::Spanish},
    {"SpanishFrench", Language::Spanish, Language::French},
};

class OneToOne : public testing::TestWithParam<LanguagePair> {};

TEST_P(OneToOne, TranslationsSentenceBySentenceComeOutOneToOne)
{
    const auto& source = valleyText(GetParam().source);
    const auto& target = valleyText(GetParam().target);
    const std::vector<Bead> beads = align(source, target);
    expectCovers(beads, source.size(), target.size());
    ASSERT_EQ(beads.size(), source.size());
    for (std::uint32_t k = 0; k < beads.size(); ++k) {
        EXPECT_EQ(beads[k].sourceFirst, k);
        EXPECT_EQ(beads[k].sourceCount, 1u);
        EXPECT_EQ(beads[k].targetCount, 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, OneToOne, testing::ValuesIn(kPairs),
                         [](const auto& info) { return std::string(info.param.name); });

// Damage done to a one-to-one pair at known places, and the beads that undo it.
enum class Damage {
    TargetMissing, // the source sentence has no translation
    SourceMissing,
    MergeSources,
    MergeTargets,
    SplitSource,
    SplitTarget
};
struct Edit {
    Damage damage;
    std::size_t at; // sentence of the undamaged texts
};

struct DamagedPair {
    std::vector<std::string> source, target;
    std::vector<Bead> expected;
};

std::vector<std::string> splitInTwo(std::string_view sentence)
{
    const std::size_t cut = sentence.find(' ', sentence.size() / 2);
    return {std::string(sentence.substr(0, cut)), std::string(sentence.substr(cut + 1))};
}

DamagedPair damage(const std::vector<std::string_view>& source,
                   const std::vector<std::string_view>& target, const std::vector<Edit>& edits)
{
    DamagedPair pair;
    for (std::size_t k = 0; k < source.size(); ++k) {
        Bead bead;
        bead.sourceFirst = static_cast<std::uint32_t>(pair.source.size());
        bead.targetFirst = static_cast<std::uint32_t>(pair.target.size());
        const auto edit =
            std::find_if(edits.begin(), edits.end(), [&](const Edit& e) { return e.at == k; });
        const Damage* what = edit == edits.end() ? nullptr : &edit->damage;
        std::vector<std::string> s{std::string(source[k])}, t{std::string(target[k])};
        if (what && *what == Damage::TargetMissing) t.clear();
        if (what && *what == Damage::SourceMissing) s.clear();
        if (what && *what == Damage::MergeSources) {
            s = {std::string(source[k]) + " " + std::string(source[k + 1])};
            t.emplace_back(target[++k]);
        }
        if (what && *what == Damage::MergeTargets) {
            t = {std::string(target[k]) + " " + std::string(target[k + 1])};
            s.emplace_back(source[++k]);
        }
        if (what && *what == Damage::SplitSource) s = splitInTwo(source[k]);
        if (what && *what == Damage::SplitTarget) t = splitInTwo(target[k]);
        bead.sourceCount = static_cast<std::uint32_t>(s.size());
        bead.targetCount = static_cast<std::uint32_t>(t.size());
        pair.source.insert(pair.source.end(), s.begin(), s.end());
        pair.target.insert(pair.target.end(), t.begin(), t.end());
        pair.expected.push_back(bead);
    }
    return pair;
}

struct DriftCase {
    const char* name;
    std::vector<Edit> edits;
};

const DriftCase kDrifts[] = {
    {"TargetSentenceMissing", {{Damage::TargetMissing, 14}}},
    {"SourceSentenceMissing", {{Damage::SourceMissing, 26}}},
    {"TwoSourceSentencesMerged", {{Damage::MergeSources, 20}}},
    {"TwoTargetSentencesMerged", {{Damage::MergeTargets, 7}}},
    {"SourceSentenceSplit", {{Damage::SplitSource, 22}}},
    {"TargetSentenceSplit", {{Damage::SplitTarget, 5}}},
    {"PassageMissingFromTarget",
     {{Damage::TargetMissing, 30},
      {Damage::TargetMissing, 31},
      {Damage::TargetMissing, 32},
      {Damage::TargetMissing, 33},
      {Damage::TargetMissing, 34}}},
    {"SeveralKindsAtOnce",
     {{Damage::MergeTargets, 4},
      {Damage::SplitSource, 10},
      {Damage::TargetMissing, 17},
      {Damage::MergeSources, 36},
      {Damage::SplitTarget, 44}}},
};

class Drift : public testing::TestWithParam<std::tuple<DriftCase, LanguagePair>> {};

TEST_P(Drift, EveryDamagedPlaceIsUndone)
{
    const auto& [drift, languages] = GetParam();
    const DamagedPair pair =
        damage(valleyText(languages.source), valleyText(languages.target), drift.edits);
    const std::vector<Bead> beads = align(views(pair.source), views(pair.target));
    expectCovers(beads, pair.source.size(), pair.target.size());
    for (const Bead& wanted : pair.expected)
        EXPECT_TRUE(holds(beads, wanted))
            << "missing " << wanted.sourceCount << ":" << wanted.targetCount << " bead at source "
            << wanted.sourceFirst << ", target " << wanted.targetFirst;
}

INSTANTIATE_TEST_SUITE_P(Damages, Drift,
                         testing::Combine(testing::ValuesIn(kDrifts),
                                          testing::Values(kPairs[0], kPairs[3], kPairs[4])),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

// A made-up language pair long enough for the band and the learned dictionary
// to matter: the target renders each source word by a word of its own.
std::pair<std::vector<std::string>, std::vector<std::string>> longPair(std::size_t sentences)
{
    std::mt19937 random(11);
    auto word = [&](std::size_t letters) {
        std::string w;
        while (w.size() < letters)
            w += static_cast<char>('a' + random() % 26);
        return w;
    };
    std::vector<std::string> sourceWords, targetWords;
    for (int k = 0; k < 5000; ++k) {
        sourceWords.push_back(word(2 + random() % 9));
        targetWords.push_back(word(2 + random() % 9));
    }
    std::vector<std::string> source, target;
    for (std::size_t k = 0; k < sentences; ++k) {
        std::string s, t;
        for (std::size_t w = 3 + random() % 25; w-- > 0;) {
            const std::size_t pick = std::min<std::size_t>(random() % 5000, random() % 5000);
            s += sourceWords[pick] + " ";
            t += targetWords[pick] + " ";
        }
        source.push_back(s + ".");
        target.push_back(t + ".");
    }
    return {source, target};
}

TEST(AlignLong, PassageOfHundredSentencesMissingFromTargetIsSkipped)
{
    auto [source, target] = longPair(3000);
    target.erase(target.begin() + 1200, target.begin() + 1300);
    const std::vector<Bead> beads = align(views(source), views(target));
    expectCovers(beads, source.size(), target.size());
    std::size_t right = 0;
    for (const Bead& bead : beads) {
        const bool skipped = bead.sourceFirst >= 1200 && bead.sourceFirst < 1300;
        if (skipped)
            EXPECT_EQ(bead.targetCount, 0u) << "source " << bead.sourceFirst;
        else if (bead.sourceCount == 1 && bead.targetCount == 1 &&
                 bead.targetFirst == bead.sourceFirst - (bead.sourceFirst >= 1300 ? 100 : 0))
            ++right;
    }
    EXPECT_GE(right, 2890u);
}

TEST(AlignLong, SameResultEveryTime)
{
    auto [source, target] = longPair(400);
    target.erase(target.begin() + 150);
    target[250] += " " + target[251];
    target.erase(target.begin() + 251);
    const std::vector<Bead> first = align(views(source), views(target));
    for (int run = 0; run < 2; ++run) {
        const std::vector<Bead> again = align(views(source), views(target));
        ASSERT_EQ(again.size(), first.size());
        for (std::size_t k = 0; k < first.size(); ++k) {
            EXPECT_TRUE(holds(again, first[k]));
            EXPECT_EQ(again[k].confidence, first[k].confidence);
        }
    }
}

// A pair long enough that the first look takes big blocks, in two made-up
// languages sharing no word (so no sentence pair is anchored), whose path
// strays from the diagonal by `drift` sentences in the middle: the target has
// sentences of its own early on, the source as many late.
struct DriftingPair {
    std::vector<std::string> source, target;
    std::vector<Bead> pairs; // the sentences translating each other
};

DriftingPair driftingPair(std::uint32_t sentences, std::uint32_t drift)
{
    std::mt19937 random(3);
    auto word = [&] {
        std::string w;
        for (std::size_t letters = 2 + random() % 8; letters-- > 0;)
            w += static_cast<char>('a' + random() % 26);
        return w;
    };
    std::vector<std::string> sourceWords, targetWords;
    for (int k = 0; k < 3000; ++k) {
        sourceWords.push_back(word());
        targetWords.push_back(word());
    }
    auto sentence = [&](const std::vector<std::string>& words) {
        std::string s;
        for (std::size_t w = 2 + random() % 4; w-- > 0;)
            s += words[std::min(random() % 3000, random() % 3000)] + " ";
        return s + ".";
    };
    DriftingPair pair;
    const std::uint32_t early = sentences / 5, late = sentences - sentences / 5;
    const std::uint32_t every = early / drift;
    for (std::uint32_t k = 0; k < sentences; ++k) {
        if (k < early && k % every == 0 && k / every < drift) pair.target.push_back(sentence(targetWords));
        if (k >= late && (k - late) % every == 0 && (k - late) / every < drift)
            pair.source.push_back(sentence(sourceWords));
        pair.pairs.push_back({static_cast<std::uint32_t>(pair.source.size()), 1,
                              static_cast<std::uint32_t>(pair.target.size()), 1, 1.0f});
        std::string s, t;
        for (std::size_t w = 2 + random() % 4; w-- > 0;) {
            const std::size_t pick = std::min(random() % 3000, random() % 3000);
            s += sourceWords[pick] + " ";
            t += targetWords[pick] + " ";
        }
        pair.source.push_back(s + ".");
        pair.target.push_back(t + ".");
    }
    return pair;
}

TEST(AlignLong, DriftFromTheDiagonalWithoutAnchorsIsFollowed)
{
    // Long enough for blocks of 40 sentences, drifting further than the band
    // along the diagonal reaches but by less than a block and a half.
    const DriftingPair pair = driftingPair(80000, 55);
    const std::vector<Bead> beads = align(views(pair.source), views(pair.target));
    expectCovers(beads, pair.source.size(), pair.target.size());
    std::size_t found = 0;
    for (const Bead& bead : pair.pairs)
        found += holds(beads, bead);
    EXPECT_GE(found, pair.pairs.size() * 995 / 1000);
}

struct OddInput {
    const char* name;
    std::vector<std::string> source, target;
    bool oneToOne = false; // translations sentence by sentence
};

const OddInput kOddInputs[] = {
    {"BothEmpty", {}, {}},
    {"SourceEmpty", {}, {"Un.", "Deux."}},
    {"TargetEmpty", {"One.", "Two.", "Three."}, {}},
    {"OneSentenceEach", {"One sentence."}, {"Une phrase."}, true},
    {"OneAgainstMany", {"Short."}, {"A.", "B.", "C.", "D.", "E.", "F.", "G."}},
    {"EmptySentences", {"", "Text here.", ""}, {"", "", "Du texte.", ""}},
    {"OnlyEmptySentences", {"", "", ""}, {"", ""}},
    {"InvalidUtf8",
     {"\xff\xfe broken \xc3", "ok \xe2\x82", "\xed\xa0\x80 surrogate"},
     {"cass\xc3\xa9 \x80\x80", "bien", "\xf4\x90\x80\x80 beyond"}},
    {"VeryLongSentence",
     {std::string(20000, 'a') + " end.", "Next."},
     {std::string(19000, 'b') + " fin.", "Suivant."},
     true},
    {"ThousandsOfWords",
     {[] {
         std::string s;
         for (int k = 0; k < 3000; ++k)
             s += "w" + std::to_string(k) + " ";
         return s;
     }()},
     {"Tiny."}},
    {"IdenticalSentences", std::vector<std::string>(40, "Same."),
     std::vector<std::string>(30, "Same.")},
    {"WordInEverySentence",
     [] {
         std::vector<std::string> lines;
         for (int k = 0; k < 30; ++k)
             lines.push_back("Orbe " + std::string(k % 7 + 1, 'a'));
         return lines;
     }(),
     [] {
         std::vector<std::string> lines;
         for (int k = 0; k < 30; ++k)
             lines.push_back("Orbe " + std::string(k % 7 + 1, 'b'));
         return lines;
     }(),
     true},
};

class OddInputs : public testing::TestWithParam<OddInput> {};

TEST_P(OddInputs, CoverBothTexts)
{
    const OddInput& input = GetParam();
    const std::vector<Bead> beads = align(views(input.source), views(input.target));
    expectCovers(beads, input.source.size(), input.target.size());
    if (input.source.empty() || input.target.empty()) {
        EXPECT_EQ(beads.size(), input.source.size() + input.target.size());
    }
    if (input.oneToOne) {
        EXPECT_EQ(beads.size(), input.source.size());
        for (const Bead& bead : beads) {
            EXPECT_TRUE(bead.sourceCount == 1 && bead.targetCount == 1);
            EXPECT_GT(bead.confidence, 0.9f);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, OddInputs, testing::ValuesIn(kOddInputs),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AlignProgress, ReportsGrowFromZeroToOne)
{
    std::vector<double> shares;
    const auto beads = alignSentences(valleyText(Language::English), valleyText(Language::French),
                                      [&](double share) {
                                          shares.push_back(share);
                                          return true;
                                      });
    ASSERT_TRUE(beads.has_value());
    ASSERT_GE(shares.size(), 3u);
    EXPECT_EQ(shares.front(), 0.0);
    EXPECT_EQ(shares.back(), 1.0);
    EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end()));
}

TEST(AlignProgress, FalseCancelsAtAnyPoint)
{
    auto [source, target] = longPair(300);
    int total = 0;
    ASSERT_TRUE(alignSentences(views(source), views(target), [&](double) {
                    ++total;
                    return true;
                }).has_value());
    for (const int stopAt : {1, 2, total / 3, total / 2, total - 1, total}) {
        int calls = 0;
        const auto beads =
            alignSentences(views(source), views(target), [&](double) { return ++calls < stopAt; });
        EXPECT_FALSE(beads.has_value()) << "cancelled at report " << stopAt;
        EXPECT_EQ(calls, stopAt) << "reports after cancelling";
    }
}

TEST(AlignProgress, CancelsEvenWithAnEmptySide)
{
    EXPECT_FALSE(alignSentences({}, {"x"}, [](double) { return false; }).has_value());
}

TEST(Confidence, SureOfTranslationsDoubtfulOfATossUp)
{
    const std::vector<Bead> clear =
        align(valleyText(Language::English), valleyText(Language::Spanish));
    for (const Bead& bead : clear) {
        EXPECT_GT(bead.confidence, 0.9f) << bead.sourceFirst;
        EXPECT_FALSE(isDoubtful(bead)) << bead.sourceFirst;
    }

    // Which "Same." the lone one renders, or whether it renders both, is
    // anybody's guess.
    const std::vector<Bead> tossUp = align({"Same.", "Same.", "Other."}, {"Same.", "Autre."});
    expectCovers(tossUp, 3, 2);
    EXPECT_LT(tossUp.front().confidence, 0.75f);
    EXPECT_TRUE(isDoubtful(tossUp.front()));
}

} // namespace
