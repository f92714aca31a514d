// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A user's text set among the interface's own words ("casa = 12"): one in a
// right-to-left script would otherwise turn the whole caption round
// ("12 = הספר").

#include <QString>

namespace solandre {

// `text` kept apart in a left-to-right caption when it holds right-to-left
// letters; as it is otherwise.
QString amidLeftToRight(const QString& text);

} // namespace solandre
