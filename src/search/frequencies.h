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
    std::uint32_t alphabetical = 0; // the form's place in the list's alphabetical order
    bool operator==(const FormFrequency&) const = default;
};

enum class FrequencyOrder {
    Alphabetical, // by the lower-cased form, as alphabetical.h orders them
    ByCount,      // most hits first; equal counts alphabetically
};

// The forms of the grid's hits, in the vocabulary's order (code point by
// code point), each with its alphabetical place.
std::vector<FormFrequency> countForms(const ResultGrid& grid);

void sortFrequencies(std::vector<FormFrequency>& list, FrequencyOrder order);

} // namespace solandre
