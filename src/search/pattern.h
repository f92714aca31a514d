// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The typed form, parsed at each search: cut at its first "*", each side
// lower-cased and composed (NFC) as the vocabulary holds its forms, in UTF-8.

#include <QStringView>
#include <string>
#include <string_view>

namespace solandre {

struct Pattern {
    enum class Rule {
        Exact,           // no "*": the whole form
        Prefix,          // "*" last: the form starts with the prefix
        PrefixAndSuffix, // "*" inside: starts with the prefix and ends with the suffix
    };
    Rule rule = Rule::Exact;
    std::string prefix; // the whole lower-cased text for an exact search
    std::string suffix; // a second "*" is an ordinary character here
};

// `typed` is taken unchanged: no trimming.
Pattern parsePattern(QStringView typed);

// Whether a lower-cased form (UTF-8) matches. The prefix and suffix tests are
// independent, so they may overlap ("ab*ba" matches "aba").
bool matches(const Pattern& pattern, std::string_view lowerForm);

} // namespace solandre
