// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/reference_lines.h"

#include "search/reference_search.h"
#include "support/reference_text.h"

namespace solandre::reference {
namespace {

bool bracket(char32_t c) { return c == '[' || c == ']'; }

std::string folded(const Chars& piece, Encoding encoding)
{
    Chars out;
    bool blank = false;
    for (const char32_t c : piece) {
        if (c <= ' ') {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) out += ' ';
        blank = false;
        out += c;
    }
    return encode(out, encoding);
}

struct Word {
    size_t start, end; // in characters
    std::string marker;
    size_t stretch; // brackets before it
};

std::vector<Word> words(const Chars& text, Encoding encoding)
{
    std::vector<Word> out;
    Chars marker;
    bool inMarker = false;
    size_t brackets = 0;
    for (size_t p = 0; p < text.size();) {
        if (letter(text[p])) {
            size_t end = p;
            while (end < text.size() && letter(text[end])) ++end;
            out.push_back({p, end, {}, brackets});
            p = end;
            continue;
        }
        const char32_t c = text[p];
        if (c == ']') {
            marker += U"]";
            inMarker = false;
        } else if (inMarker) {
            marker += c;
        }
        if (c == '[') {
            marker = U"[";
            inMarker = true;
        }
        if (bracket(c)) ++brackets;
        // The marker a word gets is the one current when it ends.
        if (!out.empty() && out.back().end == p) out.back().marker = encode(marker, encoding);
        ++p;
    }
    // Only a non-letter ends a word: letters that run to the end of the text are none.
    if (!out.empty() && out.back().end == text.size()) out.pop_back();
    return out;
}

std::string lowered(const Chars& text, const Word& w)
{
    return encode(lower(text.substr(w.start, w.end - w.start)), Encoding::Utf8);
}

} // namespace

std::vector<Line> concordanceLines(std::string_view bytes, std::string_view typedUtf8, Encoding encoding,
                                   size_t width)
{
    const Chars text = decode(bytes, encoding);
    const std::vector<Word> all = words(text, encoding);
    std::vector<Line> lines;
    for (size_t k = 0; k < all.size(); ++k) {
        const Word& w = all[k];
        const std::string form = encode(text.substr(w.start, w.end - w.start), encoding);
        if (search({{form, w.marker}}, typedUtf8, encoding).empty()) continue;
        Line line{k, {}, form, {}, w.marker, {}};

        size_t from = w.start;
        while (from > 0 && !bracket(text[from - 1])) --from;
        Chars before = text.substr(from, w.start - from);
        if (before.size() > width) {
            const bool cut = letter(before[before.size() - width - 1]) && letter(before[before.size() - width]);
            before = before.substr(before.size() - width);
            if (cut)
                while (!before.empty() && letter(before.front())) before.erase(0, 1);
        }
        line.left = folded(before, encoding);

        size_t to = w.end;
        while (to < text.size() && !bracket(text[to])) ++to;
        Chars after = text.substr(w.end, to - w.end);
        if (after.size() > width) {
            const bool cut = letter(after[width - 1]) && letter(after[width]);
            after = after.substr(0, width);
            if (cut)
                while (!after.empty() && letter(after.back())) after.pop_back();
        }
        line.right = folded(after, encoding);

        line.keys[kForm] = lowered(text, w);
        const std::pair<KeyWord, long> neighbours[] = {{kLeft1, -1}, {kLeft2, -2}, {kRight1, 1}, {kRight2, 2}};
        for (const auto& [key, offset] : neighbours) {
            const long j = long(k) + offset;
            if (j >= 0 && j < long(all.size()) && all[size_t(j)].stretch == w.stretch)
                line.keys[key] = lowered(text, all[size_t(j)]);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::map<std::string, std::uint64_t> frequencies(std::string_view text, std::string_view typedUtf8,
                                                 Encoding encoding)
{
    std::map<std::string, std::uint64_t> counts;
    for (const Entry& hit : search(wordIndex(text, encoding), typedUtf8, encoding))
        ++counts[encode(lower(decode(hit.form, encoding)), Encoding::Utf8)];
    return counts;
}

} // namespace solandre::reference
