// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frequency list of a search: each distinct matching form, lower-cased as
// the vocabulary holds it, with its number of hits; for a phrase, each
// distinct text matched, lower-cased.

#include "search/result_grid.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace solandre {

struct FormFrequency {
    static constexpr std::uint32_t kPhrase = ~std::uint32_t(0);
    std::uint32_t rank; // in the vocabulary: index.lowerForm(rank); kPhrase for a phrase
    std::uint64_t count;
    std::string phrase = {};        // a phrase's text, lower-cased UTF-8
    std::uint32_t alphabetical = 0; // the form's place in the list's alphabetical order
    bool operator==(const FormFrequency&) const = default;
};

// The form or the phrase, lower-cased UTF-8.
std::string_view frequencyText(const WordIndex& index, const FormFrequency& frequency);

enum class FrequencyOrder {
    Alphabetical, // by the lower-cased form, as alphabetical.h orders them
    ByCount,      // most hits first; equal counts alphabetically
};

// The forms of the grid's hits, in the vocabulary's order (code point by
// code point), each with its alphabetical place.
std::vector<FormFrequency> countForms(const ResultGrid& grid);

void sortFrequencies(std::vector<FormFrequency>& list, FrequencyOrder order);

} // namespace solandre
