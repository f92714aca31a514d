// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A search window's result grid as a context viewer reaches it: the viewer
// reads the rows and moves the current cell, and the grid on screen follows.
// The viewer sees only this, never the search window's widgets.

#include "search/result_grid.h"

namespace solandre {

class ResultGridControl {
public:
    virtual ResultGrid& grid() = 0;
    // Brings the grid's current cell into view after it was moved.
    virtual void showCurrent() = 0;

protected:
    ~ResultGridControl() = default;
};

} // namespace solandre
