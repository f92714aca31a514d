// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How reliably a form of one text turns up, through one of its keys, in the
// sentences that render it. Measured on the texts: each occurrence of the form
// is checked against the stretch of the other text believed to render it, and
// what chance alone would bring there is taken off. A form seen rarely leans on
// the average of all forms, since a single name says little about itself.

#include "align/bead.h"
#include "align/lexical_keys.h"
#include "align/text_features.h"

#include <cstdint>
#include <vector>

namespace solandre::align {

// Share of the other text's sentences holding none of a form's keys.
double absentShare(const FormKeys& keys, int side, std::uint32_t form,
                   const std::vector<std::uint32_t>& otherFrequency, std::size_t otherSentences);

struct FormTally {
    std::vector<std::uint32_t> seen, matched; // per form of the shared table
    std::vector<double> chance;               // matches chance alone would bring, summed
};

// The counts of one text (`side`: 0 source, 1 target) against a rough line
// through the grid, its column at each row: each sentence against the few
// sentences of the other text around where the line puts it.
FormTally tallyNearLine(const SideText& source, const SideText& target, int side,
                        const FormKeys& keys, const std::vector<std::uint32_t>& otherFrequency,
                        const std::vector<double>& line);

// The counts against a path: each sentence against the other side of its bead.
FormTally tallyInBeads(const SideText& source, const SideText& target, int side,
                       const FormKeys& keys, const std::vector<std::uint32_t>& otherFrequency,
                       const std::vector<Bead>& beads);

// Each form's reliability (p), at most kMaxReliability.
inline constexpr double kMaxReliability = 0.9;
std::vector<double> estimateReliability(const FormTally& tally, const FormTable& forms,
                                        const SideText& other, const FormKeys& keys, int side,
                                        const std::vector<std::uint32_t>& ownFrequency,
                                        const std::vector<std::uint32_t>& otherFrequency);

} // namespace solandre::align
