// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/query_search.h"

#include "search/word_chars.h"

#include <QRegularExpression>
#include <algorithm>
#include <numeric>

namespace solandre {
namespace {

constexpr size_t kReportEvery = 16384;

std::vector<std::uint32_t> allForms(const WordIndex& index)
{
    std::vector<std::uint32_t> ranks(index.vocabularySize());
    std::iota(ranks.begin(), ranks.end(), 0u);
    return ranks;
}

// The forms among `ranks` that `keep` accepts; false when stopped.
template <class Keep>
bool filterForms(const WordIndex& index, const std::vector<std::uint32_t>& ranks, std::vector<std::uint32_t>& out,
                 const Progress& progress, Keep keep)
{
    for (size_t k = 0; k < ranks.size(); ++k) {
        if (k % kReportEvery == kReportEvery - 1 && !goOn(progress, double(k) / double(ranks.size())))
            return false;
        if (keep(index.lowerForm(ranks[k]))) out.push_back(ranks[k]);
    }
    return true;
}

std::vector<std::uint32_t> range(std::uint32_t first, std::uint32_t last)
{
    std::vector<std::uint32_t> ranks(last - first);
    std::iota(ranks.begin(), ranks.end(), first);
    return ranks;
}

// The forms of one wildcard pattern: those beginning with its letters
// before the first wildcard, or ending with those after the last one, are
// all that need testing.
bool wildcardForms(const WordIndex& index, const std::string& pattern, std::vector<std::uint32_t>& out,
                   const Progress& progress)
{
    const size_t firstWild = pattern.find_first_of("*?");
    const size_t lastWild = pattern.find_last_of("*?");
    std::vector<std::uint32_t> tested;
    if (firstWild > 0) {
        const auto [first, last] = index.formsStartingWith(std::string_view(pattern).substr(0, firstWild));
        tested = range(first, last);
    } else if (lastWild + 1 < pattern.size()) {
        tested = index.formsEndingWith(std::string_view(pattern).substr(lastWild + 1));
    } else {
        tested = allForms(index);
    }
    return filterForms(index, tested, out, progress,
                       [&](std::string_view form) { return matchesWildcards(pattern, form); });
}

// The first place at or after `at` holding a value not before `value`: the
// lists are walked forwards, so a gallop from where the last search ended.
template <class It, class T, class Less = std::less<>>
It gallopTo(It at, It end, const T& value, Less less = {})
{
    if (at == end || !less(*at, value)) return at;
    std::ptrdiff_t step = 1;
    It low = at; // *low < value
    while (end - low > step && less(low[step], value)) {
        low += step;
        step *= 2;
    }
    const It high = end - low > step ? low + step + 1 : end;
    return std::lower_bound(low + 1, high, value, less);
}

const WordId* gallop(const WordId* at, const WordId* end, WordId word) { return gallopTo(at, end, word); }

size_t occurrencesOf(const WordIndex& index, const std::vector<std::uint32_t>& ranks)
{
    size_t total = 0;
    for (const std::uint32_t rank : ranks) total += index.occurrences(rank);
    return total;
}

// Keeps the candidates c whose word c + offset is a word of `ranks`. The
// cheapest of three ways: walking the lists of a few forms along the
// candidates, marking the words of many forms in a bitmap, or, for few
// candidates and many words, looking up each candidate's form.
void keepFollowedBy(const WordIndex& index, WordList& candidates, std::uint32_t offset,
                    const std::vector<std::uint32_t>& ranks, size_t occurrences)
{
    size_t kept = 0;
    if (ranks.size() <= 4) {
        std::vector<std::pair<const WordId*, const WordId*>> lists;
        for (const std::uint32_t rank : ranks) lists.emplace_back(index.postingsBegin(rank), index.postingsEnd(rank));
        for (const WordId c : candidates) {
            bool found = false;
            for (auto& [at, end] : lists) {
                at = gallop(at, end, c + offset);
                found = found || (at != end && *at == c + offset);
            }
            if (found) candidates[kept++] = c;
        }
    } else if (occurrences <= 64 * candidates.size() + 65536) {
        std::vector<std::uint64_t> bits(index.size() / 64 + 1, 0);
        for (const std::uint32_t rank : ranks)
            for (const WordId* w = index.postingsBegin(rank); w != index.postingsEnd(rank); ++w)
                bits[*w >> 6] |= std::uint64_t(1) << (*w & 63);
        for (const WordId c : candidates) {
            const WordId w = c + offset;
            if (bits[w >> 6] >> (w & 63) & 1) candidates[kept++] = c;
        }
    } else {
        for (const WordId c : candidates)
            if (std::binary_search(ranks.begin(), ranks.end(), index.formRank(c + offset))) candidates[kept++] = c;
    }
    candidates.resize(kept);
}

// Keeps the candidates whose `words` words lie in one sentence: no marker
// begins after the first of them.
void keepWithinSentence(const WordIndex& index, WordList& candidates, std::uint32_t words)
{
    size_t kept = 0;
    std::uint32_t run = 0;
    for (size_t k = 0; k < candidates.size(); ++k) {
        const WordId c = candidates[k];
        run = k == 0 ? index.markerRun(c) : index.markerRunFrom(c, run);
        if (run + 1 == index.markerRuns() || index.firstWordOfRun(run + 1) > c + words - 1) candidates[kept++] = c;
    }
    candidates.resize(kept);
}

} // namespace

std::optional<std::vector<std::uint32_t>> formsOf(const WordIndex& index, const QueryWord& word,
                                                  const Progress& progress)
{
    std::vector<std::uint32_t> ranks;
    for (const WordAlternative& a : word.alternatives) {
        if (index.encoding() == Encoding::Windows1252 && !a.inCp1252) continue;
        switch (a.kind) {
        case WordAlternative::Kind::AnyWord:
            return allForms(index);
        case WordAlternative::Kind::Form: {
            const std::vector<std::uint32_t> found = index.formsMatching(a.form);
            ranks.insert(ranks.end(), found.begin(), found.end());
            break;
        }
        case WordAlternative::Kind::Wildcards:
            if (!wildcardForms(index, a.wildcards, ranks, progress)) return std::nullopt;
            break;
        case WordAlternative::Kind::Regex: {
            QString form;
            const bool whole = filterForms(index, allForms(index), ranks, progress, [&](std::string_view lower) {
                form = QString::fromUtf8(lower.data(), qsizetype(lower.size()));
                return a.regex->match(QStringView(form)).hasMatch();
            });
            if (!whole) return std::nullopt;
            break;
        }
        }
    }
    std::sort(ranks.begin(), ranks.end());
    ranks.erase(std::unique(ranks.begin(), ranks.end()), ranks.end());
    return ranks;
}

bool findQueryHits(const WordIndex& index, const Query& query, QueryHits& hits, const Progress& progress)
{
    hits.first.clear();
    hits.forms.clear();
    const size_t n = query.length();
    hits.words = std::uint32_t(std::max<size_t>(n, 1));
    if (n == 0 || index.size() < n) return true;

    // Each word's forms; a word that takes none leaves the query without hits.
    std::vector<std::vector<std::uint32_t>> forms(n);
    std::vector<size_t> occurrences(n, index.size());
    for (size_t k = 0; k < n; ++k) {
        if (query.words()[k].anyWord() && n > 1) continue;
        auto found = formsOf(index, query.words()[k], progress);
        if (!found) return false;
        if (found->empty()) return true;
        forms[k] = std::move(*found);
        occurrences[k] = occurrencesOf(index, forms[k]);
    }
    if (n == 1) {
        index.wordsOf(forms[0], hits.first);
        hits.forms = std::move(forms[0]);
        return goOn(progress, 1.0);
    }

    // The candidates' first words, from the rarest word of the phrase.
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const bool anyA = query.words()[a].anyWord(), anyB = query.words()[b].anyWord();
        if (anyA != anyB) return anyB;
        return occurrences[a] < occurrences[b];
    });
    const size_t pivot = order[0];
    const size_t lastFirst = index.size() - n; // no phrase starts after it
    WordList& candidates = hits.first;
    if (query.words()[pivot].anyWord()) {
        candidates.resize(lastFirst + 1);
        std::iota(candidates.begin(), candidates.end(), WordId(0));
    } else {
        index.wordsOf(forms[pivot], candidates);
        size_t kept = 0;
        for (const WordId w : candidates)
            if (w >= pivot && w - pivot <= lastFirst) candidates[kept++] = WordId(w - pivot);
        candidates.resize(kept);
    }
    for (size_t k = 1; k < n && !candidates.empty(); ++k) {
        const size_t at = order[k];
        if (query.words()[at].anyWord()) break; // the rest are any word too
        if (!goOn(progress, 0.5 + 0.4 * double(k) / double(n))) {
            candidates.clear();
            return false;
        }
        keepFollowedBy(index, candidates, std::uint32_t(at), forms[at], occurrences[at]);
    }
    keepWithinSentence(index, candidates, hits.words);
    return goOn(progress, 1.0);
}

namespace {

// One query tested sentence by sentence: each word's forms found once, then
// only the words of the sentences asked about are looked at.
class SentenceTest {
public:
    SentenceTest(const WordIndex& index, const Query& query) : index_(index), query_(query) {}

    // False when `progress` stopped it.
    bool prepare(const Progress& progress)
    {
        const size_t n = query_.length();
        forms_.assign(n, {});
        pivot_ = n;
        for (size_t k = 0; k < n; ++k) {
            if (query_.words()[k].anyWord()) continue;
            auto found = formsOf(index_, query_.words()[k], progress);
            if (!found) return false;
            forms_[k] = std::move(*found);
            if (pivot_ == n || forms_[k].size() < forms_[pivot_].size()) pivot_ = k;
        }
        return true;
    }

    // The fewest forms a word of the query takes (the size of the vocabulary
    // when every word is any word), and the fewest words they have.
    size_t fewestForms() const { return pivot_ == query_.length() ? index_.vocabularySize() : forms_[pivot_].size(); }
    size_t rarestOccurrences() const
    {
        size_t fewest = index_.size();
        for (size_t k = 0; k < forms_.size(); ++k)
            if (!query_.words()[k].anyWord()) fewest = std::min(fewest, occurrencesOf(index_, forms_[k]));
        return fewest;
    }
    bool impossible() const
    {
        for (size_t k = 0; k < forms_.size(); ++k)
            if (!query_.words()[k].anyWord() && forms_[k].empty()) return true;
        return query_.length() == 0;
    }

    // Whether the words [first, end) hold a match.
    bool holdsMatch(WordId first, WordId end) const
    {
        const size_t n = query_.length();
        if (n == 0 || end - first < n) return false;
        const WordId lastStart = WordId(end - n);
        if (pivot_ == n) return true; // any words, and there are enough
        const auto& pivotForms = forms_[pivot_];
        if (pivotForms.size() <= kFewForms) {
            // The pivot's words in the sentence, from its forms' lists; the
            // sentences asked about mostly come in text order.
            if (cursors_.size() != pivotForms.size() || first < lastFirst_) {
                cursors_.clear();
                for (const std::uint32_t rank : pivotForms) cursors_.push_back(index_.postingsBegin(rank));
            }
            lastFirst_ = first;
            for (size_t r = 0; r < pivotForms.size(); ++r) {
                const WordId* end = index_.postingsEnd(pivotForms[r]);
                const WordId* w = cursors_[r] = gallop(cursors_[r], end, WordId(first + pivot_));
                for (; w != end && *w - pivot_ <= lastStart; ++w)
                    if (matchesAt(WordId(*w - pivot_), pivot_)) return true;
            }
            return false;
        }
        for (WordId s = first; s <= lastStart; ++s)
            if (matchesAt(s, n)) return true;
        return false;
    }

private:
    static constexpr size_t kFewForms = 16;

    bool takes(size_t k, WordId word) const
    {
        if (query_.words()[k].anyWord()) return true;
        const auto& ranks = forms_[k];
        if (ranks.size() <= kFewForms) {
            for (const std::uint32_t rank : ranks)
                if (std::binary_search(index_.postingsBegin(rank), index_.postingsEnd(rank), word)) return true;
            return false;
        }
        return std::binary_search(ranks.begin(), ranks.end(), index_.formRank(word));
    }

    // Whether the query matches from `start`, its word `known` (if any)
    // known to match already.
    bool matchesAt(WordId start, size_t known) const
    {
        for (size_t k = 0; k < query_.length(); ++k)
            if (k != known && !takes(k, WordId(start + k))) return false;
        return true;
    }

    const WordIndex& index_;
    const Query& query_;
    std::vector<std::vector<std::uint32_t>> forms_;
    size_t pivot_ = 0;
    mutable std::vector<const WordId*> cursors_; // into the pivot's lists
    mutable WordId lastFirst_ = 0;
};

// The first run of `key` in a table of runs by number key. A numbered text
// has about one run per number, so the look-up starts where the number says
// and gallops from there, mostly within a step or two.
std::vector<std::pair<std::uint64_t, std::uint32_t>>::const_iterator
findNumberKey(const std::vector<std::pair<std::uint64_t, std::uint32_t>>& table, std::uint64_t key)
{
    auto before = [](const std::pair<std::uint64_t, std::uint32_t>& e, std::uint64_t k) { return e.first < k; };
    if (table.empty()) return table.end();
    const std::uint64_t number = key / 32;
    size_t high = size_t(std::min<std::uint64_t>(number > 0 ? number - 1 : 0, table.size() - 1));
    if (before(table[high], key)) return gallopTo(table.begin() + std::ptrdiff_t(high), table.end(), key, before);
    // table[high] is not before the key: back until a place that is.
    for (size_t step = 1; high > 0; step *= 2) {
        const size_t low = high >= step ? high - step : 0;
        if (before(table[low], key))
            return std::lower_bound(table.begin() + std::ptrdiff_t(low) + 1, table.begin() + std::ptrdiff_t(high) + 1,
                                    key, before);
        high = low;
    }
    return table.begin();
}

// A marker of one text as the other text writes it (markers are ASCII but
// in odd texts); nothing when it cannot.
std::optional<std::string> markerIn(std::string_view marker, Encoding from, Encoding to)
{
    if (from == to) return std::string(marker);
    return encodeText(decodeText(marker, from), to);
}

} // namespace

bool keepByTranslation(const WordIndex& source, QueryHits& hits, const WordIndex& target,
                       const Query& targetQuery, TranslationTest test, const Progress& progress)
{
    const bool keepWith = test == TranslationTest::Contains;
    hits.forms.clear();
    if (hits.first.empty()) return goOn(progress, 1.0);
    // Sentences pair by marker: through a number-like key when both texts
    // are numbered as the numbering numbers them, by the marker's text
    // (in the other text's encoding) otherwise.
    const bool plain = source.markersArePlain() && target.markersArePlain();

    // The hits' sentences, each once.
    std::vector<std::uint32_t> sentences;
    std::uint32_t run = 0;
    for (size_t k = 0; k < hits.first.size(); ++k) {
        run = k == 0 ? source.markerRun(hits.first[k]) : source.markerRunFrom(hits.first[k], run);
        if (sentences.empty() || sentences.back() != run) sentences.push_back(run);
    }

    SentenceTest sentenceTest(target, targetQuery);
    if (!sentenceTest.prepare([&](double done) { return goOn(progress, 0.5 * done); })) return false;
    std::vector<char> holds(sentences.size(), 0); // per sentence of `sentences`
    if (!sentenceTest.impossible() && !sentences.empty()) {
        // Either each hit's translated sentence is looked at, or every match
        // of the translation is found and the hits' sentences looked up
        // among them: whichever reads less. Looking at a sentence costs
        // about as much as ten matches found, or, when a word takes many
        // forms, a dozen for each of its words.
        const double wordsPerSentence = double(target.size()) / double(std::max<size_t>(target.markerRuns(), 1));
        const double perSentence = sentenceTest.fewestForms() <= 16 ? 10.0 : 12.0 * std::max(wordsPerSentence, 1.0);
        const bool sentenceBySentence =
            double(sentences.size()) * perSentence < double(sentenceTest.rarestOccurrences());
        if (sentenceBySentence) {
            auto holdsIn = [&](std::uint32_t t) {
                return sentenceTest.holdsMatch(target.firstWordOfRun(t), target.endOfRun(t));
            };
            const auto* byKey = plain ? &target.runsByNumberKey() : nullptr;
            for (size_t k = 0; k < sentences.size(); ++k) {
                if (k % 4096 == 4095 && !goOn(progress, 0.5 + 0.5 * double(k) / double(sentences.size())))
                    return false;
                const std::string_view marker = source.markerOfRun(sentences[k]);
                if (plain) {
                    const std::uint64_t key = WordIndex::numberKey(marker);
                    for (auto e = findNumberKey(*byKey, key); e != byKey->end() && e->first == key; ++e)
                        if (holdsIn(e->second)) holds[k] = 1;
                    continue;
                }
                const auto converted = markerIn(marker, source.encoding(), target.encoding());
                if (!converted) continue;
                for (const std::uint32_t t : target.runsWithMarker(*converted))
                    if (holdsIn(t)) holds[k] = 1;
            }
        } else {
            QueryHits matches;
            if (!findQueryHits(target, targetQuery, matches, [&](double done) { return goOn(progress, 0.5 + 0.4 * done); }))
                return false;
            // The markers of the sentences with a match.
            std::vector<std::uint64_t> keys;
            std::vector<std::string> markers; // as the source writes them
            std::uint32_t t = 0, lastRun = ~0u;
            for (const WordId w : matches.first) {
                while (t + 1 < target.markerRuns() && target.firstWordOfRun(t + 1) <= w) ++t;
                if (t == lastRun) continue;
                lastRun = t;
                if (plain)
                    keys.push_back(WordIndex::numberKey(target.markerOfRun(t)));
                else if (auto m = markerIn(target.markerOfRun(t), target.encoding(), source.encoding()))
                    markers.push_back(std::move(*m));
            }
            std::sort(keys.begin(), keys.end());
            std::sort(markers.begin(), markers.end());
            for (size_t k = 0; k < sentences.size(); ++k) {
                const std::string_view marker = source.markerOfRun(sentences[k]);
                holds[k] = plain ? std::binary_search(keys.begin(), keys.end(), WordIndex::numberKey(marker))
                                 : std::binary_search(markers.begin(), markers.end(), marker,
                                                      [](std::string_view a, std::string_view b) { return a < b; });
            }
        }
    }

    size_t kept = 0, sentence = 0;
    run = 0;
    for (size_t k = 0; k < hits.first.size(); ++k) {
        const WordId w = hits.first[k];
        run = k == 0 ? source.markerRun(w) : source.markerRunFrom(w, run);
        while (sentences[sentence] != run) ++sentence;
        if (bool(holds[sentence]) == keepWith) hits.first[kept++] = w;
    }
    hits.first.resize(kept);
    return goOn(progress, 1.0);
}

} // namespace solandre
