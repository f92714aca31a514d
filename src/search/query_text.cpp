// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/query_text.h"

#include "common/text_words.h"
#include "common/word_form.h"

namespace solandre {

std::vector<std::pair<qsizetype, qsizetype>> matchedWords(QStringView text, const Query& query)
{
    struct Word {
        qsizetype start, length;
        std::string lower;
    };
    // The words, cut and folded as the vocabulary holds forms.
    std::vector<Word> words;
    for (const TextWord& w : wordsOfText(text))
        words.push_back({w.start, w.end - w.start, foldedForm(text.mid(w.start, w.end - w.start).toString().toStdString())});
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
