// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Long work tells how far it has come, as a share from 0 to 1, now and then;
// a false answer asks it to stop, leaving every file as it was.

#include <functional>

namespace solandre {

using Progress = std::function<bool(double done)>;

// Whether to go on.
inline bool goOn(const Progress& progress, double done) { return !progress || progress(done); }

} // namespace solandre
