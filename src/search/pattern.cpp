// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/pattern.h"

#include "common/encoding.h"
#include "common/word_form.h"

#include <QList>

namespace solandre {

Pattern parsePattern(QStringView typed)
{
    // Cut at the first "*"; each side then folded as the vocabulary's forms
    // are (word_form.h), so a decomposed "é" finds the precomposed one.
    Pattern pattern;
    std::string prefix, suffix;
    bool wildcard = false;
    for (const uint c : typed.toUcs4()) {
        if (c == U'*' && !wildcard)
            wildcard = true;
        else
            appendUtf8(wildcard ? suffix : prefix, char32_t(c));
    }
    appendFoldedForm(pattern.prefix, prefix);
    appendFoldedForm(pattern.suffix, suffix);
    pattern.rule = !wildcard         ? Pattern::Rule::Exact
                   : !suffix.empty() ? Pattern::Rule::PrefixAndSuffix
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
