// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/alphabetical.h"
#include "support/reference_text.h"

#include <gtest/gtest.h>
#include <random>

namespace solandre {
namespace {

std::vector<std::string> sorted(std::vector<std::string> words)
{
    std::vector<std::uint32_t> ids(words.size());
    for (std::uint32_t k = 0; k < ids.size(); ++k) ids[k] = k;
    EXPECT_TRUE(sortAlphabetically(ids, [&](std::uint32_t k) { return std::string_view(words[k]); }));
    std::vector<std::string> out;
    for (const std::uint32_t k : ids) out.push_back(words[k]);
    return out;
}

TEST(Alphabetical, AccentedLettersGoWithTheirBaseLetter)
{
    using List = std::vector<std::string>;
    EXPECT_EQ(sorted({"alma", "ecru", "oszlop", "zebra", "ábra", "écart", "és", "öböl"}),
              (List{"ábra", "alma", "écart", "ecru", "és", "öböl", "oszlop", "zebra"}));
    EXPECT_EQ(sorted({"zorro", "ñu", "nube", "oso"}), (List{"ñu", "nube", "oso", "zorro"}));
    // Forms the collation finds equal (a soft hyphen weighs nothing) go by code point.
    EXPECT_EQ(sorted({"a\u00ADb", "ab"}), (List{"ab", "a\u00ADb"}));
    EXPECT_EQ(sorted({"б", "a", "中", "ア"}), (List{"a", "б", "ア", "中"}));
}

TEST(Alphabetical, AgreesWithThePlainComparisonOnRandomForms)
{
    const std::vector<std::string> letters = {"a", "á", "b", "e", "é", "ö", "o", "ß", "s", "ñ", "n", "œ", "σ", "ς", "中", "\u00AD"};
    std::mt19937 random(3);
    std::vector<std::string> words;
    for (int k = 0; k < 400; ++k) {
        std::string w;
        for (int n = 1 + int(random() % 4); n > 0; --n) w += letters[random() % letters.size()];
        words.push_back(w);
    }
    const std::vector<std::string> out = sorted(words);
    for (size_t k = 1; k < out.size(); ++k)
        ASSERT_FALSE(reference::alphabeticallyBefore(out[k], out[k - 1])) << out[k - 1] << " " << out[k];
}

TEST(Alphabetical, AStoppedSortLeavesTheOrder)
{
    std::vector<std::uint32_t> ids = {2, 1, 0};
    const std::string words[] = {"a", "b", "c"};
    EXPECT_FALSE(sortAlphabetically(ids, [&](std::uint32_t k) { return std::string_view(words[k]); },
                                    [](double) { return false; }));
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{2, 1, 0}));
}

} // namespace
} // namespace solandre
