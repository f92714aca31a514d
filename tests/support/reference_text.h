// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The character rules written out again from their statement, for the plain
// reference readings, so they never share a table with the code they check;
// and a text's bytes as characters and back.

#include "common/encoding.h"

#include <string>
#include <string_view>
#include <vector>

namespace solandre::reference {

using Chars = std::u32string;

bool letter(char32_t c);
bool lowerLetter(char32_t c);
char32_t lower(char32_t c);
Chars lower(const Chars& text);

// The words of a text, as [start, end) places in it: runs of letters, a
// joiner (ZWJ, ZWNJ) between two letters taken in; a run holding letters of
// Han, Hiragana, Katakana, Thai, Lao, Khmer or Myanmar is cut where such
// letters meet others (a mark, a joiner or a letter of the Common or
// Inherited script sides with the letter before it), and inside them where
// ICU's word iterator cuts. Stretches of more than 4096 characters, which the
// fast code reads in pieces, are not followed here.
struct Span {
    size_t start, end;
    bool runGoesOn; // another word of the same run follows it
    bool operator==(const Span&) const = default;
};
std::vector<Span> words(const Chars& text);
// A word as forms are compared: composed (NFC), lower-cased, composed again.
Chars fold(const Chars& word);
// Alphabetical order of UTF-8 forms: ICU's root collation, equal ones by
// code point.
bool alphabeticallyBefore(std::string_view a, std::string_view b);
// 1 for "." and its kin, 2 for "?", "!" and theirs, 0 otherwise.
int endMark(char32_t c);

// A byte that starts no character of UTF-8 becomes U+DC00 + the byte, so
// that encoding gives it back as it was.
Chars decode(std::string_view bytes, Encoding encoding);
std::string encode(const Chars& text, Encoding encoding);
// Whether Windows-1252 writes the character.
bool inCp1252(char32_t c);

// A file's bytes as a text is read from them, by the encoding rule written
// out again: after a UTF-8 mark, UTF-8; after a UTF-16 mark, the UTF-16
// turned into UTF-8 (a half of a pair alone, or a byte left over, becomes
// U+FFFD); else UTF-8 if every byte is and one is 0x80 or more, else
// Windows-1252.
struct ReadText {
    std::string text;
    Encoding encoding;
};
ReadText asRead(std::string_view file);

} // namespace solandre::reference
