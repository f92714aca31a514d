// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The records of a numbered text, as the aligner and the translation-memory
// export read them: each "[" opens one; its sentence runs from after "] " to
// the record's line end, in the bytes of the text's encoding.

#include "common/fileio.h"
#include "common/result.h"
#include "common/text_file.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace solandre {

struct NumberedRecords {
    TextFile text;
    std::vector<std::string_view> markers;   // "[k]"
    std::vector<std::string_view> sentences;
    // Markers that are not in the text, when they were kept elsewhere.
    std::shared_ptr<const std::string> keptMarkers;
};

NumberedRecords recordsOf(TextFile text);
// Refuses a file that cannot be read, that is not a text, or holds no record.
Result<NumberedRecords> readRecords(const FileRef& file);

// The first record whose marker does not come after the one before it
// ("[3]" after "[5]", or "[5]" twice): what the numbering never writes.
std::optional<size_t> firstMarkerOutOfOrder(const NumberedRecords& records);

} // namespace solandre
