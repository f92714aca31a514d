// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding the next "[" or "]" fast: the scans of numbered texts change their
// state only at brackets and take everything between two of them at once.

#include <cstddef>
#include <string_view>

namespace solandre {

// The position of the first "[" or "]" at or after `from`, or text.size().
size_t findBracket(std::string_view text, size_t from);

} // namespace solandre
