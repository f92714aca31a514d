// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces a bead's score is made of: lengths, shared keys, the learned
// dictionary and the shapes' priors.
#include "align/alignment_pass.h"
#include "align/dictionary.h"
#include "align/length_model.h"
#include "align/reliability.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <string>

using namespace solandre;
using namespace solandre::align;

namespace {

TEST(LengthModel, BestWhenLengthsAgreeAndBoundedBelow)
{
    const LengthModel model = typicalLengthModel(1.2);
    EXPECT_NEAR(model.logScore(100, 120), 0.0, 1e-6);
    double previous = 1;
    for (const double target : {120, 130, 140, 160, 200, 300, 1000}) {
        const double score = model.logScore(100, target);
        EXPECT_LT(score, previous) << target;
        EXPECT_GE(score, std::log(model.unrelatedShare()) - 1e-6) << target;
        previous = score;
    }
}

TEST(LengthModel, SameScoreWhicheverTextIsTheSource)
{
    const LengthModel forward = typicalLengthModel(2.5);
    const LengthModel backward = typicalLengthModel(1 / 2.5);
    for (const auto& [s, t] : {std::pair{40.0, 100.0}, {40.0, 130.0}, {80.0, 150.0}, {10.0, 60.0}})
        EXPECT_NEAR(forward.logScore(s, t), backward.logScore(t, s), 1e-3) << s << " " << t;
}

TEST(LengthModel, FitMeasuresRatioAndSpread)
{
    std::mt19937 random(3);
    std::vector<std::pair<double, double>> pairs;
    for (int k = 0; k < 3000; ++k) {
        const double source = 20 + random() % 200;
        const double noise = std::normal_distribution<>(0, std::sqrt(3.0 * source))(random);
        pairs.emplace_back(source, 1.3 * source + noise);
    }
    const LengthModel fitted = fitLengthModel(pairs, 1.0);
    EXPECT_NEAR(fitted.ratio(), 1.3, 0.01);
    EXPECT_NEAR(fitted.variance(), 3.0, 0.3);
    pairs.resize(5); // too few to say anything
    EXPECT_EQ(fitLengthModel(pairs, 0.9).ratio(), 0.9);
    EXPECT_EQ(fitLengthModel(pairs, 0.9).variance(), typicalLengthModel(0.9).variance());
}

// Two texts read as the aligner reads them, with a first-pass model.
struct Pair {
    Texts texts;
    std::unique_ptr<PassModel> model;

    Pair(const std::vector<std::string_view>& source, const std::vector<std::string_view>& target)
    {
        texts.source = readSide(source, texts.forms);
        texts.target = readSide(target, texts.forms);
        std::vector<double> diagonal(source.size() + 1);
        for (std::size_t row = 0; row <= source.size(); ++row)
            diagonal[row] = double(row) * target.size() / source.size();
        model = std::make_unique<PassModel>(texts, diagonal, 1.0);
    }

    double evidence(std::uint32_t s, std::uint32_t t) const
    {
        const BeadModel& m = model->beadModel();
        Matcher matcher(*m.sourceEvidence, *m.targetEvidence, m.keyCount);
        PairMatch match;
        matcher.matchRow(s, t, t + 1, &match);
        return beadEvidence(*m.sourceEvidence, *m.targetEvidence, s, 1, t, 1,
                            [&](int, int) { return match; });
    }
};

const std::vector<std::string_view> kSource{
    "Clara Devaux stayed in 1870.", "The village of Orbe grew.", "It had a forge in Orbe.",
    "The river of Orbe was cold.",  "Nobody came to Orbe.",      "The end of Orbe."};
const std::vector<std::string_view> kTarget{
    "Clara Devaux resta en 1870.",     "Le village d'Orbe grandit.", "Il avait une forge à Orbe.",
    "La rivière d'Orbe était froide.", "Personne ne vint à Orbe.",   "La fin d'Orbe."};

TEST(LexicalEvidence, RareSharedWordsCountMoreThanCommonOnes)
{
    const Pair pair(kSource, kTarget);
    const double rare = pair.evidence(0, 0);   // a name and a number found once
    const double common = pair.evidence(1, 1); // "Orbe", found everywhere
    EXPECT_GT(rare, common);
    EXPECT_GT(common, pair.evidence(1, 0));
}

TEST(LexicalEvidence, MissingWhatTheOtherTextHasCountsAgainst)
{
    const Pair pair(kSource, kTarget);
    EXPECT_LT(pair.evidence(0, 3), 0.0); // the name and the year are elsewhere
    EXPECT_LT(pair.evidence(0, 3), pair.evidence(1, 3));
}

TEST(Reliability, MeasuredAgainstChance)
{
    const Pair pair(kSource, kTarget);
    const Texts& texts = pair.texts;
    const FormKeys keys(texts.forms);
    const auto sourceFrequency = keyFrequency(texts.source, keys, 0);
    const auto targetFrequency = keyFrequency(texts.target, keys, 1);
    auto reliability = [&](std::uint32_t matched, double chance) {
        FormTally tally;
        tally.seen.assign(texts.forms.size(), 50);
        tally.matched.assign(texts.forms.size(), matched);
        tally.chance.assign(texts.forms.size(), chance);
        return estimateReliability(tally, texts.forms, texts.target, keys, 0, sourceFrequency,
                                   targetFrequency);
    };
    const std::uint32_t devaux = texts.source.formsOf(0)[1];
    EXPECT_NEAR(reliability(50, 0)[devaux], kMaxReliability, 1e-9);
    EXPECT_NEAR(reliability(0, 0)[devaux], 0.0, 1e-9);
    EXPECT_NEAR(reliability(25, 0)[devaux], 0.5, 0.02);
    EXPECT_NEAR(reliability(25, 25)[devaux], 0.0, 1e-9); // no better than chance

    // A form that never turns up where it should tells nothing by missing.
    const SideEvidence unreliable = buildEvidence(texts.source, 0, keys, targetFrequency,
                                                  texts.target.size(), reliability(0, 0));
    EXPECT_NEAR(unreliable.missed[0], 0.0, 1e-6);
    EXPECT_LT(pair.model->beadModel().sourceEvidence->missed[0], 0.0f);
}

// A row's scores, made for many beads at once, are each bead's prior, length
// and shared words as they are defined for the one bead; -infinity for a bead
// that would start outside the band.
TEST(BeadScorer, EachScoreIsItsBeadsPriorLengthAndEvidence)
{
    const char* const words[][2] = {{"haus", "maison"}, {"garten", "jardin"}, {"Orbe", "Orbe"},
                                    {"hotel", "hôtel"},  {"gross", "grande"},  {"Devaux", "Devaux"},
                                    {"fluss", "rivière"}};
    std::vector<std::string> source, target;
    std::mt19937 random(11);
    for (int k = 0; k < 90; ++k) {
        std::string s, t;
        for (auto count = 1 + random() % 7; count-- > 0;) {
            const auto& word = words[random() % std::size(words)];
            s += std::string(word[0]) + " ";
            t += std::string(word[1]) + " ";
        }
        const std::string number = std::to_string(random() % 300);
        source.push_back(s + number);
        if (random() % 10 != 0) target.push_back(t + number); // some left out
    }
    Texts texts;
    texts.source = readSide({source.begin(), source.end()}, texts.forms);
    texts.target = readSide({target.begin(), target.end()}, texts.forms);
    const auto rows = static_cast<std::uint32_t>(source.size());
    const auto columns = static_cast<std::uint32_t>(target.size());
    std::vector<double> line(rows + 1);
    std::vector<Bead> beads;
    for (std::uint32_t row = 0; row <= rows; ++row) {
        line[row] = double(row) * columns / rows;
        if (row < rows && row < columns) beads.push_back({row, 1, row, 1, 1.0f});
    }
    beads.push_back({columns, rows - columns, columns, 0, 1.0f});
    const PassModel firstPass(texts, line, 1.0), learned(texts, beads);

    struct Case {
        const char* name;
        const PassModel& model;
    };
    for (const Case& c : {Case{"first pass", firstPass}, Case{"learned", learned}}) {
        const BeadModel& m = c.model.beadModel();
        const Band band = bandAround(line, std::vector<std::uint32_t>(rows + 1, 5), columns);
        const TargetRuns runs(m);
        BeadScorer scorer(m, band, runs);
        Matcher matcher(*m.sourceEvidence, *m.targetEvidence, m.keyCount);
        int wrong = 0;
        for (std::uint32_t i = 0; i <= rows; ++i) {
            std::vector<float> scores((band.hi(i) - band.lo(i) + 1) * kShapeCount);
            scorer.scoreRow(i, scores.data());
            for (std::uint32_t j = band.lo(i); j <= band.hi(i); ++j)
                for (std::size_t k = 0; k < kShapeCount; ++k) {
                    const std::uint32_t a = kShapes[k].source, b = kShapes[k].target;
                    float expected = -std::numeric_limits<float>::infinity();
                    if (a <= i && b <= j && band.contains(i - a, j - b)) {
                        double score = m.logPrior[k];
                        if (a > 0 && b > 0) {
                            score += m.length.logScore(m.sourceOffset[i] - m.sourceOffset[i - a],
                                                       m.targetOffset[j] - m.targetOffset[j - b]);
                            PairMatch match[kMaxBeadSide][kMaxBeadSide];
                            for (std::uint32_t x = 0; x < a; ++x)
                                for (std::uint32_t y = 0; y < b; ++y)
                                    matcher.matchRow(i - a + x, j - b + y, j - b + y + 1, &match[x][y]);
                            score += beadEvidence(*m.sourceEvidence, *m.targetEvidence, i - a, int(a), j - b,
                                                  int(b), [&](int x, int y) { return match[x][y]; });
                        }
                        expected = static_cast<float>(score);
                    }
                    const float made = scores[(j - band.lo(i)) * kShapeCount + k];
                    if (made != expected && wrong++ == 0)
                        ADD_FAILURE() << c.name << ": row " << i << ", column " << j << ", shape "
                                      << int(a) << ":" << int(b) << " scored " << made << ", not " << expected;
                }
        }
        EXPECT_EQ(wrong, 0) << c.name;
    }
}

TEST(FormKeys, CognatesShareAKeyNumbersOnlyWhenEqual)
{
    struct Case {
        const char* a;
        const char* b;
        bool shared;
    };
    const Case cases[] = {{"Expedition", "expéditions", true},
                          {"Himalaya", "himalayens", true},
                          {"Berg", "montagne", false},
                          {"de", "des", false},
                          {"1956", "19561", false},
                          {"1956", "1956", true},
                          {"«", "„", true}};
    for (const Case& c : cases) {
        FormTable table;
        const SideText text = readSide({c.a, c.b}, table);
        const FormKeys keys(table);
        EXPECT_EQ(keys.surfaceKey(text.formsOf(0)[0]) == keys.surfaceKey(text.formsOf(1)[0]),
                  c.shared)
            << c.a << " / " << c.b;
    }
}

TEST(Dictionary, LinksWordsThatKeepTurningUpTogether)
{
    std::vector<std::string> source, target;
    std::mt19937 random(5);
    for (int k = 0; k < 60; ++k) {
        const std::string filler = std::to_string(random() % 1000);
        source.push_back((k % 3 ? "haus gross w" : "garten w") + filler + " hotel");
        target.push_back((k % 3 ? "maison grande m" : "jardin m") + filler + " hôtel");
    }
    Texts texts;
    texts.source = readSide({source.begin(), source.end()}, texts.forms);
    texts.target = readSide({target.begin(), target.end()}, texts.forms);
    const FormKeys keys(texts.forms);
    std::vector<Bead> beads;
    for (std::uint32_t k = 0; k < 60; ++k)
        beads.push_back({k, 1, k, 1, 1.0f});
    std::vector<std::pair<std::string, std::string>> learned;
    for (const auto& [s, t] : learnDictionary(texts.source, texts.target, texts.forms, keys, beads))
        learned.emplace_back(texts.forms.text(s), texts.forms.text(t));
    // "haus" and "gross" always come together, so either may take "maison";
    // "garten" is alone with "jardin". The cognate "hotel" needs no entry, and
    // "w" and "m", in every sentence, say nothing.
    std::sort(learned.begin(), learned.end());
    ASSERT_EQ(learned.size(), 3u);
    EXPECT_EQ(learned[0], std::make_pair(std::string("garten"), std::string("jardin")));
    EXPECT_TRUE(learned[1].first == "gross" || learned[1].first == "haus");
    EXPECT_TRUE(learned[1].second == "grande" || learned[1].second == "maison");
    EXPECT_NE(learned[1].first, learned[2].first);
    EXPECT_NE(learned[1].second, learned[2].second);
}

} // namespace
