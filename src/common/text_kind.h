// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether a file's first bytes look like a text at all. A PDF, a Word or
// OpenDocument file, an image: numbered, they give garbage that looks like a
// success. Such files are refused before anything is written, with what they
// look like when that is known.

#include "common/result.h"

#include <QString>
#include <string_view>

namespace solandre {

// How much of a file's head the check reads.
inline constexpr size_t kTextCheckBytes = 64 * 1024;

// Success for a text; otherwise an error naming the file: "no es un fichero
// de texto", with "parece un documento PDF" and the like where known. A head
// with NUL bytes is refused unless it starts with a UTF-16 byte-order mark.
Status checkLooksLikeText(const QString& name, std::string_view head);

} // namespace solandre
