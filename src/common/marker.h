// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A sentence marker is "[" n "]"; a numbered record starts with the marker and
// one blank. Sentence numbers have no 16-bit limit.

#include <cstdint>
#include <string>

namespace solandre {

using SentenceNumber = std::uint64_t;

std::string sentenceMarker(SentenceNumber n);

// Appends "[n] " to `out`.
void appendRecordPrefix(std::string& out, SentenceNumber n);

} // namespace solandre
