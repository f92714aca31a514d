// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The words of a piece of text a window shows or a user types, in UTF-16
// places, cut as the word index cuts a text: runs of letters, a joiner
// between two letters taken in, runs of the unspaced scripts cut by
// WordBreaker.

#include <QStringView>
#include <vector>

namespace solandre {

struct TextWord {
    qsizetype start, end;
    // A non-letter, or the next word of the same run, follows it: a word
    // that ends the text is not ended.
    bool ended;
};

std::vector<TextWord> wordsOfText(QStringView text);

} // namespace solandre
