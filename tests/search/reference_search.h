// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The word index, the match rules and the results file's segment lookup
// transcribed step by step, character by character, without any of the fast
// code's structures: the oracle for the search tests and the fuzzers. Texts,
// forms and markers are bytes in the text's encoding; the typed form is UTF-8.

#include "common/encoding.h"
#include "support/reference_text.h"

#include <string>
#include <string_view>
#include <vector>

namespace solandre::reference {

struct Entry {
    std::string form;
    std::string marker;
    bool operator==(const Entry&) const = default;
};

// The words of a text as every reading of words here takes them (cut by
// words(), ICU's cuts in the unspaced scripts included), each with the marker
// current when its run ended, the brackets before it, and the changes of the
// marker until its run ended: words with the same count share a sentence.
// Only what follows a word ends it: the text's last word is none.
struct MarkedWord {
    size_t start, end; // in characters
    Chars marker;
    size_t brackets, changes;
};
std::vector<MarkedWord> markedWords(const Chars& text);

std::vector<Entry> wordIndex(std::string_view text, Encoding encoding = Encoding::Windows1252);

// The entries that match the typed text, in index order.
std::vector<Entry> search(const std::vector<Entry>& index, std::string_view typedUtf8,
                          Encoding encoding = Encoding::Windows1252);

// The order of "Formas": by lower-cased form, then by marker, code point by
// code point; stable.
void sortByForm(std::vector<Entry>& entries, Encoding encoding = Encoding::Windows1252);

// The segment lookup of the results file: the whole text scanned for one
// marker, the token of brackets followed character by character.
std::string segment(std::string_view text, const std::string& marker);

} // namespace solandre::reference
