#pragma once
// The letter class and lower-casing, written out again from the rules for the
// plain reference readings, so they never share a table with the code they check.

#include <string>
#include <string_view>

namespace solandre::reference {

inline bool letter(unsigned char c)
{
    return (c >= 65 && c <= 90) || (c >= 97 && c <= 122) || (c >= 192 && c <= 214) ||
           (c >= 216 && c <= 246) || c >= 248;
}

inline std::string lower(std::string_view s)
{
    std::string out;
    for (unsigned char c : s) {
        if ((c >= 'A' && c <= 'Z') || (c >= 192 && c <= 214) || (c >= 216 && c <= 222)) c += 32;
        out += char(c);
    }
    return out;
}

} // namespace solandre::reference
