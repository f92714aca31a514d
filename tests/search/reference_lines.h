// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Concordance lines and frequency lists read off the text character by
// character, from their statement: the oracle for the lines, their sorts, the
// frequencies and the export. Texts, forms, contexts and markers are bytes in
// the text's encoding; key words and frequency forms are lower-cased UTF-8.

#include "common/encoding.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace solandre::reference {

enum KeyWord { kForm, kLeft1, kLeft2, kRight1, kRight2, kKeyWords };

struct Line {
    size_t word; // the hit's number among the text's words
    std::string left, form, right, marker;
    std::string keys[kKeyWords]; // empty: no such word in the sentence
};

// The lines of the hits of `typedUtf8`, in text order. A context is what
// lies between the hit and the nearest bracket on that side, at most `width`
// characters of it, less a word the cut goes through; blanks and line breaks
// fold to one blank, none at the ends. A key word is a word of the same
// stretch between brackets.
std::vector<Line> concordanceLines(std::string_view text, std::string_view typedUtf8, Encoding encoding,
                                   size_t width);

// Hits per lower-cased form.
std::map<std::string, std::uint64_t> frequencies(std::string_view text, std::string_view typedUtf8,
                                                 Encoding encoding);

} // namespace solandre::reference
