// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/collection_lines.h"

#include "common/alphabetical.h"

#include <algorithm>
#include <numeric>

namespace solandre {

CollectionLines CollectionLines::ofHits(const CollectionConcordance& collection)
{
    CollectionLines lines;
    lines.collection_ = &collection;
    lines.entries_.reserve(collection.hitCount());
    for (size_t k = 0; k < collection.hitCount(); ++k) {
        const CollectionConcordance::Hit& h = collection.hit(k);
        const ResultGrid& grid = collection.concordance(h.member).grid();
        lines.entries_.push_back({h.member, grid.hit(h.row)});
        lines.words_ = grid.hitWords(); // one query: the same in every text
    }
    return lines;
}

Encoding CollectionLines::encodingOf(size_t line) const
{
    return collection_->concordance(entries_[line].member).encoding();
}

const QString& CollectionLines::nameOf(size_t line) const { return collection_->nameOf(entries_[line].member); }

ConcordanceLine CollectionLines::line(size_t line, size_t context) const
{
    const Entry& e = entries_[line];
    return concordanceLine(collection_->concordance(e.member).index(), e.hit, words_, context);
}

bool CollectionLines::sort(LineKey key, const Progress& progress)
{
    if (entries_.size() < 2) return goOn(progress, 1.0);
    const size_t members = collection_->members();
    // Each text's lines, in the present order, read by the key of one pair.
    std::vector<std::vector<std::uint32_t>> linesOf(members);
    for (std::uint32_t k = 0; k < entries_.size(); ++k) linesOf[entries_[k].member].push_back(k);
    std::vector<std::string> texts;
    PodArray<std::uint32_t> keys;
    keys.resize(entries_.size());
    for (size_t m = 0; m < members; ++m) {
        if (linesOf[m].empty()) continue;
        WordList hits;
        hits.reserve(linesOf[m].size());
        for (const std::uint32_t k : linesOf[m]) hits.push_back(entries_[k].hit);
        const ConcordanceLines own(collection_->concordance(m).index(), std::move(hits), words_);
        const Progress part = [&](double done) { return goOn(progress, 0.7 * (double(m) + done) / double(members)); };
        std::optional<LineKeyWords> words = own.keyWords(key, part);
        if (!words) return false;
        // Numbered after the words of the texts before.
        const std::uint32_t offset = std::uint32_t(texts.size());
        for (size_t j = 0; j < linesOf[m].size(); ++j)
            keys[linesOf[m][j]] = words->keys[j] == 0 ? 0 : words->keys[j] + offset;
        for (std::string& text : words->texts) texts.push_back(std::move(text));
    }
    // The words of every text in one order, as one pair orders them: words
    // alphabetically, a phrase's texts code point by code point.
    std::vector<std::uint32_t> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    if (key == LineKey::Form && words_ > 1)
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return texts[a] < texts[b]; });
    else if (!sortAlphabetically(order, [&](std::uint32_t k) { return std::string_view(texts[k]); },
                                 [&](double done) { return goOn(progress, 0.7 + 0.2 * done); }))
        return false;
    // The same word in two texts takes one place.
    std::vector<std::uint32_t> place(texts.size() + 1, 0);
    std::uint32_t next = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        if (k == 0 || texts[order[k]] != texts[order[k - 1]]) ++next;
        place[order[k] + 1] = next;
    }
    for (std::uint32_t& k : keys) k = place[k];
    std::vector<std::uint32_t> sorted(entries_.size());
    std::iota(sorted.begin(), sorted.end(), 0);
    std::stable_sort(sorted.begin(), sorted.end(), [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
    if (!goOn(progress, 0.95)) return false;
    std::vector<Entry> entries;
    entries.reserve(entries_.size());
    for (const std::uint32_t k : sorted) entries.push_back(entries_[k]);
    entries_ = std::move(entries);
    return goOn(progress, 1.0);
}

} // namespace solandre
