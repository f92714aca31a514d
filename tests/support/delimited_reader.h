// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A delimited table (TSV, CSV) read back as RFC 4180 reads it, apart from
// the writer under test.

#include <string>
#include <string_view>
#include <vector>

namespace solandre::testing {

// The file's rows (CR LF ends a row outside quotes), each a list of fields.
std::vector<std::vector<std::string>> parseDelimited(std::string_view file, char separator);

} // namespace solandre::testing
