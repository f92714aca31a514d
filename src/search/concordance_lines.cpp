// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/concordance_lines.h"

#include "common/alphabetical.h"
#include "search/hit_bitmap.h"
#include "search/hit_texts.h"
#include "search/line_keys.h"
#include "search/text_chars.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <functional>
#include <numeric>
#include <utility>

namespace solandre {
namespace {

bool isBracket(char c) { return c == '[' || c == ']'; }

// From this many lines a sort reads their keys on two threads.
constexpr size_t kTwoHalvesFrom = size_t(1) << 20;

// Line breaks and runs of blanks as one blank, none at either end.
std::string folded(std::string_view raw)
{
    std::string out;
    out.reserve(raw.size());
    bool blank = false;
    for (const char c : raw) {
        if (static_cast<unsigned char>(c) <= ' ') {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

// Up to `width` characters before `start`, back to a bracket at most; a word
// the cut falls inside is left out.
std::string leftContext(const TextChars& chars, size_t start, size_t width)
{
    size_t from = start, count = 0;
    bool bounded = false;
    while (from > 0 && count < width) {
        if (isBracket(chars.byte(from - 1))) {
            bounded = true;
            break;
        }
        bool letter;
        from = chars.previous(from, &letter);
        ++count;
    }
    if (!bounded && from > 0 && from < start && !chars.cutAt(from)) {
        bool inWordBefore;
        chars.previous(from, &inWordBefore);
        if (inWordBefore)
            for (const size_t cut = from; from < start && chars.wordCharAt(from) && (from == cut || !chars.cutAt(from));)
                from += chars.at(from).length;
    }
    return folded(chars.slice(from, start));
}

// Up to `width` characters from `end`, up to a bracket at most; a word the
// cut falls inside is left out.
std::string rightContext(const TextChars& chars, size_t end, size_t width)
{
    size_t to = end, count = 0, wordStart = end;
    bool inWord = false;
    while (to < chars.size() && count < width) {
        if (isBracket(chars.byte(to))) break;
        const bool inWordHere = chars.wordCharAt(to);
        if (inWordHere && (!inWord || chars.cutAt(to))) wordStart = to;
        inWord = inWordHere;
        to += chars.at(to).length;
        ++count;
    }
    if (inWord && chars.wordCharAt(to) && !chars.cutAt(to)) to = wordStart;
    return folded(chars.slice(end, to));
}

// Stable counting sort of `lines` by `keys` (aligned with them, each <= maxKey).
void countingSort(WordList& lines, const PodArray<std::uint32_t>& keys, std::uint32_t maxKey)
{
    std::vector<std::uint32_t> next(size_t(maxKey) + 2, 0);
    for (const std::uint32_t key : keys) ++next[key + 1];
    std::partial_sum(next.begin(), next.end(), next.begin());
    WordList sorted;
    sorted.resize(lines.size());
    for (size_t k = 0; k < lines.size(); ++k) sorted[next[keys[k]]++] = lines[k];
    lines = std::move(sorted);
}

// The same by a comparison sort, when the keys are few beside their range.
void pairSort(WordList& lines, const PodArray<std::uint32_t>& keys)
{
    std::vector<std::pair<std::uint32_t, WordId>> pairs(lines.size());
    for (size_t k = 0; k < lines.size(); ++k) pairs[k] = {keys[k], lines[k]};
    std::stable_sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t k = 0; k < lines.size(); ++k) lines[k] = pairs[k].second;
}

// Keys that are vocabulary ranks + 1 (0: no word) replaced by the places of
// their forms in alphabetical order among the forms met, + 1.
bool toAlphabeticalPlaces(PodArray<std::uint32_t>& keys, const WordIndex& index, const Progress& progress)
{
    const size_t ranks = index.vocabularySize() + 1;
    auto formOf = [&](std::uint32_t key) { return index.lowerForm(key - 1); };
    if (ranks <= 2 * keys.size() + 65536) {
        std::vector<std::uint32_t> place(ranks, 0);
        for (const std::uint32_t key : keys) place[key] = 1;
        std::vector<std::uint32_t> met;
        for (std::uint32_t key = 1; key < ranks; ++key)
            if (place[key]) met.push_back(key);
        if (!sortAlphabetically(met, formOf, progress)) return false;
        place[0] = 0;
        for (std::uint32_t k = 0; k < met.size(); ++k) place[met[k]] = k + 1;
        for (std::uint32_t& key : keys) key = place[key];
        return true;
    }
    // Few lines in a text of many forms: no table the size of the vocabulary.
    std::vector<std::uint32_t> met(keys.begin(), keys.end());
    std::sort(met.begin(), met.end());
    met.erase(std::unique(met.begin(), met.end()), met.end());
    if (!met.empty() && met.front() == 0) met.erase(met.begin());
    std::vector<std::uint32_t> alphabetical = met;
    if (!sortAlphabetically(alphabetical, formOf, progress)) return false;
    std::vector<std::uint32_t> place(met.size());
    for (std::uint32_t k = 0; k < alphabetical.size(); ++k)
        place[size_t(std::lower_bound(met.begin(), met.end(), alphabetical[k]) - met.begin())] = k + 1;
    for (std::uint32_t& key : keys)
        if (key != 0) key = place[size_t(std::lower_bound(met.begin(), met.end(), key) - met.begin())];
    return true;
}

} // namespace

ConcordanceLines::ConcordanceLines(const WordIndex& index, WordList hits, std::uint32_t words)
    : index_(&index), order_(std::move(hits)), words_(std::max<std::uint32_t>(words, 1))
{
}

ConcordanceLines ConcordanceLines::ofGrid(const ResultGrid& grid)
{
    WordList hits;
    hits.reserve(grid.hitCount());
    for (size_t row = 1; row < grid.rows(); ++row)
        if (grid.isHit(row)) hits.push_back(grid.hit(row));
    return ConcordanceLines(grid.index(), std::move(hits), grid.hitWords());
}

ConcordanceLine concordanceLine(const WordIndex& index, WordId hit, std::uint32_t words, size_t context)
{
    const TextChars chars(index);
    const std::string_view form = words <= 1 ? index.form(hit) : index.span(hit, words);
    const size_t start = size_t(form.data() - index.text().data());
    return {leftContext(chars, start, context), words <= 1 ? std::string(form) : shownText(form),
            rightContext(chars, start + form.size(), context), index.marker(hit)};
}

ConcordanceLine ConcordanceLines::line(size_t line, size_t context) const
{
    return concordanceLine(*index_, order_[line], words_, context);
}

WordId ConcordanceLines::keyedWord(size_t line, LineKey key) const
{
    // Words to the right of a phrase follow its last word.
    const bool right = key == LineKey::Right1 || key == LineKey::Right2;
    return order_[line] + (right ? words_ - 1 : 0);
}

std::string ConcordanceLines::keyWord(size_t line, LineKey key) const
{
    if (key == LineKey::Form && words_ > 1) return loweredText(index_->span(order_[line], words_), index_->encoding());
    const std::uint32_t rank = LineKeyReader(*index_, key).rank(keyedWord(line, key));
    return rank == 0 ? std::string() : std::string(index_->lowerForm(rank - 1));
}

ConcordanceLines::Visit ConcordanceLines::keysInTextOrder(LineKeyReader& reader, WordId shift,
                                                          PodArray<std::uint32_t>& keys,
                                                          const std::function<bool(size_t)>& report) const
{
    // The hits marked in a bitmap of the words, read back in text order; a
    // line finds its key through the count of hits before its word. No sort,
    // and a few bytes a line (for lists not much sparser than the words);
    // hits met twice go the way of the sort.
    const size_t n = order_.size();
    HitBitmap hits;
    if (!hits.mark(order_, index_->size())) return Visit::Repeated;
    PodArray<std::uint32_t> inTextOrder;
    inTextOrder.resize(n);
    size_t visited = 0;
    if (!hits.inTextOrder(0, hits.blocks(), [&](WordId word) {
            if (!report(visited)) return false;
            inTextOrder[visited++] = reader.rank(word + shift);
            return true;
        }))
        return Visit::Stopped;
    struct {
        PodArray<std::uint32_t>& keys;
        const PodArray<std::uint32_t>& read;
        void prefetch(std::uint32_t place) const { __builtin_prefetch(&read[place]); }
        void prefetchThen(std::uint32_t) const {}
        void operator()(size_t k, std::uint32_t place) const { keys[k] = read[place]; }
    } gather{keys, inTextOrder};
    hits.forEachLine(order_, gather);
    return Visit::Done;
}

bool ConcordanceLines::sort(LineKey key, const Progress& progress)
{
    if (order_.size() < 2) return goOn(progress, 1.0);
    const size_t n = order_.size();
    if (key == LineKey::Form && words_ > 1) {
        // Phrases by their whole text.
        RankedTexts ranked = rankTexts(*index_, order_.data(), n, words_);
        if (!goOn(progress, 0.9)) return false;
        countingSort(order_, ranked.ranks, std::uint32_t(ranked.texts.size()));
        return goOn(progress, 1.0);
    }
    if (const Visit visit = sortManyHits(key, progress); visit != Visit::Repeated) return visit == Visit::Done;
    PodArray<std::uint32_t> keys;
    if (!readRanks(key, keys, progress)) return false;
    const Progress share = [&](double done) { return goOn(progress, 0.6 + 0.3 * done); };
    if (!toAlphabeticalPlaces(keys, *index_, share)) return false;
    const std::uint32_t maxKey = *std::max_element(keys.begin(), keys.end());
    // A bucket a form costs more than the lines themselves for a short list
    // in a text of many forms.
    if (maxKey <= 2 * n + 65536)
        countingSort(order_, keys, maxKey);
    else
        pairSort(order_, keys);
    return goOn(progress, 1.0);
}

ConcordanceLines::Visit ConcordanceLines::sortManyHits(LineKey key, const Progress& progress)
{
    // As keysInTextOrder and a counting sort, with fewer passes and a third
    // of the memory, which on a fresh page costs more than the work: each
    // word's key is read in text order and counted as read; the counts give
    // each form its first place (no word first, then the forms met
    // alphabetically); the lines, in their order, turn the keys into their
    // places; and the words, in text order again, go to them.
    const size_t n = order_.size();
    const size_t ranks = index_->vocabularySize() + 1;
    if (index_->size() / 64 > n || ranks > 2 * n + 65536) return Visit::Repeated;
    HitBitmap hits;
    if (!hits.mark(order_, index_->size())) return Visit::Repeated;
    const WordId shift = (key == LineKey::Right1 || key == LineKey::Right2) ? words_ - 1 : 0;
    PodArray<std::uint32_t> keys; // in text order: the key, then the place
    keys.resize(n);
    std::vector<std::uint32_t> next(ranks, 0); // per key: the count, then the next place
    // Reading the keys is most of the work: a long list is read in two
    // halves at once, each with a reader and counts of its own.
    const size_t split = n >= kTwoHalvesFrom ? hits.middle() : hits.blocks();
    std::atomic<bool> stopped = false;
    auto readKeys = [&](size_t from, size_t to, std::vector<std::uint32_t>& counts, bool reports) {
        LineKeyReader reader(*index_, key);
        const size_t first = hits.hitsBefore(from), count = hits.hitsBefore(to) - first;
        size_t visited = first;
        return hits.inTextOrder(from, to, [&](WordId word) {
            if ((visited - first) % 65536 == 0) {
                if (reports && !goOn(progress, 0.6 * double(visited - first) / double(std::max<size_t>(count, 1))))
                    stopped = true;
                if (stopped) return false;
            }
            const std::uint32_t rank = reader.rank(word + shift);
            keys[visited++] = rank;
            ++counts[rank];
            return true;
        });
    };
    std::vector<std::uint32_t> secondCounts;
    const bool read = inTwoHalves(
        [&] { return readKeys(0, split, next, true); },
        [&] {
            secondCounts.assign(ranks, 0);
            return readKeys(split, hits.blocks(), secondCounts, false);
        },
        split < hits.blocks());
    if (!read) return Visit::Stopped;
    for (size_t rank = 0; rank < secondCounts.size(); ++rank) next[rank] += secondCounts[rank];
    std::vector<std::uint32_t> met;
    for (std::uint32_t rank = 1; rank < ranks; ++rank)
        if (next[rank]) met.push_back(rank);
    const Progress share = [&](double done) { return goOn(progress, 0.6 + 0.3 * done); };
    if (!sortAlphabetically(met, [&](std::uint32_t rank) { return index_->lowerForm(rank - 1); }, share))
        return Visit::Stopped;
    std::uint32_t place = next[0];
    next[0] = 0;
    for (const std::uint32_t rank : met) place += std::exchange(next[rank], place);
    struct {
        PodArray<std::uint32_t>& keys;
        std::vector<std::uint32_t>& next;
        void prefetch(std::uint32_t at) const { __builtin_prefetch(&keys[at], 1); }
        void prefetchThen(std::uint32_t at) const { __builtin_prefetch(&next[keys[at]], 1); }
        void operator()(size_t, std::uint32_t at) const { keys[at] = next[keys[at]]++; }
    } toPlaces{keys, next};
    hits.forEachLine(order_, toPlaces);
    // The words, in text order, to their places, which jump: each place is
    // asked of memory a few words ahead; the halves apart, as read.
    auto sendWords = [&](size_t from, size_t to) {
        constexpr size_t kAhead = 32;
        size_t visited = hits.hitsBefore(from);
        const size_t end = hits.hitsBefore(to);
        return hits.inTextOrder(from, to, [&](WordId word) {
            if (visited + kAhead < end) __builtin_prefetch(&order_[keys[visited + kAhead]], 1);
            order_[keys[visited++]] = word;
            return true;
        });
    };
    inTwoHalves([&] { return sendWords(0, split); }, [&] { return sendWords(split, hits.blocks()); },
                split < hits.blocks());
    return goOn(progress, 1.0) ? Visit::Done : Visit::Stopped;
}

bool ConcordanceLines::readRanks(LineKey key, PodArray<std::uint32_t>& keys, const Progress& progress) const
{
    const size_t n = order_.size();
    const WordId shift = (key == LineKey::Right1 || key == LineKey::Right2) ? words_ - 1 : 0;
    keys.resize(n);
    LineKeyReader reader(*index_, key);
    auto report = [&](size_t k) { return k % 65536 != 0 || goOn(progress, 0.6 * double(k) / double(n)); };
    if (std::is_sorted(order_.begin(), order_.end())) {
        for (size_t k = 0; k < n; ++k) {
            if (!report(k)) return false;
            keys[k] = reader.rank(order_[k] + shift);
        }
        return true;
    }
    // Many hits: their words marked in a bitmap and read in text order.
    if (index_->size() / 64 <= n) {
        const Visit visit = keysInTextOrder(reader, shift, keys, report);
        if (visit != Visit::Repeated) return visit == Visit::Done;
    }
    // The hits visited in text order, each key put back at its line.
    PodArray<std::uint64_t> visits;
    visits.resize(n);
    for (size_t k = 0; k < n; ++k) visits[k] = std::uint64_t(order_[k]) << 32 | k;
    std::sort(visits.begin(), visits.end());
    for (size_t k = 0; k < n; ++k) {
        if (!report(k)) return false;
        keys[std::uint32_t(visits[k])] = reader.rank(WordId(visits[k] >> 32) + shift);
    }
    return true;
}

std::optional<LineKeyWords> ConcordanceLines::keyWords(LineKey key, const Progress& progress) const
{
    LineKeyWords out;
    if (order_.empty()) return out;
    if (key == LineKey::Form && words_ > 1) {
        RankedTexts ranked = rankTexts(*index_, order_.data(), order_.size(), words_);
        out.keys = std::move(ranked.ranks);
        for (std::uint32_t& k : out.keys) ++k;
        out.texts = std::move(ranked.texts);
        return out;
    }
    if (!readRanks(key, out.keys, progress)) return std::nullopt;
    // Numbered by the words met only: no table the size of the vocabulary.
    std::vector<std::uint32_t> met(out.keys.begin(), out.keys.end());
    std::sort(met.begin(), met.end());
    met.erase(std::unique(met.begin(), met.end()), met.end());
    if (!met.empty() && met.front() == 0) met.erase(met.begin());
    for (const std::uint32_t rank : met) out.texts.emplace_back(index_->lowerForm(rank - 1));
    for (std::uint32_t& k : out.keys)
        if (k != 0) k = std::uint32_t(std::lower_bound(met.begin(), met.end(), k) - met.begin()) + 1;
    return out;
}

} // namespace solandre
