// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/pattern.h"

#include "common/encoding.h"
#include "common/letters.h"

#include <QList>

namespace solandre {

Pattern parsePattern(QStringView typed)
{
    Pattern pattern;
    bool wildcard = false;
    bool suffixRequested = false;
    const QList<uint> characters = typed.toUcs4();
    for (qsizetype p = 0; p < characters.size(); ++p) {
        const char32_t c = lowerCase(char32_t(characters[p]));
        if (wildcard) appendUtf8(pattern.suffix, c);
        if (c == U'*' && !wildcard) {
            wildcard = true;
            suffixRequested = p + 1 < characters.size();
        } else if (!wildcard) {
            appendUtf8(pattern.prefix, c);
        }
    }
    pattern.rule = !wildcard         ? Pattern::Rule::Exact
                   : suffixRequested ? Pattern::Rule::PrefixAndSuffix
                                     : Pattern::Rule::Prefix;
    return pattern;
}

bool matches(const Pattern& pattern, std::string_view lowerForm)
{
    switch (pattern.rule) {
    case Pattern::Rule::Exact:
        return lowerForm == pattern.prefix;
    case Pattern::Rule::Prefix:
        return lowerForm.starts_with(pattern.prefix);
    case Pattern::Rule::PrefixAndSuffix:
        return lowerForm.starts_with(pattern.prefix) && lowerForm.ends_with(pattern.suffix);
    }
    return false;
}

} // namespace solandre
