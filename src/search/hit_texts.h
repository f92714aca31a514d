// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text of a hit of several words, from the first letter of its first word
// to the last letter of its last: as the lists show it, line breaks as
// blanks; and lower-cased, as "Formas", the frequencies and the lines' sort
// compare it.

#include "common/pod_array.h"
#include "search/word_index.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace solandre {

// As written, each line break (CR LF, CR or LF) one blank.
std::string shownText(std::string_view raw);

// Lower-cased UTF-8, line breaks as blanks.
std::string loweredText(std::string_view raw, Encoding encoding);

// The distinct lower-cased texts of hits of `words` words, in code-point
// order, and the place of each hit's text among them.
struct RankedTexts {
    std::vector<std::string> texts;
    PodArray<std::uint32_t> ranks; // one per hit
};
RankedTexts rankTexts(const WordIndex& index, const WordId* first, size_t count, std::uint32_t words);

} // namespace solandre
