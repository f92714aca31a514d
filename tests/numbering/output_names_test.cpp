// SPDX-License-Identifier: GPL-3.0-or-later
#include "numbering/output_names.h"

#include <gtest/gtest.h>

namespace solandre {
namespace {

TEST(DefaultOutputName, SuffixGoesBeforeTheLastFourCharacters)
{
    struct Case { const char* input; const char* suffix; std::optional<QString> expected; };
    const Case cases[] = {
        {"C:\\textos\\obra.txt", "_source_ref", "C:\\textos\\obra_source_ref.txt"},
        {"C:\\t\\b.txt", "_cible_ref", "C:\\t\\b_cible_ref.txt"},
        {"C:\\t\\obra", "_source_ref", "C:\\t\\_source_refobra"},
        {"abcd", "_x", "_xabcd"},
        {"abc", "_x", std::nullopt},
        {"", "_x", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(defaultOutputName(c.input, c.suffix), c.expected) << c.input;
}

} // namespace
} // namespace solandre
