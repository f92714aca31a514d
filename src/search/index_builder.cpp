// SPDX-License-Identifier: GPL-3.0-or-later
// The building of a word index: the scan of the text (in two halves on two
// threads when the text is big), the vocabulary of lower-cased forms and the
// lists of each form's words.
#include "search/index_scan.h"

#include <atomic>
#include <thread>

namespace solandre {
namespace {

using namespace index_scan;

// Below this a second thread costs more than it saves.
constexpr size_t kSplitAbove = size_t(8) << 20;
// Forms read between two givings back of the memory of those read.
constexpr size_t kReleaseForms = size_t(1) << 14;
// Above this many forms in all, the vocabulary is merged on two threads.
constexpr size_t kMergeApartAbove = size_t(1) << 18;
// From this many forms in a part, the words' places are asked for ahead.
constexpr size_t kPlacesAheadFrom = size_t(1) << 18;
constexpr size_t kAhead = 32;

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
            if (parts[k].dictionary.counts().size() < kPlacesAheadFrom) {
                parts[k].ids.forEach([&](std::uint32_t id) { postings[places[id]++] = word++; });
                return;
            }
            // Millions of forms: each word's place is read at random, so it
            // is asked for some words ahead, and then the place it names.
            std::uint32_t ahead[kAhead];
            size_t n = 0;
            auto put = [&](std::uint32_t id) { postings[places[id]++] = word++; };
            parts[k].ids.forEach([&](std::uint32_t id) {
                __builtin_prefetch(places + id);
                if (n >= kAhead / 2) __builtin_prefetch(postings + places[ahead[(n - kAhead / 2) % kAhead]], 1);
                if (n >= kAhead) put(ahead[n % kAhead]);
                ahead[n++ % kAhead] = id;
            });
            for (size_t j = n > kAhead ? n - kAhead : 0; j < n; ++j) put(ahead[j % kAhead]);
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
