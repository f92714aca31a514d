// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/hit_texts.h"

#include "common/letters.h"
#include "search/word_chars.h"

#include <algorithm>
#include <unordered_map>

namespace solandre {

std::string shownText(std::string_view raw)
{
    std::string out;
    out.reserve(raw.size());
    for (size_t k = 0; k < raw.size(); ++k) {
        const char c = raw[k];
        if (c == '\r' || c == '\n') {
            out += ' ';
            if (c == '\r' && k + 1 < raw.size() && raw[k + 1] == '\n') ++k;
        } else {
            out += c;
        }
    }
    return out;
}

std::string loweredText(std::string_view raw, Encoding encoding)
{
    const std::string shown = shownText(raw);
    std::string out;
    if (encoding == Encoding::Windows1252) {
        Cp1252Chars().lower(shown, out);
        return out;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(shown.data());
    const auto* end = p + shown.size();
    while (p < end) {
        const char32_t c = nextUtf8(p, end);
        appendUtf8(out, c == kBadChar ? U'\uFFFD' : lowerCase(c));
    }
    return out;
}

RankedTexts rankTexts(const WordIndex& index, const WordId* first, size_t count, std::uint32_t words)
{
    RankedTexts ranked;
    ranked.ranks.resize(count);
    std::unordered_map<std::string, std::uint32_t> ids;
    for (size_t k = 0; k < count; ++k) {
        const auto [it, added] =
            ids.try_emplace(loweredText(index.span(first[k], words), index.encoding()), std::uint32_t(ids.size()));
        ranked.ranks[k] = it->second;
    }
    std::vector<const std::string*> byId(ids.size());
    for (const auto& [text, id] : ids) byId[id] = &text;
    std::vector<std::uint32_t> order(ids.size());
    for (std::uint32_t id = 0; id < order.size(); ++id) order[id] = id;
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return *byId[a] < *byId[b]; });
    std::vector<std::uint32_t> rankOf(ids.size());
    for (std::uint32_t r = 0; r < order.size(); ++r) {
        rankOf[order[r]] = r;
        ranked.texts.push_back(*byId[order[r]]);
    }
    for (std::uint32_t& r : ranked.ranks) r = rankOf[r];
    return ranked;
}

} // namespace solandre
