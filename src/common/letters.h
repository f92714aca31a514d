#pragma once
// The one letter class and lower-casing shared by the numbering, the word index
// and the marking. Codes are Windows-1252 and are compared numerically, never
// through a locale, so the same byte is a letter everywhere.

#include <array>
#include <string>
#include <string_view>

namespace solandre {

constexpr bool isLetter(unsigned char c)
{
    return (c >= 65 && c <= 90) || (c >= 97 && c <= 122) || (c >= 192 && c <= 214) ||
           (c >= 216 && c <= 246) || c >= 248;
}

// a-z, à-ö, ø-ÿ. ß (223) is therefore upper-case.
constexpr bool isLowerLetter(unsigned char c)
{
    return (c >= 97 && c <= 122) || (c >= 224 && c <= 246) || c >= 248;
}

constexpr bool isUpperLetter(unsigned char c) { return isLetter(c) && !isLowerLetter(c); }

constexpr unsigned char toLower(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 192 && c <= 214) || (c >= 216 && c <= 222))
        return static_cast<unsigned char>(c + 32);
    return c;
}

// Lookup tables for the hot loops.
inline constexpr std::array<bool, 256> kLetterTable = [] {
    std::array<bool, 256> t{};
    for (int c = 0; c < 256; ++c) t[c] = isLetter(static_cast<unsigned char>(c));
    return t;
}();

inline constexpr std::array<unsigned char, 256> kLowerTable = [] {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) t[c] = toLower(static_cast<unsigned char>(c));
    return t;
}();

std::string toLower(std::string_view text);

// Case-insensitive equality: both sides lower-cased, then compared exactly.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// Case-insensitive order: byte by byte after lower-casing, shorter first on a tie.
bool lessIgnoringCase(std::string_view a, std::string_view b);

} // namespace solandre
