// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Progress of the aligner's stages, each owning a share of the whole; once the
// caller cancels, every later report says so too.

#include "common/progress.h"

#include <algorithm>

namespace solandre::align {

class ProgressSpan {
public:
    ProgressSpan(const Progress& report, bool& cancelled, double from, double to)
        : report_(report), cancelled_(cancelled), from_(from), to_(to)
    {
    }

    // `share` is the part of this span done (0..1); false once cancelled.
    bool at(double share) const
    {
        if (cancelled_) return false;
        if (report_ && !report_(from_ + (to_ - from_) * std::clamp(share, 0.0, 1.0)))
            cancelled_ = true;
        return !cancelled_;
    }

    ProgressSpan part(double from, double to) const
    {
        const double width = to_ - from_;
        return ProgressSpan(report_, cancelled_, from_ + width * from, from_ + width * to);
    }

private:
    const Progress& report_;
    bool& cancelled_;
    double from_, to_;
};

} // namespace solandre::align
