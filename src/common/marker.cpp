// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/marker.h"

#include <charconv>

namespace solandre {

void appendRecordPrefix(std::string& out, SentenceNumber n)
{
    char digits[24];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, n);
    (void)ec; // 24 characters always hold a 64-bit number
    out += '[';
    out.append(digits, end);
    out += "] ";
}

std::optional<std::uint64_t> markerNumber(std::string_view marker)
{
    if (marker.size() < 3 || marker.front() != '[' || marker.back() != ']') return std::nullopt;
    const std::string_view digits = marker.substr(1, marker.size() - 2);
    if (digits.front() == '0') return std::nullopt;
    std::uint64_t n = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return n;
}

std::string sentenceMarker(SentenceNumber n)
{
    std::string marker;
    appendRecordPrefix(marker, n);
    marker.pop_back();
    return marker;
}

} // namespace solandre
