// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/reference_context.h"

#include "support/reference_text.h"

namespace solandre::reference {

void scanInto(ViewerState& state, std::string_view text, std::string_view marker)
{
    std::string b;
    enum { None, Inside, Closed } bracket = None;
    int phase = 0;
    bool sawPrevious = false, sawNext = false;
    for (const char c : text) {
        if (c == ']') {
            b += "]";
            bracket = Closed;
        }
        if (bracket == Inside) b += c;
        if (c == '[') {
            b = "[";
            bracket = Inside;
        }
        if (b == marker) {
            if (phase == 0) {
                state.pane = b;
                phase = 1;
            } else {
                state.pane += c;
            }
        }
        if (b != marker) {
            if (phase == 0 && bracket == Closed) {
                state.previous = b;
                sawPrevious = true;
            }
            if (phase == 1 && bracket == Closed) {
                state.next = b;
                sawNext = true;
                phase = 2;
            }
        }
    }
    if (phase > 0 && !sawPrevious) state.previous = std::string(marker);
    if (phase > 0 && !sawNext) state.next = std::string(marker);
}

std::vector<std::pair<qsizetype, qsizetype>> marks(const QString& text, const QString& criterion)
{
    std::vector<std::pair<qsizetype, qsizetype>> out;
    const Chars wanted = lower(Chars(criterion.toStdU32String()));
    const Chars chars = text.toStdU32String();
    Chars word;
    qsizetype unit = 0, wordStart = 0; // UTF-16 positions
    for (const char32_t c : chars) {
        if (letter(c)) {
            if (word.empty()) wordStart = unit;
            word += lower(c);
        } else {
            // Zero-length selections mark nothing; the fast rule leaves them out.
            if (word == wanted && !wanted.empty()) out.emplace_back(wordStart, unit - wordStart);
            word.clear();
        }
        unit += c >= 0x10000 ? 2 : 1;
    }
    return out;
}

} // namespace solandre::reference
