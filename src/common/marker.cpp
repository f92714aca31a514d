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

std::string sentenceMarker(SentenceNumber n)
{
    std::string marker;
    appendRecordPrefix(marker, n);
    marker.pop_back();
    return marker;
}

} // namespace solandre
