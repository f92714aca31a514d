// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an alignment is made of: beads of consecutive sentences on each side,
// and the rule by which one deserves the user's look.

#include <cstddef>
#include <cstdint>

namespace solandre {

// Consecutive source sentences rendered by consecutive target sentences; one
// side may be empty (a sentence with no counterpart).
struct Bead {
    std::uint32_t sourceFirst = 0, sourceCount = 0; // 0-based sentence indices
    std::uint32_t targetFirst = 0, targetCount = 0;
    float confidence = 1.0f; // 0..1
    bool byUser = false;     // shaped by the user's corrections
};

// Whether a bead deserves the user's look: low confidence, or not 1:1 (0:1,
// 1:0, 3:1, ...), unless the user has shaped it.
bool isDoubtful(const Bead& bead);

} // namespace solandre
