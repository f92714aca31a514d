// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Language tags as BCP 47 writes them: subtags parted by "-" ("_" is taken
// for it, as many files write it), compared without regard to case, and
// written in their canonical casing: the language in lower case, a script
// with a capital ("Latn"), a region in capitals ("GB"), the rest in lower
// case ("en-GB", "zh-Hant-TW", "de-CH-1996").

#include <QString>
#include <optional>

namespace solandre {

// The tag in canonical casing, or nothing when it is not well formed.
std::optional<QString> canonicalLanguageTag(const QString& tag);

// For a tag that is not well formed: why, for the messages.
QString malformedLanguageTag(const QString& tag);

} // namespace solandre
