// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/reference_search.h"

#include "support/reference_text.h"

#include <algorithm>

namespace solandre::reference {

std::vector<Entry> wordIndex(std::string_view bytes, Encoding encoding)
{
    const Chars text = decode(bytes, encoding);
    std::vector<Entry> index;
    Chars word, marker;
    int inMarker = 0;
    for (size_t position = 0; position < text.size(); ++position) {
        const char32_t c = text[position];
        if (letter(c)) {
            word += c;
            continue;
        }
        if (c == ']') {
            marker += U"]";
            inMarker = 0;
        }
        if (inMarker == 1) marker += c;
        if (c == '[') {
            marker = U"[";
            inMarker = 1;
        }
        if (!word.empty()) index.push_back({encode(word, encoding), encode(marker, encoding)});
        word.clear();
    }
    return index;
}

std::vector<Entry> search(const std::vector<Entry>& index, std::string_view typedUtf8, Encoding encoding)
{
    const Chars typed = decode(typedUtf8, Encoding::Utf8);
    if (encoding == Encoding::Windows1252)
        for (const char32_t c : typed)
            if (!inCp1252(c)) return {};
    const Chars text = lower(typed);
    Chars prefix, suffix;
    bool wildcard = false, suffixRequested = false;
    for (size_t p = 1; p <= text.size(); ++p) {
        const char32_t c = text[p - 1];
        if (wildcard) suffix += c;
        if (c == '*') {
            wildcard = true;
            if (p < text.size()) suffixRequested = true;
        }
        if (!wildcard) prefix += c;
    }

    std::vector<Entry> hits;
    for (const Entry& entry : index) {
        const Chars form = lower(decode(entry.form, encoding));
        bool match;
        if (!wildcard)
            match = text == form;
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
        const Chars x = lower(decode(a.form, encoding)), y = lower(decode(b.form, encoding));
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
