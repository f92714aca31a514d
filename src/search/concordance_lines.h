// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Concordance lines: each hit of a search as one line, the words before it,
// the form (a phrase's whole text), the words after it and its marker. A
// line's context stays inside the hit's sentence (it stops at a bracket,
// where a marker begins or ends) and is cut at a word; its text is read from
// the text when asked for, so a list of millions of lines costs four bytes a
// line, and a sort four more while it runs.

#include "common/progress.h"
#include "search/line_keys.h"
#include "search/result_grid.h"
#include "search/word_index.h"

#include <optional>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace solandre {

// What a line shows, in the text's encoding. Line breaks and runs of blanks
// in a context read as one blank; contexts have no blank at either end.
struct ConcordanceLine {
    std::string left;
    std::string form; // line breaks in a phrase as blanks
    std::string right;
    std::string_view marker;
};

// The key's words of some lines, to sort them together with lines of other
// texts: each line's word as a number (0: none, k: texts[k - 1]) and the
// words met, each once, lower-cased UTF-8.
struct LineKeyWords {
    PodArray<std::uint32_t> keys; // one per line
    std::vector<std::string> texts;
};

class ConcordanceLines {
public:
    // Characters of context on each side, at most.
    static constexpr size_t kContext = 60;

    ConcordanceLines() = default;
    // The lines of `hits` of `words` words each, in that order; `index`
    // must outlive them.
    ConcordanceLines(const WordIndex& index, WordList hits, std::uint32_t words = 1);
    // The grid's hits, in the grid's order.
    static ConcordanceLines ofGrid(const ResultGrid& grid);

    size_t size() const { return order_.size(); }
    bool empty() const { return order_.empty(); }
    WordId hit(size_t line) const { return order_[line]; }
    std::uint32_t hitWords() const { return words_; }
    // Null for lines made of nothing.
    const WordIndex* index() const { return index_; }

    ConcordanceLine line(size_t line, size_t context = kContext) const;
    // The key's word of a line, lower-cased UTF-8; empty when there is none.
    std::string keyWord(size_t line, LineKey key) const;

    // Alphabetically by the key's word (alphabetical.h), lines without it
    // first. Stable: lines with the same word keep their order, so sorting by
    // one key and then by another orders by the second, then the first.
    // False, the order untouched, when `progress` stopped it.
    bool sort(LineKey key, const Progress& progress = {});
    // The key's word of every line, as sort() reads them. Nothing when
    // `progress` stopped it.
    std::optional<LineKeyWords> keyWords(LineKey key, const Progress& progress = {}) const;

private:
    WordId keyedWord(size_t line, LineKey key) const;
    // The vocabulary rank + 1 of each line's word of a one-word key (0: none).
    bool readRanks(LineKey key, PodArray<std::uint32_t>& keys, const Progress& progress) const;
    // Each line's key, the hits read in text order; Repeated, nothing done,
    // when a hit stands on two lines.
    enum class Visit { Done, Stopped, Repeated };
    Visit keysInTextOrder(LineKeyReader& reader, WordId shift, PodArray<std::uint32_t>& keys,
                          const std::function<bool(size_t)>& report) const;
    // sort() of many distinct hits in a text of not too many forms, in one
    // array the size of the list; Repeated, nothing done, when it does not
    // apply.
    Visit sortManyHits(LineKey key, const Progress& progress);

    const WordIndex* index_ = nullptr;
    WordList order_;
    std::uint32_t words_ = 1;
};

// The line of one hit of `words` words, as ConcordanceLines shows it.
ConcordanceLine concordanceLine(const WordIndex& index, WordId hit, std::uint32_t words = 1,
                                size_t context = ConcordanceLines::kContext);

} // namespace solandre
