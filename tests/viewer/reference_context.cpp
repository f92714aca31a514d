#include "viewer/reference_context.h"

#include "support/reference_letters.h"

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

std::vector<std::pair<size_t, size_t>> marks(std::string_view text, std::string_view criterion)
{
    std::vector<std::pair<size_t, size_t>> out;
    std::string word;
    for (size_t i = 1; i <= text.size(); ++i) {
        const char c = text[i - 1];
        if (letter(static_cast<unsigned char>(c))) {
            word += c;
            continue;
        }
        // Zero-length selections mark nothing; the fast rule leaves them out.
        if (lower(word) == lower(criterion) && !criterion.empty())
            out.emplace_back(i - 1 - criterion.size(), criterion.size());
        word.clear();
    }
    return out;
}

} // namespace solandre::reference
