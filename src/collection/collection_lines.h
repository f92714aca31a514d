// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The concordance lines of a collection's hits: each hit a line with its
// text, cut and shown as the lines of one pair are, and sorted by the same
// keys across every text. A line is its pair's number and its hit, eight
// bytes; its text is read from the pair's index when asked for.

#include "collection/collection_concordance.h"
#include "search/concordance_lines.h"

#include <vector>

namespace solandre {

class CollectionLines {
public:
    struct Entry {
        std::uint32_t member;
        WordId hit;
    };

    CollectionLines() = default;
    // The collection's hits in its present order; `collection` must outlive them.
    static CollectionLines ofHits(const CollectionConcordance& collection);

    size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const Entry& entry(size_t line) const { return entries_[line]; }
    std::uint32_t hitWords() const { return words_; }
    Encoding encodingOf(size_t line) const;
    const QString& nameOf(size_t line) const;

    ConcordanceLine line(size_t line, size_t context = ConcordanceLines::kContext) const;

    // Stable, by the key's word as the lines of one pair sort, whatever text
    // a line comes from; lines without the word first. False, the order
    // untouched, when `progress` stopped it.
    bool sort(LineKey key, const Progress& progress = {});

private:
    const CollectionConcordance* collection_ = nullptr;
    std::vector<Entry> entries_;
    std::uint32_t words_ = 1;
};

} // namespace solandre
