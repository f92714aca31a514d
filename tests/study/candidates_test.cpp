// SPDX-License-Identifier: GPL-3.0-or-later
#include "numbering/number_files.h"
#include "search/concordance.h"
#include "search/reference_search.h"
#include "study/candidates.h"
#include "common/word_form.h"
#include "support/reference_text.h"
#include "support/temp_files.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>

namespace solandre {
namespace {

using testing::cp1252;

CandidateList candidates(const std::string& source, const std::string& target, const char* typed, size_t top = 10)
{
    const Concordance concordance(source);
    WordList hits;
    findHits(concordance.index(), QString::fromUtf8(typed), hits);
    const auto list = findCandidates(concordance.index(), hits, target,
                                     guessEncoding(target).encoding == FileEncoding::Utf8 ? Encoding::Utf8
                                                                                          : Encoding::Windows1252,
                                     top);
    EXPECT_TRUE(list.has_value());
    return list.value_or(CandidateList());
}

std::string words(const CandidateList& list)
{
    std::string out;
    for (const Candidate& c : list.best) out += (out.empty() ? "" : " ") + c.word;
    return out;
}

// G² written as twice the sum of observed * ln(observed / expected).
double gSquared(double ab, double a, double b, double n)
{
    const double observed[4] = {ab, a - ab, b - ab, n - a - b + ab};
    const double expected[4] = {a * b / n, a * (n - b) / n, (n - a) * b / n, (n - a) * (n - b) / n};
    double sum = 0;
    for (int k = 0; k < 4; ++k)
        if (observed[k] > 0) sum += observed[k] * std::log(observed[k] / expected[k]);
    return 2 * sum;
}

// Targets in other scripts: words cut as the word index cuts them, in NFC,
// a combining mark no letter of its own.
TEST(Candidates, WordsOfUnspacedAndMarkedScriptsAreProposed)
{
    struct Case { const char* name; const char* withForm; const char* without; const char* best; };
    const Case cases[] = {
        {"Chinese, cut by the dictionary", "我爱中国人民。", "我爱我的家。", "中国"},
        {"Thai", "ฉันรักภาษาไทย", "ฉันรักแม่", "ภาษา"},
        {"Vietnamese, decomposed or not", "Tie\u0302\u0301ng Vie\u0323\u0302t hay.", "Tôi đi học.", "tiếng"},
        {"Hindi with vowel signs", "भारत बड़ा है।", "वह घर है।", "बड़ा"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string source, target;
        for (int s = 1; s <= 40; ++s) {
            const bool form = s % 4 == 0;
            source += "[" + std::to_string(s) + "] uno" + (form ? " casa" : "") + " dos.\r\n";
            // Half the sentences with the form are written composed.
            std::string sentence = form ? c.withForm : c.without;
            if (form && s % 8 == 0) sentence = foldedForm(sentence);
            target += "[" + std::to_string(s) + "] " + sentence + "\r\n";
        }
        const CandidateList list = candidates(source, target, "casa");
        const auto found = std::find_if(list.best.begin(), list.best.end(),
                                        [&](const Candidate& k) { return k.word == foldedForm(c.best); });
        ASSERT_NE(found, list.best.end()) << words(list);
        EXPECT_EQ(found->joint, 10u) << "both spellings are one word";
        EXPECT_EQ(found->score, list.best.front().score) << words(list);
    }
}

TEST(LogLikelihood, IsTwiceObservedTimesTheLogOfObservedOverExpected)
{
    struct Case { std::uint64_t ab, a, b, n; };
    const Case cases[] = {{10, 10, 10, 100}, {1, 1, 1, 2}, {3, 5, 7, 50}, {0, 5, 5, 20}, {5, 5, 50, 50},
                          {120, 130, 125, 17'000'000}};
    for (const Case& c : cases)
        EXPECT_NEAR(logLikelihood(c.ab, c.a, c.b, c.n), gSquared(c.ab, c.a, c.b, c.n), 1e-6 * (1 + gSquared(c.ab, c.a, c.b, c.n)))
            << c.ab << " " << c.a << " " << c.b << " " << c.n;
    EXPECT_EQ(logLikelihood(2, 4, 5, 10), logLikelihood(2, 5, 4, 10)) << "symmetric in form and word";
    EXPECT_NEAR(logLikelihood(1, 2, 5, 10), 0.0, 1e-9) << "independence scores nothing";
}

// A synthetic pair: "casa" in every third sentence, "maison" in exactly
// those translations; "le" in every translation, "rare" once with the form,
// single letters with it too.
TEST(Candidates, AWordThatAlwaysGoesWithTheFormComesFirstWithItsCounts)
{
    std::string source, target;
    for (int s = 1; s <= 60; ++s) {
        const bool form = s % 3 == 0;
        source += "[" + std::to_string(s) + "] uno dos" + (form ? " Casa" : "") + " tres.\r\n";
        target += "[" + std::to_string(s) + "] le un deux" + (form ? " l' d MAISON" : "") +
                  (s == 3 ? " rare" : "") + (s % 2 ? " impair" : "") + ".\r\n";
    }
    const CandidateList list = candidates(source, target, "casa");
    EXPECT_EQ(list.pairs, 60u);
    EXPECT_EQ(list.withForm, 20u);
    ASSERT_FALSE(list.best.empty());
    EXPECT_EQ(list.best[0].word, "maison");
    EXPECT_EQ(list.best[0].joint, 20u);
    EXPECT_EQ(list.best[0].inTarget, 20u);
    EXPECT_NEAR(list.best[0].g2, gSquared(20, 20, 20, 60), 1e-9);
    EXPECT_NEAR(list.best[0].score, gSquared(20, 20, 20, 60) * std::log(60.0 / 20.0), 1e-9);
    EXPECT_EQ(words(list), "maison rare") << "le, un, deux and impair are no more frequent with the form; "
                                             "single letters do not count";
}

TEST(Candidates, OfAPhraseCountTheSentencesOfItsHits)
{
    // "vez" alone goes with "fois" and "moment"; the phrase "a la vez" with
    // "fois" only.
    std::string source, target;
    for (int s = 1; s <= 40; ++s) {
        const bool phrase = s % 4 == 0, word = s % 4 == 2;
        source += "[" + std::to_string(s) + "] uno" + (phrase ? " a la vez" : word ? " una vez" : "") + ".\r\n";
        target += "[" + std::to_string(s) + "] un" + (phrase ? " à la fois" : word ? " un moment" : "") + ".\r\n";
    }
    const CandidateList list = candidates(source, target, "a la vez");
    EXPECT_EQ(list.withForm, 10u);
    ASSERT_FALSE(list.best.empty());
    EXPECT_EQ(list.best[0].word, "fois");
    EXPECT_EQ(words(list).find("moment"), std::string::npos);
}

// "de" is in every sentence of the form and in half the others, "maison" in
// only some of the form's: G² alone puts the article first, the rank never.
TEST(Candidates, AWordFrequentEverywhereNeverOutranksTheTranslation)
{
    std::string source, target;
    for (int s = 1; s <= 100; ++s) {
        source += "[" + std::to_string(s) + "] uno" + (s <= 40 ? " casa" : "") + ".\r\n";
        target += "[" + std::to_string(s) + "] un" + (s <= 60 ? " de" : "") + (s <= 15 ? " maison" : "") +
                  (s > 15 && s <= 27 ? " demeure" : "") + (s > 27 && s <= 40 ? " foyer" : "") + ".\r\n";
    }
    const CandidateList list = candidates(source, target, "casa");
    ASSERT_EQ(words(list), "maison foyer demeure de");
    EXPECT_GT(list.best[3].g2, list.best[0].g2) << "G² alone would rank the article first";
    EXPECT_NEAR(list.best[3].score, gSquared(40, 40, 60, 100) * std::log(100.0 / 60.0), 1e-9);
    EXPECT_EQ(candidateCells(list.best[0]),
              (std::vector<std::string>{"maison", "59.98", "31.62", "15", "15"}))
        << "the columns the window, the command line and the export share";
}

TEST(Candidates, SentencesPairByNumberAndOnlyPairsCount)
{
    // Source 1-4; target 3-6 and an unnumbered stretch: only 3 and 4 pair.
    const std::string source = "[1] casa.\r\n[2] casa.\r\n[3] casa.\r\n[4] otra.\r\n";
    const std::string target = "prólogo maison\r\n[3] maison.\r\n[4] autre.\r\n[5] maison.\r\n[6] maison.\r\n";
    const CandidateList list = candidates(source, target, "casa");
    EXPECT_EQ(list.pairs, 2u);
    EXPECT_EQ(list.withForm, 1u);
    ASSERT_EQ(words(list), "maison");
    EXPECT_EQ(list.best[0].inTarget, 1u);
}

TEST(Candidates, NothingToPairNothingToList)
{
    struct Case { const char* name; std::string source, target; const char* typed; };
    const Case cases[] = {
        {"no hit", "[1] casa.\r\n", "[1] maison.\r\n", "nada"},
        {"no numbered target", "[1] casa.\r\n", "maison.\r\n", "casa"},
        {"no numbered source", "casa.\r\n", "[1] maison.\r\n", "casa"},
        {"empty target", "[1] casa.\r\n", "", "casa"},
        {"the form in every pair", "[1] casa.\r\n[2] casa.\r\n", "[1] maison.\r\n[2] maison.\r\n", "casa"},
    };
    for (const Case& c : cases) EXPECT_EQ(words(candidates(c.source, c.target, c.typed)), "") << c.name;
}

TEST(Candidates, TopKeepsTheBestAndTiesGoByJointCountThenWord)
{
    std::string source, target;
    for (int s = 1; s <= 40; ++s) {
        source += "[" + std::to_string(s) + "] " + (s <= 10 ? "casa" : "otra") + ".\r\n";
        target += "[" + std::to_string(s) + "] " + (s <= 10 ? "zeta beta alfa" : "nada") + ".\r\n";
    }
    EXPECT_EQ(words(candidates(source, target, "casa")), "alfa beta zeta");
    EXPECT_EQ(words(candidates(source, target, "casa", 2)), "alfa beta");
    EXPECT_EQ(words(candidates(source, target, "casa", 0)), "");
}

TEST(Candidates, WorkInEitherEncodingAndLowerCaseAsTheSearchDoes)
{
    std::string source, target8, target1252;
    for (int s = 1; s <= 30; ++s) {
        source += "[" + std::to_string(s) + "] " + (s % 2 ? cp1252("Año") : "uno") + ".\r\n";
        const std::string word = s % 2 ? (s % 4 == 1 ? "ÉTÉ" : "été") : "hiver";
        target8 += "[" + std::to_string(s) + "] " + word + " œuvre.\r\n";
    }
    target1252 = cp1252(target8.c_str());
    EXPECT_EQ(words(candidates(source, target8, "año")), "été");
    EXPECT_EQ(words(candidates(source, target1252, "AÑO")), "été");
}

TEST(Candidates, StoppingLeavesNothing)
{
    std::string source, target;
    for (int s = 1; s <= 2000; ++s) {
        source += "[" + std::to_string(s) + "] casa.\r\n";
        target += "[" + std::to_string(s) + "] maison.\r\n";
    }
    const Concordance concordance(source);
    WordList hits;
    findHits(concordance.index(), "casa", hits);
    EXPECT_FALSE(findCandidates(concordance.index(), hits, target, Encoding::Windows1252, 10,
                                [](double done) { return done < 0.5; }));
}

TEST(Candidates, AMissingTargetIsNamed)
{
    testing::TempDir dir;
    const Concordance concordance("[1] casa.\r\n");
    const auto list = candidatesOf(concordance.index(), "casa", dir.path("perdido.txt"), 10);
    ASSERT_FALSE(list.ok());
    EXPECT_TRUE(list.error().message.contains(dir.path("perdido.txt")));
}

// The counts read plainly off the two texts: records found character by
// character, the form's sentences from the reference search, the words of
// each target sentence as a set.
CandidateList plainCandidates(const std::string& source, const std::string& target, const std::string& typed)
{
    auto records = [](const std::string& bytes) {
        std::map<std::uint64_t, reference::Chars> out;
        const reference::Chars text = reference::decode(bytes, Encoding::Windows1252);
        for (size_t p = 0; p < text.size(); ++p) {
            if (text[p] != '[') continue;
            size_t q = p + 1;
            while (q < text.size() && text[q] >= '0' && text[q] <= '9') ++q;
            if (q == p + 1 || q >= text.size() || text[q] != ']' || text[p + 1] == '0') continue;
            const std::uint64_t n = std::stoull(reference::encode(text.substr(p + 1, q - p - 1), Encoding::Utf8));
            size_t end = q + 1;
            while (end < text.size() && text[end] != '[') ++end;
            out[n] += text.substr(q + 1, end - q - 1);
        }
        return out;
    };
    const auto sourceRecords = records(source);
    std::set<std::string> formMarkers;
    for (const auto& hit : reference::search(reference::wordIndex(source), typed)) formMarkers.insert(hit.marker);

    CandidateList list;
    std::map<std::string, std::pair<std::uint64_t, std::uint64_t>> counts; // joint, with the word
    for (const auto& [n, body] : records(target)) {
        if (!sourceRecords.count(n)) continue;
        ++list.pairs;
        const bool withForm = formMarkers.count("[" + std::to_string(n) + "]") > 0;
        list.withForm += withForm;
        std::set<std::string> seen;
        reference::Chars word;
        for (const char32_t c : body + U" ") {
            if (reference::letter(c)) {
                word += c;
                continue;
            }
            if (word.size() > 1) seen.insert(reference::encode(reference::lower(word), Encoding::Utf8));
            word.clear();
        }
        for (const std::string& w : seen) {
            counts[w].first += withForm;
            ++counts[w].second;
        }
    }
    for (const auto& [w, c] : counts) {
        if (c.first == 0 || c.first * list.pairs <= list.withForm * c.second) continue;
        const double g2 = gSquared(double(c.first), double(list.withForm), double(c.second), double(list.pairs));
        list.best.push_back({w, g2 * std::log(double(list.pairs) / double(c.second)), g2, c.first, c.second});
    }
    std::stable_sort(list.best.begin(), list.best.end(), [](const Candidate& x, const Candidate& y) {
        if (std::abs(x.score - y.score) > 1e-9) return x.score > y.score;
        return x.joint > y.joint;
    });
    if (list.best.size() > 10) list.best.resize(10);
    return list;
}

TEST(Candidates, AgreeWithThePlainCountsOnRandomPairs)
{
    std::mt19937 random(13);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    const std::vector<std::string> sourceWords = {"casa", "Casa", "perro", "río", "a", "y"};
    const std::vector<std::string> targetWords = {"maison", "Maison", "chien", "rivière", "l", "et", "été", "x"};
    for (int round = 0; round < 300; ++round) {
        std::string source, target;
        const size_t sentences = 1 + pick(40);
        for (size_t s = 1; s <= sentences; ++s) {
            // Now and then a sentence one side lacks, a repeated number or stray brackets.
            if (pick(8)) source += "[" + std::to_string(s) + "]";
            for (size_t w = pick(5); w > 0; --w) source += " " + cp1252(sourceWords[pick(sourceWords.size())].c_str());
            source += pick(10) ? ".\r\n" : " ] [x] .\r\n";
            if (pick(8)) target += "[" + std::to_string(pick(10) ? s : 1 + pick(sentences)) + "]";
            for (size_t w = pick(6); w > 0; --w) target += " " + cp1252(targetWords[pick(targetWords.size())].c_str());
            target += ".\r\n";
        }
        const CandidateList actual = candidates(source, target, "casa");
        const CandidateList expected = plainCandidates(source, target, "casa");
        ASSERT_EQ(actual.pairs, expected.pairs) << source << "\n" << target;
        ASSERT_EQ(actual.withForm, expected.withForm) << source << "\n" << target;
        ASSERT_EQ(actual.best.size(), expected.best.size()) << source << "\n" << target;
        for (size_t k = 0; k < actual.best.size(); ++k) {
            ASSERT_NEAR(actual.best[k].score, expected.best[k].score, 1e-9);
            ASSERT_NEAR(actual.best[k].g2, expected.best[k].g2, 1e-9);
            ASSERT_EQ(actual.best[k].joint, expected.best[k].joint);
            if (k + 1 < actual.best.size() && std::abs(actual.best[k].score - actual.best[k + 1].score) > 1e-9 &&
                (k == 0 || std::abs(actual.best[k].score - actual.best[k - 1].score) > 1e-9)) {
                ASSERT_EQ(actual.best[k].word, expected.best[k].word);
            }
        }
    }
}

// The README's example pairs, aligned sentence for sentence by hand: the
// dictionary translation comes first, and the article that goes with it
// ("la maison") no longer second.
TEST(Candidates, OnTheExamplePairsTheTranslationComesFirst)
{
    testing::TempDir dir;
    const QString examples = QStringLiteral(SOLANDRE_EXAMPLES);
    const struct { const char* source; const char* target; const char* form; const char* first; } cases[] = {
        {"haus_am_see.txt", "maison_du_lac.txt", "Haus", "maison"},
        {"haus_am_see.txt", "maison_du_lac.txt", "Hund", "chien"},
        {"haus_am_see.txt", "maison_du_lac.txt", "Garten", "jardin"},
        {"haus_am_see.txt", "maison_du_lac.txt", "See", "lac"},
        {"haus_am_see.txt", "maison_du_lac.txt", "Wasser", "eau"},
        {"haus_am_see.txt", "maison_du_lac.txt", "Boot", "bateau"},
        {"haus_am_see.txt", "maison_du_lac.txt", "Stadt", "ville"},
        {"haus_am_see.txt", "maison_du_lac.txt", "Brot", "pain"},
        {"casa_del_rio.txt", "maison_de_la_riviere.txt", "casa", "maison"},
        {"casa_del_rio.txt", "maison_de_la_riviere.txt", "río", "rivière"},
        {"casa_del_rio.txt", "maison_de_la_riviere.txt", "agua", "eau"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.form);
        const QString source = dir.path(QStringLiteral("%1_ref").arg(c.source));
        const QString target = dir.path(QStringLiteral("%1_ref").arg(c.target));
        for (const auto& [plain, numbered] : {std::pair{c.source, source}, std::pair{c.target, target}}) {
            if (!QFile::exists(numbered)) {
                ASSERT_TRUE(numberFile(examples + "/" + plain, numbered).ok());
            }
        }
        Concordance concordance;
        ASSERT_TRUE(concordance.load(source).ok());
        const auto list = candidatesOf(concordance.index(), QString::fromUtf8(c.form), target, 3);
        ASSERT_TRUE(list.ok());
        ASSERT_FALSE(list.value().best.empty());
        EXPECT_EQ(list.value().best[0].word, c.first) << words(list.value());
        if (list.value().best.size() > 1) {
            EXPECT_NE(list.value().best[1].word, "la") << words(list.value());
        }
    }
}

} // namespace
} // namespace solandre
