// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An order of a search's hits other than its grid's, as the concordance
// lines sorted give it: a viewer opened from there steps through the hits
// in that order, and the list's current line follows the viewer. An
// interface here, below both windows.

#include "search/word_index.h"

#include <cstddef>

namespace solandre {

class HitOrder {
public:
    static constexpr size_t kNone = size_t(-1);

    virtual size_t hitCount() const = 0;
    virtual WordId hitAt(size_t step) const = 0;
    // The step shown as current (kNone: none), and another made current.
    virtual size_t currentStep() const = 0;
    virtual void setCurrentStep(size_t step) = 0;

protected:
    ~HitOrder() = default;
};

} // namespace solandre
