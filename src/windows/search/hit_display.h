// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The context viewer as the other windows of its search reach it: the
// concordance lines and the frequencies move the grid's current row and
// have the viewer show it; the candidates window has it mark the candidates
// it lists. An interface here, below both, so that the study windows need
// not link the viewer's library.

#include <QString>

namespace solandre {

class HitDisplay {
public:
    // Shows the hit of the grid's current row. "Contexto siguiente" and
    // "Contexto precedente" then step in the order of the window named, a
    // HitOrder (the concordance lines), or, with none, in the grid's.
    virtual void showCurrentHit(const QString& order = {}) = 0;
    // Marks again, in the translated sentence shown, the candidates listed.
    virtual void markCandidates() = 0;

protected:
    ~HitDisplay() = default;
};

} // namespace solandre
