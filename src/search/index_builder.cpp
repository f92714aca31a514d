// The building of a word index: the scan of the text (in two halves on two
// threads when the text is big), the vocabulary of lower-cased forms and the
// lists of each form's words.
#include "search/word_index.h"

#include "common/cp1252.h"
#include "common/letters.h"
#include "search/byte_order.h"
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

std::uint32_t hashBytes(std::string_view s)
{
    std::uint64_t h = s.size() * 0x9E3779B97F4A7C15ull;
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t v;
        std::memcpy(&v, s.data() + i, 8);
        h = (h ^ v) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    if (i < s.size()) {
        std::uint64_t tail = 0;
        std::memcpy(&tail, s.data() + i, s.size() - i);
        h = (h ^ tail) * 0x94D049BB133111EBull;
        h ^= h >> 29;
    }
    return std::uint32_t(h ^ (h >> 32));
}

// The distinct lower-cased forms of a part of the text, each once.
class Dictionary {
public:
    struct Entry {
        std::uint32_t offset; // in chars
        std::uint32_t length;
    };

    Dictionary() : table_(size_t(1) << 12) {}

    std::uint32_t intern(std::string_view form)
    {
        return intern(form, hashBytes(form));
    }

    std::uint32_t intern(std::string_view form, std::uint32_t hash)
    {
        const size_t mask = table_.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot& slot = table_[i];
            if (slot.idPlusOne == 0) {
                const std::uint32_t id = std::uint32_t(entries_.size());
                entries_.push_back({std::uint32_t(chars_.size()), std::uint32_t(form.size())});
                chars_.append(form);
                counts_.push_back(0);
                slot = {hash, id + 1};
                // Three quarters full at most: the table is most of the
                // memory of a text of millions of distinct forms.
                if (4 * entries_.size() > 3 * table_.size()) grow();
                return id;
            }
            if (slot.hash == hash && this->form(slot.idPlusOne - 1) == form) return slot.idPlusOne - 1;
        }
    }

    std::string_view form(std::uint32_t id) const
    {
        return std::string_view(chars_).substr(entries_[id].offset, entries_[id].length);
    }
    size_t size() const { return entries_.size(); }
    std::vector<std::uint32_t>& counts() { return counts_; }
    const std::vector<std::uint32_t>& counts() const { return counts_; }
    void dropTable() { std::vector<Slot>().swap(table_); }
    std::string& chars() { return chars_; }
    const std::vector<Entry>& entries() const { return entries_; }

private:
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t idPlusOne = 0; // 0: free
    };

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

    std::vector<Slot> table_;
    std::vector<Entry> entries_;
    std::string chars_;
    std::vector<std::uint32_t> counts_;
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

// What the scan of one part of the text gives.
struct PartScan {
    WordList ids;                 // form of each word, in the part's dictionary
    PodArray<std::uint32_t> samples; // place of every 64th word
    std::vector<WordIndex::Run> runs; // `first` counts from the part's first word
    std::string markerChars;
    Dictionary dictionary;
};

// Told how far a part has come, now and then; false to stop.
using PartReport = std::function<bool(size_t)>;

template <class Chars> class PartScanner {
public:
    PartScanner(std::string_view text, size_t begin, size_t end, PartScan& out,
                const PartReport& report)
        : text_(text), p_(reinterpret_cast<const unsigned char*>(text.data())), begin_(begin),
          end_(end), out_(out), report_(report)
    {
        out_.ids.reserve(std::min<size_t>((end - begin) / 5 + 16, WordIndex::kMaxText));
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
            }
#if defined(__SSE2__)
            if (!inMarker_ && end_ - i >= 16) {
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
            record(wordStart_, end_);
        }
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
        }
    }
#endif

    // One character: a letter opens or extends a word; a non-letter runs
    // the marker steps, then records the word it ends.
    size_t step(size_t i)
    {
        const CharAt c = chars_.at(p_ + i, p_ + text_.size());
        if (c.letter) {
            if (!wordOpen_) {
                wordStart_ = i;
                wordOpen_ = true;
            }
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
        if (wordOpen_) {
            wordOpen_ = false;
            record(wordStart_, i);
        }
        return i + c.length;
    }

    void record(size_t start, size_t end)
    {
        const WordId word = WordId(out_.ids.size());
        if (markerChanged_) {
            out_.runs.push_back({word, std::uint32_t(marker_.start()), std::uint32_t(marker_.length()),
                                 marker_.owned() ? 1u : 0u});
            markerChanged_ = false;
        }
        if (word % 64 == 0) out_.samples.push_back(std::uint32_t(start));
        scratch_.clear();
        chars_.lower(text_.substr(start, end - start), scratch_);
        const std::uint32_t id = out_.dictionary.intern(scratch_);
        ++out_.dictionary.counts()[id];
        out_.ids.push_back(id);
    }

    std::string_view text_;
    const unsigned char* p_;
    size_t begin_, end_;
    PartScan& out_;
    const PartReport& report_;
    Chars chars_;
    Marker marker_{out_.markerChars};
    bool inMarker_ = false;
    bool markerChanged_ = true;
    bool wordOpen_ = false;
    size_t wordStart_ = 0;
    std::string scratch_;
};

} // namespace

class WordIndexBuilder {
public:
    WordIndexBuilder(std::string_view text, Encoding encoding, const Progress& progress)
        : text_(text), encoding_(encoding), progress_(progress), owned_(std::make_shared<Owned>())
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
        mergeAndRank(parts);
        if (!goOn(progress_, 0.9)) return std::nullopt;
        place(parts);
        if (!goOn(progress_, 1.0)) return std::nullopt;
        WordIndex& x = index_;
        const Owned& o = *owned_;
        x.samples_ = {o.samples.data(), o.samples.size()};
        x.segments_ = o.segments;
        x.forms_ = o.forms;
        x.formChars_ = o.formChars;
        x.postingStart_ = o.postingStart;
        x.postings_ = {o.postings.data(), o.postings.size()};
        x.runs_ = o.runs;
        x.markerChars_ = o.markerChars;
        x.storage_ = owned_;
        return std::move(index_);
    }

private:
    bool scan(std::vector<PartScan>& parts, size_t split, size_t n)
    {
        std::atomic<size_t> second{0};
        std::atomic<bool> stop{false};
        auto scanPart = [&](PartScan& part, size_t begin, size_t end, const PartReport& report) {
            if (encoding_ == Encoding::Utf8) return PartScanner<Utf8Chars>(text_, begin, end, part, report).run();
            return PartScanner<Cp1252Chars>(text_, begin, end, part, report).run();
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

    // One dictionary for all parts, its forms sorted: the rank of every form.
    void mergeAndRank(std::vector<PartScan>& parts)
    {
        Dictionary& all = parts[0].dictionary;
        for (size_t k = 1; k < parts.size(); ++k) {
            Dictionary& other = parts[k].dictionary;
            std::vector<std::uint32_t> toAll(other.size());
            for (std::uint32_t id = 0; id < other.size(); ++id) {
                const std::uint32_t global = all.intern(other.form(id));
                toAll[id] = global;
                all.counts()[global] += other.counts()[id];
            }
            for (WordId& id : parts[k].ids) id = toAll[id];
            other = Dictionary();
        }
        all.dropTable();

        std::vector<std::uint32_t> order(all.size());
        for (std::uint32_t id = 0; id < order.size(); ++id) order[id] = id;
        sortByBytes(order, [&](std::uint32_t id) { return all.form(id); });
        rank_.resize(order.size());
        Owned& x = *owned_;
        x.forms.reserve(order.size());
        for (std::uint32_t r = 0; r < order.size(); ++r) {
            rank_[order[r]] = r;
            const std::string_view form = all.form(order[r]);
            x.forms.push_back({std::uint32_t(x.formChars.size()), std::uint32_t(form.size())});
            x.formChars.append(form);
        }
        std::string().swap(all.chars());
        x.postingStart.assign(order.size() + 1, 0);
        for (std::uint32_t id = 0; id < order.size(); ++id) x.postingStart[rank_[id] + 1] = all.counts()[id];
        for (size_t r = 1; r < x.postingStart.size(); ++r) x.postingStart[r] += x.postingStart[r - 1];
    }

    // The words into the lists of their forms, each part on its own thread,
    // into places found from the counts of the parts before it.
    void place(std::vector<PartScan>& parts)
    {
        Owned& x = *owned_;
        size_t words = 0;
        for (const PartScan& part : parts) words += part.ids.size();
        index_.words_ = words;
        x.postings.resize(words);

        std::vector<std::vector<std::uint32_t>> next(parts.size());
        next[0].assign(x.postingStart.begin(), x.postingStart.end() - 1);
        for (size_t k = 1; k < parts.size(); ++k) {
            next[k] = next[k - 1];
            for (const WordId id : parts[k - 1].ids) ++next[k][rank_[id]];
        }
        auto fill = [&](size_t k, WordId firstWord) {
            WordId word = firstWord;
            for (const WordId id : parts[k].ids) x.postings[next[k][rank_[id]]++] = word++;
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
            part.ids = WordList();
        }
        index_.seen_.assign((words + 63) / 64, 0);
    }

    // What the index's views show, while it is built.
    struct Owned {
        PodArray<std::uint32_t> samples;
        std::vector<WordIndex::Segment> segments;
        std::vector<WordIndex::Span> forms;
        std::string formChars;
        std::vector<std::uint32_t> postingStart;
        WordList postings;
        std::vector<WordIndex::Run> runs;
        std::string markerChars;
    };

    std::string_view text_;
    Encoding encoding_;
    const Progress& progress_;
    std::shared_ptr<Owned> owned_;
    WordIndex index_;
    std::vector<std::uint32_t> rank_; // of each dictionary form
};

std::optional<WordIndex> WordIndex::build(std::string_view text, Encoding encoding,
                                          const Progress& progress)
{
    return WordIndexBuilder(text, encoding, progress).build();
}

WordIndex WordIndex::build(std::string_view text, Encoding encoding)
{
    return *WordIndexBuilder(text, encoding, {}).build();
}

} // namespace solandre
