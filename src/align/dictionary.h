// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A translation dictionary learned from the texts themselves: word pairs that
// keep turning up together in the beads a first pass is sure of, far more
// often than chance would have them, linked one to one from the strongest
// association down (Melamed's competitive linking, scored by Dunning's
// log-likelihood ratio).

#include "align/bead.h"
#include "align/lexical_keys.h"
#include "align/text_features.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace solandre::align {

using WordPair = std::pair<std::uint32_t, std::uint32_t>; // source form, target form

// `beads` are 1:1 beads; pairs whose forms already share a key are left out.
std::vector<WordPair> learnDictionary(const SideText& source, const SideText& target,
                                      const FormTable& forms, const FormKeys& keys,
                                      const std::vector<Bead>& beads);

} // namespace solandre::align
