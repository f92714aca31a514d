// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/bead.h"

namespace solandre {
namespace {
// Below this the aligner itself was nearly undecided between two paths.
constexpr float kDoubtfulBelow = 0.5f;
} // namespace

bool isDoubtful(const Bead& bead)
{
    if (bead.byUser) return false; // the user has looked at it already
    return bead.sourceCount != 1 || bead.targetCount != 1 || bead.confidence < kDoubtfulBelow;
}

} // namespace solandre
