// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/query_search.h"

#include "search/word_chars.h"

#include <QRegularExpression>
#include <algorithm>
#include <numeric>
#include <unordered_set>

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

// The first place at or after `at` holding a word not before `word`: the
// lists are walked forwards, so a gallop from where the last search ended.
const WordId* gallop(const WordId* at, const WordId* end, WordId word)
{
    if (at == end || *at >= word) return at;
    ptrdiff_t step = 1;
    const WordId* low = at; // *low < word
    while (end - low > step && low[step] < word) {
        low += step;
        step *= 2;
    }
    const WordId* high = end - low > step ? low + step + 1 : end;
    return std::lower_bound(low + 1, high, word);
}

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

bool keepByTranslation(const WordIndex& source, QueryHits& hits, const WordIndex& target,
                       const Query& targetQuery, TranslationTest test, const Progress& progress)
{
    QueryHits matches;
    if (!findQueryHits(target, targetQuery, matches, progress)) return false;
    const bool keepWith = test == TranslationTest::Contains;
    hits.forms.clear();

    // The sentences of the target holding a match, by their marker: as a
    // number-like key when both texts are numbered as the numbering numbers
    // them, as text otherwise.
    const bool plain = source.markersArePlain() && target.markersArePlain();
    std::vector<std::uint64_t> keys;
    std::unordered_set<std::string> texts;
    std::uint32_t run = 0, lastRun = ~0u;
    for (size_t k = 0; k < matches.first.size(); ++k) {
        run = k == 0 ? target.markerRun(matches.first[k]) : target.markerRunFrom(matches.first[k], run);
        if (run == lastRun) continue;
        lastRun = run;
        if (plain)
            keys.push_back(WordIndex::plainMarkerKey(target.markerOfRun(run)));
        else
            texts.insert(toUtf8(target.markerOfRun(run), target.encoding()));
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());

    size_t kept = 0;
    bool inTarget = false;
    lastRun = ~0u;
    for (size_t k = 0; k < hits.first.size(); ++k) {
        const WordId w = hits.first[k];
        run = k == 0 ? source.markerRun(w) : source.markerRunFrom(w, run);
        if (run != lastRun) {
            lastRun = run;
            const std::string_view marker = source.markerOfRun(run);
            inTarget = plain ? std::binary_search(keys.begin(), keys.end(), WordIndex::plainMarkerKey(marker))
                             : texts.count(toUtf8(marker, source.encoding())) > 0;
        }
        if (inTarget == keepWith) hits.first[kept++] = w;
    }
    hits.first.resize(kept);
    return goOn(progress, 1.0);
}

} // namespace solandre
