#include "search/reference_search.h"

#include "support/reference_letters.h"

namespace solandre::reference {

std::vector<Entry> wordIndex(std::string_view text)
{
    std::vector<Entry> index;
    std::string word, marker;
    int inMarker = 0;
    for (size_t position = 0; position < text.size(); ++position) {
        const char c = text[position];
        if (letter(static_cast<unsigned char>(c))) {
            word += c;
            continue;
        }
        if (c == ']') {
            marker += "]";
            inMarker = 0;
        }
        if (inMarker == 1) marker += c;
        if (c == '[') {
            marker = "[";
            inMarker = 1;
        }
        if (!word.empty()) index.push_back({word, marker});
        word.clear();
    }
    return index;
}

std::vector<Entry> search(const std::vector<Entry>& index, std::string_view typed)
{
    const std::string text = lower(typed);
    std::string prefix, suffix;
    bool wildcard = false, suffixRequested = false;
    for (size_t p = 1; p <= text.size(); ++p) {
        const char c = text[p - 1];
        if (wildcard) suffix += c;
        if (c == '*') {
            wildcard = true;
            if (p < text.size()) suffixRequested = true;
        }
        if (!wildcard) prefix += c;
    }

    std::vector<Entry> hits;
    for (const Entry& entry : index) {
        const std::string form = lower(entry.form);
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
