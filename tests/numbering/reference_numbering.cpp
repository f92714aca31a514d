#include "numbering/reference_numbering.h"

#include "common/letters.h"

namespace solandre::testing {

std::string referenceNumbering(std::string_view text)
{
    std::string out;
    const size_t length = text.size();
    size_t position = 0;
    std::string record = "[1] ";
    int atSentenceStart = 0;
    unsigned long long counter = 1;
    auto charAt = [&](size_t onebased) { return static_cast<unsigned char>(text[onebased - 1]); };

    while (position < length) {
        ++position;
        unsigned char c = charAt(position);
        const bool endMark = c == '.' || c == '?' || c == '!';
        if (!endMark) {
            if (c == '[') c = '<';
            if (c == ']') c = '>';
            if (atSentenceStart == 1) {
                if (isLetter(c)) {
                    record += static_cast<char>(c);
                    atSentenceStart = 0;
                }
            } else {
                record += static_cast<char>(c);
            }
            continue;
        }
        int verdict = 0;
        if (c == '?' || c == '!') {
            verdict = 1;
            for (size_t k = position + 1; k <= length; ++k) {
                if (isLetter(charAt(k))) {
                    verdict = isLowerLetter(charAt(k)) ? 1 : 0;
                    break;
                }
            }
        }
        if (verdict == 0 || c == '.') {
            ++counter;
            record += static_cast<char>(c);
            out += record + "\r\n";
            record = "[" + std::to_string(counter) + "] ";
            atSentenceStart = 1;
        } else {
            record += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace solandre::testing
