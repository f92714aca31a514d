// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the context viewer takes from a numbered text: the record of one
// marker, and the markers around it. Works on the text's bytes; the scan
// jumps from bracket to bracket, since only brackets change its state.

#include <QStringView>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace solandre {

struct ContextScan {
    bool found = false;
    // The marker followed by everything up to, not including, the next "["
    // (the whole record with its line breaks). A marker that occurs again
    // later in the text has what follows that occurrence appended too.
    std::string record;
    // The last complete marker before the record and the first after it;
    // the record's own marker at the first and the last sentence. When the
    // marker is not found, `previous` is the text's last complete marker and
    // `next` is not set.
    std::optional<std::string> previous;
    std::optional<std::string> next;
};

ContextScan scanForMarker(std::string_view text, std::string_view marker);

// The whole words of `text` equal to `criterion` (compared as forms are,
// word_form.h; words cut as word_breaks.h cuts them), as [start, length)
// pairs of UTF-16 positions, as a pane counts them: the characters as they
// stand. A word must be followed by a non-letter or a cut to count; one at
// the very end of the text is not tested.
std::vector<std::pair<qsizetype, qsizetype>> wordsToMark(QStringView text, QStringView criterion);

} // namespace solandre
