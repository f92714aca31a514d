// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bilingual tables read again from their statement (tsv_reader.h), byte by
// byte, with none of the reader's buffers: the oracle for the table tests and
// the table fuzzer.

#include "tmx/tmx_types.h"
#include "tmx/tsv_reader.h"

#include <string_view>
#include <vector>

namespace solandre::reference {

std::vector<SegmentPair> tableRows(std::string_view bytes, TableEncoding encoding);

} // namespace solandre::reference
