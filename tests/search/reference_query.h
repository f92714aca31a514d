// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The query language read again from its statement, and matched by walking
// every sentence of the text word by word: no index, no vocabulary, no
// posting lists. Wildcards by recursion, regular expressions by the
// standard library's engine (so the expressions tested must mean the same
// to both). The oracle of the query tests and fuzzer.

#include "common/encoding.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace solandre::reference {

struct QueryHit {
    std::string text;   // as the grid shows it: line breaks as blanks, in the text's encoding
    std::string marker; // in the text's encoding
    bool operator==(const QueryHit&) const = default;
};

// The hits of `typedUtf8`, in text order; nothing for a malformed
// regular expression.
std::optional<std::vector<QueryHit>> queryHits(std::string_view text, Encoding encoding,
                                               std::string_view typedUtf8, bool regex = false);

// Keeps the hits whose marker names, in `target`, a sentence that holds a
// hit of `typedUtf8` (`contains`), or none (not `contains`).
std::vector<QueryHit> keepByTranslation(const std::vector<QueryHit>& hits, Encoding encoding,
                                        std::string_view target, Encoding targetEncoding,
                                        std::string_view typedUtf8, bool regex, bool contains);

// "Formas" for hits: by lower-cased text, then by marker, code point by code
// point; stable.
void sortHitsByText(std::vector<QueryHit>& hits, Encoding encoding);

} // namespace solandre::reference
