// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frequency list of a search: each distinct matching form, lower-cased as
// the vocabulary holds it, with its number of hits.

#include "search/result_grid.h"

#include <cstdint>
#include <vector>

namespace solandre {

struct FormFrequency {
    std::uint32_t rank; // in the vocabulary: index.lowerForm(rank)
    std::uint64_t count;
    bool operator==(const FormFrequency&) const = default;
};

enum class FrequencyOrder {
    Alphabetical, // by the lower-cased form, code point by code point
    ByCount,      // most hits first; equal counts alphabetically
};

// The forms of the grid's hits, alphabetically.
std::vector<FormFrequency> countForms(const ResultGrid& grid);

void sortFrequencies(std::vector<FormFrequency>& list, FrequencyOrder order);

} // namespace solandre
