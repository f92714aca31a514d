// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A coarse first look at the texts by their lengths alone: blocks of a few
// consecutive sentences aligned as if they were sentences. Lengths of whole
// blocks agree closely between a text and its translation, so the block path
// finds long passages missing from either text even where no name or number
// marks the way; the first pass's band then follows it. Long texts are looked
// at in big blocks first, then in finer ones around that path, so that the
// line ends up placed to within a few sentences whatever the texts' length.

#include "align/alignment_dp.h"
#include "align/progress_span.h"
#include "align/text_features.h"

#include <optional>
#include <vector>

namespace solandre::align {

struct CoarseLine {
    std::vector<double> line; // the column the block path passes at each row 0..n
    double ratio = 1;         // of lengths, measured on blocks that pair one to one
    std::uint32_t block = 1;  // sentences per block of the finest look
};

// nullopt when cancelled. `tables` is working memory.
std::optional<CoarseLine> coarseLine(const SideText& source, const SideText& target,
                                     DpTables& tables, const ProgressSpan& progress);

} // namespace solandre::align
