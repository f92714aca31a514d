// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/text_words.h"

#include "common/letters.h"
#include "common/word_breaks.h"

#include <QChar>
#include <string_view>

namespace solandre {
namespace {

// The character at `i` and its class; unpaired halves are none.
struct Unit {
    WordClass kind;
    qsizetype length;
};

Unit unitAt(QStringView text, qsizetype i)
{
    const char16_t u = text[i].unicode();
    if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return {wordClass(QChar::surrogateToUcs4(text[i], text[i + 1])), 2};
    if (QChar::isSurrogate(u)) return {WordClass::None, 1};
    return {wordClass(u), 1};
}

bool isLetterKind(WordClass k) { return k != WordClass::None && k != WordClass::Joiner; }

} // namespace

std::vector<TextWord> wordsOfText(QStringView text)
{
    std::vector<TextWord> words;
    WordBreaker breaker; // ICU only once an unspaced run needs it
    std::vector<std::uint32_t> cuts;
    for (qsizetype i = 0; i < text.size();) {
        Unit u = unitAt(text, i);
        if (!isLetterKind(u.kind)) {
            i += u.length;
            continue;
        }
        const qsizetype start = i;
        bool unspaced = false;
        for (;;) {
            unspaced = unspaced || u.kind == WordClass::Unspaced;
            i += u.length;
            if (i >= text.size()) break;
            u = unitAt(text, i);
            if (u.kind == WordClass::Joiner && i + u.length < text.size() &&
                isLetterKind(unitAt(text, i + u.length).kind))
                continue;
            if (!isLetterKind(u.kind)) break;
        }
        qsizetype from = start;
        if (unspaced) {
            cuts.clear();
            const QStringView run = text.mid(start, i - start);
            breaker.cutRun(std::u16string_view(reinterpret_cast<const char16_t*>(run.utf16()), size_t(run.size())), cuts);
            for (const std::uint32_t cut : cuts) {
                words.push_back({from, start + qsizetype(cut), true});
                from = start + qsizetype(cut);
            }
        }
        words.push_back({from, i, i < text.size()});
    }
    return words;
}

} // namespace solandre
