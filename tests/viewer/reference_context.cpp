#include "viewer/reference_context.h"

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

} // namespace solandre::reference
