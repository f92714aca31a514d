// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The corrections a user makes to an alignment: the boundary between two
// neighbouring beads moved by one sentence on either side, a bead merged
// with the next, a bead split in two. Each keeps the beads covering both
// texts in order, an empty side starting where its text stands; a bead the
// user has shaped is sure (confidence 1) and no longer doubtful. A correction
// that cannot apply (no neighbour, no sentence to move) changes nothing and
// says so.

#include "align/bead.h"

#include <vector>

namespace solandre {

enum class Side { Source, Target };

// The first sentence of bead `k` on `side` goes to the bead before it.
bool giveFirstToPrevious(std::vector<Bead>& beads, size_t k, Side side);
// The last sentence of bead `k` on `side` goes to the bead after it.
bool giveLastToNext(std::vector<Bead>& beads, size_t k, Side side);
// Bead `k` and the next become one.
bool mergeWithNext(std::vector<Bead>& beads, size_t k);
// Bead `k` becomes its first sentence of each side, then the rest.
bool split(std::vector<Bead>& beads, size_t k);

} // namespace solandre
