// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/word_index.h"

#include "common/cp1252.h"
#include "common/page_memory.h"
#include "search/byte_order.h"
#include "search/word_chars.h"

#include <algorithm>
#include <array>
#include <bit>
#include <numeric>

namespace solandre {
namespace {

// Each Windows-1252 byte's rank in its characters' order (the code page puts
// ‰ at 0x89, before § at 0xA7).
const std::array<unsigned char, 256>& cp1252InCharacterOrder()
{
    static const std::array<unsigned char, 256> renumbered = [] {
        std::array<unsigned char, 256> bytes{};
        std::iota(bytes.begin(), bytes.end(), 0);
        std::sort(bytes.begin(), bytes.end(),
                  [](unsigned char a, unsigned char b) { return cp1252ToUnicode(a) < cp1252ToUnicode(b); });
        std::array<unsigned char, 256> out{};
        for (int k = 0; k < 256; ++k) out[bytes[k]] = static_cast<unsigned char>(k);
        return out;
    }();
    return renumbered;
}

template <class Chars> size_t endOfWord(const WordIndex& index, size_t start)
{
    const std::string_view text = index.text();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    Chars chars;
    size_t i = start;
    while (i < text.size()) {
        if (i > start && index.cutAt(i)) break;
        const CharAt c = chars.at(p + i, end);
        if (!c.letter && !(c.joiner && i > start && i + c.length < text.size() &&
                           chars.at(p + i + c.length, end).letter))
            break;
        i += c.length;
    }
    return i;
}

// A joiner never starts a word: it needs a letter before it.
template <class Chars> size_t startOfNextWord(std::string_view text, size_t from)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    Chars chars;
    size_t i = from;
    while (i < text.size()) {
        const CharAt c = chars.at(p + i, end);
        if (c.letter) break;
        i += c.length;
    }
    return i;
}

} // namespace

size_t WordIndex::wordEnd(size_t start) const
{
    return encoding_ == Encoding::Utf8 ? endOfWord<Utf8Chars>(*this, start)
                                       : endOfWord<Cp1252Chars>(*this, start);
}

size_t WordIndex::nextWordStart(size_t from) const
{
    return encoding_ == Encoding::Utf8 ? startOfNextWord<Utf8Chars>(text_, from)
                                       : startOfNextWord<Cp1252Chars>(text_, from);
}

size_t WordIndex::wordStart(WordId word) const
{
    const auto segment = std::upper_bound(segments_.begin(), segments_.end(), word,
                                          [](WordId w, const Segment& s) { return w < s.firstWord; }) - 1;
    const WordId local = word - segment->firstWord;
    size_t start = samples_[segment->firstSample + local / 64];
    for (WordId k = local % 64; k > 0; --k) start = nextWordStart(wordEnd(start));
    return start;
}

std::string_view WordIndex::form(WordId word) const
{
    const size_t start = wordStart(word);
    return text_.substr(start, wordEnd(start) - start);
}

std::uint32_t WordIndex::markerRun(WordId word) const
{
    const auto after = std::upper_bound(runs_.begin(), runs_.end(), word,
                                        [](WordId w, const Run& run) { return w < run.first; });
    return std::uint32_t(after - runs_.begin() - 1);
}

std::uint32_t WordIndex::markerRunFrom(WordId word, std::uint32_t earlierRun) const
{
    // Galloping: the run is usually the same or a few further on.
    size_t low = earlierRun, step = 1;
    while (low + step < runs_.size() && runs_[low + step].first <= word) {
        low += step;
        step *= 2;
    }
    const auto after = std::upper_bound(runs_.begin() + std::ptrdiff_t(low) + 1,
                                        runs_.begin() + std::ptrdiff_t(std::min(runs_.size(), low + step + 1)),
                                        word, [](WordId w, const Run& run) { return w < run.first; });
    return std::uint32_t(after - runs_.begin() - 1);
}

std::string_view WordIndex::markerOfRun(std::uint32_t run) const
{
    const Run& r = runs_[run];
    return r.owned ? markerChars_.substr(r.offset, r.length) : text_.substr(r.offset, r.length);
}

std::string_view WordIndex::marker(WordId word) const { return markerOfRun(markerRun(word)); }

namespace {

// Calls visit(n) for 1 ... last in the order of their texts "[n]": "]" is
// above every digit, so the numbers a number begins come before it ("[10]",
// "[11]", "[1]", "[2]"): the decimal tree walked children first.
template <typename Visit>
void oneToNInTextOrder(std::uint64_t last, Visit visit)
{
    struct Step {
        std::uint64_t number;
        unsigned nextDigit;
    };
    std::vector<Step> path;
    for (std::uint64_t first = 1; first <= 9 && first <= last; ++first) {
        path.push_back({first, 0});
        while (!path.empty()) {
            Step& step = path.back();
            const std::uint64_t child = step.number * 10 + step.nextDigit;
            if (step.nextDigit <= 9 && child <= last) {
                ++step.nextDigit;
                path.push_back({child, 0});
            } else {
                visit(step.number);
                path.pop_back();
            }
        }
    }
}

} // namespace

bool WordIndex::rankMarkersByNumber() const
{
    // As numbering writes them, "[1]" to "[n]", in any places, some perhaps
    // with no word and some over more than one run: the numbers' order is
    // walked.
    if (!markersArePlain() || runs_.empty()) return false;
    const auto& byNumber = runsByNumberKey();
    const std::uint64_t last = byNumber.back().first / 32;
    if (last > 2 * byNumber.size() + 1024) return false;
    constexpr std::uint32_t kAbsent = ~std::uint32_t(0);
    std::vector<std::uint32_t> rankOf(last + 1, kAbsent);
    std::uint64_t digits = 1, nextPower = 10; // of the numbers met, ascending
    for (const auto& [key, run] : byNumber) {
        const std::uint64_t number = key / 32;
        for (; number >= nextPower; nextPower *= 10) ++digits;
        // Not "[0]", nor a zero in front: "[07]" is not "[7]".
        if (number == 0 || key % 32 != digits) return false;
        rankOf[number] = 0;
    }
    std::uint32_t rank = 0;
    oneToNInTextOrder(last, [&](std::uint64_t n) {
        if (rankOf[n] != kAbsent) rankOf[n] = rank++;
    });
    markerRanks_.assign(runs_.size(), 0);
    for (const auto& [key, run] : byNumber) markerRanks_[run] = rankOf[key / 32];
    return true;
}

void WordIndex::makeMarkerRanks() const
{
    if (markerRanks_.size() == runs_.size()) return;
    // Most texts are numbered 1 to n: their order is known without a sort
    // of the markers, which are spread over the whole text.
    if (rankMarkersByNumber()) return;
    std::vector<std::uint32_t> order(runs_.size());
    std::iota(order.begin(), order.end(), 0u);
    // Markers compare as characters, as forms do: in UTF-8 that is byte
    // order, in Windows-1252 the bytes' ranks in their characters' order.
    sortByBytes(order, [&](std::uint32_t run) { return markerOfRun(run); },
                encoding_ == Encoding::Windows1252 ? &cp1252InCharacterOrder() : nullptr);
    markerRanks_.assign(runs_.size(), 0);
    std::uint32_t rank = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        if (k > 0 && markerOfRun(order[k]) != markerOfRun(order[k - 1])) ++rank;
        markerRanks_[order[k]] = rank;
    }
}

std::vector<std::uint32_t> WordIndex::runsWithMarker(std::string_view marker) const
{
    if (runsByMarker_.size() != runs_.size()) {
        runsByMarker_.resize(runs_.size());
        std::iota(runsByMarker_.begin(), runsByMarker_.end(), 0u);
        sortByBytes(runsByMarker_, [&](std::uint32_t run) { return markerOfRun(run); });
    }
    auto byMarker = [&](std::uint32_t run) { return markerOfRun(run); };
    const auto first = std::partition_point(runsByMarker_.begin(), runsByMarker_.end(),
                                            [&](std::uint32_t run) { return byMarker(run) < marker; });
    const auto last = std::partition_point(first, runsByMarker_.end(),
                                           [&](std::uint32_t run) { return byMarker(run) == marker; });
    std::vector<std::uint32_t> found(first, last);
    if (found.size() > 1) std::sort(found.begin(), found.end());
    return found;
}

namespace {

// "[" up to 17 digits "]", the first not 0 unless alone.
bool isPlainMarker(std::string_view m)
{
    if (m.size() < 3 || m.size() > 19 || m.front() != '[' || m.back() != ']') return false;
    for (size_t k = 1; k + 1 < m.size(); ++k)
        if (m[k] < '0' || m[k] > '9') return false;
    return true;
}

} // namespace

bool WordIndex::markersArePlain() const
{
    if (markersPlain_ < 0) {
        markersPlain_ = 1;
        for (std::uint32_t run = 0; run < runs_.size() && markersPlain_; ++run)
            if (!isPlainMarker(markerOfRun(run))) markersPlain_ = 0;
    }
    return markersPlain_ == 1;
}

std::uint64_t WordIndex::plainMarkerKey(std::string_view marker)
{
    // The digits, then the closing bracket as an eleventh digit above "9"
    // (as "]" is above "9" in the text), read as a number in base 11: two
    // markers compare as numbers as their texts compare.
    std::uint64_t key = 0;
    size_t places = 0;
    for (size_t k = 1; k < marker.size(); ++k, ++places)
        key = key * 11 + (marker[k] == ']' ? 10u : unsigned(marker[k] - '0'));
    for (; places < 18; ++places) key *= 11;
    return key;
}

std::uint64_t WordIndex::numberKey(std::string_view marker)
{
    // The number, then its count of digits: "[01]" is not "[1]".
    std::uint64_t number = 0;
    for (size_t k = 1; k + 1 < marker.size(); ++k) number = number * 10 + unsigned(marker[k] - '0');
    return number * 32 + (marker.size() - 2);
}

const std::vector<std::pair<std::uint64_t, std::uint32_t>>& WordIndex::runsByNumberKey() const
{
    if (runsByNumber_.size() != runs_.size()) {
        runsByNumber_.resize(runs_.size());
        for (std::uint32_t run = 0; run < runs_.size(); ++run) runsByNumber_[run] = {numberKey(markerOfRun(run)), run};
        if (!std::is_sorted(runsByNumber_.begin(), runsByNumber_.end())) std::sort(runsByNumber_.begin(), runsByNumber_.end());
    }
    return runsByNumber_;
}

std::uint32_t WordIndex::markerTextRank(std::uint32_t run) const
{
    makeMarkerRanks();
    return markerRanks_[run];
}

std::string_view WordIndex::lowerForm(std::uint32_t rank) const
{
    return formChars_.substr(forms_[rank].offset, forms_[rank].length);
}

std::string_view WordIndex::reversedForm(std::uint32_t rank) const
{
    return std::string_view(reversedChars_).substr(forms_[rank].offset, forms_[rank].length);
}

std::uint32_t WordIndex::formRank(WordId word) const
{
    std::string lowered;
    if (encoding_ == Encoding::Utf8)
        Utf8Chars().lower(form(word), lowered);
    else
        Cp1252Chars().lower(form(word), lowered);
    const auto [first, last] = prefixRange(lowered);
    return std::uint32_t(first);
}

std::pair<size_t, size_t> WordIndex::prefixRange(std::string_view prefix) const
{
    size_t first = 0, count = forms_.size();
    while (count > 0) { // lower bound
        const size_t half = count / 2;
        if (lowerForm(std::uint32_t(first + half)) < prefix) {
            first += half + 1;
            count -= half + 1;
        } else {
            count = half;
        }
    }
    size_t last = first, left = forms_.size() - first;
    while (left > 0) { // end of the forms starting with `prefix`
        const size_t half = left / 2;
        if (lowerForm(std::uint32_t(last + half)).starts_with(prefix)) {
            last += half + 1;
            left -= half + 1;
        } else {
            left = half;
        }
    }
    return {first, last};
}

void WordIndex::makeSuffixOrder() const
{
    if (bySuffix_.size() == forms_.size()) return;
    reversedChars_ = std::string(formChars_);
    for (const Span& span : forms_) {
        auto* first = reversedChars_.data() + span.offset;
        std::reverse(first, first + span.length);
    }
    bySuffix_.resize(forms_.size());
    std::iota(bySuffix_.begin(), bySuffix_.end(), 0u);
    sortByBytes(bySuffix_, [&](std::uint32_t rank) { return reversedForm(rank); });
}

std::pair<size_t, size_t> WordIndex::suffixRange(std::string_view suffix) const
{
    makeSuffixOrder();
    const std::string reversed(suffix.rbegin(), suffix.rend());
    const std::string_view r = reversed;
    const auto first = std::lower_bound(bySuffix_.begin(), bySuffix_.end(), r,
                                        [&](std::uint32_t rank, std::string_view s) { return reversedForm(rank) < s; });
    const auto last = std::partition_point(first, bySuffix_.end(),
                                           [&](std::uint32_t rank) { return reversedForm(rank).starts_with(r); });
    return {size_t(first - bySuffix_.begin()), size_t(last - bySuffix_.begin())};
}

std::pair<std::uint32_t, std::uint32_t> WordIndex::formsStartingWith(std::string_view prefix) const
{
    const auto [first, last] = prefixRange(prefix);
    return {std::uint32_t(first), std::uint32_t(last)};
}

std::vector<std::uint32_t> WordIndex::formsEndingWith(std::string_view suffix) const
{
    const auto [first, last] = suffixRange(suffix);
    return std::vector<std::uint32_t>(bySuffix_.begin() + std::ptrdiff_t(first), bySuffix_.begin() + std::ptrdiff_t(last));
}

std::vector<std::uint32_t> WordIndex::formsMatching(const Pattern& pattern) const
{
    std::vector<std::uint32_t> ranks;
    const auto [pFirst, pLast] = prefixRange(pattern.prefix);
    if (pattern.rule == Pattern::Rule::Exact) {
        if (pFirst < pLast && lowerForm(std::uint32_t(pFirst)) == pattern.prefix)
            ranks.push_back(std::uint32_t(pFirst));
    } else if (pattern.rule == Pattern::Rule::Prefix) {
        for (size_t r = pFirst; r < pLast; ++r) ranks.push_back(std::uint32_t(r));
    } else {
        // Walk the narrower of the two ranges and test the other condition.
        const auto [sFirst, sLast] =
            pLast - pFirst > 64 ? suffixRange(pattern.suffix) : std::pair<size_t, size_t>{0, forms_.size()};
        if (pLast - pFirst <= sLast - sFirst) {
            for (size_t r = pFirst; r < pLast; ++r)
                if (lowerForm(std::uint32_t(r)).ends_with(pattern.suffix)) ranks.push_back(std::uint32_t(r));
        } else {
            for (size_t k = sFirst; k < sLast; ++k)
                if (lowerForm(bySuffix_[k]).starts_with(pattern.prefix)) ranks.push_back(bySuffix_[k]);
            std::sort(ranks.begin(), ranks.end());
        }
    }
    return ranks;
}

void WordIndex::search(const Pattern& pattern, WordList& hits, std::vector<std::uint32_t>* forms) const
{
    hits.clear();
    std::vector<std::uint32_t> ranks = formsMatching(pattern);
    gather(ranks, hits);
    if (forms) *forms = std::move(ranks);
}

std::string_view WordIndex::span(WordId first, std::uint32_t words) const
{
    const size_t start = wordStart(first);
    size_t end = wordEnd(start);
    for (std::uint32_t k = 1; k < words; ++k) end = wordEnd(nextWordStart(end));
    return text_.substr(start, end - start);
}

void WordIndex::gather(const std::vector<std::uint32_t>& ranks, WordList& hits) const
{
    size_t total = 0;
    for (const std::uint32_t rank : ranks) total += postingStart_[rank + 1] - postingStart_[rank];
    hits.reserve(total);
    if (ranks.size() == 1) {
        hits.assign(postingsBegin(ranks[0]), postingsEnd(ranks[0]));
        return;
    }
    if (total == size()) {
        hits.resize(total);
        std::iota(hits.begin(), hits.end(), WordId(0));
        return;
    }
    // Several forms: mark their words in a bitmap of the text, then read it
    // back in order, which merges the lists and clears the bitmap.
    if (seen_.size() != (words_ + 63) / 64) seen_.assign((words_ + 63) / 64, 0);
    for (const std::uint32_t rank : ranks)
        for (const WordId* w = postingsBegin(rank); w != postingsEnd(rank); ++w)
            seen_[*w >> 6] |= std::uint64_t(1) << (*w & 63);
    for (size_t block = 0; block < seen_.size() && hits.size() < total; ++block) {
        std::uint64_t bits = seen_[block];
        if (!bits) continue;
        seen_[block] = 0;
        while (bits) {
            hits.push_back(WordId(block * 64 + unsigned(std::countr_zero(bits))));
            bits &= bits - 1;
        }
    }
}

void WordIndex::releaseMemory() const
{
    if (mapped_) {
        auto giveBack = [](const auto& view) { detail::releasePages(view.data(), view.size() * sizeof(*view.data())); };
        giveBack(samples_);
        giveBack(segments_);
        giveBack(forms_);
        giveBack(formChars_);
        giveBack(postingStart_);
        giveBack(postings_);
        giveBack(runs_);
        giveBack(markerChars_);
        giveBack(cutSlots_);
        giveBack(cutBits_);
    }
    // Swapped with empty ones: clearing would keep the memory.
    std::vector<std::uint32_t>().swap(bySuffix_);
    std::string().swap(reversedChars_);
    std::vector<std::uint32_t>().swap(markerRanks_);
    std::vector<std::uint32_t>().swap(runsByMarker_);
    std::vector<std::pair<std::uint64_t, std::uint32_t>>().swap(runsByNumber_);
    std::vector<std::uint64_t>().swap(seen_);
}

size_t WordIndex::bytesUsed() const
{
    auto bytes = [](const auto& v) { return v.size() * sizeof(*v.data()); };
    return bytes(samples_) + bytes(segments_) + bytes(forms_) + formChars_.size() +
           bytes(postingStart_) + bytes(postings_) + bytes(runs_) + markerChars_.size() + bytes(cutSlots_) +
           bytes(cutBits_) + bytes(bySuffix_) + reversedChars_.size() + bytes(markerRanks_) + bytes(runsByMarker_) +
           bytes(runsByNumber_) + bytes(seen_);
}

} // namespace solandre
