// SPDX-License-Identifier: GPL-3.0-or-later
// The building of a word index: the scan of the text (in two halves on two
// threads when the text is big), the vocabulary of lower-cased forms and the
// lists of each form's words.
#include "search/word_index.h"

#include "common/cp1252.h"
#include "common/letters.h"
#include "common/word_breaks.h"
#include "search/form_dictionary.h"
#include "search/word_chars.h"

#include <chrono>
#include <functional>

#include <atomic>
#include <bit>
#include <cstring>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace solandre {
namespace {

// Below this a second thread costs more than it saves.
constexpr size_t kSplitAbove = size_t(8) << 20;
constexpr size_t kReportEvery = size_t(4) << 20;
// How many forms tell whether nearly every word is a new one.
constexpr std::uint32_t kEarlyForms = 1u << 14;
// Forms read between two givings back of the memory of those read.
constexpr size_t kReleaseForms = size_t(1) << 14;
// Above this many forms in all, the vocabulary is merged on two threads.
constexpr size_t kMergeApartAbove = size_t(1) << 18;

// Words up to this long are lower-cased and hashed without a string of their own.
constexpr size_t kShortWord = 64;

// Runs to cut go to ICU together, about this many UTF-16 code units at a
// time; words wait for them, this many at most.
constexpr size_t kBreakTogether = 16 * 1024;
constexpr size_t kWaitingWords = 8 * 1024;

// Eight bytes of ASCII lower-cased at once: 0x20 added to those in A-Z.
std::uint64_t lowerAscii8(std::uint64_t v)
{
    constexpr std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    const std::uint64_t atLeastA = v + (0x80 - 'A') * ones;
    const std::uint64_t pastZ = v + (0x80 - 'Z' - 1) * ones;
    return v | (((atLeastA & ~pastZ) & highs) >> 2);
}

// A short ASCII word lower-cased into `out` (kShortWord + 8 bytes); false,
// with `out` spoilt, for a word with any other character. `end` bounds the
// readable bytes of the text.
bool lowerShortAscii(const unsigned char* word, size_t length, const unsigned char* end, char* out)
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

} // namespace

class WordIndexBuilder {
public:
    WordIndexBuilder(std::string_view text, Encoding encoding, const Progress& progress,
                     const WordIndex::ReadStretch& read)
        : text_(text), encoding_(encoding), progress_(progress), read_(read), owned_(std::make_shared<Owned>())
    {
        index_.text_ = text;
        index_.encoding_ = encoding;
    }

    std::optional<WordIndex> build()
    {
        const size_t n = std::min(text_.size(), WordIndex::kMaxText);
        // Two parts, split at a "[" near the middle, where the marker starts
        // afresh whatever came before.
        size_t split = n;
        if (n > kSplitAbove) {
            const size_t found = text_.find('[', n / 2);
            if (found != std::string_view::npos && found < n) split = found;
        }
        std::vector<PartScan> parts(split < n ? 2 : 1);
        if (!scan(parts, split, n)) return std::nullopt;
        merge(parts);
        if (!goOn(progress_, 0.9)) return std::nullopt;
        place(parts);
        if (!goOn(progress_, 1.0)) return std::nullopt;
        WordIndex& x = index_;
        const Owned& o = *owned_;
        x.samples_ = {o.samples.data(), o.samples.size()};
        x.segments_ = o.segments;
        x.forms_ = {o.forms.data(), o.forms.size()};
        x.formChars_ = {o.formChars.data(), o.formChars.size()};
        x.postingStart_ = {o.postingStart.data(), o.postingStart.size()};
        x.postings_ = {o.postings.data(), o.postings.size()};
        x.runs_ = o.runs;
        x.markerChars_ = o.markerChars;
        x.cutSlots_ = o.cutSlots;
        x.cutBits_ = o.cutBits;
        x.storage_ = owned_;
        return std::move(index_);
    }

private:
    bool scan(std::vector<PartScan>& parts, size_t split, size_t n)
    {
        std::atomic<size_t> second{0};
        std::atomic<bool> stop{false};
        // Each part's forms are sorted on the thread that scanned it.
        auto scanPart = [&](PartScan& part, size_t begin, size_t end, const PartReport& report) {
            const bool done = encoding_ == Encoding::Utf8
                                  ? PartScanner<Utf8Chars>(text_, begin, end, part, report, read_).run()
                                  : PartScanner<Cp1252Chars>(text_, begin, end, part, report, read_).run();
            if (done) {
                part.dictionary.dropTable();
                part.order = part.dictionary.sorted();
            }
            return done;
        };
        // The first part is scanned on this thread, which reports for both:
        // the caller's progress is only ever called from its own thread.
        const double total = double(std::max<size_t>(n, 1));
        auto reportBoth = [&](size_t first) {
            if (!goOn(progress_, 0.7 * double(first + second.load()) / total)) stop = true;
            return !stop.load();
        };
        bool secondDone = true;
        std::thread helper;
        if (parts.size() == 2) {
            helper = std::thread([&] {
                const PartReport report = [&](size_t at) {
                    second = at;
                    return !stop.load();
                };
                secondDone = scanPart(parts[1], split, n, report);
            });
        }
        const PartReport report = reportBoth;
        const bool firstDone = scanPart(parts[0], 0, split, report);
        if (helper.joinable()) {
            while (!stop.load() && second.load() < n - split) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                reportBoth(split);
            }
            helper.join();
        }
        return firstDone && secondDone && !stop.load() && goOn(progress_, 0.7);
    }

    // The parts' forms walked together in byte order: each distinct form
    // gets its rank, and each part's count of a form becomes the place in
    // the lists of the first of its words there (the first part's words of
    // a form before the second's). Many forms are walked in two halves at
    // once: the first from the front, the second from the back, where the
    // words after a form are counted down from all the words.
    void merge(std::vector<PartScan>& parts)
    {
        Owned& x = *owned_;
        FormDictionary& first = parts[0].dictionary;
        FormDictionary* second = parts.size() == 2 ? &parts[1].dictionary : nullptr;
        const FormDictionary::Sorted& firstOrder = parts[0].order;
        static const FormDictionary::Sorted kNone;
        const FormDictionary::Sorted& secondOrder = second ? parts[1].order : kNone;
        static const FormDictionary kNoForms;
        const FormDictionary& other = second ? *second : kNoForms;
        const size_t na = firstOrder.ids.size(), nb = secondOrder.ids.size();
        // The forms' bytes stay as the scan wrote them, the second part's
        // after the first's: a form of both is shown by the first's.
        const auto base = std::uint32_t(first.chars().size());
        std::uint32_t words = 0;
        for (const PartScan& part : parts) words += std::uint32_t(part.ids.size());
        x.forms.resize(na + nb);
        x.postingStart.resize(na + nb + 1);

        // The halves split between forms of different keys: all forms of
        // one key fall in one half.
        size_t iSplit = na, jSplit = nb;
        if (na + nb >= kMergeApartAbove && na > 0) {
            const std::uint64_t pivot = firstOrder.keys[na / 2];
            iSplit = size_t(std::lower_bound(firstOrder.keys.begin(), firstOrder.keys.end(), pivot) -
                            firstOrder.keys.begin());
            jSplit = size_t(std::lower_bound(secondOrder.keys.begin(), secondOrder.keys.end(), pivot) -
                            secondOrder.keys.begin());
        }
        auto span = [&](std::uint32_t a, std::uint32_t b) {
            return a != kAbsent ? WordIndex::Span{first.entry(a).offset, first.entry(a).length}
                                : WordIndex::Span{base + other.entry(b).offset, other.entry(b).length};
        };
        auto count = [&](const FormDictionary& d, std::uint32_t id) { return id == kAbsent ? 0 : d.counts()[id]; };

        // The sorted forms are read once, from their ends, while the
        // vocabulary is written: their memory goes as they are read.
        size_t frontRank = 0;
        std::thread helper;
        if (iSplit < na || jSplit < nb) {
            helper = std::thread([&] {
                size_t rank = na + nb, after = 0, readA = 0, readB = 0;
                forEachMerged<true>(first, firstOrder, iSplit, na, other, secondOrder, jSplit, nb,
                                    [&](std::uint32_t a, std::uint32_t b) {
                    const std::uint32_t ca = count(first, a), cb = count(other, b);
                    after += ca + cb;
                    const auto start = std::uint32_t(words - after);
                    x.forms[--rank] = span(a, b);
                    x.postingStart[rank] = start;
                    if (a != kAbsent) first.counts()[a] = start;
                    if (b != kAbsent) second->counts()[b] = start + ca;
                    if (a != kAbsent && ++readA % kReleaseForms == 0) release(parts[0].order, na - readA, na);
                    if (b != kAbsent && ++readB % kReleaseForms == 0) release(parts[1].order, nb - readB, nb);
                });
                // The forms of the back half, moved down next to the front's.
                backRanks_ = {rank, na + nb};
            });
        }
        std::uint32_t before = 0;
        size_t readA = 0, readB = 0;
        auto front = [&](std::uint32_t a, std::uint32_t b) {
            const std::uint32_t ca = count(first, a), cb = count(other, b);
            x.forms[frontRank] = span(a, b);
            x.postingStart[frontRank++] = before;
            if (a != kAbsent) first.counts()[a] = before;
            if (b != kAbsent) second->counts()[b] = before + ca;
            before += ca + cb;
            if (a != kAbsent && ++readA % kReleaseForms == 0) release(parts[0].order, 0, readA);
            if (b != kAbsent && ++readB % kReleaseForms == 0) release(parts[1].order, 0, readB);
        };
        forEachMerged(first, firstOrder, 0, iSplit, other, secondOrder, 0, jSplit, front);
        size_t ranks = frontRank;
        if (helper.joinable()) {
            helper.join();
            const size_t back = backRanks_.second - backRanks_.first;
            std::memmove(x.forms.data() + frontRank, x.forms.data() + backRanks_.first, back * sizeof(WordIndex::Span));
            std::memmove(x.postingStart.data() + frontRank, x.postingStart.data() + backRanks_.first,
                         back * sizeof(std::uint32_t));
            ranks += back;
        }
        x.forms.resize(ranks);
        x.postingStart.resize(ranks + 1);
        x.postingStart[ranks] = words;
        for (PartScan& part : parts) {
            part.order = FormDictionary::Sorted();
            part.dictionary.dropEntries();
        }

        x.formChars = std::move(first.chars());
        if (second) {
            const PodArray<char>& more = second->chars();
            x.formChars.reserve(base + more.size());
            std::memcpy(x.formChars.data() + base, more.data(), more.size());
            x.formChars.resize(base + more.size());
            second->chars() = PodArray<char>();
        }
    }

    static void release(FormDictionary::Sorted& order, size_t from, size_t to)
    {
        order.ids.releaseBetween(from, to);
        order.keys.releaseBetween(from, to);
    }

    // The words into the lists of their forms, each part on its own thread,
    // at the places the merge left in its counts.
    void place(std::vector<PartScan>& parts)
    {
        Owned& x = *owned_;
        size_t words = 0;
        for (const PartScan& part : parts) words += part.ids.size();
        index_.words_ = words;
        x.postings.resize(words);

        auto fill = [&](size_t k, WordId firstWord) {
            WordId word = firstWord;
            std::uint32_t* places = parts[k].dictionary.counts().data();
            WordId* postings = x.postings.data();
            parts[k].ids.forEach([&](std::uint32_t id) { postings[places[id]++] = word++; });
        };
        WordId firstWord = 0;
        std::vector<WordId> firsts;
        for (const PartScan& part : parts) {
            firsts.push_back(firstWord);
            firstWord += WordId(part.ids.size());
        }
        std::thread helper;
        if (parts.size() == 2) helper = std::thread([&] { fill(1, firsts[1]); });
        fill(0, 0);
        if (helper.joinable()) helper.join();

        for (size_t k = 0; k < parts.size(); ++k) {
            PartScan& part = parts[k];
            x.segments.push_back({firsts[k], std::uint32_t(x.samples.size())});
            for (const std::uint32_t sample : part.samples) x.samples.push_back(sample);
            for (WordIndex::Run run : part.runs) {
                run.first += firsts[k];
                if (run.owned) run.offset += std::uint32_t(x.markerChars.size());
                x.runs.push_back(run);
            }
            x.markerChars += part.markerChars;
            part.ids = PackedIds();
            part.dictionary = FormDictionary();
        }
        placeCuts(parts);
    }

    // The parts' cuts into one table; a block the split runs through has
    // bits from both.
    void placeCuts(std::vector<PartScan>& parts)
    {
        Owned& x = *owned_;
        constexpr size_t kWords = PartCuts::kWords;
        for (PartScan& part : parts) {
            if (part.cuts.blocks.empty()) continue;
            if (x.cutSlots.empty()) x.cutSlots.assign(text_.size() / WordIndex::kCutBlock + 1, 0);
            for (size_t b = 0; b < part.cuts.blocks.size(); ++b) {
                std::uint32_t& slot = x.cutSlots[part.cuts.blocks[b]];
                if (slot == 0) {
                    x.cutBits.insert(x.cutBits.end(), part.cuts.bits.begin() + std::ptrdiff_t(b * kWords),
                                     part.cuts.bits.begin() + std::ptrdiff_t((b + 1) * kWords));
                    slot = std::uint32_t(x.cutBits.size() / kWords);
                } else {
                    for (size_t w = 0; w < kWords; ++w) x.cutBits[(slot - 1) * kWords + w] |= part.cuts.bits[b * kWords + w];
                }
            }
            part.cuts = PartCuts();
        }
    }

    // What the index's views show, while it is built.
    struct Owned {
        PodArray<std::uint32_t> samples;
        std::vector<WordIndex::Segment> segments;
        PodArray<WordIndex::Span> forms;
        PodArray<char> formChars;
        PodArray<std::uint32_t> postingStart;
        WordList postings;
        std::vector<WordIndex::Run> runs;
        std::string markerChars;
        std::vector<std::uint32_t> cutSlots;
        std::vector<std::uint64_t> cutBits;
    };

    std::string_view text_;
    Encoding encoding_;
    const Progress& progress_;
    const WordIndex::ReadStretch& read_;
    std::shared_ptr<Owned> owned_;
    WordIndex index_;
    std::pair<size_t, size_t> backRanks_; // written by the merge's second thread
};

std::optional<WordIndex> WordIndex::build(std::string_view text, Encoding encoding,
                                          const Progress& progress, const ReadStretch& read)
{
    return WordIndexBuilder(text, encoding, progress, read).build();
}

WordIndex WordIndex::build(std::string_view text, Encoding encoding)
{
    return *WordIndexBuilder(text, encoding, {}, {}).build();
}

} // namespace solandre
