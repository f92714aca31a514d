#include "common/letters.h"

#include <algorithm>

namespace solandre {

std::string toLower(std::string_view text)
{
    std::string lowered(text);
    for (char& c : lowered) c = static_cast<char>(kLowerTable[static_cast<unsigned char>(c)]);
    return lowered;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (kLowerTable[static_cast<unsigned char>(a[i])] !=
            kLowerTable[static_cast<unsigned char>(b[i])])
            return false;
    }
    return true;
}

bool lessIgnoringCase(std::string_view a, std::string_view b)
{
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const unsigned char x = kLowerTable[static_cast<unsigned char>(a[i])];
        const unsigned char y = kLowerTable[static_cast<unsigned char>(b[i])];
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

} // namespace solandre
