// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The context viewer as the other windows of its search reach it: the
// concordance lines move the grid's current row and have the viewer show
// it; the candidates window has it mark the candidates it lists. An
// interface here, below both, so that the study windows need not link the
// viewer's library.

namespace solandre {

class HitDisplay {
public:
    // Shows the hit of the grid's current row.
    virtual void showCurrentHit() = 0;
    // Marks again, in the translated sentence shown, the candidates listed.
    virtual void markCandidates() = 0;

protected:
    ~HitDisplay() = default;
};

} // namespace solandre
