// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/query_text.h"

#include "common/letters.h"

namespace solandre {

std::vector<std::pair<qsizetype, qsizetype>> matchedWords(QStringView text, const Query& query)
{
    struct Word {
        qsizetype start, length;
        std::string lower;
    };
    // The words, lower-cased as the vocabulary holds forms.
    std::vector<Word> words;
    for (qsizetype i = 0; i < text.size();) {
        char32_t c = text[i].unicode();
        qsizetype length = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            length = 2;
        }
        if (isLetter(c)) {
            if (words.empty() || words.back().start + words.back().length != i) words.push_back({i, 0, {}});
            words.back().length += length;
            appendUtf8(words.back().lower, lowerCase(c));
        }
        i += length;
    }
    std::vector<std::pair<qsizetype, qsizetype>> marks;
    const size_t n = query.length();
    std::vector<bool> marked(words.size(), false);
    for (size_t s = 0; n > 0 && s + n <= words.size(); ++s) {
        bool all = true;
        for (size_t k = 0; k < n && all; ++k) all = query.words()[k].matches(words[s + k].lower, Encoding::Utf8);
        if (!all) continue;
        for (size_t k = 0; k < n; ++k) marked[s + k] = true;
    }
    for (size_t w = 0; w < words.size(); ++w)
        if (marked[w]) marks.emplace_back(words[w].start, words[w].length);
    return marks;
}

} // namespace solandre
