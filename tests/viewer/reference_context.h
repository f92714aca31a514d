// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The viewer's marker scan transcribed character by character, with the
// viewer's own state (pane, previous and next markers) carried in and out:
// the oracle for the fast scan.

#include <QString>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace solandre::reference {

struct ViewerState {
    std::string pane;
    std::string previous;
    std::string next;
};

// Scans `text` for `marker` into `state` the way the viewer does.
void scanInto(ViewerState& state, std::string_view text, std::string_view marker);

// The marking rule: (start, length) of each whole word equal to the
// criterion, found by collecting letters and testing at each non-letter; in
// UTF-16 positions, as the pane counts.
std::vector<std::pair<qsizetype, qsizetype>> marks(const QString& text, const QString& criterion);

} // namespace solandre::reference
