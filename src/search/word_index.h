#pragma once
// The word index of a numbered text: every word in text order, with the marker
// current when it ended. Built once; each search then works on a vocabulary of
// lower-cased forms (sorted for prefixes, sorted reversed for suffixes) whose
// occurrences are listed in text order, so no query walks the whole text.

#include "common/bytes.h"
#include "common/pod_array.h"
#include "common/result.h"
#include "search/pattern.h"

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace solandre {

using WordId = std::uint32_t;
using WordList = PodArray<WordId>;

class WordIndex {
public:
    // Offsets are 32-bit: texts are limited to just under 4 GiB.
    static constexpr size_t kMaxText = 0xFFFFFFFEu;

    WordIndex() = default;

    // The text may be anything: a word is a run of letters ended by a
    // non-letter, and the marker is whatever the bracket scan has collected.
    // The text's own memory is reused for the index once it has been read.
    static WordIndex build(Bytes text);
    static WordIndex build(std::string_view text);

    size_t size() const { return words_.size(); }
    bool empty() const { return words_.empty(); }

    // The word as written, capitals and accents included (Windows-1252).
    std::string_view form(WordId word) const;
    // "[n]", brackets included; empty before the first marker.
    std::string_view marker(WordId word) const;

    // Replaces `hits` with the matching words, in text order. Reuses the
    // vector's storage; not for concurrent use (it keeps scratch space).
    void search(const Pattern& pattern, WordList& hits) const;

    // Sort keys: equal lower-cased forms share a rank, ranks follow the byte
    // order of the lower-cased forms; 1 is the smallest.
    std::uint32_t formRank(WordId word) const;
    size_t vocabularySize() const { return lower_.size(); }
    // Consecutive words that share one marker form a group.
    std::uint32_t markerGroup(WordId word) const;
    size_t markerGroups() const { return runs_.size(); }
    WordId groupStart(std::uint32_t group) const { return runs_[group].firstWord; }
    std::string_view markerOfGroup(std::uint32_t group) const;

    // How much memory the index holds, for the benchmark.
    size_t bytesUsed() const;

private:
    struct Span {
        std::uint32_t offset;
        std::uint32_t length;
    };
    struct Written {
        Span chars;          // in formChars_
        std::uint32_t lower; // index into lower_
    };
    struct Run {
        WordId firstWord;
        Span chars; // in markerChars_
    };
    friend class WordIndexBuilder;

    std::string_view lowerForm(std::uint32_t lower) const;
    std::string_view reversedForm(std::uint32_t lower) const;
    // [first, last) of byPrefix_ / bySuffix_ for forms starting / ending so.
    std::pair<size_t, size_t> prefixRange(std::string_view prefix) const;
    std::pair<size_t, size_t> suffixRange(std::string_view suffix) const;
    void gather(const std::vector<std::uint32_t>& lowers, WordList& hits) const;

    PodArray<std::uint32_t> words_; // written form of each word
    std::string formChars_;
    std::vector<Written> written_;

    std::string lowerChars_;    // lower-cased forms, each once
    std::string reversedChars_; // the same, each reversed in place
    std::vector<Span> lower_;
    std::vector<std::uint32_t> rank_;     // per lower form
    std::vector<std::uint32_t> byPrefix_; // lower forms in byte order
    std::vector<std::uint32_t> bySuffix_; // lower forms in reversed byte order
    std::vector<std::uint32_t> postingStart_; // per lower form, into postings()
    WordList postings_; // the words grouped by lower form, in text order

    std::string markerChars_;
    std::vector<Run> runs_;

    mutable std::vector<std::uint64_t> seen_; // one bit per word, zero between searches
};

} // namespace solandre
