// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Cuts a text into sentences and writes each as a record "[n] sentence" CR LF,
// in the text's own encoding. "." (and "。", "．", "।", "॥") always closes a
// sentence; "?" and "!" (and "？", "！", "؟") close one only when the next
// letter is upper-case. After a close, everything up to the next letter is
// dropped. At the end of the text, a sentence still open is written when it
// holds a letter, less the blanks, tabs and line breaks that trail it.

#include "common/encoding.h"
#include "common/marker.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace solandre {

// Receives the numbered text in pieces, in order.
using NumberedSink = std::function<void(std::string_view)>;
// Told how many bytes of the text have been read, about every megabyte; a
// false answer stops the numbering.
using NumberingProgress = std::function<bool(size_t)>;

// The number of records written, or nothing when `progress` stopped it.
std::optional<SentenceNumber> numberText(std::string_view text, Encoding encoding,
                                         const NumberedSink& sink,
                                         const NumberingProgress& progress = {});
std::string numberText(std::string_view text, Encoding encoding = Encoding::Windows1252);

} // namespace solandre
