// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/reference_search.h"

#include "support/reference_text.h"

#include <algorithm>

namespace solandre::reference {

std::vector<Entry> wordIndex(std::string_view bytes, Encoding encoding)
{
    const Chars text = decode(bytes, encoding);
    const std::vector<Span> all = words(text);
    std::vector<Entry> index;
    Chars marker;
    int inMarker = 0;
    size_t next = 0; // the first word not listed yet
    for (size_t position = 0; position < text.size(); ++position) {
        const char32_t c = text[position];
        if (letter(c) || (next < all.size() && all[next].start <= position && position < all[next].end)) continue;
        if (c == ']') {
            marker += U"]";
            inMarker = 0;
        }
        if (inMarker == 1) marker += c;
        if (c == '[') {
            marker = U"[";
            inMarker = 1;
        }
        // The words of the run this character ends, with the marker it leaves.
        for (; next < all.size() && all[next].end <= position; ++next)
            index.push_back({encode(text.substr(all[next].start, all[next].end - all[next].start), encoding),
                             encode(marker, encoding)});
    }
    // Only what follows a word ends it: the text's last word is none.
    for (; next < all.size() && all[next].runGoesOn; ++next)
        index.push_back({encode(text.substr(all[next].start, all[next].end - all[next].start), encoding),
                         encode(marker, encoding)});
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
        return lower(decode(a.marker, encoding)) < lower(decode(b.marker, encoding));
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
