// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/reference_search.h"

#include "support/reference_text.h"

#include <algorithm>

namespace solandre::reference {

std::vector<MarkedWord> markedWords(const Chars& text)
{
    const std::vector<Span> spans = words(text);
    std::vector<MarkedWord> out;
    Chars marker;
    bool inMarker = false;
    size_t brackets = 0, changes = 0, marked = 0, next = 0;
    for (size_t p = 0; p < text.size();) {
        if (next < spans.size() && spans[next].start == p) {
            out.push_back({p, spans[next].end, {}, brackets, 0});
            p = spans[next++].end;
            continue;
        }
        const char32_t c = text[p];
        if (c == ']') {
            marker += c;
            inMarker = false;
            ++changes;
        }
        if (inMarker) {
            marker += c;
            ++changes;
        }
        if (c == '[') {
            marker = U"[";
            inMarker = true;
            ++changes;
        }
        if (c == '[' || c == ']') ++brackets;
        // The words of the run this character ends.
        for (; marked < out.size(); ++marked) {
            out[marked].marker = marker;
            out[marked].changes = changes;
        }
        ++p;
    }
    for (; marked < out.size(); ++marked) {
        out[marked].marker = marker;
        out[marked].changes = changes;
    }
    if (!out.empty() && out.back().end == text.size()) out.pop_back();
    return out;
}

std::vector<Entry> wordIndex(std::string_view bytes, Encoding encoding)
{
    const Chars text = decode(bytes, encoding);
    std::vector<Entry> index;
    for (const MarkedWord& w : markedWords(text))
        index.push_back({encode(text.substr(w.start, w.end - w.start), encoding), encode(w.marker, encoding)});
    return index;
}

std::vector<Entry> search(const std::vector<Entry>& index, std::string_view typedUtf8, Encoding encoding)
{
    const Chars typed = decode(typedUtf8, Encoding::Utf8);
    if (encoding == Encoding::Windows1252)
        for (const char32_t c : typed)
            if (!inCp1252(c)) return {};
    Chars prefix, suffix;
    bool wildcard = false, suffixRequested = false;
    for (size_t p = 1; p <= typed.size(); ++p) {
        const char32_t c = typed[p - 1];
        if (wildcard) suffix += c;
        if (c == '*' && !wildcard) {
            wildcard = true;
            if (p < typed.size()) suffixRequested = true;
        } else if (!wildcard) {
            prefix += c;
        }
    }
    prefix = fold(prefix);
    suffix = fold(suffix);

    std::vector<Entry> hits;
    for (const Entry& entry : index) {
        const Chars form = fold(decode(entry.form, encoding));
        bool match;
        if (!wildcard)
            match = prefix == form;
        else if (!suffixRequested)
            match = form.size() >= prefix.size() && form.substr(0, prefix.size()) == prefix;
        else
            match = form.size() >= prefix.size() && form.substr(0, prefix.size()) == prefix &&
                    form.size() >= suffix.size() &&
                    form.substr(form.size() - suffix.size()) == suffix;
        if (match) hits.push_back(entry);
    }
    return hits;
}

void sortByForm(std::vector<Entry>& entries, Encoding encoding)
{
    std::stable_sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        const Chars x = fold(decode(a.form, encoding)), y = fold(decode(b.form, encoding));
        if (x != y) return x < y;
        return decode(a.marker, encoding) < decode(b.marker, encoding);
    });
}

std::string segment(std::string_view text, const std::string& marker)
{
    std::string token, result;
    bool inside = false, found = false;
    for (const char c : text) {
        if (c == ']') {
            token += c;
            inside = false;
        }
        if (inside) token += c;
        if (c == '[') {
            token = "[";
            inside = true;
        }
        if (token != marker) continue;
        if (!found) {
            result = token;
            found = true;
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace solandre::reference
