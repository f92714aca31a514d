// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "common/encoding.h"

#include <string>
#include <string_view>

namespace solandre::testing {

// The numbering written step by step as the rules state it, on characters:
// 1-based position, record buffer and a fresh look-ahead scan per "?" or "!"
// (quadratic on purpose: it is the plain reading the fast engine must agree
// with). The text's bytes are read and written in `encoding`.
std::string referenceNumbering(std::string_view text, Encoding encoding = Encoding::Windows1252);

} // namespace solandre::testing
