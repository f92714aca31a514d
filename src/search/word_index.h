// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The word index of a numbered text: every word in text order, with the
// marker current when it ended. Built once; each search then works on a
// vocabulary of lower-cased forms (UTF-8, in code-point order; a suffix order
// made when first needed) whose occurrences are listed in text order, so no
// query walks the whole text.
//
// A word is known by its number in the text. The index keeps four bytes a
// word (its place in the lists of its form) and the place in the text of one
// word in 64; a word's text is read from the text itself, which the index
// does not own and which must outlive it.

#include "common/encoding.h"
#include "common/pod_array.h"
#include "common/progress.h"
#include "search/pattern.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace solandre {

using WordId = std::uint32_t;
using WordList = PodArray<WordId>;

class WordIndex {
public:
    // Places in the text are 32-bit: texts are limited to just under 4 GiB.
    static constexpr size_t kMaxText = 0xFFFFFFFEu;

    // Words from `first` on share a marker: in the text at `offset`, or,
    // when `owned` is set, in the index's own characters.
    struct Run {
        WordId first;
        std::uint32_t offset;
        std::uint32_t length : 31;
        std::uint32_t owned : 1;
    };

    WordIndex() = default;

    // The text may be anything: a word is a run of letters ended by a
    // non-letter or a cut (word_breaks.h), and the marker is whatever the
    // bracket scan has collected.
    // Nothing when `progress` stops it. `read`, when given, is told of the
    // stretches [from, to) of the text the scan is done with, maybe from two
    // threads at once: the caller may give back their memory.
    using ReadStretch = std::function<void(size_t from, size_t to)>;
    static std::optional<WordIndex> build(std::string_view text, Encoding encoding,
                                          const Progress& progress, const ReadStretch& read = {});
    static WordIndex build(std::string_view text, Encoding encoding = Encoding::Windows1252);

    Encoding encoding() const { return encoding_; }
    std::string_view text() const { return text_; }
    size_t size() const { return words_; }
    bool empty() const { return words_ == 0; }

    // The word as written, capitals and accents included, in the text's encoding.
    std::string_view form(WordId word) const;
    // "[n]", brackets included; empty before the first marker.
    std::string_view marker(WordId word) const;

    // Replaces `hits` with the matching words, in text order, and `forms`
    // (when given) with the ranks of the matching forms, ascending. Not for
    // concurrent use: it keeps scratch space.
    void search(const Pattern& pattern, WordList& hits, std::vector<std::uint32_t>* forms = nullptr) const;

    // The ranks of the forms that match `pattern`, ascending.
    std::vector<std::uint32_t> formsMatching(const Pattern& pattern) const;
    // The ranks [first, last) of the forms that begin with `prefix`.
    std::pair<std::uint32_t, std::uint32_t> formsStartingWith(std::string_view prefix) const;
    // The ranks of the forms that end with `suffix`, in suffix order.
    std::vector<std::uint32_t> formsEndingWith(std::string_view suffix) const;
    // Replaces `hits` with the words of these forms (ranks ascending), in
    // text order. Not for concurrent use, as search().
    void wordsOf(const std::vector<std::uint32_t>& ranks, WordList& hits) const { gather(ranks, hits); }
    size_t occurrences(std::uint32_t rank) const { return postingStart_[rank + 1] - postingStart_[rank]; }

    // The text from the first letter of `first` to the last letter of the
    // word `words - 1` further on.
    std::string_view span(WordId first, std::uint32_t words) const;

    // Forms by rank: ranks follow the code-point order of the lower-cased
    // forms, from 0. The words of one form, in text order.
    size_t vocabularySize() const { return forms_.size(); }
    std::string_view lowerForm(std::uint32_t rank) const;
    const WordId* postingsBegin(std::uint32_t rank) const { return postings_.data() + postingStart_[rank]; }
    const WordId* postingsEnd(std::uint32_t rank) const { return postings_.data() + postingStart_[rank + 1]; }
    // The rank of a word's form (a search in the vocabulary).
    std::uint32_t formRank(WordId word) const;

    // Consecutive words that share one marker form a run.
    size_t markerRuns() const { return runs_.size(); }
    std::uint32_t markerRun(WordId word) const;
    // The same, looking forward from the run of an earlier word.
    std::uint32_t markerRunFrom(WordId word, std::uint32_t earlierRun) const;
    WordId firstWordOfRun(std::uint32_t run) const { return runs_[run].first; }
    WordId endOfRun(std::uint32_t run) const { return run + 1 < runs_.size() ? runs_[run + 1].first : WordId(words_); }
    // The runs whose marker is `marker`, in text order (an order of the
    // runs by marker made when first needed).
    std::vector<std::uint32_t> runsWithMarker(std::string_view marker) const;
    // For markers written "[n]" (see markersArePlain): a key equal for equal
    // markers and ordered as their numbers, and the runs by key, from a
    // table made when first needed (at once in a text numbered in order).
    static std::uint64_t numberKey(std::string_view plainMarker);
    // (key, run) for every run, ordered.
    const std::vector<std::pair<std::uint64_t, std::uint32_t>>& runsByNumberKey() const;
    std::string_view markerOfRun(std::uint32_t run) const;
    // Runs ranked by their marker's text, character by character (code
    // points, whatever the encoding); equal texts share a rank.
    std::uint32_t markerTextRank(std::uint32_t run) const;
    // Whether every marker is written "[n]" as numbering writes them: then
    // plainMarkerKey orders runs as their texts do, with no ranking of all
    // the markers of the text.
    bool markersArePlain() const;
    static std::uint64_t plainMarkerKey(std::string_view marker);

    // Whether a word ends at `place` though a letter follows: runs of
    // letters of the unspaced scripts are cut into words (word_breaks.h).
    bool cutAt(size_t place) const;
    bool hasCuts() const { return !cutSlots_.empty(); }
    static constexpr size_t kCutBlock = 512;

    // Gives back the tables made when first needed, the search's scratch
    // space and, for an index mapped from the cache, the pages searches
    // have read; all come again when next needed. A collection's search
    // calls it after each of its texts, so that its memory follows the hits
    // shown, not the size of the collection. Not while another call runs.
    void releaseMemory() const;

    // How much memory the index holds, for the benchmark.
    size_t bytesUsed() const;

private:
    friend class WordIndexBuilder;
    friend class IndexCache;

    struct Span {
        std::uint32_t offset;
        std::uint32_t length;
    };
    // A part of the text indexed apart (one per thread): the place of every
    // 64th of its words.
    struct Segment {
        WordId firstWord;
        std::uint32_t firstSample;
    };

    size_t wordStart(WordId word) const;
    size_t wordEnd(size_t start) const;
    size_t nextWordStart(size_t from) const;
    std::string_view reversedForm(std::uint32_t rank) const;
    std::pair<size_t, size_t> prefixRange(std::string_view prefix) const;
    std::pair<size_t, size_t> suffixRange(std::string_view suffix) const;
    void gather(const std::vector<std::uint32_t>& ranks, WordList& hits) const;
    void makeSuffixOrder() const;
    void makeMarkerRanks() const;
    bool rankMarkersByNumber() const;

    std::string_view text_;
    Encoding encoding_ = Encoding::Windows1252;
    size_t words_ = 0;

    // The index's arrays are views: of memory of its own when built, of a
    // mapped cache file when read from one. `storage_` keeps either alive.
    std::shared_ptr<const void> storage_;
    bool mapped_ = false; // storage_ is a read-only mapping of a file
    std::span<const std::uint32_t> samples_; // text place of every 64th word of each segment
    std::span<const Segment> segments_;
    std::span<const Span> forms_;            // lower-cased forms by rank, in formChars_
    std::string_view formChars_;
    std::span<const std::uint32_t> postingStart_; // per rank, into postings_
    std::span<const WordId> postings_;       // the words grouped by form, in text order
    std::span<const Run> runs_;
    std::string_view markerChars_;
    // The cuts: one bit per byte of the text, kept for the blocks of
    // kCutBlock bytes that hold any. Per block, 0 or 1 + the place of its
    // bits, in eights of cutBits_; empty for a text without cuts.
    std::span<const std::uint32_t> cutSlots_;
    std::span<const std::uint64_t> cutBits_;

    // Made when first needed.
    mutable std::vector<std::uint32_t> bySuffix_; // ranks by reversed form
    mutable std::string reversedChars_;
    mutable std::vector<std::uint32_t> markerRanks_;
    mutable std::vector<std::uint32_t> runsByMarker_;
    mutable std::vector<std::pair<std::uint64_t, std::uint32_t>> runsByNumber_;
    mutable int markersPlain_ = -1; // not known yet
    mutable std::vector<std::uint64_t> seen_; // one bit per word, zero between searches; made when first needed
};

inline bool WordIndex::cutAt(size_t place) const
{
    if (cutSlots_.empty()) return false;
    const std::uint32_t slot = cutSlots_[place / kCutBlock];
    if (slot == 0) return false;
    const size_t bit = place % kCutBlock;
    return (cutBits_[(slot - 1) * (kCutBlock / 64) + bit / 64] >> (bit % 64)) & 1;
}

} // namespace solandre
