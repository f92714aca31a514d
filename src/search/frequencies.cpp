// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/frequencies.h"

#include "common/alphabetical.h"
#include "search/hit_texts.h"

#include <algorithm>
#include <map>

namespace solandre {

namespace {

void placeAlphabetically(std::vector<FormFrequency>& list, const WordIndex& index)
{
    std::vector<std::uint32_t> order(list.size());
    for (std::uint32_t k = 0; k < order.size(); ++k) order[k] = k;
    sortAlphabetically(order, [&](std::uint32_t k) { return frequencyText(index, list[k]); });
    for (std::uint32_t place = 0; place < order.size(); ++place) list[order[place]].alphabetical = place;
}

} // namespace

std::vector<FormFrequency> countForms(const ResultGrid& grid)
{
    std::vector<FormFrequency> list;
    if (grid.hitCount() == 0) return list;
    const WordIndex& index = grid.index();
    if (grid.hitWords() > 1) {
        WordList hits;
        for (size_t row = 1; row < grid.rows(); ++row)
            if (grid.isHit(row)) hits.push_back(grid.hit(row));
        RankedTexts ranked = rankTexts(index, hits.data(), hits.size(), grid.hitWords());
        std::vector<std::uint64_t> counts(ranked.texts.size(), 0);
        for (const std::uint32_t rank : ranked.ranks) ++counts[rank];
        for (size_t k = 0; k < counts.size(); ++k)
            list.push_back({FormFrequency::kPhrase, counts[k], std::move(ranked.texts[k])});
        placeAlphabetically(list, index);
        return list;
    }
    if (!grid.hitForms().empty()) {
        // A search's hits are every word of its forms: a form's count is the
        // length of its list, whatever the number of hits.
        for (const std::uint32_t rank : grid.hitForms())
            list.push_back({rank, std::uint64_t(index.postingsEnd(rank) - index.postingsBegin(rank))});
    } else {
        std::map<std::uint32_t, std::uint64_t> counts;
        for (size_t row = 1; row < grid.rows(); ++row)
            if (grid.isHit(row)) ++counts[index.formRank(grid.hit(row))];
        for (const auto& [rank, count] : counts) list.push_back({rank, count});
    }
    placeAlphabetically(list, index);
    return list;
}

void sortFrequencies(std::vector<FormFrequency>& list, FrequencyOrder order)
{
    std::sort(list.begin(), list.end(), [order](const FormFrequency& a, const FormFrequency& b) {
        if (order == FrequencyOrder::ByCount && a.count != b.count) return a.count > b.count;
        return a.alphabetical < b.alphabetical;
    });
}

std::string_view frequencyText(const WordIndex& index, const FormFrequency& frequency)
{
    return frequency.rank == FormFrequency::kPhrase ? std::string_view(frequency.phrase)
                                                    : index.lowerForm(frequency.rank);
}

} // namespace solandre
