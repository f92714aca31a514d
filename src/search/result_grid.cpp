// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/result_grid.h"

#include "search/hit_bitmap.h"
#include "search/hit_texts.h"

#include <algorithm>
#include <numeric>

namespace solandre {
namespace {

// Stable counting sort of `rows` by `keys` (aligned with rows, each < keyCount).
void countingSort(WordList& rows, const std::vector<std::uint32_t>& keys, size_t keyCount)
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

std::string ResultGrid::text(size_t row, int col) const
{
    if (col < 0 || col >= kColumns || row >= rows()) return {};
    if (row == 0) return std::string(kHeader[col]);
    const WordId word = rows_[row - 1];
    if (word == kEmpty) return {};
    if (col == 1) return std::string(index_.marker(word));
    return hitWords_ == 1 ? std::string(index_.form(word)) : shownText(index_.span(word, hitWords_));
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
    order_ = Order::Given;
    forms_.clear();
    groupEnds_.clear();
    ++hitsVersion_;
    hitWords_ = 1;
    translationMatch_.reset();
    setRow(0);
    setCol(1);
}

void ResultGrid::showHits(WordList&& hits, std::vector<std::uint32_t> forms, std::uint32_t words)
{
    rows_ = std::move(hits);
    ++hitsVersion_;
    hitWords_ = std::max<std::uint32_t>(words, 1);
    translationMatch_.reset();
    if (hitWords_ > 1) forms.clear();
    order_ = forms.empty() ? Order::Given : Order::Text;
    forms_ = std::move(forms);
    groupEnds_.clear();
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

void ResultGrid::groupByForm()
{
    groupEnds_.clear();
    if (order_ == Order::Text) {
        // A search's rows are all the words of its forms: the lists of the
        // forms, one after the other, are those rows grouped by form, each
        // form's rows still in text order. Written over the rows, no copy.
        size_t at = 0;
        for (const std::uint32_t form : forms_) {
            const WordId* first = index_.postingsBegin(form);
            const WordId* last = index_.postingsEnd(form);
            std::copy(first, last, rows_.begin() + at);
            at += size_t(last - first);
            groupEnds_.push_back(at);
        }
    } else if (hitWords_ > 1) {
        // Phrases by their whole text, lower-cased.
        RankedTexts ranked = rankTexts(index_, rows_.data(), rows_.size(), hitWords_);
        std::vector<std::uint32_t> keys(ranked.ranks.begin(), ranked.ranks.end());
        countingSort(rows_, keys, ranked.texts.size());
        std::sort(keys.begin(), keys.end());
        for (size_t k = 0; k < keys.size(); ++k)
            if (k + 1 == keys.size() || keys[k + 1] != keys[k]) groupEnds_.push_back(k + 1);
    } else {
        std::vector<std::uint32_t> keys;
        keys.reserve(rows_.size());
        for (const WordId word : rows_) keys.push_back(index_.formRank(word));
        countingSort(rows_, keys, index_.vocabularySize());
        for (size_t k = 0; k < rows_.size(); ++k)
            if (k + 1 == rows_.size() || index_.formRank(rows_[k + 1]) != index_.formRank(rows_[k]))
                groupEnds_.push_back(k + 1);
    }
    order_ = Order::ByForm;
}

void ResultGrid::sortGroupsByMarker()
{
    // One form's rows at a time, each with a key that sorts as its marker's
    // text: the only memory the sort adds is for the rows of one form.
    const bool plain = index_.markersArePlain();
    std::vector<std::pair<std::uint64_t, WordId>> group;
    size_t start = 0;
    for (const size_t end : groupEnds_) {
        if (end - start > 1) {
            group.clear();
            std::uint32_t run = index_.markerRun(rows_[start]);
            std::uint64_t key = 0;
            std::uint32_t keyRun = ~0u;
            for (size_t k = start; k < end; ++k) {
                // A form's rows are mostly in text order: look for the run
                // forward from the last one when they are.
                run = k > start && rows_[k] >= rows_[k - 1] ? index_.markerRunFrom(rows_[k], run)
                                                            : index_.markerRun(rows_[k]);
                if (run != keyRun) {
                    keyRun = run;
                    key = plain ? WordIndex::plainMarkerKey(index_.markerOfRun(run)) : index_.markerTextRank(run);
                }
                group.emplace_back(key, rows_[k]);
            }
            std::stable_sort(group.begin(), group.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (size_t k = start; k < end; ++k) rows_[k] = group[k - start].second;
        }
        start = end;
    }
    std::vector<std::pair<std::uint64_t, WordId>>().swap(group);
    order_ = Order::ByFormAndMarker;
}

void ResultGrid::groupByFormAndMarker()
{
    // Below this many rows a second thread costs more than it gains.
    constexpr size_t kTwoHalvesFrom = size_t(1) << 20;
    // Each row's group noted by word; then the runs are walked in their
    // markers' order (equal markers in text order), and each word of a run
    // that is a row goes to the next place of its group. Every group comes
    // out ordered by marker, text order within one: what sorting each group
    // by marker gives, with no comparison, in two passes over the words.
    constexpr std::uint32_t kNone = ~std::uint32_t(0);
    PodArray<std::uint32_t> groupOf;
    groupOf.resize(index_.size());
    if (rows_.size() < index_.size()) std::fill(groupOf.begin(), groupOf.end(), kNone);
    std::vector<std::uint32_t> next(forms_.size());
    groupEnds_.clear();
    size_t at = 0;
    for (std::uint32_t g = 0; g < forms_.size(); ++g) {
        next[g] = std::uint32_t(at);
        at += index_.occurrences(forms_[g]);
        groupEnds_.push_back(at);
    }
    // Each form's words are spread over the whole text: noting their group
    // is a jump in memory for most of them, so the two halves of the words
    // are noted at once.
    auto note = [&](std::uint32_t first, std::uint32_t last) {
        for (std::uint32_t g = first; g < last; ++g)
            for (const WordId* w = index_.postingsBegin(forms_[g]); w != index_.postingsEnd(forms_[g]); ++w)
                groupOf[*w] = g;
        return true;
    };
    const auto groups = std::uint32_t(forms_.size());
    const bool two = at >= kTwoHalvesFrom;
    const auto middle =
        two ? std::uint32_t(std::lower_bound(groupEnds_.begin(), groupEnds_.end(), at / 2) - groupEnds_.begin()) : groups;
    inTwoHalves([&] { return note(0, middle); }, [&] { return note(middle, groups); }, two);
    const size_t runs = index_.markerRuns();
    std::vector<std::uint32_t> byMarker(runs + 1, 0);
    for (std::uint32_t run = 0; run < runs; ++run) ++byMarker[index_.markerTextRank(run) + 1];
    std::partial_sum(byMarker.begin(), byMarker.end(), byMarker.begin());
    std::vector<std::uint32_t> order(runs);
    for (std::uint32_t run = 0; run < runs; ++run) order[byMarker[index_.markerTextRank(run)]++] = run;
    std::vector<std::uint32_t>().swap(byMarker);
    for (const std::uint32_t run : order) {
        for (WordId w = index_.firstWordOfRun(run), end = index_.endOfRun(run); w < end; ++w) {
            const std::uint32_t g = groupOf[w];
            if (g != kNone) rows_[next[g]++] = w;
        }
    }
    order_ = Order::ByFormAndMarker;
}

void ResultGrid::sort()
{
    if (hitCount() == 0) return;
    const int last = std::max(col_, colSel_);
    // The keys are the form, and the marker when its column is selected too.
    // Each step is stable, and a step already taken is not taken again.
    // Rows that are a good share of the text: both keys in one pass over it.
    if (last >= 1 && order_ == Order::Text && rows_.size() >= index_.size() / 8) groupByFormAndMarker();
    if (order_ == Order::Given || order_ == Order::Text) groupByForm();
    if (last >= 1 && order_ == Order::ByForm) sortGroupsByMarker();
}

} // namespace solandre
