// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/reference_query.h"

#include "search/reference_search.h"
#include "support/reference_text.h"

#include <QChar>
#include <algorithm>
#include <regex>
#include <set>

namespace solandre::reference {
namespace {

struct Word {
    size_t start, end; // in characters
    std::string marker;
    size_t sentence;   // changes whenever the marker does
};

// The words of the text as the search reads them, each with the marker
// collected when its run ended and a count of the marker's changes until
// then: words with the same count share a sentence.
std::vector<Word> sentenceWords(const Chars& text, Encoding encoding)
{
    std::vector<Word> out;
    for (const MarkedWord& w : markedWords(text)) out.push_back({w.start, w.end, encode(w.marker, encoding), w.changes});
    return out;
}

bool blank(char32_t c) { return c < 0x10000 && QChar::isSpace(char16_t(c)); }

// "*" any run, "?" one character, by plain recursion.
bool wildcards(const Chars& pattern, size_t p, const Chars& word, size_t w)
{
    if (p == pattern.size()) return w == word.size();
    if (pattern[p] == '*') return wildcards(pattern, p + 1, word, w) || (w < word.size() && wildcards(pattern, p, word, w + 1));
    if (w == word.size()) return false;
    return (pattern[p] == '?' || pattern[p] == word[w]) && wildcards(pattern, p + 1, word, w + 1);
}

struct Alternative {
    enum Kind { Seed, Wild, Regex, Any } kind;
    Chars written;
    std::wregex regex;
};

using Position = std::vector<Alternative>;

bool matches(const Alternative& a, const Chars& lowered, Encoding encoding)
{
    if (a.kind == Alternative::Any) return true;
    if (encoding == Encoding::Windows1252 && a.kind != Alternative::Regex)
        for (const char32_t c : a.written)
            if (!inCp1252(c)) return false;
    switch (a.kind) {
    case Alternative::Seed:
        // The single form's rule, as the step-by-step search reads it.
        return !search({{encode(lowered, Encoding::Utf8), ""}}, encode(a.written, Encoding::Utf8), Encoding::Utf8)
                    .empty();
    case Alternative::Wild:
        return wildcards(lower(a.written), 0, lowered, 0);
    case Alternative::Regex:
        return std::regex_match(std::wstring(lowered.begin(), lowered.end()), a.regex);
    case Alternative::Any:
        break;
    }
    return true;
}

// The query's positions; nothing for a malformed expression.
std::optional<std::vector<Position>> readQuery(const Chars& written, bool regex)
{
    std::vector<Position> query;
    const Chars& typed = written;
    // Where a run of unspaced letters holds several words, as the text's would.
    const auto cutInside = [](const Chars& part) {
        std::vector<size_t> cuts;
        for (const Span& w : words(part))
            if (w.runGoesOn) cuts.push_back(w.end);
        return cuts;
    };
    if (regex) {
        Chars token;
        for (size_t k = 0; k <= typed.size(); ++k) {
            if (k < typed.size() && !blank(typed[k])) {
                token += typed[k];
                continue;
            }
            if (token.empty()) continue;
            Alternative a{Alternative::Regex, token, {}};
            try {
                a.regex = std::wregex(std::wstring(token.begin(), token.end()), std::regex::ECMAScript | std::regex::icase);
            } catch (const std::regex_error&) {
                return std::nullopt;
            }
            query.push_back({a});
            token.clear();
        }
        return query;
    }
    // One form, as ever, unless a blank stands between two characters, or
    // there is a "|", a "?" or a second "*".
    size_t first = 0, last = typed.size();
    while (first < last && blank(typed[first])) ++first;
    while (last > first && blank(typed[last - 1])) --last;
    bool single = std::count(typed.begin(), typed.end(), U'*') <= 1;
    for (size_t k = 0; k < typed.size(); ++k)
        if (typed[k] == '|' || typed[k] == '?' || (k >= first && k < last && blank(typed[k]))) single = false;
    if (single && cutInside(typed).empty()) return std::vector<Position>{{Alternative{Alternative::Seed, typed, {}}}};

    // Blanks around "|" dropped; every other non-letter but "*" and "?"
    // separates words; "|" separates a word's alternatives.
    Chars joined;
    for (size_t k = 0; k < typed.size(); ++k) {
        if (blank(typed[k])) {
            size_t b = k, a = k;
            while (b > 0 && blank(typed[b - 1])) --b;
            while (a < typed.size() && blank(typed[a])) ++a;
            if ((b > 0 && typed[b - 1] == '|') || (a < typed.size() && typed[a] == '|')) continue;
        }
        joined += typed[k];
    }
    // A word with no "|" is cut where the text would cut it: «中国人民» is
    // «中国» then «人民»; alternatives are not.
    Chars cut;
    for (size_t k = 0; k < joined.size();) {
        size_t end = k;
        while (end < joined.size() && (letter(joined[end]) || joined[end] == '*' || joined[end] == '?' || joined[end] == '|'))
            ++end;
        if (end == k) {
            cut += joined[k++];
            continue;
        }
        Chars token = joined.substr(k, end - k);
        if (token.find(U'|') == Chars::npos) {
            const std::vector<size_t> cuts = cutInside(token);
            for (size_t c = cuts.size(); c-- > 0;) token.insert(cuts[c], 1, U' ');
        }
        cut += token;
        k = end;
    }
    joined = cut;
    Position position;
    Chars current;
    auto endAlternative = [&] {
        if (current.empty()) return;
        const auto stars = std::count(current.begin(), current.end(), U'*');
        const bool question = current.find(U'?') != Chars::npos;
        const auto kind = current == U"*" ? Alternative::Any
                          : (stars <= 1 && !question) ? Alternative::Seed
                                                      : Alternative::Wild;
        position.push_back({kind, current, {}});
        current.clear();
    };
    for (size_t k = 0; k <= joined.size(); ++k) {
        const char32_t c = k < joined.size() ? joined[k] : U' ';
        if (letter(c) || c == '*' || c == '?') {
            current += c;
        } else if (c == '|') {
            endAlternative();
        } else {
            endAlternative();
            if (!position.empty()) query.push_back(position);
            position.clear();
        }
    }
    return query;
}

Chars linesAsBlanks(const Chars& text)
{
    Chars out;
    for (size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n') continue;
        out += (text[k] == '\r' || text[k] == '\n') ? U' ' : text[k];
    }
    return out;
}

struct Found {
    size_t first; // word
    size_t words;
};

std::vector<Found> scan(const Chars& text, const std::vector<Word>& words, const std::vector<Position>& query,
                        Encoding encoding)
{
    std::vector<Found> found;
    const size_t n = query.size();
    if (n == 0) return found;
    for (size_t s = 0; s + n <= words.size(); ++s) {
        bool all = true;
        for (size_t k = 0; k < n && all; ++k) {
            const Word& w = words[s + k];
            if (w.sentence != words[s].sentence) {
                all = false;
                break;
            }
            const Chars lowered = lower(text.substr(w.start, w.end - w.start));
            all = std::any_of(query[k].begin(), query[k].end(),
                              [&](const Alternative& a) { return matches(a, lowered, encoding); });
        }
        if (all) found.push_back({s, n});
    }
    return found;
}

} // namespace

std::optional<std::vector<QueryHit>> queryHits(std::string_view bytes, Encoding encoding, std::string_view typedUtf8,
                                               bool regex)
{
    const auto query = readQuery(decode(typedUtf8, Encoding::Utf8), regex);
    if (!query) return std::nullopt;
    const Chars text = decode(bytes, encoding);
    const std::vector<Word> words = sentenceWords(text, encoding);
    std::vector<QueryHit> hits;
    for (const Found& f : scan(text, words, *query, encoding)) {
        const Word& first = words[f.first];
        const Word& last = words[f.first + f.words - 1];
        hits.push_back({encode(linesAsBlanks(text.substr(first.start, last.end - first.start)), encoding), first.marker});
    }
    return hits;
}

std::vector<QueryHit> keepByTranslation(const std::vector<QueryHit>& hits, Encoding encoding, std::string_view target,
                                        Encoding targetEncoding, std::string_view typedUtf8, bool regex, bool contains)
{
    std::set<std::string> withMatch; // markers, UTF-8
    for (const QueryHit& hit : queryHits(target, targetEncoding, typedUtf8, regex).value_or(std::vector<QueryHit>{}))
        withMatch.insert(encode(decode(hit.marker, targetEncoding), Encoding::Utf8));
    std::vector<QueryHit> kept;
    for (const QueryHit& hit : hits)
        if (withMatch.count(encode(decode(hit.marker, encoding), Encoding::Utf8)) == (contains ? 1u : 0u))
            kept.push_back(hit);
    return kept;
}

void sortHitsByText(std::vector<QueryHit>& hits, Encoding encoding)
{
    // Bytes that are no character compare as U+FFFD.
    auto key = [&](const std::string& text) {
        Chars k = lower(decode(text, encoding));
        for (char32_t& c : k)
            if (c >= 0xDC80 && c <= 0xDCFF) c = 0xFFFD;
        return k;
    };
    std::stable_sort(hits.begin(), hits.end(), [&](const QueryHit& a, const QueryHit& b) {
        const Chars x = key(a.text), y = key(b.text);
        if (x != y) return x < y;
        return decode(a.marker, encoding) < decode(b.marker, encoding);
    });
}

} // namespace solandre::reference
