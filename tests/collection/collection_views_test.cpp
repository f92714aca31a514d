// SPDX-License-Identifier: GPL-3.0-or-later
// What is read from a collection's search besides its list: translation
// candidates counted over every pair, checked against the same collection
// made one pair and read by the candidates of one pair; concordance lines
// sorted across texts, checked against each text's own key words; the
// frequencies of texts in different encodings merged.

#include "collection/collection_candidates.h"
#include "collection/collection_lines.h"
#include "common/alphabetical.h"
#include "common/encoding.h"
#include "opened_folder.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <numeric>
#include <QFile>
#include <map>
#include <random>

using namespace solandre;
using solandre::testing::OpenedFolder;
using solandre::testing::TempDir;

namespace {

struct Sentence {
    std::string source, target; // UTF-8
};

// Sentences of a small Spanish-French vocabulary, each word's translation
// beside it; "el"/"le" in most, so that a word met everywhere is there too.
std::vector<Sentence> sentences(unsigned seed, size_t count, bool withCasa)
{
    static const std::pair<const char*, const char*> words[] = {
        {"casa", "maison"}, {"río", "rivière"}, {"perro", "chien"}, {"gato", "chat"},    {"verde", "vert"},
        {"grande", "grand"}, {"noche", "nuit"}, {"pan", "pain"},    {"agua", "eau"},     {"árbol", "arbre"}};
    std::mt19937 random(seed);
    std::vector<Sentence> out;
    for (size_t k = 0; k < count; ++k) {
        Sentence s;
        if (random() % 4 != 0) {
            s.source = "el";
            s.target = "le";
        }
        const size_t length = 1 + random() % 4;
        for (size_t w = 0; w < length; ++w) {
            size_t pick = random() % std::size(words);
            if (!withCasa && pick == 0) pick = 1;
            s.source += (s.source.empty() ? "" : " ") + std::string(words[pick].first);
            // Now and then a translator's liberty: the word left out or another put in.
            if (random() % 7 != 0) s.target += (s.target.empty() ? "" : " ") + std::string(words[pick].second);
            if (random() % 9 == 0) s.target += " aussi";
        }
        s.source += ".";
        s.target += ".";
        out.push_back(s);
    }
    return out;
}

std::string numbered(const std::vector<Sentence>& list, bool target, size_t first = 1)
{
    std::string text;
    for (size_t k = 0; k < list.size(); ++k)
        text += "[" + std::to_string(first + k) + "] " + (target ? list[k].target : list[k].source) + "\r\n";
    return text;
}

// A collection of four numbered pairs, one in Windows-1252 and one without
// "casa", and the same sentences as one pair renumbered end to end.
struct Corpus {
    TempDir dir, cache, whole;
    QString wholeSource, wholeTarget;
    Corpus()
    {
        const std::vector<std::vector<Sentence>> pairs = {
            sentences(1, 40, true), sentences(2, 25, true), sentences(3, 30, false), sentences(4, 35, true)};
        const char* names[] = {"a", "b", "c", "d"};
        std::vector<Sentence> all;
        for (size_t p = 0; p < pairs.size(); ++p) {
            std::string source = numbered(pairs[p], false), target = numbered(pairs[p], true);
            if (p == 1) {
                source = solandre::testing::cp1252(source.c_str());
                target = solandre::testing::cp1252(target.c_str());
            }
            dir.write(QStringLiteral("%1_source_ref.txt").arg(names[p]), source);
            dir.write(QStringLiteral("%1_cible_ref.txt").arg(names[p]), target);
            all.insert(all.end(), pairs[p].begin(), pairs[p].end());
        }
        wholeSource = whole.write("whole_source_ref.txt", numbered(all, false));
        wholeTarget = whole.write("whole_cible_ref.txt", numbered(all, true));
    }
};

struct Opened {
    Corpus corpus;
    OpenedFolder folder{corpus.dir.root(), corpus.cache.root()};
    CollectionConcordance& collection = folder.concordance;
    Opened()
    {
        EXPECT_TRUE(folder.open());
        EXPECT_EQ(folder.listing.pairs.size(), 4u);
    }
};

std::vector<std::string> described(const CandidateList& list)
{
    std::vector<std::string> out{"pairs " + std::to_string(list.pairs) + " with " + std::to_string(list.withForm)};
    for (const Candidate& c : list.best) {
        const std::vector<std::string> cells = candidateCells(c);
        std::string line;
        for (const std::string& cell : cells) line += cell + " ";
        out.push_back(line);
    }
    return out;
}

WordList hitsOf(const ResultGrid& grid)
{
    WordList hits;
    for (size_t row = 1; row < grid.rows(); ++row)
        if (grid.isHit(row)) hits.push_back(grid.hit(row));
    return hits;
}

} // namespace

TEST(CollectionCandidates, AddUpToWhatTheCollectionMadeOnePairGives)
{
    Opened o;
    Concordance whole, wholeTarget;
    ASSERT_TRUE(whole.load(FileRef(o.corpus.wholeSource)).ok());
    ASSERT_TRUE(wholeTarget.load(FileRef(o.corpus.wholeTarget)).ok());
    struct Case {
        const char* name;
        const char* typed;
        std::optional<TranslationTest> test;
        const char* condition;
        QuerySyntax syntax = QuerySyntax::Patterns;
    };
    const Case cases[] = {
        {"one form", "casa", {}, ""},
        {"a form with an accent, in both encodings", "río", {}, ""},
        {"a prefix", "g*", {}, ""},
        {"a phrase", "el casa", {}, ""},
        {"with a condition on the translation", "casa", TranslationTest::Contains, "chien"},
        {"without", "casa", TranslationTest::Lacks, "maison"},
        {"a regular expression", "(casa|perro)", {}, "", QuerySyntax::RegularExpressions},
        {"a form found nowhere", "ninguna", {}, ""},
    };
    for (const Case& c : cases) {
        SearchRequest request{QString::fromUtf8(c.typed), c.syntax, std::nullopt};
        if (c.test) request.condition = TranslationCondition{*c.test, QString::fromUtf8(c.condition), nullptr};
        ASSERT_TRUE(o.collection.search(request).ok()) << c.name;
        const Result<CandidateList> aggregated = collectionCandidates(o.collection, 50);
        ASSERT_TRUE(aggregated.ok()) << c.name;

        if (request.condition) request.condition->target = &wholeTarget;
        ASSERT_TRUE(whole.search(request).ok()) << c.name;
        EXPECT_EQ(whole.grid().hitCount(), o.collection.hitCount()) << c.name;
        const Result<CandidateList> one =
            candidatesOf(whole.index(), hitsOf(whole.grid()), FileRef(o.corpus.wholeTarget), 50);
        ASSERT_TRUE(one.ok()) << c.name;
        EXPECT_EQ(described(aggregated.value()), described(one.value())) << c.name;
    }
    // The counts themselves, not only their rounding.
    o.collection.search("casa");
    const CandidateList list = collectionCandidates(o.collection, 3).value();
    ASSERT_FALSE(list.best.empty());
    EXPECT_EQ(list.best[0].word, "maison");
    EXPECT_EQ(list.pairs, 130u);
    EXPECT_DOUBLE_EQ(list.best[0].score, candidateScore(list.best[0].joint, list.withForm, list.best[0].inTarget,
                                                         list.pairs));
}

TEST(CollectionCandidates, AFormTypedFindsWhatItsSearchWouldFind)
{
    Opened o;
    for (const char* typed : {"casa", "río", "el casa", "nada"}) {
        o.collection.search(QString::fromUtf8(typed));
        const auto searched = collectionCandidates(o.collection, 20);
        o.collection.search("perro"); // the typed form does not read the search
        const auto typedList = collectionCandidates(o.collection, QString::fromUtf8(typed), 20);
        ASSERT_TRUE(searched.ok() && typedList.ok()) << typed;
        EXPECT_EQ(described(typedList.value()), described(searched.value())) << typed;
    }
}

TEST(CollectionCandidates, AKnownSmallCollection)
{
    TempDir dir, cache;
    dir.write("a_source_ref.txt", "[1] Casa.\r\n[2] Perro.\r\n");
    dir.write("a_cible_ref.txt", "[1] Maison.\r\n[2] Chien.\r\n");
    dir.write("b_source_ref.txt", "[1] Casa roja.\r\n[2] Gato.\r\n[3] Pan.\r\n");
    dir.write("b_cible_ref.txt", "[1] Maison rouge.\r\n[2] Chat.\r\n[3] Pain.\r\n");
    OpenedFolder opened(dir.root(), cache.root());
    ASSERT_TRUE(opened.open());
    CollectionConcordance& c = opened.concordance;
    c.search("casa");
    const CandidateList list = collectionCandidates(c, 10).value();
    EXPECT_EQ(list.pairs, 5u);
    EXPECT_EQ(list.withForm, 2u);
    ASSERT_EQ(list.best.size(), 2u);
    // "maison" in both sentences with the form, in no other; "rouge" in one.
    EXPECT_EQ(list.best[0].word, "maison");
    EXPECT_EQ(list.best[0].joint, 2u);
    EXPECT_EQ(list.best[0].inTarget, 2u);
    EXPECT_EQ(list.best[1].word, "rouge");
    EXPECT_EQ(list.best[1].joint, 1u);
    // Pair "a" alone would know two sentence pairs only.
    EXPECT_NEAR(list.best[0].g2, logLikelihood(2, 2, 2, 5), 1e-12);
}

TEST(CollectionCandidates, ATranslationThatIsGoneIsNamed)
{
    TempDir dir, cache;
    dir.write("a_source_ref.txt", "[1] Casa.\r\n");
    const QString target = dir.write("a_cible_ref.txt", "[1] Maison.\r\n");
    OpenedFolder opened(dir.root(), cache.root());
    ASSERT_TRUE(opened.open());
    CollectionConcordance& c = opened.concordance;
    c.search("casa");
    QFile::remove(target);
    const auto list = collectionCandidates(c, 10);
    ASSERT_FALSE(list.ok());
    EXPECT_TRUE(list.error().message.contains("a_cible_ref.txt")) << list.error().message.toStdString();
}

TEST(CollectionCandidates, CancelledIsSaid)
{
    Opened o;
    o.collection.search("casa");
    const auto list = collectionCandidates(o.collection, 10, [](double) { return false; });
    ASSERT_FALSE(list.ok());
    EXPECT_TRUE(list.error().cancelled);
}

namespace {

std::string shown(const CollectionLines& lines, size_t k)
{
    const ConcordanceLine l = lines.line(k);
    const Encoding e = lines.encodingOf(k);
    return lines.nameOf(k).toStdString() + "|" + toUtf8(l.left, e) + "|" + toUtf8(l.form, e) + "|" +
           toUtf8(l.right, e) + "|" + toUtf8(l.marker, e);
}

std::vector<std::string> shownAll(const CollectionLines& lines)
{
    std::vector<std::string> out;
    for (size_t k = 0; k < lines.size(); ++k) out.push_back(shown(lines, k));
    return out;
}

// Each line's key word read by the lines of its own text.
std::string keyWordOf(const CollectionConcordance& c, const CollectionLines& lines, size_t k, LineKey key)
{
    const auto& e = lines.entry(k);
    WordList one;
    one.push_back(e.hit);
    return ConcordanceLines(c.concordance(e.member).index(), std::move(one), lines.hitWords()).keyWord(0, key);
}

} // namespace

TEST(CollectionLines, EachHitIsTheLineItsOwnTextWouldShow)
{
    Opened o;
    o.collection.search("casa");
    const CollectionLines lines = CollectionLines::ofHits(o.collection);
    ASSERT_EQ(lines.size(), o.collection.hitCount());
    for (size_t k = 0; k < lines.size(); ++k) {
        const auto& hit = o.collection.hit(k);
        const ConcordanceLines own = ConcordanceLines::ofGrid(o.collection.concordance(hit.member).grid());
        const Encoding e = lines.encodingOf(k);
        const ConcordanceLine l = own.line(hit.row - 1);
        EXPECT_EQ(shown(lines, k), o.collection.nameOf(hit.member).toStdString() + "|" + toUtf8(l.left, e) + "|" +
                                       toUtf8(l.form, e) + "|" + toUtf8(l.right, e) + "|" + toUtf8(l.marker, e));
    }
    EXPECT_EQ(shown(lines, 0).substr(0, 2), "a|");
}

TEST(CollectionLines, SortAcrossTextsByEachKeyAsEachTextReadsIt)
{
    Opened o;
    for (const char* typed : {"casa", "r*", "el *"}) {
        for (const LineKey key : {LineKey::Form, LineKey::Left1, LineKey::Left2, LineKey::Right1, LineKey::Right2}) {
            o.collection.search(QString::fromUtf8(typed));
            CollectionLines lines = CollectionLines::ofHits(o.collection);
            // Expected: the lines in search order, stably sorted by their own
            // text's key word, the words placed alphabetically.
            const std::vector<std::string> before = shownAll(lines);
            std::vector<std::string> words(lines.size());
            for (size_t k = 0; k < lines.size(); ++k) words[k] = keyWordOf(o.collection, lines, k, key);
            std::vector<std::string> distinct = words;
            std::sort(distinct.begin(), distinct.end());
            distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
            std::vector<std::uint32_t> ids(distinct.size());
            std::iota(ids.begin(), ids.end(), 0);
            const bool phrase = key == LineKey::Form && lines.hitWords() > 1;
            if (!phrase) sortAlphabetically(ids, [&](std::uint32_t k) { return std::string_view(distinct[k]); });
            std::map<std::string, size_t> place;
            for (size_t k = 0; k < ids.size(); ++k) place[distinct[ids[k]]] = distinct[ids[k]].empty() ? 0 : k + 1;
            std::vector<size_t> order(lines.size());
            std::iota(order.begin(), order.end(), 0);
            std::stable_sort(order.begin(), order.end(),
                             [&](size_t a, size_t b) { return place[words[a]] < place[words[b]]; });
            std::vector<std::string> expected;
            for (const size_t k : order) expected.push_back(before[k]);

            ASSERT_TRUE(lines.sort(key));
            EXPECT_EQ(shownAll(lines), expected) << typed << " key " << int(key);
        }
    }
}

TEST(CollectionLines, SortsAreStableAndACancelKeepsTheOrder)
{
    TempDir dir, cache;
    dir.write("a_source_ref.txt", "[1] Ábra casa roja.\r\n[2] Zeta casa azul.\r\n");
    dir.write("a_cible_ref.txt", "[1] X.\r\n[2] Y.\r\n");
    dir.write("b_source_ref.txt", "[1] Alma casa azul.\r\n[2] alma casa roja.\r\n");
    dir.write("b_cible_ref.txt", "[1] X.\r\n[2] Y.\r\n");
    OpenedFolder opened(dir.root(), cache.root());
    ASSERT_TRUE(opened.open());
    CollectionConcordance& c = opened.concordance;
    c.search("casa");
    CollectionLines lines = CollectionLines::ofHits(c);
    const std::vector<std::string> before = shownAll(lines);
    EXPECT_FALSE(lines.sort(LineKey::Left1, [](double) { return false; }));
    EXPECT_EQ(shownAll(lines), before);
    ASSERT_TRUE(lines.sort(LineKey::Right1));
    ASSERT_TRUE(lines.sort(LineKey::Left1));
    EXPECT_EQ(shownAll(lines), (std::vector<std::string>{"a|Ábra|casa|roja.|[1]", "b|Alma|casa|azul.|[1]",
                                                         "b|alma|casa|roja.|[2]", "a|Zeta|casa|azul.|[2]"}));
}

TEST(CollectionFrequencies, FormsOfTextsInDifferentEncodingsAndPhrasesMerge)
{
    TempDir dir, cache;
    dir.write("a_source_ref.txt", solandre::testing::cp1252("[1] El río y la casa.\r\n"));
    dir.write("a_cible_ref.txt", solandre::testing::cp1252("[1] La rivière et la maison.\r\n"));
    dir.write("b_source_ref.txt", "[1] Otro río, otra casa: la casa.\r\n");
    dir.write("b_cible_ref.txt", "[1] Une autre rivière, une autre maison : la maison.\r\n");
    OpenedFolder opened(dir.root(), cache.root());
    ASSERT_TRUE(opened.open());
    CollectionConcordance& c = opened.concordance;
    auto list = [&](FrequencyOrder order) {
        std::vector<std::string> out;
        for (const auto& f : c.frequencies(order)) out.push_back(f.form + "=" + std::to_string(f.count));
        return out;
    };
    c.search("r*");
    EXPECT_EQ(list(FrequencyOrder::ByCount), (std::vector<std::string>{"río=2"}));
    c.search("la casa");
    EXPECT_EQ(list(FrequencyOrder::ByCount), (std::vector<std::string>{"la casa=2"}));
    c.search("*");
    EXPECT_EQ(list(FrequencyOrder::Alphabetical),
              (std::vector<std::string>{"casa=3", "el=1", "la=2", "otra=1", "otro=1", "río=2", "y=1"}));
}
