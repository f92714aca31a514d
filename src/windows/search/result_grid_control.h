// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A search window's result grid as a context viewer reaches it: the viewer
// reads the rows and moves the current cell, and the grid on screen follows.
// The viewer sees only this, never the search window's widgets.

#include "search/result_grid.h"

#include <QString>

namespace solandre {

// The two numbered texts of a search: the one searched, and its counterpart,
// whose sentences stand beside the hits (the translation, or the original
// when the translation is searched).
struct SearchedTexts {
    QString searched;
    QString counterpart;
    bool translationSearched = false; // the translation is `searched`, the original beside it
};

class ResultGridControl {
public:
    virtual ResultGrid& grid() = 0;
    // Brings the grid's current cell into view after it was moved.
    virtual void showCurrent() = 0;
    // The texts of the grid's search, as the windows beside it read them.
    virtual SearchedTexts texts() const = 0;

protected:
    ~ResultGridControl() = default;
};

} // namespace solandre
