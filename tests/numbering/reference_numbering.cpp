// SPDX-License-Identifier: GPL-3.0-or-later
#include "numbering/reference_numbering.h"

#include "support/reference_text.h"

namespace solandre::testing {

std::string referenceNumbering(std::string_view bytes, Encoding encoding)
{
    using namespace reference;
    const Chars text = decode(bytes, encoding);
    Chars out;
    const size_t length = text.size();
    size_t position = 0;
    auto prefix = [](unsigned long long n) {
        const std::string digits = "[" + std::to_string(n) + "] ";
        return Chars(digits.begin(), digits.end());
    };
    Chars record = prefix(1);
    int atSentenceStart = 0;
    unsigned long long counter = 1;
    auto charAt = [&](size_t onebased) { return text[onebased - 1]; };

    while (position < length) {
        ++position;
        char32_t c = charAt(position);
        const int mark = endMark(c);
        if (mark == 0) {
            if (c == '[') c = '<';
            if (c == ']') c = '>';
            if (atSentenceStart == 1) {
                if (letter(c)) {
                    record += c;
                    atSentenceStart = 0;
                }
            } else {
                record += c;
            }
            continue;
        }
        int verdict = 0;
        if (mark == 2) {
            verdict = 1;
            for (size_t k = position + 1; k <= length; ++k) {
                if (letter(charAt(k))) {
                    verdict = lowerLetter(charAt(k)) ? 1 : 0;
                    break;
                }
            }
        }
        if (verdict == 0 || mark == 1) {
            ++counter;
            record += c;
            out += record + U"\r\n";
            record = prefix(counter);
            atSentenceStart = 1;
        } else {
            record += c;
        }
    }
    // The sentence still open is written when it holds a letter, less the
    // blanks, tabs and line breaks that trail it.
    bool hasLetter = false;
    for (size_t k = prefix(counter).size(); k < record.size(); ++k) hasLetter = hasLetter || letter(record[k]);
    if (hasLetter) {
        while (!record.empty() && (record.back() == ' ' || record.back() == '\t' ||
                                   record.back() == '\r' || record.back() == '\n'))
            record.pop_back();
        out += record + U"\r\n";
    }
    return encode(out, encoding);
}

} // namespace solandre::testing
