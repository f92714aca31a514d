// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Splits a fuzz input into a short leading argument (up to the first line
// break, at most 24 bytes) and the text that follows.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

namespace solandre::fuzz {

inline std::pair<std::string_view, std::string_view> argumentAndText(const uint8_t* data, size_t size)
{
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const size_t end = all.substr(0, 24).find('\n');
    if (end == std::string_view::npos) return {all.substr(0, std::min<size_t>(size, 4)), all.substr(std::min<size_t>(size, 4))};
    return {all.substr(0, end), all.substr(end + 1)};
}

} // namespace solandre::fuzz
