#include "common/letters.h"

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

} // namespace solandre
