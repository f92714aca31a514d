#include "search/word_index.h"

#include "common/letters.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <numeric>
#include <unordered_map>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace solandre {

static constexpr size_t kMaxText = WordIndex::kMaxText;

namespace {

enum ByteClass : unsigned char { kOther, kLetter, kBracket };

constexpr std::array<unsigned char, 256> kClass = [] {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[c] = isLetter(static_cast<unsigned char>(c)) ? kLetter
               : (c == '[' || c == ']')                ? kBracket
                                                       : kOther;
    return t;
}();

std::uint64_t load64(const unsigned char* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// `end` bounds the readable bytes; a word is always followed by one more.
std::uint32_t hashWord(const unsigned char* p, size_t length, const unsigned char* end)
{
    std::uint64_t h = length * 0x9E3779B97F4A7C15ull;
    size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        h = (h ^ load64(p + i)) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    if (i < length) {
        std::uint64_t tail = 0;
        if (p + i + 8 <= end)
            tail = load64(p + i) & ((std::uint64_t(1) << (8 * (length - i))) - 1);
        else
            std::memcpy(&tail, p + i, length - i);
        h = (h ^ tail) * 0x94D049BB133111EBull;
        h ^= h >> 29;
    }
    return std::uint32_t(h ^ (h >> 32));
}

} // namespace

// The scan of the text and the interning of its written forms.
class WordIndexBuilder {
public:
    explicit WordIndexBuilder(Bytes text)
        : textBytes_(std::move(text)),
          text_(reinterpret_cast<const unsigned char*>(textBytes_.data())),
          end_(text_ + std::min(textBytes_.size(), kMaxText))
    {
        table_.assign(1 << 12, Slot{});
        // Most texts need less; pages never written cost nothing.
        index_.words_.reserve(std::min<size_t>(textBytes_.size() / 5 + 16, kMaxText));
    }

    WordIndex build()
    {
        scan();
        buildVocabulary();
        buildPostings();
        return std::move(index_);
    }

private:
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t idPlusOne = 0; // 0: free
    };

    void scan()
    {
        const unsigned char* p = text_;
#if defined(__SSE2__)
        // Sixteen bytes at a time while no bracket is near: the letters' mask
        // gives every word's start and end, and the non-letters between words
        // need nothing. Blocks with a bracket, or inside a marker, go byte by byte.
        for (; end_ - p >= 16; p += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i brackets =
                _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('[')), _mm_cmpeq_epi8(v, _mm_set1_epi8(']')));
            if (inMarker_ || _mm_movemask_epi8(brackets)) {
                for (int i = 0; i < 16; ++i) step(p + i);
                continue;
            }
            const std::uint32_t letters = letterMask(v);
            const std::uint32_t before = (letters << 1) | std::uint32_t(wordOpen_);
            std::uint32_t starts = letters & ~before;
            std::uint32_t ends = ~letters & before & 0xFFFF;
            while (ends) {
                const int end = std::countr_zero(ends);
                ends &= ends - 1;
                if (!wordOpen_) {
                    wordStart_ = p + std::countr_zero(starts);
                    starts &= starts - 1;
                }
                wordOpen_ = false;
                record(wordStart_, size_t(p + end - wordStart_));
            }
            if (starts) {
                wordStart_ = p + std::countr_zero(starts);
                wordOpen_ = true;
            }
        }
#endif
        for (; p < end_; ++p) step(p);
        // A word still open at the end of the text has no non-letter after it
        // and is not recorded.
    }

#if defined(__SSE2__)
    static std::uint32_t letterMask(__m128i v)
    {
        // A-Z and a-z: (c | 0x20) - 'a' < 26; 192-255 but for 215 and 247.
        const __m128i folded = _mm_sub_epi8(_mm_or_si128(v, _mm_set1_epi8(0x20)), _mm_set1_epi8('a'));
        const __m128i ascii = _mm_cmpeq_epi8(_mm_min_epu8(folded, _mm_set1_epi8(25)), folded);
        const __m128i high = _mm_cmpeq_epi8(_mm_max_epu8(v, _mm_set1_epi8(char(192))), v);
        const __m128i signs = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(char(215))),
                                           _mm_cmpeq_epi8(v, _mm_set1_epi8(char(247))));
        return std::uint32_t(_mm_movemask_epi8(_mm_or_si128(ascii, _mm_andnot_si128(signs, high))));
    }
#endif

    // One byte: a letter opens or extends a word; a non-letter runs the
    // marker steps, then records the word it ends.
    void step(const unsigned char* q)
    {
        const unsigned char cls = kClass[*q];
        if (cls == kLetter) {
            if (!wordOpen_) {
                wordStart_ = q;
                wordOpen_ = true;
            }
            return;
        }
        if (cls == kBracket || inMarker_) nonLetter(*q);
        if (wordOpen_) {
            wordOpen_ = false;
            record(wordStart_, size_t(q - wordStart_));
        }
    }

    // The marker steps for a non-letter, in their order: "]" closes, a
    // character inside the brackets is collected, "[" starts a new marker.
    void nonLetter(unsigned char c)
    {
        std::string& chars = index_.markerChars_;
        if (c == ']') {
            chars += ']';
            inMarker_ = false;
            markerChanged_ = true;
        } else if (inMarker_) {
            chars += char(c);
            markerChanged_ = true;
        }
        if (c == '[') {
            // Every later value of this marker extends it, so the words hold
            // prefixes of one string instead of copies.
            markerStart_ = chars.size();
            chars += '[';
            inMarker_ = true;
            markerChanged_ = true;
        }
    }

    void record(const unsigned char* start, size_t length)
    {
        const WordId word = WordId(index_.words_.size());
        if (markerChanged_) {
            index_.runs_.push_back(
                {word,
                 {std::uint32_t(markerStart_),
                  std::uint32_t(index_.markerChars_.size() - markerStart_)}});
            markerChanged_ = false;
        }
        index_.words_.push_back(intern(start, length));
    }

    std::uint32_t intern(const unsigned char* start, size_t length)
    {
        const std::uint32_t hash = hashWord(start, length, end_);
        size_t mask = table_.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot& slot = table_[i];
            if (slot.idPlusOne == 0) {
                const std::uint32_t id = std::uint32_t(index_.written_.size());
                const std::uint32_t offset = std::uint32_t(index_.formChars_.size());
                index_.formChars_.append(reinterpret_cast<const char*>(start), length);
                index_.written_.push_back({{offset, std::uint32_t(length)}, 0});
                counts_.push_back(1);
                slot = {hash, id + 1};
                if (2 * index_.written_.size() > table_.size()) grow();
                return id;
            }
            if (slot.hash == hash) {
                const std::uint32_t id = slot.idPlusOne - 1;
                const auto& chars = index_.written_[id].chars;
                if (chars.length == length &&
                    same(index_.formChars_.data() + chars.offset, start, length)) {
                    ++counts_[id];
                    return id;
                }
            }
        }
    }

    // Most words are short: compare them without a call.
    static bool same(const char* a, const unsigned char* b, size_t length)
    {
        for (size_t i = 0; i < length; ++i)
            if (a[i] != char(b[i])) return false;
        return true;
    }

    void grow()
    {
        std::vector<Slot> old(table_.size() * 2);
        old.swap(table_);
        const size_t mask = table_.size() - 1;
        for (const Slot& slot : old) {
            if (slot.idPlusOne == 0) continue;
            size_t i = slot.hash & mask;
            while (table_[i].idPlusOne != 0) i = (i + 1) & mask;
            table_[i] = slot;
        }
    }

    void buildVocabulary()
    {
        WordIndex& x = index_;
        std::unordered_map<std::string, std::uint32_t> lowers;
        lowers.reserve(x.written_.size());
        for (WordIndex::Written& w : x.written_) {
            std::string lower = toLower(std::string_view(x.formChars_).substr(w.chars.offset, w.chars.length));
            const auto [it, added] = lowers.try_emplace(std::move(lower), std::uint32_t(x.lower_.size()));
            if (added) {
                x.lower_.push_back({std::uint32_t(x.lowerChars_.size()), w.chars.length});
                x.lowerChars_ += it->first;
            }
            w.lower = it->second;
        }
        x.reversedChars_ = x.lowerChars_;
        for (const auto& span : x.lower_) {
            auto* first = x.reversedChars_.data() + span.offset;
            std::reverse(first, first + span.length);
        }

        const size_t count = x.lower_.size();
        x.byPrefix_.resize(count);
        std::iota(x.byPrefix_.begin(), x.byPrefix_.end(), 0u);
        std::sort(x.byPrefix_.begin(), x.byPrefix_.end(),
                  [&](std::uint32_t a, std::uint32_t b) { return x.lowerForm(a) < x.lowerForm(b); });
        x.bySuffix_ = x.byPrefix_;
        std::sort(x.bySuffix_.begin(), x.bySuffix_.end(), [&](std::uint32_t a, std::uint32_t b) {
            return x.reversedForm(a) < x.reversedForm(b);
        });
        x.rank_.resize(count);
        for (size_t k = 0; k < count; ++k) x.rank_[x.byPrefix_[k]] = std::uint32_t(k + 1);
    }

    void buildPostings()
    {
        WordIndex& x = index_;
        std::vector<std::uint32_t> lowerOf(x.written_.size());
        x.postingStart_.assign(x.lower_.size() + 1, 0);
        for (size_t id = 0; id < x.written_.size(); ++id) {
            lowerOf[id] = x.written_[id].lower;
            x.postingStart_[lowerOf[id] + 1] += counts_[id];
        }
        std::partial_sum(x.postingStart_.begin(), x.postingStart_.end(), x.postingStart_.begin());
        std::vector<std::uint32_t> next(x.postingStart_.begin(), x.postingStart_.end() - 1);
        // The text is no longer needed: its memory takes the postings when
        // they fit, which spares touching as much fresh memory again.
        const size_t count = x.words_.size();
        if (count * sizeof(WordId) <= textBytes_.size())
            x.postings_.adopt(std::move(textBytes_), count);
        else
            x.postings_.resize(count);
        for (size_t word = 0; word < count; ++word)
            x.postings_[next[lowerOf[x.words_[word]]]++] = WordId(word);
        x.seen_.assign((x.words_.size() + 63) / 64, 0);
    }

    Bytes textBytes_;
    const unsigned char* text_;
    const unsigned char* end_;
    WordIndex index_;
    std::vector<Slot> table_;
    std::vector<std::uint32_t> counts_; // occurrences per written form
    size_t markerStart_ = 0;            // where the marker being read begins
    bool inMarker_ = false;
    const unsigned char* wordStart_ = nullptr;
    bool wordOpen_ = false;
    bool markerChanged_ = true;
};

WordIndex WordIndex::build(Bytes text) { return WordIndexBuilder(std::move(text)).build(); }

WordIndex WordIndex::build(std::string_view text)
{
    Bytes copy(text.size());
    if (!text.empty()) std::memcpy(copy.data(), text.data(), text.size());
    return build(std::move(copy));
}

std::string_view WordIndex::form(WordId word) const
{
    const Span& span = written_[words_[word]].chars;
    return std::string_view(formChars_).substr(span.offset, span.length);
}

std::uint32_t WordIndex::markerGroup(WordId word) const
{
    const auto after = std::upper_bound(runs_.begin(), runs_.end(), word,
                                        [](WordId w, const Run& run) { return w < run.firstWord; });
    return std::uint32_t(after - runs_.begin() - 1);
}

std::string_view WordIndex::markerOfGroup(std::uint32_t group) const
{
    const Span& span = runs_[group].chars;
    return std::string_view(markerChars_).substr(span.offset, span.length);
}

std::string_view WordIndex::marker(WordId word) const { return markerOfGroup(markerGroup(word)); }

std::uint32_t WordIndex::formRank(WordId word) const { return rank_[written_[words_[word]].lower]; }

std::string_view WordIndex::lowerForm(std::uint32_t lower) const
{
    return std::string_view(lowerChars_).substr(lower_[lower].offset, lower_[lower].length);
}

std::string_view WordIndex::reversedForm(std::uint32_t lower) const
{
    return std::string_view(reversedChars_).substr(lower_[lower].offset, lower_[lower].length);
}

std::pair<size_t, size_t> WordIndex::prefixRange(std::string_view prefix) const
{
    const auto first = std::lower_bound(
        byPrefix_.begin(), byPrefix_.end(), prefix,
        [&](std::uint32_t id, std::string_view p) { return lowerForm(id) < p; });
    const auto last = std::partition_point(
        first, byPrefix_.end(), [&](std::uint32_t id) { return lowerForm(id).starts_with(prefix); });
    return {size_t(first - byPrefix_.begin()), size_t(last - byPrefix_.begin())};
}

std::pair<size_t, size_t> WordIndex::suffixRange(std::string_view suffix) const
{
    const std::string reversed(suffix.rbegin(), suffix.rend());
    const std::string_view r = reversed;
    const auto first = std::lower_bound(
        bySuffix_.begin(), bySuffix_.end(), r,
        [&](std::uint32_t id, std::string_view s) { return reversedForm(id) < s; });
    const auto last = std::partition_point(
        first, bySuffix_.end(), [&](std::uint32_t id) { return reversedForm(id).starts_with(r); });
    return {size_t(first - bySuffix_.begin()), size_t(last - bySuffix_.begin())};
}

void WordIndex::search(const Pattern& pattern, WordList& hits) const
{
    hits.clear();
    std::vector<std::uint32_t> lowers;
    if (pattern.rule == Pattern::Rule::Exact) {
        const auto [first, last] = prefixRange(pattern.prefix);
        if (first < last && lowerForm(byPrefix_[first]) == pattern.prefix)
            lowers.push_back(byPrefix_[first]);
    } else if (pattern.rule == Pattern::Rule::Prefix) {
        const auto [first, last] = prefixRange(pattern.prefix);
        lowers.assign(byPrefix_.begin() + first, byPrefix_.begin() + last);
    } else {
        // Walk the narrower of the two ranges and test the other condition.
        const auto [pFirst, pLast] = prefixRange(pattern.prefix);
        const auto [sFirst, sLast] = suffixRange(pattern.suffix);
        if (pLast - pFirst <= sLast - sFirst) {
            for (size_t k = pFirst; k < pLast; ++k)
                if (lowerForm(byPrefix_[k]).ends_with(pattern.suffix)) lowers.push_back(byPrefix_[k]);
        } else {
            for (size_t k = sFirst; k < sLast; ++k)
                if (lowerForm(bySuffix_[k]).starts_with(pattern.prefix)) lowers.push_back(bySuffix_[k]);
        }
    }
    gather(lowers, hits);
}

void WordIndex::gather(const std::vector<std::uint32_t>& lowers, WordList& hits) const
{
    size_t total = 0;
    for (std::uint32_t lower : lowers) total += postingStart_[lower + 1] - postingStart_[lower];
    hits.reserve(total);
    if (lowers.size() == 1) {
        hits.assign(postings_.data() + postingStart_[lowers[0]], postings_.data() + postingStart_[lowers[0] + 1]);
        return;
    }
    if (total == size()) {
        hits.resize(total);
        std::iota(hits.begin(), hits.end(), WordId(0));
        return;
    }
    // Several forms: mark their words in a bitmap of the text, then read it
    // back in order, which merges the lists and clears the bitmap.
    for (std::uint32_t lower : lowers)
        for (size_t k = postingStart_[lower]; k < postingStart_[lower + 1]; ++k)
            seen_[postings_.data()[k] >> 6] |= std::uint64_t(1) << (postings_.data()[k] & 63);
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

size_t WordIndex::bytesUsed() const
{
    auto bytes = [](const auto& v) { return v.size() * sizeof(*v.data()); };
    return bytes(words_) + formChars_.size() + bytes(written_) + lowerChars_.size() +
           reversedChars_.size() + bytes(lower_) + bytes(rank_) + bytes(byPrefix_) +
           bytes(bySuffix_) + bytes(postingStart_) + postings_.size() * sizeof(WordId) + markerChars_.size() +
           bytes(runs_) + bytes(seen_);
}

} // namespace solandre
