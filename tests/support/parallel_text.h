// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The same article of 48 sentences in English, French and Spanish, sentence n
// of one translating sentence n of the others.

#include <string>
#include <string_view>
#include <vector>

namespace solandre::test {

enum class Language { English, French, Spanish };

const std::vector<std::string_view>& valleyText(Language language);

// The article numbered, as numbering writes it: "[k] sentence" and CR LF.
std::string numberedValleyText(Language language);

} // namespace solandre::test
