// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A word as forms are compared, grouped, counted and sorted: in Unicode's
// canonical composition (NFC), so that "café" written with a precomposed "é"
// and with "e" and a combining accent are one form, and lower-cased by
// letters.h character by character.

#include <string>
#include <string_view>

namespace solandre {

// Appends the form of `word` (UTF-8) to `out`.
void appendFoldedForm(std::string& out, std::string_view word);
std::string foldedForm(std::string_view word);

// UTF-8 text in NFC, appended to `out`; bytes that are not UTF-8 pass as they are.
void appendNfc(std::string& out, std::string_view text);

// Whether NFC could change the text: only characters from U+0300 on can.
inline bool mayChangeInNfc(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0xCC) return true;
    return false;
}

} // namespace solandre
