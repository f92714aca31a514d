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
    const Chars wanted = fold(Chars(criterion.toStdU32String()));
    if (wanted.empty()) return out;
    const Chars chars = text.toStdU32String();
    std::vector<qsizetype> unit(chars.size() + 1, 0); // UTF-16 place of each character
    for (size_t k = 0; k < chars.size(); ++k) unit[k + 1] = unit[k] + (chars[k] >= 0x10000 ? 2 : 1);
    for (const Span& w : words(chars)) {
        // A word at the very end of the text is not tested.
        if (w.end == chars.size()) continue;
        if (fold(chars.substr(w.start, w.end - w.start)) == wanted)
            out.emplace_back(unit[w.start], unit[w.end] - unit[w.start]);
    }
    return out;
}

} // namespace solandre::reference
