#include "search/pattern.h"

#include "common/letters.h"

namespace solandre {

Pattern parsePattern(std::string_view typed)
{
    Pattern pattern;
    bool wildcard = false;
    bool suffixRequested = false;
    for (size_t p = 0; p < typed.size(); ++p) {
        const char c = char(toLower(static_cast<unsigned char>(typed[p])));
        if (wildcard) pattern.suffix += c;
        if (c == '*' && !wildcard) {
            wildcard = true;
            suffixRequested = p + 1 < typed.size();
        } else if (!wildcard) {
            pattern.prefix += c;
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
