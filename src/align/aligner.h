// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sentence alignment of a text and its translation: which sentences of one
// render which of the other, as a list of beads covering both texts in order.

#include "align/bead.h"
#include "common/progress.h"

#include <optional>
#include <string_view>
#include <vector>

namespace solandre {

// Sentences are UTF-8 text (no markers, no line ends). Empty result for two
// empty inputs; nullopt only when cancelled through `progress`. Beads hold
// 0:1, 1:0, 1:1, 1:2, 2:1, 2:2, 1:3 and 3:1 sentences. The result depends on
// the texts alone.
std::optional<std::vector<Bead>> alignSentences(const std::vector<std::string_view>& source,
                                                const std::vector<std::string_view>& target,
                                                const Progress& progress = {});

} // namespace solandre
