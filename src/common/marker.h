// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A sentence marker is "[" n "]"; a numbered record starts with the marker and
// one blank. Sentence numbers have no 16-bit limit.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace solandre {

using SentenceNumber = std::uint64_t;

std::string sentenceMarker(SentenceNumber n);

// Appends "[n] " to `out`.
void appendRecordPrefix(std::string& out, SentenceNumber n);

// The number of a marker written "[n]" as the numbering writes it (no
// leading zero); nothing for any other marker.
std::optional<std::uint64_t> markerNumber(std::string_view marker);

} // namespace solandre
