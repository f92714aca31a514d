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

std::vector<Word> wordsOf(const Chars& text, Encoding encoding)
{
    std::vector<Word> out;
    for (const MarkedWord& w : markedWords(text)) out.push_back({w.start, w.end, encode(w.marker, encoding), w.brackets});
    return out;
}

// Whether a word goes on across place `p` (a letter on each side, no cut).
bool inWordAcross(const std::vector<Span>& spans, size_t p)
{
    for (const Span& s : spans)
        if (s.start < p && p < s.end) return true;
    return false;
}

std::string lowered(const Chars& text, const Word& w)
{
    return encode(fold(text.substr(w.start, w.end - w.start)), Encoding::Utf8);
}

} // namespace

std::vector<Line> concordanceLines(std::string_view bytes, std::string_view typedUtf8, Encoding encoding,
                                   size_t width)
{
    const Chars text = decode(bytes, encoding);
    const std::vector<Word> all = wordsOf(text, encoding);
    const std::vector<Span> spans = words(text);
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
            const size_t cutAt = w.start - width;
            before = before.substr(before.size() - width);
            if (inWordAcross(spans, cutAt)) {
                size_t end = cutAt;
                for (const Span& s : spans)
                    if (s.start < cutAt && cutAt < s.end) end = s.end;
                before.erase(0, std::min(before.size(), end - cutAt));
            }
        }
        line.left = folded(before, encoding);

        size_t to = w.end;
        while (to < text.size() && !bracket(text[to])) ++to;
        Chars after = text.substr(w.end, to - w.end);
        if (after.size() > width) {
            const size_t cutAt = w.end + width;
            after = after.substr(0, width);
            if (inWordAcross(spans, cutAt)) {
                size_t start = cutAt;
                for (const Span& s : spans)
                    if (s.start < cutAt && cutAt < s.end) start = s.start;
                after.resize(after.size() - std::min(after.size(), cutAt - start));
            }
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
        ++counts[encode(fold(decode(hit.form, encoding)), Encoding::Utf8)];
    return counts;
}

} // namespace solandre::reference
