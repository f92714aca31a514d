// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one letter class, lower-casing and end marks shared by the numbering,
// the word index, the search, the sort, the marking and the aligner, on
// characters.
//
// A character Windows-1252 can write keeps the code page's classes: letters
// are A-Z, a-z, 192-255 but for × and ÷, and Œ œ Š š Ž ž Ÿ; lower-case are
// a-z, à-ö, ø-ÿ, œ š ž (so ß counts as upper-case); the rest of 128-191, ƒ
// and ˆ are not letters. Any other character is a letter when its Unicode
// category is L or M (combining marks belong to their word), lower-case when
// the category is Ll, and lower-cases by Unicode's simple case folding (so
// "ς", "Σ" and "σ" are alike).

#include <array>
#include <string>
#include <string_view>

namespace solandre {

bool isLetter(char32_t c);
bool isLowerLetter(char32_t c);
char32_t lowerCase(char32_t c);

// How a character takes part in a run of letters, for the cutting of runs
// into words (word_breaks.h).
enum class WordClass : unsigned char {
    None,     // not a letter
    Letter,   // a letter of a script written with blanks between words
    Unspaced, // a letter of Han, Hiragana, Katakana, Thai, Lao, Khmer or Myanmar
    Follower, // a combining mark, or a letter of no script of its own (as "ー"):
              // of the class of the letter before it
    Joiner,   // ZERO WIDTH JOINER or NON-JOINER: a letter, of the class of the
              // letter before it, only between two letters
};
WordClass wordClass(char32_t c);

inline constexpr bool isWordJoiner(char32_t c) { return c == 0x200C || c == 0x200D; }
// A character of Unicode's category M: a letter, but no letter of its own to
// a reader ("é" written with a combining accent is one letter).
bool isCombiningMark(char32_t c);

// "." and its kin always close a sentence; "?", "!" and theirs close one
// only before an upper-case letter.
enum class EndMark { None, Stop, Question };
EndMark endMark(char32_t c);

inline constexpr bool isAsciiLetter(unsigned char c) { return unsigned((c | 0x20) - 'a') < 26u; }

// The same classes for the 256 bytes of Windows-1252, for the hot loops.
struct Cp1252Classes {
    std::array<bool, 256> letter;
    std::array<bool, 256> lower;
    std::array<unsigned char, 256> lowerCase; // every lower-case form is in the code page too
    // lowerCase in UTF-8: up to three bytes, their count in the fourth.
    std::array<std::array<char, 4>, 256> lowerUtf8;
};
const Cp1252Classes& cp1252Classes();

} // namespace solandre
