// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cleaning that makes any text fit one record of a numbered text: "[" and
// "]" open and close the record numbers, so they become "<" and ">"; a record
// is one line, so every line break and every tab becomes one blank.

#include <string>
#include <string_view>

namespace solandre {

// Cleans a text one character at a time. A CR remembers itself so that the LF
// after it makes no second blank.
class SegmentCleaner {
public:
    void put(std::string& out, char32_t c)
    {
        if (c == '\n') {
            if (!afterCr_) out.push_back(' ');
            afterCr_ = false;
            return;
        }
        afterCr_ = c == '\r';
        if (c == '[') out.push_back('<');
        else if (c == ']') out.push_back('>');
        else if (c == '\t' || c == '\r' || c == 0x85 || c == 0x2028 || c == 0x2029) out.push_back(' ');
        else appendOther(out, c);
    }
    void reset() { afterCr_ = false; }
    // Text appended directly, bypassing put(), must end a pending CR.
    void clearCr() { afterCr_ = false; }

private:
    static void appendOther(std::string& out, char32_t c);
    bool afterCr_ = false;
};

// Appends `bytes`, cleaned. Invalid UTF-8 becomes U+FFFD, one per bad part.
void appendCleanUtf8(std::string& out, std::string_view bytes);
// Appends Windows-1252 `bytes` as UTF-8, cleaned.
void appendCleanCp1252(std::string& out, std::string_view bytes);

} // namespace solandre
