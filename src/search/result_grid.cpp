#include "search/result_grid.h"

#include <algorithm>
#include <numeric>

namespace solandre {
namespace {

// Stable counting sort of `rows` by `keys` (aligned with rows, each < keyCount).
void countingSort(WordList& rows, const std::vector<std::uint32_t>& keys,
                  size_t keyCount)
{
    std::vector<size_t> next(keyCount + 1, 0);
    for (std::uint32_t key : keys) ++next[key + 1];
    std::partial_sum(next.begin(), next.end(), next.begin());
    WordList sorted;
    sorted.resize(rows.size());
    for (size_t k = 0; k < rows.size(); ++k) sorted[next[keys[k]]++] = rows[k];
    rows = std::move(sorted);
}

} // namespace

ResultGrid::ResultGrid(const WordIndex& index) : index_(index) { prepare(); }

size_t ResultGrid::hitCount() const
{
    return rows_.size() == 1 && rows_[0] == kEmpty ? 0 : rows_.size();
}

std::string_view ResultGrid::text(size_t row, int col) const
{
    if (col < 0 || col >= kColumns || row >= rows()) return {};
    if (row == 0) return kHeader[col];
    const WordId word = rows_[row - 1];
    if (word == kEmpty) return {};
    return col == 0 ? index_.form(word) : index_.marker(word);
}

void ResultGrid::setRow(size_t row)
{
    row_ = rowSel_ = std::min(row, rows() - 1);
}

void ResultGrid::setCol(int col)
{
    col_ = colSel_ = std::clamp(col, 0, kColumns - 1);
}

void ResultGrid::prepare()
{
    rows_.clear();
    rows_.push_back(kEmpty);
    setRow(0);
    setCol(1);
}

void ResultGrid::showHits(WordList&& hits)
{
    rows_ = std::move(hits);
    setRow(rows_.size());
    setCol(rows_.empty() ? 0 : 1);
}

WordList ResultGrid::takeRows()
{
    WordList storage = std::move(rows_);
    storage.clear();
    prepare();
    return storage;
}

std::vector<std::uint32_t> ResultGrid::markerRanks() const
{
    // Group of each row (0 for the empty row, else the index's group + 1);
    // rows in text order walk the groups instead of searching them.
    std::vector<std::uint32_t> keys(rows_.size());
    const bool textOrder = std::is_sorted(rows_.begin(), rows_.end());
    std::uint32_t group = 0;
    for (size_t k = 0; k < rows_.size(); ++k) {
        const WordId word = rows_[k];
        if (word == kEmpty) {
            keys[k] = 0;
            continue;
        }
        if (!textOrder || k == 0)
            group = index_.markerGroup(word);
        else
            while (group + 1 < index_.markerGroups() && index_.groupStart(group + 1) <= word) ++group;
        keys[k] = group + 1;
    }

    // Rank only the groups present, by their text; equal texts share a rank.
    // Markers hold no letters (letters always go to the word), so comparing
    // them as they are is comparing them ignoring case.
    std::vector<std::uint32_t> rankOf(index_.markerGroups() + 1, 0);
    for (std::uint32_t g : keys) rankOf[g] = 1;
    std::vector<std::uint32_t> present;
    for (std::uint32_t g = 0; g < rankOf.size(); ++g)
        if (rankOf[g]) present.push_back(g);
    auto textOf = [&](std::uint32_t g) {
        return g == 0 ? std::string_view() : index_.markerOfGroup(g - 1);
    };
    std::sort(present.begin(), present.end(),
              [&](std::uint32_t a, std::uint32_t b) { return textOf(a) < textOf(b); });
    std::uint32_t rank = 0;
    for (size_t k = 0; k < present.size(); ++k) {
        if (k > 0 && textOf(present[k]) != textOf(present[k - 1])) ++rank;
        rankOf[present[k]] = rank;
    }
    for (std::uint32_t& key : keys) key = rankOf[key];
    return keys;
}

void ResultGrid::sort()
{
    const int first = std::min(col_, colSel_);
    const int last = std::max(col_, colSel_);
    // Least significant key first; each pass is stable, so equal rows keep
    // their order.
    if (first <= 1 && last >= 1) countingSort(rows_, markerRanks(), index_.markerGroups() + 1);
    if (first == 0) {
        std::vector<std::uint32_t> keys;
        keys.reserve(rows_.size());
        for (WordId word : rows_) keys.push_back(word == kEmpty ? 0 : index_.formRank(word));
        countingSort(rows_, keys, index_.vocabularySize() + 1);
    }
}

} // namespace solandre
