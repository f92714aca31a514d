#pragma once
// Cuts a text into sentences and writes each as a record "[n] sentence" CR LF.
// "." always closes a sentence; "?" and "!" close one only when the next letter
// is upper-case (or is missing: then the sentence goes on). After a close,
// everything up to the next letter is dropped. Text after the last close is
// not written.

#include "common/marker.h"

#include <functional>
#include <string>
#include <string_view>

namespace solandre {

// Receives the numbered text in pieces of whole records, in order.
using NumberedSink = std::function<void(std::string_view)>;

// Returns the number of records written.
SentenceNumber numberText(std::string_view text, const NumberedSink& sink);
std::string numberText(std::string_view text);

} // namespace solandre
