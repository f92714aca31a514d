// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The scan of one part of a text for its word index, on a thread of its own:
// its words, their lower-cased forms in a dictionary of the part, the
// markers' runs and the cuts of the unspaced scripts. The builder joins the
// parts (index_builder.cpp).
#include "search/word_index.h"

#include "common/cp1252.h"
#include "common/letters.h"
#include "common/word_breaks.h"
#include "search/form_dictionary.h"
#include "search/word_chars.h"

#include <atomic>
#include <bit>
#include <chrono>
#include <cstring>
#include <functional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace solandre::index_scan {

constexpr size_t kReportEvery = size_t(4) << 20;
// How many forms tell whether nearly every word is a new one.
constexpr std::uint32_t kEarlyForms = 1u << 14;

// Words up to this long are lower-cased and hashed without a string of their own.
constexpr size_t kShortWord = 64;

// Runs to cut go to ICU together, about this many UTF-16 code units at a
// time; words wait for them, this many at most.
constexpr size_t kBreakTogether = 16 * 1024;
constexpr size_t kWaitingWords = 8 * 1024;

// Eight bytes of ASCII lower-cased at once: 0x20 added to those in A-Z.
inline std::uint64_t lowerAscii8(std::uint64_t v)
{
    constexpr std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    const std::uint64_t atLeastA = v + (0x80 - 'A') * ones;
    const std::uint64_t pastZ = v + (0x80 - 'Z' - 1) * ones;
    return v | (((atLeastA & ~pastZ) & highs) >> 2);
}

// A short ASCII word lower-cased into `out` (kShortWord + 8 bytes); false,
// with `out` spoilt, for a word with any other character. `end` bounds the
// readable bytes of the text.
inline bool lowerShortAscii(const unsigned char* word, size_t length, const unsigned char* end, char* out)
{
    for (size_t k = 0; k < length; k += 8) {
        std::uint64_t v = 0;
        if (word + k + 8 <= end)
            std::memcpy(&v, word + k, 8);
        else
            for (size_t b = 0; word + k + b < end && b < 8; ++b) v |= std::uint64_t(word[k + b]) << (8 * b);
        if (k + 8 > length) v &= (std::uint64_t(1) << (8 * (length - k))) - 1;
        if (v & 0x8080808080808080ull) return false;
        v = lowerAscii8(v);
        std::memcpy(out + k, &v, 8);
    }
    return true;
}

// The forms of the short words met last, as written, with their
// lower-cased form: in real texts most words are frequent ones, and a word
// found here is neither lower-cased nor looked up again. A word is kept in
// its slot, so that finding it reads nothing else. Direct-mapped and of a
// fixed size, so a text of millions of distinct forms costs nothing more.
class RecentForms {
public:
    static constexpr size_t kSlots = size_t(1) << 15;
    static constexpr size_t kLongest = 16;

    struct Slot {
        std::uint64_t low = 0, high = 0; // the word's bytes, zeros after it
        std::uint32_t length = 0;        // 0: free
        std::uint32_t form = 0;          // in the dictionary
    };

    // A word of 1 to kLongest bytes as two numbers; `end` bounds the
    // readable bytes.
    static void read(const unsigned char* word, size_t length, const unsigned char* end, std::uint64_t& low,
                     std::uint64_t& high)
    {
        if (word + kLongest <= end) {
            std::memcpy(&low, word, 8);
            std::memcpy(&high, word + 8, 8);
        } else {
            unsigned char bytes[kLongest] = {};
            std::memcpy(bytes, word, std::min<size_t>(size_t(end - word), kLongest));
            std::memcpy(&low, bytes, 8);
            std::memcpy(&high, bytes + 8, 8);
        }
        if (length < 8) {
            low &= (std::uint64_t(1) << (8 * length)) - 1;
            high = 0;
        } else if (length < 16) {
            high &= (std::uint64_t(1) << (8 * (length - 8))) - 1;
        }
    }

    Slot& at(std::uint64_t low, std::uint64_t high)
    {
        std::uint64_t h = (low ^ (high * 0x9E3779B97F4A7C15ull)) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 29;
        return slots_[h & (kSlots - 1)];
    }

private:
    std::vector<Slot> slots_ = std::vector<Slot>(kSlots);
};

// The form of each word of a part, in two bytes when its number is below
// 2^15, else in four (two halves, the first marked): the words of a text
// are mostly of forms met early, and this list is most of the memory of
// the scan.
class PackedIds {
public:
    void reserve(size_t units) { units_.reserve(units); }
    void push_back(std::uint32_t id)
    {
        if (id < 0x8000) {
            units_.push_back(std::uint16_t(id));
        } else {
            units_.push_back(std::uint16_t(0x8000 | (id >> 16)));
            units_.push_back(std::uint16_t(id));
        }
        ++count_;
    }
    size_t size() const { return count_; }
    template <class F> void forEach(F&& f) const
    {
        const std::uint16_t* p = units_.begin();
        const std::uint16_t* end = units_.end();
        while (p < end) {
            std::uint32_t id = *p++;
            if (id & 0x8000) id = (id & 0x7FFF) << 16 | *p++;
            f(id);
        }
    }

private:
    PodArray<std::uint16_t> units_;
    size_t count_ = 0;
};

// The marker buffer. It nearly always is one stretch of the text ("[", the
// digits, "]"), so it is kept as a place in the text. When it is not (letters
// inside brackets, a "]" with no "["), it is written at the end of `chars`,
// where it only ever grows until the next "[": every value it takes is a
// prefix of one string, so a marker that never closes costs its length once,
// not once per word.
class Marker {
public:
    explicit Marker(std::string& chars) : chars_(chars) {}

    void reset(size_t at) // to the "[" at `at`
    {
        owned_ = false;
        start_ = at;
        end_ = at + 1;
    }
    void append(std::string_view text, size_t from, size_t to)
    {
        if (!owned_ && (end_ == start_ || end_ == from)) {
            if (end_ == start_) start_ = from;
            end_ = to;
            return;
        }
        if (!owned_) {
            const size_t length = end_ - start_;
            start_ = chars_.size();
            chars_.append(text.substr(end_ - length, length));
            owned_ = true;
        }
        chars_.append(text.substr(from, to - from));
        end_ = chars_.size();
    }
    bool owned() const { return owned_; }
    // Where the value stands: in the text, or in `chars` when owned.
    size_t start() const { return start_; }
    size_t length() const { return end_ - start_; }

private:
    std::string& chars_;
    bool owned_ = false;
    size_t start_ = 0, end_ = 0;
};

// The cuts of one part: the blocks that hold any, ascending, with their bits.
struct PartCuts {
    static constexpr size_t kWords = WordIndex::kCutBlock / 64;
    std::vector<std::uint32_t> blocks;
    std::vector<std::uint64_t> bits; // kWords per block

    void add(size_t place)
    {
        const auto block = std::uint32_t(place / WordIndex::kCutBlock);
        if (blocks.empty() || blocks.back() != block) {
            blocks.push_back(block);
            bits.resize(bits.size() + kWords, 0);
        }
        const size_t bit = place % WordIndex::kCutBlock;
        bits[bits.size() - kWords + bit / 64] |= std::uint64_t(1) << (bit % 64);
    }
};

// What the scan of one part of the text gives.
struct PartScan {
    PackedIds ids;                // form of each word, in the part's dictionary
    PodArray<std::uint32_t> samples; // place of every 64th word
    std::vector<WordIndex::Run> runs; // `first` counts from the part's first word
    std::string markerChars;
    FormDictionary dictionary;
    FormDictionary::Sorted order; // of the dictionary's forms, once scanned
    PartCuts cuts;
};

// Told how far a part has come, now and then; false to stop.
using PartReport = std::function<bool(size_t)>;
// How far behind the scan the text may be given back: a word seen again is
// compared with the one met before, which may be that far back.
constexpr size_t kReleaseBehind = size_t(1) << 20;

template <class Chars> class PartScanner {
public:
    PartScanner(std::string_view text, size_t begin, size_t end, PartScan& out,
                const PartReport& report, const WordIndex::ReadStretch& read)
        : text_(text), p_(reinterpret_cast<const unsigned char*>(text.data())), begin_(begin),
          end_(end), out_(out), report_(report), read_(read)
    {
        // A word takes two bytes of text at least and mostly two of the
        // list: room reserved is not memory used until written.
        out_.ids.reserve((end - begin) / 2 + 16);
    }

    // False when stopped.
    bool run()
    {
        size_t i = begin_;
        size_t nextReport = begin_ + kReportEvery;
        while (i < end_) {
            if (i >= nextReport) {
                nextReport = i + kReportEvery;
                if (!report_(i - begin_)) return false;
                if (read_ && i - begin_ > kReleaseBehind) {
                    read_(released_, i - kReleaseBehind);
                    released_ = i - kReleaseBehind;
                }
                // A text of many distinct forms, seen early: room for all of them.
                if (!sized_ && out_.dictionary.size() > 100'000) {
                    sized_ = true;
                    out_.dictionary.expect(out_.dictionary.size() * (end_ - begin_) / (i - begin_) * 11 / 10);
                }
            }
#if defined(__SSE2__)
            if (!inMarker_ && !(wordOpen_ && runUnspaced_) && end_ - i >= 16) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p_ + i));
                const std::uint32_t letters = chars_.letterMask(v);
                if (letters != kMaskUnknown) {
                    words(i, letters);
                    i += 16;
                    continue;
                }
            }
#endif
            i = step(i);
        }
        // A word running into the next part's "[" ends there, with that
        // marker's first character as its marker.
        if (wordOpen_ && end_ < text_.size()) {
            marker_.reset(end_);
            markerChanged_ = true;
            closeRun(end_, true);
        } else if (wordOpen_) {
            // Only what follows a word ends it: the text's last word is none.
            closeRun(end_, false);
        }
        recordWaiting();
        recordPending();
        if (read_) read_(released_, end_);
        return report_(end_ - begin_);
    }

private:
#if defined(__SSE2__)
    // Sixteen bytes with no bracket, each known letter or not: every word's
    // start and end from the mask; the non-letters between need nothing.
    void words(size_t i, std::uint32_t letters)
    {
        const std::uint32_t before = (letters << 1) | std::uint32_t(wordOpen_);
        std::uint32_t starts = letters & ~before;
        std::uint32_t ends = ~letters & before & 0xFFFF;
        while (ends) {
            const int end = std::countr_zero(ends);
            ends &= ends - 1;
            if (!wordOpen_) {
                wordStart_ = i + size_t(std::countr_zero(starts));
                starts &= starts - 1;
            }
            wordOpen_ = false;
            record(wordStart_, i + size_t(end));
        }
        if (starts) {
            wordStart_ = i + size_t(std::countr_zero(starts));
            wordOpen_ = true;
            runUnspaced_ = false;
        }
    }
#endif

    // One character: a letter opens or extends a word; a non-letter runs
    // the marker steps, then records the word it ends.
    size_t step(size_t i)
    {
        const CharAt c = chars_.at(p_ + i, p_ + text_.size());
        if (c.letter || (c.joiner && wordOpen_ && letterAt(i + c.length))) {
            if (!wordOpen_) {
                wordStart_ = i;
                wordOpen_ = true;
                runUnspaced_ = false;
            }
            runUnspaced_ = runUnspaced_ || c.unspaced;
            return i + c.length;
        }
        const unsigned char b = p_[i];
        if (b == ']') {
            marker_.append(text_, i, i + 1);
            inMarker_ = false;
            markerChanged_ = true;
        } else if (inMarker_) {
            marker_.append(text_, i, i + c.length);
            markerChanged_ = true;
        }
        if (b == '[') {
            marker_.reset(i);
            inMarker_ = true;
            markerChanged_ = true;
        }
        if (wordOpen_) closeRun(i, true);
        return i + c.length;
    }

    bool letterAt(size_t i) const { return i < text_.size() && chars_.at(p_ + i, p_ + text_.size()).letter; }

    // The run of letters open since wordStart_ ends at `end`: its words, the
    // last only when something ends it. A run to cut waits for the breaker,
    // and the words after it with it, until enough text waits.
    void closeRun(size_t end, bool ended)
    {
        wordOpen_ = false;
        if (!runUnspaced_) {
            if (ended) record(wordStart_, end);
            return;
        }
        wait(wordStart_, end, true, ended);
        breaker_.addRun(text_.substr(wordStart_, end - wordStart_));
        if (breaker_.waiting() >= kBreakTogether) recordWaiting();
    }

    void record(size_t start, size_t end)
    {
        if (!waiting_.empty()) {
            wait(start, end, false, true);
            if (waiting_.size() >= kWaitingWords) recordWaiting();
            return;
        }
        if (markerChanged_) {
            markerRun(marker_.start(), marker_.length(), marker_.owned());
            markerChanged_ = false;
        }
        recordForm(start, end);
    }

    void wait(size_t start, size_t end, bool run, bool ended)
    {
        waiting_.push_back({std::uint32_t(start), std::uint32_t(end), std::uint32_t(marker_.start()),
                            std::uint32_t(marker_.length()), marker_.owned(), markerChanged_, run, ended});
        markerChanged_ = false;
    }

    // The words that waited, in text order, each with the marker it had; a
    // marker change that found no word stays for the next.
    void recordWaiting()
    {
        if (waiting_.empty()) return;
        breaker_.cutAdded(cuts_, cutEnds_);
        bool changed = false;
        size_t run = 0;
        for (const Waiting& w : waiting_) {
            changed = changed || w.markerChanged;
            auto take = [&](size_t start, size_t end) {
                if (changed) markerRun(w.markerStart, w.markerLength, w.markerOwned);
                changed = false;
                recordForm(start, end);
            };
            if (!w.run) {
                take(w.start, w.end);
                continue;
            }
            size_t start = w.start;
            for (size_t k = run == 0 ? 0 : cutEnds_[run - 1]; k < cutEnds_[run]; ++k) {
                take(start, w.start + cuts_[k]);
                start = w.start + cuts_[k];
                out_.cuts.add(start);
            }
            if (w.ended) take(start, w.end);
            ++run;
        }
        waiting_.clear();
        markerChanged_ = markerChanged_ || changed;
    }

    void markerRun(size_t start, size_t length, bool owned)
    {
        out_.runs.push_back({WordId(words()), std::uint32_t(start), std::uint32_t(length), owned ? 1u : 0u});
    }

    // Most words of a real text are of forms met just before, found at
    // once in the recent forms. Where most are not, a word's form waits
    // with a few others: their slots, in the recent forms and then in the
    // dictionary, are asked for all at once, so that a text of millions of
    // distinct forms does not wait for each in turn.
    void recordForm(size_t start, size_t end)
    {
        const size_t word = words();
        if (word % 64 == 0) out_.samples.push_back(std::uint32_t(start));
        if (word % kJudgeEvery == 0) {
            const bool batch = misses_ > kJudgeEvery / 2;
            // The words waiting come before this one.
            if (!batch) recordPending();
            batching_ = batch;
            misses_ = 0;
        }
        pending_[pendingCount_++] = {start, end, nullptr, 0, 0, 0, 0, 0, 0};
        if (batching_) {
            if (pendingCount_ == kPending) recordPending();
            return;
        }
        const size_t length = end - start;
        if (length <= RecentForms::kLongest) {
            Pending& w = pending_[0];
            RecentForms::read(p_ + start, length, p_ + text_.size(), w.low, w.high);
            const RecentForms::Slot& recent = recent_.at(w.low, w.high);
            if (recent.low == w.low && recent.high == w.high && recent.length == length) {
                pendingCount_ = 0;
                ++out_.dictionary.counts()[recent.form];
                out_.ids.push_back(recent.form);
                return;
            }
        }
        recordPending();
    }

    // Words recorded so far, those waiting for their forms included.
    size_t words() const { return out_.ids.size() + pendingCount_; }

    void recordPending()
    {
        const size_t n = pendingCount_;
        pendingCount_ = 0;
        const unsigned char* textEnd = p_ + text_.size();
        for (size_t k = 0; k < n; ++k) {
            Pending& w = pending_[k];
            const size_t length = w.end - w.start;
            w.recent = nullptr;
            if (length <= RecentForms::kLongest) {
                RecentForms::read(p_ + w.start, length, textEnd, w.low, w.high);
                w.recent = &recent_.at(w.low, w.high);
                __builtin_prefetch(w.recent);
            }
        }
        lowered_.clear();
        for (size_t k = 0; k < n; ++k) {
            Pending& w = pending_[k];
            const size_t length = w.end - w.start;
            if (w.recent && w.recent->low == w.low && w.recent->high == w.high && w.recent->length == length) {
                w.id = w.recent->form;
                continue;
            }
            ++misses_;
            w.id = kAbsent;
            // The lower-cased form, with the 8 readable bytes after it that
            // the dictionary reads.
            const size_t at = lowered_.size();
            w.formAt = std::uint32_t(at);
            lowered_.resize(at + kShortWord + 16);
            if (length <= kShortWord && lowerShortAscii(p_ + w.start, length, textEnd, lowered_.data() + at)) {
                lowered_.resize(at + length);
            } else {
                lowered_.resize(at);
                chars_.lower(text_.substr(w.start, length), lowered_);
            }
            w.formLength = std::uint32_t(lowered_.size() - at);
            lowered_.append(8, '\0');
            w.hash = FormDictionary::hashOf(std::string_view(lowered_).substr(at, w.formLength));
            out_.dictionary.prefetchSlot(w.hash);
        }
        // A form met before, not among the recent ones (in a text of
        // nearly all distinct forms, a short one met far back): its entry
        // and bytes asked for with the others'.
        FormDictionary& dictionary = out_.dictionary;
        std::uint32_t matches[kPending];
        for (size_t k = 0; k < n; ++k)
            matches[k] = pending_[k].id == kAbsent ? dictionary.prefetchMatch(pending_[k].hash) : FormDictionary::kNoMatch;
        for (size_t k = 0; k < n; ++k)
            if (matches[k] != FormDictionary::kNoMatch) dictionary.prefetchBytes(matches[k]);
        for (size_t k = 0; k < n; ++k) {
            const Pending& w = pending_[k];
            std::uint32_t id = w.id;
            if (id == kAbsent) {
                id = out_.dictionary.intern(std::string_view(lowered_).substr(w.formAt, w.formLength), w.hash);
                if (w.recent) *w.recent = {w.low, w.high, std::uint32_t(w.end - w.start), id};
                sizeEarly(id, w.start);
            }
            ++out_.dictionary.counts()[id];
            out_.ids.push_back(id);
        }
    }

    // Nearly every word a new form, early on: room for many at once, so
    // that the table is not filled again at each doubling; not for all
    // that the part could hold, since a list of words may just open a text.
    void sizeEarly(std::uint32_t id, size_t start)
    {
        if (id + 1 == kEarlyForms && !sizedEarly_ && out_.ids.size() < 2 * kEarlyForms) {
            sizedEarly_ = true;
            const size_t expected = kEarlyForms * (end_ - begin_) / (start - begin_ + 1) * 11 / 10;
            out_.dictionary.expect(std::min<size_t>(expected, 64 * kEarlyForms));
        }
    }

    std::string_view text_;
    const unsigned char* p_;
    size_t begin_, end_;
    PartScan& out_;
    const PartReport& report_;
    const WordIndex::ReadStretch& read_;
    size_t released_ = begin_;
    Chars chars_;
    Marker marker_{out_.markerChars};
    bool inMarker_ = false;
    bool markerChanged_ = true;
    bool wordOpen_ = false;
    bool runUnspaced_ = false; // the open run holds letters of the unspaced scripts
    bool sized_ = false, sizedEarly_ = false;
    size_t wordStart_ = 0;
    struct Pending {
        size_t start, end;
        RecentForms::Slot* recent; // where a short word's form may be
        std::uint64_t low, high;   // a short word's bytes
        std::uint32_t id;          // kAbsent until found
        std::uint32_t formAt, formLength, hash; // the lower-cased form in lowered_
    };
    static constexpr size_t kPending = 32;
    // How often the scan judges from its recent misses whether to batch.
    static constexpr size_t kJudgeEvery = 4096;
    Pending pending_[kPending];
    size_t pendingCount_ = 0;
    size_t misses_ = 0;
    bool batching_ = false;
    std::string lowered_;
    RecentForms recent_;
    WordBreaker breaker_;
    struct Waiting {
        std::uint32_t start, end;
        std::uint32_t markerStart, markerLength; // the marker as it was
        bool markerOwned, markerChanged;
        bool run;   // a run to cut, not one word
        bool ended; // a run's last word is ended
    };
    std::vector<Waiting> waiting_;
    std::vector<std::uint32_t> cuts_, cutEnds_;
};

} // namespace solandre::index_scan
