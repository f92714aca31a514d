// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The words concordance lines sort by, found for millions of hits: the hits
// are best visited in text order, each then reached by stepping on from the
// one before; and the vocabulary ranks of the words met last are kept, so a
// frequent word is neither lower-cased nor looked up again.

#include "search/text_chars.h"
#include "search/word_index.h"

#include <cstdint>
#include <string>
#include <vector>

namespace solandre {

// The words a sort compares, lower-cased as the search lower-cases them: the
// form itself (a phrase's whole text), or the first or second word to its
// left or right in its sentence. A line without that word sorts first.
enum class LineKey { Form, Left1, Left2, Right1, Right2 };

class LineKeyReader {
public:
    LineKeyReader(const WordIndex& index, LineKey key);

    // The vocabulary rank of the key's word of `hit` plus one; 0 when the
    // hit's sentence has no such word.
    std::uint32_t rank(WordId hit);

private:
    void moveTo(WordId hit);
    // Word `word` (at most one past the newest known), from the one before.
    void reach(WordId word);
    size_t startOf(WordId word) const { return starts_[word % kRing]; }
    size_t endOf(WordId word) const { return ends_[word % kRing]; }
    std::uint32_t rankOf(size_t start, size_t end);

    static constexpr WordId kRing = 8;
    const WordIndex& index_;
    TextChars chars_;
    LineKey key_;
    // The words around the current one, each read once: words [first_,
    // last_] are known, at most kRing of them, their places by word % kRing.
    bool placed_ = false;
    WordId word_ = 0;
    WordId first_ = 0, last_ = 0;
    size_t starts_[kRing] = {};
    size_t ends_[kRing] = {};

    struct Recent {
        std::uint32_t hash = 0;
        std::uint32_t offset = 0;
        std::uint32_t length = 0; // 0: free
        std::uint32_t rank = 0;
    };
    std::vector<Recent> recent_;
    std::string lowered_;
};

} // namespace solandre
