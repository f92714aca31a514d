// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the translation-memory and table readers hand over: one unit as two
// UTF-8 segments.

#include <functional>
#include <string>

namespace solandre {

// One translation unit, or one row of a table. Both segments are cleaned to
// fit a record of a numbered text: "[" becomes "<", "]" becomes ">", and every
// line break (CR LF, CR, LF, U+0085, U+2028, U+2029) and every tab becomes one
// blank. Nothing else is changed: blanks are neither trimmed nor collapsed.
struct SegmentPair {
    std::string source;
    std::string target;
    // Whether the unit had that side at all: a translation unit without a
    // variant in that language, a table row without a TAB. The segment of a
    // missing side is empty.
    bool hasSource = false;
    bool hasTarget = false;
};

// Receives the units in order. The pair is reused for the next unit, so copy
// what must outlive the call. Returning false stops the reading there.
using SegmentPairSink = std::function<bool(const SegmentPair&)>;

} // namespace solandre
